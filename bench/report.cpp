#include "report.h"

#include <algorithm>
#include <cstdio>

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Report(const std::string& name, double value, int decimals) {
  std::printf("%s: %.*f\n", name.c_str(), decimals, value);
  std::fflush(stdout);
}

void Report(const std::string& name, long value) {
  std::printf("%s: %ld\n", name.c_str(), value);
  std::fflush(stdout);
}
