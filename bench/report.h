// The figures a benchmark prints, one "name: value" line each.
#pragma once

#include <string>
#include <vector>

double Median(std::vector<double> values);

void Report(const std::string& name, double value, int decimals);
void Report(const std::string& name, long value);
