#pragma once
// Reading a measured curve from a comma-separated text file.
//
// The file is a flat sequence of numeric fields separated by commas or line ends, taken in pairs
// in file order whatever the line structure: potential (V), then value. Blanks around a field and
// lines holding only blanks are skipped; a leading UTF-8 byte-order mark is ignored. Every field
// must be a number as a whole (the point is the decimal separator in every locale), so a header
// line, an empty field or a stray word is refused with the line it stands on. At most 4000 pairs
// fit the working curves; a longer file is refused as soon as the 4001st pair begins, without
// reading the rest of it.
//
//   io::CsvPairs pairs = io::ParseCsvPairs("0.3, 1.5E-05\r\n0.295, 1.6E-05\r\n");
//   pairs.x == {0.3, 0.295}, pairs.y == {1.5e-5, 1.6e-5}
//
// Import reads more than this pair format (headers, columns, other separators): see curve_file.h.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/row_lines.h"
#include "model/count.h"
#include "model/curve_set.h"

namespace kivex::io {

struct CsvPairs {
  std::vector<double> x;
  std::vector<double> y;
};

// The pair format read one chunk at a time, so that a file is never held in memory whole and a
// long one is refused as soon as it is known to be too long.
class PairReader {
 public:
  // The first chunk holds the start of the file (chunks are far longer than the mark).
  void Feed(std::string_view chunk);
  CsvPairs Finish();

  // The number of fields on every line that holds any, 0 when none does, -1 when it varies.
  int fieldsPerLine() const { return fieldsPerLine_; }
  // The line of each pair's potential.
  const RowLines& rowLines() const { return rowLines_; }

 private:
  void Take(char c);
  void Append(char c);
  [[noreturn]] void Fail(long long line, const std::string& what) const;
  void EndField(bool lineEnd);

  CsvPairs pairs_;
  RowLines rowLines_;
  std::string field_;
  bool fieldTooLong_ = false;
  long long line_ = 1;
  int fieldsOnLine_ = 0;
  int fieldsPerLine_ = 0;
  bool pendingX_ = false;
  double x_ = 0;
  long long xLine_ = 0;
  bool afterCarriageReturn_ = false;
  bool atStart_ = true;
};

// The pairs of the file at `path`. Raises FileError naming the file, or the line and what was
// wrong with it: a file that cannot be opened or read, a field that is not a number or is empty,
// an odd number of fields, more than 4000 pairs.
CsvPairs ReadCsvPairs(const std::string& path);

// The same reading rules on text already in memory.
CsvPairs ParseCsvPairs(std::string_view text);

// Hands the bytes of the file at `path` to `take` chunk by chunk (the last one possibly empty)
// until the file ends or `take` returns false. FileError when it cannot be opened or read, or
// is no regular file (a folder, a device, a pipe), which might never end.
void ReadFileChunks(const std::string& path, const std::function<bool(std::string_view)>& take);

// A field as a message shows it: quoted, control characters replaced, long text cut.
std::string ShownField(std::string_view field, bool cut);

// Why a field that reads as no number is written as one, for a refusal to say: " is out of range:
// too large for a number" ("1e400"), " is a number with a thousands separator" ("1,000.5",
// "-1.000.000,25"; not "1,000", which may be a decimal comma); no value for anything else.
std::optional<std::string> NumberFault(std::string_view field);

// Digits grouped in threes by commas or points beside the other as decimal separator ("1,000.5",
// "1.000,5"), or by two groups or more ("1,000,000"), or by no-break spaces ("1\xC2\xA0000");
// "1,000" alone is not, as it may be a decimal comma.
bool ThousandsGrouped(std::string_view field);

// What a refusal says of a field that is no number: the field and its fault, or "is not a number".
std::string NotANumber(std::string_view field, bool cut);

// Holds the points as a measured curve: x(1..M) (the axis of every curve), y(1..M, slot),
// pointCount = M, firstPoint = 1, lastPoint = M, and the axis's shape read from the potentials
// (model::ReadAxisShape). The slot is chosen as for a simulation (model::SelectCurveSlot); with
// overlap the curves held stay beside it only when the points lie on their potentials, otherwise
// it starts afresh in slot 1. Points beyond M keep their former values. Returns the slot.
// FileError, with nothing changed, for more points than a curve holds.
int StoreMeasuredCurve(const CsvPairs& points, model::CurveSet& curves, bool fitting,
                       bool overlapTicked);

// Reads the file as Import does (curve_file.h; the first column the potential, the second the
// value) and, only when the whole file was read without error, holds it as a measured curve
// (StoreMeasuredCurve). Returns the slot. On FileError nothing has changed.
int ImportCsv(const std::string& path, model::CurveSet& curves, bool fitting, bool overlapTicked);

}  // namespace kivex::io
