#pragma once
// Counts paint messages for the bench programs: from a warm-up after the
// first paint, over a measuring time. It prints "start" when the measuring
// begins and "paints N seconds S fps F" when it ends, flushed at once, so
// that scripts/bench.sh can read the process's CPU time at the same moments.
#include <windows.h>

#include <cstdio>

class PaintMeter {
  public:
    void Arm(double warmupSeconds, double measureSeconds) {
        warmup_ = warmupSeconds;
        measure_ = measureSeconds;
        QueryPerformanceFrequency(&frequency_);
    }

    void Count() {
        if (measure_ <= 0 || done_) return;
        const double now = Seconds();
        if (first_ < 0) first_ = now;
        if (now - first_ < warmup_) return;
        if (start_ < 0) {
            start_ = now;
            Say("start\n");
        }
        if (now - start_ < measure_) {
            ++paints_;
            return;
        }
        done_ = true;
        char line[96];
        snprintf(line, sizeof(line), "paints %ld seconds %.3f fps %.2f\n", paints_, now - start_,
                 paints_ / (now - start_));
        Say(line);
    }

  private:
    double Seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

    static void Say(const char* line) {
        fputs(line, stdout);
        fflush(stdout);
    }

    LARGE_INTEGER frequency_ = {};
    double warmup_ = 0, measure_ = 0;
    double first_ = -1, start_ = -1;
    long paints_ = 0;
    bool done_ = false;
};
