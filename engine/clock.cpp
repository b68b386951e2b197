#include "engine/clock.h"

#include <ctime>

long long VornNow() {
    return _time64(nullptr);
}
