#include "support/fake_clock.h"

#include "engine/clock.h"

long long fakeNow = 1700000000;

long long VornNow() {
    return fakeNow;
}
