#include "support/fake_clock.h"

#include "engine/vorn_saver.h"

long long fakeNow = 1700000000;

namespace {

long long FakeNow() {
    return fakeNow;
}

[[maybe_unused]] const bool clockInPlace = (engineClock = FakeNow, true);

} // namespace
