#pragma once
// Reading a measured curve as Import does: the pair format of csv_import.h, read exactly as it
// always was, and the text exports of instruments and spreadsheets beside it.
//
// A file the pair format accepts is read by it, unless every line holds the same number k >= 3
// of fields: those are columns, not pairs running on from line to line. Any other file is read as
// columns, one row a line:
//   - leading lines that are not numbers (titles, instrument settings such as
//     "Scan rate (V/s) = 0.1", the header row) and lines starting with '#' anywhere are skipped
//     and counted; blank lines, and a byte-order mark wherever a line starts, are passed over;
//   - the first line of numbers fixes the separator (column_layout.h: a tab, a semicolon, a
//     comma or runs of blanks; decimal commas where the separator is not a comma) and the number
//     of columns, at least two; the skipped line just above names the columns when it has one
//     field per column (column_heading.h), or gives their units under a names row;
//   - a remark after the numbers of a line ("0.1,1e-06 # c") is passed over, and no-break spaces
//     between numbers are blanks; a whole number alone on the first line, above text, is a count
//     of lines and skipped with it;
//   - numbers written with decimal commas in a file separated by commas (twice as many fields a
//     row as the heading names) are refused, as are numbers too large for a double or grouped
//     by thousands, each with its cause;
//   - a column whose first row holds text (a flag such as "...........") under a heading row of
//     as many fields is a text column: its fields are never read as numbers;
//   - a later row may leave fields empty or end early (stored as NaN: a padding row when the
//     potential or the current is missing), but holds no more fields than the first and no text
//     where a number belongs, else the file is refused with the line and the reason;
//   - every row is kept, up to a memory cap of 8 million numbers;
//   - text is UTF-8, with or without its byte-order mark, or UTF-16 with one (text_decoder.h).
// A column named as a setting ("Scan rate (V/s)") that is filled in its first row only gives that
// setting; a column named as a cycle or scan marks each row's cycle.
// A refusal of a file that reads as plain comma-separated pairs is the pair format's own, and so
// is one of such a file that left a field empty.
//
// The layouts of instruments are recognised by their content (file_layouts.h) and read with what
// they are known to write: tagged tables, a key = value settings header, a counted settings
// header, working-electrode channel columns, side-by-side scans.
//
//   CurveFile file = ParseCurveFile("Potential/V;Current/mA\n0,10;1,5\n0,09;1,7\n");
//   file.layout.columns == true, file.layout.separator == FieldSeparator::Semicolon,
//   file.layout.skippedLines == 1, file.layout.firstDataLine == 2,
//   file.layout.columnInfo[1].scale == 1e-3, CurvePoints(file, {}).y == {1.5e-3, 1.7e-3}

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "io/column_heading.h"
#include "io/column_layout.h"
#include "io/csv_import.h"
#include "io/file_settings.h"
#include "io/row_lines.h"
#include "io/text_decoder.h"

namespace kivex::io {

struct CurveFileLayout {
  bool columns = false;  // false: the pair format, fields taken in pairs in file order
  FieldSeparator separator = FieldSeparator::Comma;
  bool decimalComma = false;             // some number was written with a decimal comma
  int columnCount = 2;                   // the pair format counts as two columns
  std::vector<std::string> columnNames;  // one per column, or none
  long long skippedLines = 0;            // text and comment lines before the data
  long long commentLines = 0;            // comment lines among and after the data
  long long firstDataLine = 0;           // the line of the first numbers (columns only)
  TextEncoding encoding = TextEncoding::Plain;

  std::string format;                  // the layout recognised, for the report ("" for the pair
                                       // format and plain columns): "tagged tables"
  bool oxidationPositive = false;      // the layout writes oxidation current positive
  std::vector<ColumnInfo> columnInfo;  // one per column (columns only)
  FileSettings settings;
  int curveTables = 0;             // tables of a tagged file read as cycles
  int scans = 0;                   // side-by-side scans read one after the other
  long long headerLines = 0;       // the header's own count of its lines
  std::vector<std::string> notes;  // what else was passed over: "Skipped the table ..."
};

struct CurveFile {
  CurveFileLayout layout;
  std::vector<double> values;  // row by row, layout.columnCount values a row; an empty or text
                               // field is NaN
  std::vector<int> rowCycle;   // the file's own cycle of each row (a curve table, a cycle or
                               // scan column), empty when the file marks none
  RowLines rowLines;           // the line each row was read from (for the pair format, the line
                               // of each pair's potential)

  std::size_t rows() const { return values.size() / static_cast<std::size_t>(layout.columnCount); }
};

// The columns that give the potential and the value, counted from 1.
struct ColumnChoice {
  int potential = 1;
  int value = 2;
  bool operator==(const ColumnChoice&) const = default;
};

// How a file writes current: as it stands (its layout may know), or oxidation or reduction
// positive. Kivex holds reduction current positive.
enum class CurrentSign { FromFile, OxidationPositive, ReductionPositive };

// What reading may hold: the numbers of all rows, every column counted.
struct ReadLimits {
  long long maxNumbers = 8'000'000;
};

// Raise FileError naming the file, or the line and what was wrong with it.
CurveFile ReadCurveFile(const std::string& path);
CurveFile ParseCurveFile(std::string_view bytes, const ReadLimits& limits = {});

// The points in the chosen columns as TakePoints gives them (measured_points.h) with the sign
// the layout knows: in V and A, padding rows left out. FileError as for TakePoints.
CsvPairs CurvePoints(const CurveFile& file, ColumnChoice choice);

// What the result window says about a file before its point count: nothing for the pair format
// read as ever, else the layout recognised, how the lines were read, which columns were used,
// the units converted and the sign turned (as `sign` says).
std::vector<std::string> LayoutReport(const CurveFileLayout& layout, ColumnChoice choice,
                                      CurrentSign sign = CurrentSign::FromFile);

}  // namespace kivex::io
