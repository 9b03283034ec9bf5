#include "io/column_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "io/csv_import.h"

namespace kivex::io {

namespace {

constexpr std::size_t kMaxLineLength = 4096;
constexpr int kMaxColumns = 64;
constexpr std::size_t kMaxNotes = 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

std::string Count(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Up to `most` tabs off the front of a tab-separated line.
std::string_view WithoutLeadingTabs(std::string_view line, std::size_t most) {
  for (std::size_t i = 0; i < most && !line.empty() && line.front() == '\t'; ++i) {
    line.remove_prefix(1);
  }
  return line;
}

// Headings aligned with blanks, split where two blanks or a tab part them ("E (V)   I (A)").
std::vector<std::string_view> AlignedFields(std::string_view line) {
  std::vector<std::string_view> fields;
  line = TrimBlanks(line);
  while (!line.empty()) {
    std::size_t end = 0;
    while (end < line.size() && line[end] != '\t' &&
           !(line[end] == ' ' && end + 1 < line.size() && line[end + 1] == ' ')) {
      ++end;
    }
    fields.push_back(TrimBlanks(line.substr(0, end)));
    line = TrimBlanks(line.substr(end));
  }
  return fields;
}

// Most of the fields name units ("#", "s", "V vs. Ref.", "A"): the units row under the names.
bool UnitsRow(const std::vector<std::string_view>& fields) {
  int units = 0;
  int filled = 0;
  for (std::string_view field : fields) {
    if (field.empty()) continue;
    ++filled;
    units += ParseUnit(field) ? 1 : 0;
  }
  return filled > 0 && 2 * units >= filled;
}

// Every field names something and none is a unit alone: a row of column names.
bool NamesRow(const std::vector<std::string_view>& fields) {
  return std::all_of(fields.begin(), fields.end(),
                     [](std::string_view field) { return !field.empty() && !ParseUnit(field); });
}

// A whole number, such as a count of the lines below.
bool WholeNumber(std::string_view field) {
  if (!field.empty() && (field.front() == '+' || field.front() == '-')) field.remove_prefix(1);
  return !field.empty() &&
         std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The digits after a decimal comma, with any exponent: "500", "00E-07".
bool Fraction(std::string_view field) {
  std::size_t at = 0;
  while (at < field.size() && field[at] >= '0' && field[at] <= '9') ++at;
  if (at == 0) return false;
  if (at < field.size() && (field[at] == 'e' || field[at] == 'E')) {
    ++at;
    if (at < field.size() && (field[at] == '+' || field[at] == '-')) ++at;
    return at < field.size() && WholeNumber(field.substr(at));
  }
  return at == field.size();
}

// Numbers written with decimal commas and separated by commas: each splits into its whole part
// and its fraction, so a row holds twice as many fields as the heading names ("0,500,1,00E-07"
// under "Potential/V,Current/A").
bool SplitByDecimalCommas(const std::vector<std::string_view>& fields, std::size_t headings) {
  if (headings < 2 || fields.size() != 2 * headings) return false;
  for (std::size_t i = 0; i < fields.size(); i += 2) {
    if (!WholeNumber(fields[i]) || !Fraction(fields[i + 1])) return false;
  }
  return true;
}

// Numbers grouped by thousands and separated by commas: "1,000.5,2e-06" splits into more fields
// than the heading names. The fields from `at` on, taken as `groups` numbers, each a field alone
// or fields that joined by commas are grouped by thousands: the first such number ("" when every
// number is a field alone), or no value when they cannot be so taken. `failed` marks the (at,
// groups) found not to work, so that no split is tried twice.
std::optional<std::string> ThousandsAcross(const std::vector<std::string_view>& fields,
                                           std::size_t at, std::size_t groups,
                                           std::vector<char>& failed) {
  constexpr std::size_t kMostParts = 4;  // "1,000,000,000.5"
  const std::size_t left = fields.size() - at;
  if (left < groups || left > kMostParts * groups) return std::nullopt;
  if (groups == 0) return std::string();
  char& known = failed[at * fields.size() + groups];
  if (known != 0) return std::nullopt;
  for (std::size_t parts = 1; parts <= std::min(kMostParts, left); ++parts) {
    std::string joined(fields[at]);
    for (std::size_t k = 1; k < parts; ++k) joined += "," + std::string(fields[at + k]);
    if (parts == 1 ? !FieldNumber(joined, false) : !ThousandsGrouped(joined)) continue;
    if (std::optional<std::string> rest = ThousandsAcross(fields, at + parts, groups - 1, failed)) {
      return parts > 1 ? joined : *rest;
    }
  }
  known = 1;
  return std::nullopt;
}

// Every field split at commas is a number: a line the pair format reads.
bool AllNumbers(std::string_view line, FieldSplitter& splitter) {
  const std::vector<std::string_view>& fields = splitter.Split(line, FieldSeparator::Comma);
  return std::all_of(fields.begin(), fields.end(),
                     [](std::string_view field) { return FieldNumber(field, false).has_value(); });
}

char SeparatorMark(FieldSeparator separator) {
  return separator == FieldSeparator::Tab         ? '\t'
         : separator == FieldSeparator::Semicolon ? ';'
                                                  : ',';
}

constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

}  // namespace

std::string ColumnReader::AtLine(const std::string& what) const {
  return "line " + std::to_string(lineNumber_) + ": " + what;
}

void ColumnReader::Refuse(const std::string& description, Fault fault) const {
  // A file of comma-separated numbers without text or comments that is not columns of three or
  // more is a faulty file of pairs.
  const bool pairLike = fault != Fault::NotText && fault != Fault::TooLarge &&
                        layout_.skippedLines == 0 && layout_.commentLines == 0 &&
                        layout_.separator == FieldSeparator::Comma &&
                        (layout_.columnCount <= 2 || fault == Fault::FieldCount);
  throw ColumnRefusal{description, pairLike};
}

void ColumnReader::RefuseSingleNumber(long long line) const {
  Refuse("line " + std::to_string(line) +
         ": a single number; a curve needs a potential and a value on every line");
}

void ColumnReader::NoteUnreadNumber(std::string_view line) {
  // Numbers in quotes may hold the file's separator: "1,000.5","2.5E-06".
  for (const FieldSeparator separator : {FieldSeparator::Tab, FieldSeparator::Semicolon,
                                         FieldSeparator::Comma, FieldSeparator::Blanks}) {
    const std::vector<std::string_view>& fields = headerSplitter_.Split(line, separator);
    if (fields.size() < 2) continue;
    const bool decimalComma = DecimalCommaAllowed(separator);
    const auto unread = std::find_if(fields.begin(), fields.end(), [](std::string_view field) {
      return NumberFault(field).has_value();
    });
    if (unread != fields.end() &&
        std::all_of(fields.begin(), fields.end(), [&](std::string_view field) {
          return field.empty() || FieldNumber(field, decimalComma) || NumberFault(field);
        })) {
      unreadNumber_ = AtLine(NotANumber(*unread, false));
      return;
    }
  }
}

void ColumnReader::Feed(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    if (afterCarriageReturn_) {
      afterCarriageReturn_ = false;
      if (text[i] == '\n') {  // CR LF is one line end
        ++i;
        continue;
      }
    }
    // The line ends at the first LF, CR or zero byte.
    std::size_t end = std::min(text.find('\n', i), n);
    end = std::min(text.substr(0, end).find('\r', i), end);
    end = std::min(text.substr(0, end).find('\0', i), end);
    if (end == n) {
      Append(text.substr(i));  // the line goes on in the next chunk
      return;
    }
    if (text[end] == '\0') {
      Refuse(AtLine("a zero byte: this is no text file (UTF-16 is read only with its byte-order "
                    "mark)"),
             Fault::NotText);
    }
    afterCarriageReturn_ = text[end] == '\r';
    if (line_.empty() && !lineTooLong_) {
      // A line wholly in this chunk is read where it stands.
      std::string_view line = text.substr(i, end - i);
      if (line.size() > kMaxLineLength) {
        lineTooLong_ = true;
        line = line.substr(0, kMaxLineLength);
      }
      EndLine(line);
    } else {
      Append(text.substr(i, end - i));
      EndLine(line_);
      line_.clear();
    }
    i = end + 1;
  }
}

void ColumnReader::Append(std::string_view piece) {
  const std::size_t room = kMaxLineLength - std::min(line_.size(), kMaxLineLength);
  if (piece.size() > room) {
    lineTooLong_ = true;
    piece = piece.substr(0, room);
  }
  line_.append(piece);
}

void ColumnReader::EndLine(std::string_view raw) {
  // A byte-order mark may start any line where a file was pieced together.
  while (raw.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    raw.remove_prefix(kByteOrderMark.size());
  }
  while (!raw.empty() && IsBlank(raw.back())) raw.remove_suffix(1);
  Line(raw);
  lineTooLong_ = false;
  ++lineNumber_;
}

void ColumnReader::Line(std::string_view raw) {
  if (lineTooLong_) {
    if (dataStarted_) Refuse(AtLine("longer than " + std::to_string(kMaxLineLength) + " bytes"));
    Skip({});  // a long title or setting
    return;
  }
  // Leading tabs may stand for empty columns; leading blanks never do.
  std::string_view line = raw;
  if (raw.find(kNoBreakSpace) != std::string_view::npos) line = WithoutNoBreakSpaces(raw);
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  std::string_view trimmed = TrimBlanks(line);
  if (trimmed.empty()) return;
  if (const std::string_view numbers = WithoutRemark(trimmed); numbers.size() < trimmed.size()) {
    line = line.substr(0, static_cast<std::size_t>(numbers.data() + numbers.size() - line.data()));
    trimmed = numbers;
  }
  if (countLine_ != 0 && !countSettled_) SettleCount(trimmed);
  if (!dataStarted_ && lineNumber_ <= facts_.headerLines) {
    HeaderText(line, trimmed);
    return;
  }
  // (A tagged table's units row starts with its count column "#".)
  if (trimmed.front() == '#' && !ReadsTables()) {
    // Before the data a comment may be the header row: "# E/V, I/A".
    if (dataStarted_) {
      ++layout_.commentLines;
    } else {
      Skip(TrimBlanks(trimmed.substr(1)));
      settings_.Line(header_, lineNumber_);
    }
    return;
  }
  std::string_view tableName;
  if ((!dataStarted_ || ReadsTables()) && TableLine(trimmed, tableName)) {
    BeginTable(tableName, line);
    return;
  }
  if (!dataStarted_) {
    FirstRow(line, trimmed);
  } else {
    NextRow(line, trimmed);
  }
}

std::string_view ColumnReader::WithoutRemark(std::string_view trimmed) {
  // A remark starts after blanks or a separator; "1e-06#2" is no number, and no remark either.
  const std::size_t hash = trimmed.find('#');
  if (hash == std::string_view::npos || hash == 0) return trimmed;
  const char before = trimmed[hash - 1];
  if (!IsBlank(before) && before != ',' && before != ';') return trimmed;
  std::string_view numbers = TrimBlanks(trimmed.substr(0, hash));
  const std::optional<LineShape> shape = DataLineShape(numbers, splitter_);
  if (!shape || shape->texts > 0) return trimmed;
  if (shape->separator == FieldSeparator::Blanks) return numbers;
  const char mark = SeparatorMark(shape->separator);
  // A remark that holds the separator is fields.
  if (trimmed.find(mark, hash) != std::string_view::npos) return trimmed;
  // Does the '#' start a field of its own? Then it is a text column's ("#flag") where the
  // heading or the first row has a column there.
  const std::string_view gap = trimmed.substr(numbers.size(), hash - numbers.size());
  bool ownField = gap.find(mark) != std::string_view::npos;
  if (numbers.back() == mark) {
    numbers = TrimBlanks(numbers.substr(0, numbers.size() - 1));
    ownField = true;
  }
  if (ownField) {
    const std::size_t at = splitter_.Split(numbers, shape->separator).size();
    const bool textColumn =
        dataStarted_ ? at < textColumn_.size() && textColumn_[at] != 0
                     : headerSplitter_.Split(TrimBlanks(header_), shape->separator).size() > at;
    if (textColumn) return trimmed;
  }
  return numbers;
}

void ColumnReader::SettleCount(std::string_view next) {
  countSettled_ = true;
  // Text or a comment below it makes it a count; numbers, even those that run on from line to
  // line as pairs may, make it a row of one column, refused as it always was.
  const std::optional<LineShape> shape = DataLineShape(next, splitter_);
  const bool text =
      !next.empty() &&
      (next.front() == '#' || ((!shape || shape->texts > 0) && !AllNumbers(next, headerSplitter_)));
  if (text) return;
  --layout_.skippedLines;
  RefuseSingleNumber(countLine_);
}

std::string_view ColumnReader::WithoutNoBreakSpaces(std::string_view raw) {
  // A spreadsheet may align its numbers with no-break spaces (U+00A0); as blanks they separate
  // the numbers. Any other line, a heading say, keeps them.
  spaced_.clear();
  for (std::size_t at = 0; at < raw.size();) {
    if (raw.substr(at, kNoBreakSpace.size()) == kNoBreakSpace) {
      spaced_ += ' ';
      at += kNoBreakSpace.size();
    } else {
      spaced_ += raw[at++];
    }
  }
  const std::optional<LineShape> shape = DataLineShape(TrimBlanks(spaced_), splitter_);
  return shape && shape->texts == 0 ? std::string_view(spaced_) : raw;
}

void ColumnReader::Skip(std::string_view line) {
  ++layout_.skippedLines;
  std::swap(header_, headerAbove_);
  header_.assign(line);
}

void ColumnReader::HeaderText(std::string_view line, std::string_view trimmed) {
  Skip(line);
  settings_.Line(trimmed, lineNumber_);
  if (facts_.headerLines == 0 && lineNumber_ <= 3) {
    if (const std::optional<long long> count = CountedHeaderLines(trimmed)) {
      if (*count >= lineNumber_) facts_.headerLines = *count;
    }
  }
}

void ColumnReader::BeginTable(std::string_view name, std::string_view line) {
  if (!facts_.tables) {
    facts_.tables = true;
    if (format_ == nullptr) Recognise();
  }
  if (!ReadsTables()) {
    HeaderText(line, TrimBlanks(line));
    return;
  }
  CloseTable();
  inTable_ = true;
  tableName_ = name;
  tableRows_ = 0;
  headingRowsLeft_ = 2;
  inCurveTable_ = CurveTableName(name);
  if (inCurveTable_) ++layout_.curveTables;
  if (!dataStarted_) Skip(line);
}

void ColumnReader::CloseTable() {
  if (inTable_ && !inCurveTable_ && layout_.notes.size() < kMaxNotes) {
    layout_.notes.push_back("Skipped the table " + ShownField(tableName_, false) + " (" +
                            Count(tableRows_, "row", "rows") + "): it is not a curve");
  }
  inTable_ = false;
  inCurveTable_ = false;
}

bool ColumnReader::TextColumnsAllowed(const LineShape& shape) {
  if (shape.texts == 0) return true;
  if (shape.separator == FieldSeparator::Blanks || shape.numbers < 2 ||
      shape.numbers < shape.texts) {
    return false;
  }
  // A row of a table under its heading row: as many fields in both, the headings not numbers.
  const std::size_t fields = splitter_.fields().size();
  const std::vector<std::string_view>& headings =
      headerSplitter_.Split(TrimBlanks(header_), shape.separator);
  const bool decimalComma = DecimalCommaAllowed(shape.separator);
  return headings.size() == fields &&
         std::count_if(headings.begin(), headings.end(), [&](std::string_view heading) {
           return FieldNumber(heading, decimalComma).has_value();
         }) <= 1;
}

void ColumnReader::FirstRow(std::string_view line, std::string_view trimmed) {
  const std::optional<LineShape> shape = DataLineShape(trimmed, splitter_);
  if (!shape || !TextColumnsAllowed(*shape)) {
    if (!unreadNumber_) NoteUnreadNumber(trimmed);
    HeaderText(line, trimmed);
    return;
  }
  // A whole number alone on the first line may count the lines below, as some programs write
  // it above the header; the next line tells (SettleCount).
  if (splitter_.fields().size() == 1 && layout_.skippedLines == 0 && countLine_ == 0 &&
      WholeNumber(trimmed)) {
    countLine_ = lineNumber_;
    Skip(trimmed);
    return;
  }
  if (ReadsTables() && !inCurveTable_) {
    // A row of a table that is not the curve, such as the open-circuit record before it.
    ++layout_.skippedLines;
    ++(inTable_ ? tableRows_ : strayRows_);
    return;
  }
  // A line of numbers that could not all be read is no heading: its fault is the file's.
  if (unreadNumber_) Refuse(*unreadNumber_);
  Start(*shape, line);
  std::size_t at = 0;
  if (ReadRow(splitter_.fields(), at) != RowFault::None) {
    Refuse(AtLine(NotANumber(splitter_.fields()[at], false)));
  }
  Commit();
}

void ColumnReader::Start(const LineShape& shape, std::string_view line) {
  const std::vector<std::string_view>& fields = splitter_.fields();
  layout_.columns = true;
  layout_.separator = shape.separator;
  layout_.columnCount = static_cast<int>(fields.size());
  layout_.firstDataLine = lineNumber_;
  if (fields.size() == 1) RefuseSingleNumber(lineNumber_);
  if (fields.size() > static_cast<std::size_t>(kMaxColumns)) {
    Refuse(AtLine("more than " + std::to_string(kMaxColumns) + " columns"));
  }
  if (shape.separator == FieldSeparator::Comma) RefuseCommasInNumbers(fields);
  if (shape.separator == FieldSeparator::Tab) {
    while (lead_ < line.size() && line[lead_] == '\t') ++lead_;
  }
  Headings();
  const bool decimalComma = DecimalCommaAllowed(shape.separator);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    layout_.columnInfo[i].text = !fields[i].empty() && !FieldNumber(fields[i], decimalComma);
  }
  filled_.assign(fields.size(), 0);
  // As many rows as lines of this length fit the file, within the cap.
  const std::size_t rows = sizeHint_ / (line.size() + 1);
  values_.reserve(static_cast<std::size_t>(
      std::min<long long>(static_cast<long long>(rows * fields.size()), limits_.maxNumbers)));
  textColumn_.clear();
  for (const ColumnInfo& column : layout_.columnInfo) textColumn_.push_back(column.text ? 1 : 0);
  dataStarted_ = true;
  if (format_ == nullptr) Recognise();
}

void ColumnReader::RefuseCommasInNumbers(const std::vector<std::string_view>& fields) {
  // The heading's own count, whatever separates it: "E;I" over "0,5,1,2e-6".
  std::size_t headings = 0;
  for (const FieldSeparator separator :
       {FieldSeparator::Comma, FieldSeparator::Semicolon, FieldSeparator::Tab}) {
    headings = std::max(headings, headerSplitter_.Split(TrimBlanks(header_), separator).size());
  }
  if (headings < 2 || fields.size() <= headings) return;
  if (SplitByDecimalCommas(fields, headings)) {
    Refuse(AtLine(Count(static_cast<long long>(fields.size()), "field", "fields") + " under " +
                  std::to_string(headings) +
                  " headings: the numbers are written with decimal commas, which a file "
                  "separated by commas cannot hold; save it separated by semicolons or tabs"));
  }
  std::vector<char> failed(fields.size() * fields.size(), 0);
  if (const std::optional<std::string> grouped = ThousandsAcross(fields, 0, headings, failed);
      grouped && !grouped->empty()) {
    Refuse(AtLine(NotANumber(*grouped, false)));
  }
}

void ColumnReader::Headings() {
  const auto columns = static_cast<std::size_t>(layout_.columnCount);
  const FieldSeparator separator = layout_.separator;
  // A heading row splits as the data do: after the same empty columns, else trimmed, else (for
  // blank-aligned headings that hold blanks) where two blanks part them.
  auto split = [&](const std::string& text) {
    std::vector<std::string_view> fields =
        headerSplitter_.Split(WithoutLeadingTabs(text, lead_), separator);
    if (fields.size() != columns) fields = headerSplitter_.Split(TrimBlanks(text), separator);
    if (fields.size() != columns && separator == FieldSeparator::Blanks) {
      fields = AlignedFields(text);
    }
    return std::vector<std::string>(fields.begin(), fields.end());
  };
  std::vector<std::string> headings = split(header_);
  std::vector<std::string> units(columns);
  std::vector<std::string> above = split(headerAbove_);
  layout_.columnInfo.assign(columns, ColumnInfo{});
  if (headings.size() != columns) return;
  auto views = [](const std::vector<std::string>& texts) {
    return std::vector<std::string_view>(texts.begin(), texts.end());
  };
  if (UnitsRow(views(headings)) && above.size() == columns && NamesRow(views(above))) {
    units = std::move(headings);
    headings = std::move(above);
  } else {
    facts_.titles = std::move(above);
  }
  layout_.columnNames.clear();
  for (std::size_t i = 0; i < columns; ++i) {
    layout_.columnInfo[i] = DescribeColumn(headings[i], units[i]);
    layout_.columnNames.push_back(layout_.columnInfo[i].heading);
  }
}

void ColumnReader::NextRow(std::string_view line, std::string_view trimmed) {
  const std::string_view view =
      layout_.separator == FieldSeparator::Tab ? WithoutLeadingTabs(line, lead_) : trimmed;
  if (QuickRow(view)) {
    if (ReadsTables() && !inCurveTable_) {
      headingRowsLeft_ = 0;
      ++(inTable_ ? tableRows_ : strayRows_);
      return;
    }
    headingRowsLeft_ = 0;
    Commit();
    return;
  }
  const std::vector<std::string_view>& fields = splitter_.Split(view, layout_.separator);
  std::size_t at = 0;
  const RowFault fault = ReadRow(fields, at);
  if (ReadsTables()) {
    if (fault != RowFault::None) {
      // A table's names and units rows; any other text ends the table.
      if (headingRowsLeft_ > 0) {
        --headingRowsLeft_;
      } else {
        CloseTable();
      }
      settings_.Line(trimmed, lineNumber_);
      return;
    }
    headingRowsLeft_ = 0;
    if (!inCurveTable_) {
      ++(inTable_ ? tableRows_ : strayRows_);
      return;
    }
  }
  if (fault == RowFault::NotANumber) {
    Refuse(AtLine(NotANumber(fields[at], false)));
  }
  if (fault == RowFault::TooMany) {
    Refuse(AtLine(Count(static_cast<long long>(fields.size()), "field", "fields") +
                  ", but the lines of numbers above have " + std::to_string(layout_.columnCount)),
           Fault::FieldCount);
  }
  Commit();
}

bool ColumnReader::QuickRow(std::string_view line) {
  const FieldSeparator separator = layout_.separator;
  if (separator == FieldSeparator::Blanks || line.find('"') != std::string_view::npos) {
    return false;
  }
  const char mark = SeparatorMark(separator);
  const bool decimalComma = DecimalCommaAllowed(separator);
  auto isBlank = [&](char c) { return c == ' ' || (c == '\t' && mark != '\t'); };
  const auto columns = static_cast<std::size_t>(layout_.columnCount);
  row_.assign(columns, kNoValue);
  const std::size_t n = line.size();
  std::size_t at = 0;
  std::size_t column = 0;
  bool empty = false;
  bool usedAnyComma = false;
  while (true) {
    while (at < n && isBlank(line[at])) ++at;
    if (column == columns) return false;  // a field beyond the columns: the full reading says
    if (textColumn_[column] != 0) {
      at = std::min(line.find(mark, at), n);
    } else if (at == n || line[at] == mark) {
      empty = true;
    } else {
      double value = 0;
      bool usedComma = false;
      if (!ReadShortDecimal(line, at, decimalComma, value, usedComma)) return false;
      while (at < n && isBlank(line[at])) ++at;
      if (at < n && line[at] != mark) return false;
      row_[column] = value;
      usedAnyComma |= usedComma;
    }
    ++column;
    if (at == n) break;
    ++at;  // the separator
    std::size_t rest = at;
    while (rest < n && isBlank(line[rest])) ++rest;
    if (rest == n) break;  // a separator ends the line: no empty last field
  }
  layout_.decimalComma |= usedAnyComma;
  leftEmpty_ |= empty || column < columns;
  return true;
}

ColumnReader::RowFault ColumnReader::ReadRow(const std::vector<std::string_view>& fields,
                                             std::size_t& at) {
  const auto columns = static_cast<std::size_t>(layout_.columnCount);
  const bool decimalComma = DecimalCommaAllowed(layout_.separator);
  row_.assign(columns, kNoValue);
  bool usedAnyComma = false;
  bool empty = fields.size() < columns;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i < columns && textColumn_[i]) continue;
    if (fields[i].empty()) {
      empty = true;
      continue;
    }
    bool usedComma = false;
    const std::optional<double> value = FieldNumber(fields[i], decimalComma, &usedComma);
    if (!value) {
      at = i;
      return RowFault::NotANumber;
    }
    usedAnyComma |= usedComma;
    if (i < columns) row_[i] = *value;
  }
  if (fields.size() > columns) {
    for (std::size_t i = columns; i < fields.size(); ++i) {
      if (!fields[i].empty()) return RowFault::TooMany;
    }
  }
  layout_.decimalComma |= usedAnyComma;
  leftEmpty_ |= empty;
  return RowFault::None;
}

