#include "stopwatch.h"

namespace {

double SecondsBetween(const timespec& from, const timespec& to) {
  return static_cast<double>(to.tv_sec - from.tv_sec) + (to.tv_nsec - from.tv_nsec) / 1e9;
}

timespec Now(clockid_t clock) {
  timespec now;
  clock_gettime(clock, &now);
  return now;
}

}  // namespace

Stopwatch::Stopwatch() : WallStart(Now(CLOCK_MONOTONIC)), CpuStart(Now(CLOCK_PROCESS_CPUTIME_ID)) {}

Timing Stopwatch::Elapsed() const {
  return Timing{SecondsBetween(WallStart, Now(CLOCK_MONOTONIC)),
                SecondsBetween(CpuStart, Now(CLOCK_PROCESS_CPUTIME_ID))};
}
