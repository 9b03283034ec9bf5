#pragma once
// The line of the file each row of numbers was read from, so that a refusal of the points can
// name it. Rows mostly follow one another line by line; only where they do not (after a blank
// line, a comment, a table's headings) is a row's line kept.
//
//   RowLines lines;
//   lines.Add(3);
//   lines.Add(4);
//   lines.Add(7);
//   lines.Line(1) == 4, lines.Line(2) == 7, lines.Line(3) == 0 (no such row)

#include <cstddef>
#include <vector>

namespace kivex::io {

class RowLines {
 public:
  // The next row was read from `line`.
  void Add(long long line);
  // The line of `row` (counted from 0); 0 for a row never added.
  long long Line(std::size_t row) const;

 private:
  struct Run {
    std::size_t row;  // the first row of a run on consecutive lines
    long long line;
  };
  std::vector<Run> runs_;
  std::size_t rows_ = 0;
};

}  // namespace kivex::io
