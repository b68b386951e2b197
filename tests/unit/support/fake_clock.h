#pragma once
// Test programs run the engine on this clock: fake_clock.cpp puts it in the
// calendar clock's place as the program starts, before any test runs.
extern long long fakeNow;
