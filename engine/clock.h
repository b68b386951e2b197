#pragma once
// Calendar time in whole seconds. The engine reads the clock only through
// this function, so a test program can supply its own at link time.
long long VornNow();
