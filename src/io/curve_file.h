#pragma once
// Reading a measured curve as Import does: the pair format of csv_import.h, read exactly as it
// always was, and the text exports of instruments and spreadsheets beside it.
//
// A file the pair format accepts is read by it, unless every line holds the same number k >= 3
// of fields: those are columns, not pairs running on from line to line. Any other file is read as
// columns, one point a line:
//   - leading lines that are not numbers only (titles, instrument settings such as
//     "Scan rate (V/s) = 0.1", the header row) and lines starting with '#' anywhere are skipped
//     and counted; blank lines are passed over;
//   - the first line of numbers fixes the separator (column_layout.h: a tab, a semicolon, a
//     comma or runs of blanks; decimal commas where the separator is not a comma) and the number
//     of columns, at least two; the skipped line just above names the columns when it has one
//     field per column;
//   - every later line holds that many numbers, else the file is refused with the line and the
//     reason; at most 4000 lines of numbers (the 4001st is refused without reading further) and
//     20000 lines in all;
//   - text is UTF-8, with or without its byte-order mark, or UTF-16 with one (text_decoder.h).
// A refusal of a file that reads as plain comma-separated pairs is the pair format's own.
//
//   CurveFile file = ParseCurveFile("Potential/V;Current/A\n0,10;1,5E-06\n0,09;1,7E-06\n");
//   file.layout.columns == true, file.layout.separator == FieldSeparator::Semicolon,
//   file.layout.skippedLines == 1, file.layout.firstDataLine == 2,
//   CurvePoints(file, {}).x == {0.1, 0.09}

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "io/column_layout.h"
#include "io/csv_import.h"
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
};

struct CurveFile {
  CurveFileLayout layout;
  std::vector<double> values;  // row by row, layout.columnCount values a row

  std::size_t rows() const { return values.size() / static_cast<std::size_t>(layout.columnCount); }
};

// The columns that give the potential and the value, counted from 1.
struct ColumnChoice {
  int potential = 1;
  int value = 2;
  bool operator==(const ColumnChoice&) const = default;
};

// Raise FileError naming the file, or the line and what was wrong with it.
CurveFile ReadCurveFile(const std::string& path);
CurveFile ParseCurveFile(std::string_view bytes);

// The points in the chosen columns. FileError when a column is not in the file or both are one.
CsvPairs CurvePoints(const CurveFile& file, ColumnChoice choice);

// What the result window says about a file before its point count: nothing for the pair format
// read as ever, else how it was read and which columns were used.
std::vector<std::string> LayoutReport(const CurveFileLayout& layout, ColumnChoice choice);

}  // namespace kivex::io
