#pragma once
// The column reading of curve_file.h, one chunk of decoded text at a time: lines into rows of
// numbers, every column kept until the choice is made, with the headings, settings and layout
// the lines before the data show. curve_file.cpp runs it beside the pair format and decides
// between them.
//
//   ColumnReader reader(ReadLimits{}, 0);
//   reader.Feed("E/V\tI/mA\n0,1\t2\n");
//   CurveFile file = reader.Finish();  // file.values == {0.1, 2}, columnInfo[1].scale == 1e-3

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/column_layout.h"
#include "io/curve_file.h"
#include "io/file_layouts.h"
#include "io/file_settings.h"

namespace kivex::io {

// Why the column reading refused a file. `pairLike`: the file reads as plain comma-separated
// pairs up to its fault, so the pair format's own refusal is the one to show.
struct ColumnRefusal {
  std::string description;
  bool pairLike = false;
};

class ColumnReader {
 public:
  // `sizeHint`: the bytes the text is expected to hold, 0 when not known; the rows are reserved
  // from it once the first is read.
  ColumnReader(const ReadLimits& limits, std::size_t sizeHint)
      : limits_(limits), sizeHint_(sizeHint) {}

  // Raise ColumnRefusal.
  void Feed(std::string_view text);
  CurveFile Finish();

  // After Finish: the file holds comma-separated numbers only and left some field empty or a
  // row short, a faulty file of pairs rather than columns.
  bool leftPairFieldsEmpty() const { return leftPairFieldsEmpty_; }

 private:
  enum class Fault { Other, FieldCount, NotText, TooLarge };
  enum class RowFault { None, NotANumber, TooMany };

  std::string AtLine(const std::string& what) const;
  [[noreturn]] void RefuseSingleNumber(long long line) const;
  // Before the data: a line of numbers some of which cannot be read (too large, grouped by
  // thousands), which is then no heading but the cause of finding no data.
  void NoteUnreadNumber(std::string_view line);
  [[noreturn]] void Refuse(const std::string& description, Fault fault = Fault::Other) const;
  void Append(std::string_view piece);
  void EndLine(std::string_view raw);
  void Line(std::string_view raw);
  // A line of numbers aligned with no-break spaces, blanks in their place; any other as it is.
  std::string_view WithoutNoBreakSpaces(std::string_view raw);
  // The numbers of a line without the remark after them ("0.1,1e-06 # c", "0.1\t1e-06\t# c");
  // the line as it stands when it holds none, or when the '#' starts a field of a text column.
  std::string_view WithoutRemark(std::string_view trimmed);
  // Whether the whole number alone on the first line counts lines, by the line after it (`next`,
  // empty at the end of the file); refuses it as a row of one column when not.
  void SettleCount(std::string_view next);
  void Skip(std::string_view line);
  void HeaderText(std::string_view line, std::string_view trimmed);
  void BeginTable(std::string_view name, std::string_view line);
  void CloseTable();
  bool TextColumnsAllowed(const LineShape& shape);
  void FirstRow(std::string_view line, std::string_view trimmed);
  void Start(const LineShape& shape, std::string_view line);
  // Numbers that hold the commas separating the fields: more fields in the first row than the
  // heading names, which decimal commas or thousands separators explain.
  void RefuseCommasInNumbers(const std::vector<std::string_view>& fields);
  void Headings();
  void NextRow(std::string_view line, std::string_view trimmed);
  RowFault ReadRow(const std::vector<std::string_view>& fields, std::size_t& at);
  // The row read in one pass where it holds plain decimal numbers only, as ReadRow would read
  // it; false, with nothing taken, for anything else.
  bool QuickRow(std::string_view line);
  void Commit();
  void Recognise();
  bool ReadsTables() const { return format_ != nullptr && format_->ReadsTables(); }
  void MarkSettingColumns(CurveFile& file);
  void MarkCycles(CurveFile& file) const;

  ReadLimits limits_;
  std::size_t sizeHint_ = 0;
  CurveFileLayout layout_;
  std::vector<double> values_;
  std::vector<int> rowCycle_;
  RowLines rowLines_;
  std::vector<long long> filled_;  // the rows holding a number, per column
  std::vector<char> textColumn_;   // per column: a text column
  std::vector<double> row_;        // the row being read
  FieldSplitter splitter_;
  FieldSplitter headerSplitter_;
  std::string line_;
  std::string spaced_;       // a line with its no-break spaces made blanks
  std::string header_;       // the last skipped line before the data
  std::string headerAbove_;  // and the one before it: names over a units row, or scan titles
  bool lineTooLong_ = false;
  bool afterCarriageReturn_ = false;
  bool dataStarted_ = false;
  bool leftEmpty_ = false;  // some row left a field empty or ended early
  bool leftPairFieldsEmpty_ = false;
  long long lineNumber_ = 1;
  long long countLine_ = 0;  // a whole number alone on the first line
  bool countSettled_ = false;
  std::optional<std::string> unreadNumber_;  // the refusal of the first such line
  long long rows_ = 0;
  std::size_t lead_ = 0;  // the tabs before the first row's first field: an empty column

  SettingsReader settings_;
  FileHeader facts_;
  const FileLayout* format_ = nullptr;

  // Tables of a tagged file.
  bool inTable_ = false;
  bool inCurveTable_ = false;
  std::string tableName_;
  long long tableRows_ = 0;
  int headingRowsLeft_ = 0;  // a table's names and units rows, after its opening line
  long long strayRows_ = 0;  // rows outside any table
};

}  // namespace kivex::io
