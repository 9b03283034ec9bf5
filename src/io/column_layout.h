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

// A blank is a space or a tab; text without blanks at either end.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// "commas", "semicolons", "tabs", "blanks", for a report.
std::string_view SeparatorName(FieldSeparator separator);

inline bool DecimalCommaAllowed(FieldSeparator separator) {
  return separator != FieldSeparator::Comma;
}

// Splits `line` (without its line end) into `fields`, which are replaced.
void SplitFields(std::string_view line, FieldSeparator separator, std::vector<std::string>& fields);

// The same split without copying: the fields are views into the line, or, for a quoted field, into
// the splitter's own buffer. They stay valid until the next Split or until the line goes. Once its
// buffers have grown to the longest line, a split allocates nothing.
class FieldSplitter {
 public:
  const std::vector<std::string_view>& Split(std::string_view line, FieldSeparator separator);
  const std::vector<std::string_view>& fields() const { return fields_; }

 private:
  std::vector<std::string_view> fields_;
  std::string unquoted_;
};

// The number in a field, or no value; `usedComma` says whether a decimal comma was read.
std::optional<double> FieldNumber(std::string_view field, bool decimalComma,
                                  bool* usedComma = nullptr);

// A plain decimal number at text[at] ("-0,125e-3" where `decimalComma`), read exactly when its
// digits form an integer below 2^53 and its decimal exponent lies within +-22: the digits and the
// power of ten are exact doubles, so one multiplication or division rounds correctly (Clinger's
// fast path), as the full conversion would. On success `at` is moved past it; false (nothing moved)
// for anything else, which FieldNumber reads the long way.
bool ReadShortDecimal(std::string_view text, std::size_t& at, bool decimalComma, double& value,
                      bool& usedComma);

// The separator under which every field of `line` is a number or empty, and one at least a
// number, with `fields` split by it; no value when the line holds anything else (a title, a
// header, a setting such as "Scan rate = 0.1"). The separator is a tab when the line has one,
// else a semicolon when it has one, else a comma or, failing that, runs of blanks; a line
// holding a single number counts as split by commas.
std::optional<FieldSeparator> NumberLineSeparator(std::string_view line,
                                                  std::vector<std::string>& fields);

// A line that may be data: the separator chosen as NumberLineSeparator chooses it and what the
// fields hold under it. `texts` is 0 where NumberLineSeparator takes the line; otherwise the line
// splits by tabs, semicolons or commas into `numbers` numbers beside `texts` fields of text (a
// table row with a column of flags), and the caller decides whether it is data.
struct LineShape {
  FieldSeparator separator = FieldSeparator::Comma;
  int numbers = 0;
  int texts = 0;
};
std::optional<LineShape> DataLineShape(std::string_view line, FieldSplitter& splitter);

}  // namespace kivex::io