void ColumnReader::Commit() {
  if (static_cast<long long>(values_.size()) + static_cast<long long>(row_.size()) >
      limits_.maxNumbers) {
    Refuse(AtLine("the file is too large to hold: more than " + std::to_string(limits_.maxNumbers) +
                  " numbers"),
           Fault::TooLarge);
  }
  values_.insert(values_.end(), row_.begin(), row_.end());
  for (std::size_t i = 0; i < row_.size(); ++i) filled_[i] += std::isnan(row_[i]) ? 0 : 1;
  if (ReadsTables()) rowCycle_.push_back(layout_.curveTables);
  rowLines_.Add(lineNumber_);
  ++rows_;
}

void ColumnReader::Recognise() {
  facts_.settings = &settings_;
  facts_.columns = dataStarted_ ? &layout_.columnInfo : nullptr;
  format_ = RecogniseLayout(facts_);
}

CurveFile ColumnReader::Finish() {
  if (!line_.empty() || lineTooLong_) {
    EndLine(line_);
    line_.clear();
  }
  if (ReadsTables()) {
    CloseTable();
    if (strayRows_ > 0 && layout_.notes.size() < kMaxNotes) {
      layout_.notes.push_back("Skipped " + Count(strayRows_, "row", "rows") +
                              " outside the curve tables");
    }
  }
  if (countLine_ != 0 && !countSettled_) SettleCount("");
  if (!dataStarted_ && unreadNumber_) Refuse(*unreadNumber_);
  if (!dataStarted_) Refuse("no data: every line is text, a comment or blank");
  leftPairFieldsEmpty_ = leftEmpty_ && layout_.skippedLines == 0 && layout_.commentLines == 0 &&
                         layout_.separator == FieldSeparator::Comma &&
                         std::none_of(layout_.columnInfo.begin(), layout_.columnInfo.end(),
                                      [](const ColumnInfo& column) { return column.text; });
  CurveFile file;
  file.layout = std::move(layout_);
  if (values_.capacity() > values_.size() + values_.size() / 4) values_.shrink_to_fit();
  file.values = std::move(values_);
  file.rowCycle = std::move(rowCycle_);
  file.rowLines = std::move(rowLines_);
  MarkSettingColumns(file);
  if (file.rowCycle.empty()) MarkCycles(file);
  file.layout.settings = settings_.Settings();
  file.layout.headerLines = facts_.headerLines;
  if (format_ != nullptr) {
    file.layout.format = format_->Identifier();
    file.layout.oxidationPositive = format_->OxidationPositive();
    format_->Finish(file);
  }
  return file;
}

