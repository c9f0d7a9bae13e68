// Wall-clock and CPU time of a stretch of work in this process. On a busy
// machine the CPU time (user and system) is the steadier measure of the work
// itself; the wall-clock time is what a user waits.
#pragma once

#include <ctime>

struct Timing {
  double Wall;
  double Cpu;
};

class Stopwatch {
 public:
  Stopwatch();
  Timing Elapsed() const;

 private:
  timespec WallStart;
  timespec CpuStart;
};
