#include "io/curve_file.h"

#include <optional>
#include <utility>

#include "io/file_error.h"
#include "model/curve_set.h"

namespace kivex::io {

namespace {

constexpr long long kMaxLines = 20000;  // ample for 4000 points among headers and blank lines
constexpr std::size_t kMaxLineLength = 4096;
constexpr int kMaxColumns = 64;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Count(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Why the column reading refused a file. `pairLike`: the file reads as plain comma-separated
// pairs up to its fault, so the pair format's own refusal is the one to show.
struct ColumnRefusal {
  std::string description;
  bool pairLike = false;
};

// Reads one line at a time into rows of numbers, keeping every column until the choice is made.
class ColumnReader {
 public:
  void Feed(std::string_view text) {
    for (char c : text) Take(c);
  }

  CurveFileLayout Finish(std::vector<double>& values) {
    if (!line_.empty() || lineTooLong_) EndLine();
    if (!dataStarted_) Refuse("no data: every line is text, a comment or blank");
    values = std::move(values_);
    return layout_;
  }

 private:
  void Take(char c) {
    if (afterCarriageReturn_) {
      afterCarriageReturn_ = false;
      if (c == '\n') return;  // CR LF is one line end
    }
    if (c == '\r' || c == '\n') {
      afterCarriageReturn_ = c == '\r';
      EndLine();
      return;
    }
    if (c == '\0') {
      Refuse(AtLine("a zero byte: this is no text file (UTF-16 is read only with its byte-order "
                    "mark)"),
             Fault::NotText);
    }
    if (line_.size() < kMaxLineLength) {
      line_ += c;
    } else {
      lineTooLong_ = true;
    }
  }

  std::string AtLine(const std::string& what) const {
    return "line " + std::to_string(lineNumber_) + ": " + what;
  }

  enum class Fault { Other, FieldCount, NotText };

  [[noreturn]] void Refuse(const std::string& description, Fault fault = Fault::Other) const {
    // A file of comma-separated numbers without text or comments that is not columns of three or
    // more is a faulty file of pairs.
    const bool pairLike = fault != Fault::NotText && layout_.skippedLines == 0 &&
                          layout_.commentLines == 0 && layout_.separator == FieldSeparator::Comma &&
                          (layout_.columnCount <= 2 || fault == Fault::FieldCount);
    throw ColumnRefusal{description, pairLike};
  }

  void EndLine() {
    if (lineNumber_ > kMaxLines) {
      Refuse(AtLine("more than " + std::to_string(kMaxLines) +
                    " lines in all; a curve holds at most " + std::to_string(model::kMaxPoints) +
                    " points"));
    }
    Line(Trimmed(line_));
    line_.clear();
    lineTooLong_ = false;
    ++lineNumber_;
  }

  void Line(std::string_view line) {
    if (lineTooLong_) {
      if (dataStarted_) Refuse(AtLine("longer than " + std::to_string(kMaxLineLength) + " bytes"));
      Skip({});  // a long title or setting
      return;
    }
    if (line.empty()) return;
    if (line.front() == '#') {
      // Before the data a comment may be the header row: "# E/V, I/A".
      if (dataStarted_) {
        ++layout_.commentLines;
      } else {
        Skip(Trimmed(line.substr(1)));
      }
      return;
    }
    if (!dataStarted_) {
      const std::optional<FieldSeparator> separator = NumberLineSeparator(line, fields_);
      if (!separator) {
        Skip(line);
        return;
      }
      Start(*separator);
    } else {
      if (rows_ >= model::kMaxPoints) {
        Refuse(AtLine("more than " + std::to_string(model::kMaxPoints) +
                      " lines of numbers; a curve holds at most " +
                      std::to_string(model::kMaxPoints) + " points"));
      }
      SplitFields(line, layout_.separator, fields_);
    }
    Row();
  }

  void Skip(std::string_view line) {
    ++layout_.skippedLines;
    header_ = line;
  }

  void Start(FieldSeparator separator) {
    layout_.columns = true;
    layout_.separator = separator;
    layout_.columnCount = static_cast<int>(fields_.size());
    layout_.firstDataLine = lineNumber_;
    if (fields_.size() == 1) {
      Refuse(AtLine("a single number; a curve needs a potential and a value on every line"));
    }
    if (fields_.size() > static_cast<std::size_t>(kMaxColumns)) {
      Refuse(AtLine("more than " + std::to_string(kMaxColumns) + " columns"));
    }
    std::vector<std::string> names;
    SplitFields(header_, separator, names);
    if (names.size() == fields_.size()) layout_.columnNames = std::move(names);
    dataStarted_ = true;
  }

  void Row() {
    const bool decimalComma = DecimalCommaAllowed(layout_.separator);
    for (const std::string& field : fields_) {
      bool usedComma = false;
      const std::optional<double> value = FieldNumber(field, decimalComma, &usedComma);
      if (!value) {
        Refuse(AtLine(field.empty() ? "a field is empty"
                                    : ShownField(field, false) + " is not a number"));
      }
      layout_.decimalComma |= usedComma;
      values_.push_back(*value);
    }
    if (fields_.size() != static_cast<std::size_t>(layout_.columnCount)) {
      Refuse(AtLine(Count(static_cast<long long>(fields_.size()), "field", "fields") +
                    ", but the lines of numbers above have " + std::to_string(layout_.columnCount)),
             Fault::FieldCount);
    }
    ++rows_;
  }

  CurveFileLayout layout_;
  std::vector<double> values_;
  std::vector<std::string> fields_;
  std::string line_;
  std::string header_;  // the last skipped line before the data
  bool lineTooLong_ = false;
  bool afterCarriageReturn_ = false;
  bool dataStarted_ = false;
  long long lineNumber_ = 1;
  int rows_ = 0;
};

// Both readings run side by side over one pass of the decoded text; each stops at its first
// refusal, and the file is read no further once both have stopped.
class CurveReading {
 public:
  // False once nothing more is wanted.
  bool Take(std::string_view bytes) {
    text_.clear();
    decoder_.Feed(bytes, text_);
    Give();
    return !pairError_ || !columnRefusal_;
  }

  CurveFile Finish() {
    text_.clear();
    decoder_.Finish(text_);
    Give();
    CurveFile file;
    file.layout.encoding = decoder_.encoding();
    if (!pairError_) {
      try {
        CsvPairs pairs = pairs_.Finish();
        if (pairs_.fieldsPerLine() < 3) {
          file.values.reserve(2 * pairs.x.size());
          for (std::size_t i = 0; i < pairs.x.size(); ++i) {
            file.values.push_back(pairs.x[i]);
            file.values.push_back(pairs.y[i]);
          }
          return file;
        }
      } catch (const FileError& error) {
        pairError_ = std::string(error.description());
      }
    }
    if (!columnRefusal_) {
      try {
        const TextEncoding encoding = file.layout.encoding;
        file.layout = columns_.Finish(file.values);
        file.layout.encoding = encoding;
        return file;
      } catch (const ColumnRefusal& refusal) {
        columnRefusal_ = refusal;
      }
    }
    if (pairError_ && columnRefusal_->pairLike) throw FileError(*pairError_);
    throw FileError(columnRefusal_->description);
  }

 private:
  void Give() {
    if (!pairError_) {
      try {
        pairs_.Feed(text_);
      } catch (const FileError& error) {
        pairError_ = std::string(error.description());
      }
    }
    if (!columnRefusal_) {
      try {
        columns_.Feed(text_);
      } catch (const ColumnRefusal& refusal) {
        columnRefusal_ = refusal;
      }
    }
  }

  TextDecoder decoder_;
  std::string text_;
  PairReader pairs_;
  ColumnReader columns_;
  std::optional<std::string> pairError_;
  std::optional<ColumnRefusal> columnRefusal_;
};

std::string ColumnText(const CurveFileLayout& layout, int column) {
  std::string text = "column " + std::to_string(column);
  if (column >= 1 && static_cast<std::size_t>(column) <= layout.columnNames.size()) {
    text += " " + ShownField(layout.columnNames[static_cast<std::size_t>(column - 1)], false);
  }
  return text;
}

}  // namespace

CurveFile ReadCurveFile(const std::string& path) {
  CurveReading reading;
  ReadFileChunks(path, [&](std::string_view chunk) { return reading.Take(chunk); });
  return reading.Finish();
}

CurveFile ParseCurveFile(std::string_view bytes) {
  CurveReading reading;
  reading.Take(bytes);
  return reading.Finish();
}

CsvPairs CurvePoints(const CurveFile& file, ColumnChoice choice) {
  const int columns = file.layout.columnCount;
  for (int column : {choice.potential, choice.value}) {
    if (column < 1 || column > columns) {
      throw FileError("column " + std::to_string(column) + " was chosen, but the file has " +
                      std::to_string(columns) + " columns");
    }
  }
  if (choice.potential == choice.value) {
    throw FileError("the potential and the value cannot both come from column " +
                    std::to_string(choice.value));
  }
  CsvPairs points;
  const std::size_t rows = file.rows();
  points.x.reserve(rows);
  points.y.reserve(rows);
  for (std::size_t row = 0; row < rows; ++row) {
    const std::size_t first = row * static_cast<std::size_t>(columns);
    points.x.push_back(file.values[first + static_cast<std::size_t>(choice.potential - 1)]);
    points.y.push_back(file.values[first + static_cast<std::size_t>(choice.value - 1)]);
  }
  return points;
}

std::vector<std::string> LayoutReport(const CurveFileLayout& layout, ColumnChoice choice) {
  std::vector<std::string> lines;
  const std::string_view encoding = EncodingName(layout.encoding);
  const bool utf16 =
      layout.encoding == TextEncoding::Utf16Le || layout.encoding == TextEncoding::Utf16Be;
  if (!layout.columns) {
    if (utf16) lines.push_back("Read as pairs of numbers, " + std::string(encoding));
    if (choice != ColumnChoice{}) {
      lines.push_back("E from column " + std::to_string(choice.potential) + ", I from column " +
                      std::to_string(choice.value) + " of each pair");
    }
    return lines;
  }
  if (layout.skippedLines > 0 || layout.commentLines > 0) {
    std::string skipped = "Skipped " + Count(layout.skippedLines, "line", "lines") +
                          " before the data, which start on line " +
                          std::to_string(layout.firstDataLine);
    if (layout.commentLines > 0) {
      skipped += ", and " + Count(layout.commentLines, "comment line", "comment lines") + " after";
    }
    lines.push_back(skipped);
  }
  std::string shape = "Read " + std::to_string(layout.columnCount) + " columns separated by " +
                      std::string(SeparatorName(layout.separator));
  if (layout.decimalComma) shape += ", with decimal commas";
  if (!encoding.empty()) shape += ", " + std::string(encoding);
  lines.push_back(shape);
  lines.push_back("E from " + ColumnText(layout, choice.potential) + ", I from " +
                  ColumnText(layout, choice.value));
  return lines;
}

}  // namespace kivex::io