void ColumnReader::MarkSettingColumns(CurveFile& file) {
  if (rows_ < 2) return;  // a single row fills every column in the first row only
  for (std::size_t i = 0; i < filled_.size(); ++i) {
    ColumnInfo& column = file.layout.columnInfo[i];
    const double first = file.values[i];
    if (filled_[i] == 1 && !std::isnan(first) && !column.text && settings_.Column(column, first)) {
      column.setting = true;
    }
  }
}

void ColumnReader::MarkCycles(CurveFile& file) const {
  const std::vector<ColumnInfo>& info = file.layout.columnInfo;
  const auto found = std::find_if(info.begin(), info.end(), [](const ColumnInfo& column) {
    return column.quantity == Quantity::Cycle && !column.setting && !column.text;
  });
  if (found == info.end()) return;
  const auto column = static_cast<std::size_t>(found - info.begin());
  const auto columns = static_cast<std::size_t>(file.layout.columnCount);
  const std::size_t rows = file.rows();
  std::vector<int> cycles(rows);
  int cycle = 0;
  constexpr double kMostCycles = 1e9;
  for (std::size_t row = 0; row < rows; ++row) {
    const double value = file.values[row * columns + column];
    if (!std::isnan(value)) {
      // A column of cycle numbers holds whole numbers only; any other is no mark.
      if (value != std::floor(value) || std::fabs(value) > kMostCycles) return;
      cycle = static_cast<int>(value);
    }
    cycles[row] = cycle;  // a row without its cycle belongs to the one above
  }
  file.rowCycle = std::move(cycles);
}

}  // namespace kivex::io
