#pragma once
// Test programs replace the engine's clock at link time: the product's
// clock object is never pulled from the library because this one defines it.
extern long long fakeNow;
