// The text of synthetic cookie records.
#pragma once

#include <cstdint>
#include <string>

// How the lines of one file end; Mixed varies from line to line.
enum class LineEnds { Lf, CrLf, Cr, Mixed };

// A small deterministic generator, so that every run sees the same folder.
struct Random {
  uint64_t State;

  uint64_t Next();
  // Uniform in [low, high].
  int Between(int low, int high);
};

// Appends one nine-line record to `text`. `lineIndex` counts the lines of the
// file so far; Mixed uses it to choose each line's end.
void AppendRecord(std::string& text, const std::string& name, const std::string& value,
                  int64_t expiry, LineEnds ends, int& lineIndex);

// A cookie value of `length` letters and digits.
std::string RandomValue(Random& random, int length);
