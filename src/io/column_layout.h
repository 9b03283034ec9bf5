#pragma once
// One line of a file of columns, as instruments and spreadsheets write them: how its fields are
// separated, the fields themselves and the numbers they hold.
//
// A field separator is a tab, a semicolon, a comma or a run of blanks. Blanks around a field and
// double quotes around it are removed (a doubled quote inside quotes stands for one, and a
// separator inside quotes is part of the field); a separator at the end of the line starts no
// further field. A number has a point as decimal separator in every locale; where the separator
// is not a comma, a decimal comma is read as well ("0,125"), and a field with both a point and a
// comma is not a number (no thousands separators).
//
//   std::vector<std::string> fields;
//   NumberLineSeparator("0,500\t1,25E-06", fields);  // Tab; fields == {"0,500", "1,25E-06"}
//   FieldNumber("1,25E-06", true);                   // 1.25e-6

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivex::io {

enum class FieldSeparator { Comma, Semicolon, Tab, Blanks };

// "commas", "semicolons", "tabs", "blanks", for a report.
std::string_view SeparatorName(FieldSeparator separator);

inline bool DecimalCommaAllowed(FieldSeparator separator) {
  return separator != FieldSeparator::Comma;
}

// Splits `line` (without its line end) into `fields`, which are replaced.
void SplitFields(std::string_view line, FieldSeparator separator, std::vector<std::string>& fields);

// The number in a field, or no value; `usedComma` says whether a decimal comma was read.
std::optional<double> FieldNumber(std::string_view field, bool decimalComma,
                                  bool* usedComma = nullptr);

// The separator under which every field of `line` is a number or empty, and one at least a
// number, with `fields` split by it; no value when the line holds anything else (a title, a
// header, a setting such as "Scan rate = 0.1"). The separator is a tab when the line has one,
// else a semicolon when it has one, else a comma or, failing that, runs of blanks; a line
// holding a single number counts as split by commas.
std::optional<FieldSeparator> NumberLineSeparator(std::string_view line,
                                                  std::vector<std::string>& fields);

}  // namespace kivex::io
