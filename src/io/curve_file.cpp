#include "io/curve_file.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "io/column_reader.h"
#include "io/file_error.h"
#include "io/measured_points.h"

namespace kivex::io {

namespace {

// Both readings run side by side over one pass of the decoded text; each stops at its first
// refusal, and the file is read no further once both have stopped.
class CurveReading {
 public:
  CurveReading(const ReadLimits& limits, std::size_t sizeHint) : columns_(limits, sizeHint) {}

  // False once nothing more is wanted.
  bool Take(std::string_view bytes) {
    if (!decoder_.PassesThrough()) {
      // The first bytes decide the encoding; 8-bit text after them is read where it stands.
      const std::size_t head = std::min<std::size_t>(bytes.size(), 3);
      text_.clear();
      decoder_.Feed(bytes.substr(0, head), text_);
      bytes.remove_prefix(head);
      if (!decoder_.PassesThrough()) {
        decoder_.Feed(bytes, text_);
        bytes = {};
      }
      Give(text_);
    }
    if (!bytes.empty()) Give(bytes);
    return !pairError_ || !columnRefusal_;
  }

  CurveFile Finish() {
    text_.clear();
    decoder_.Finish(text_);
    Give(text_);
    const TextEncoding encoding = decoder_.encoding();
    if (!pairError_) {
      try {
        CsvPairs pairs = pairs_.Finish();
        if (pairs_.fieldsPerLine() < 3) {
          CurveFile file;
          file.layout.encoding = encoding;
          file.values.reserve(2 * pairs.x.size());
          for (std::size_t i = 0; i < pairs.x.size(); ++i) {
            file.values.push_back(pairs.x[i]);
            file.values.push_back(pairs.y[i]);
          }
          file.rowLines = pairs_.rowLines();
          return file;
        }
      } catch (const FileError& error) {
        pairError_ = std::string(error.description());
      }
    }
    if (!columnRefusal_) {
      try {
        CurveFile file = columns_.Finish();
        file.layout.encoding = encoding;
        // Comma-separated numbers with a field left empty are a faulty file of pairs.
        if (pairError_ && columns_.leftPairFieldsEmpty()) throw FileError(*pairError_);
        return file;
      } catch (const ColumnRefusal& refusal) {
        columnRefusal_ = refusal;
      }
    }
    if (pairError_ && columnRefusal_->pairLike) throw FileError(*pairError_);
    throw FileError(columnRefusal_->description);
  }

 private:
  void Give(std::string_view text) {
    if (text.empty()) return;
    if (!pairError_) {
      try {
        pairs_.Feed(text);
      } catch (const FileError& error) {
        pairError_ = std::string(error.description());
      }
    }
    if (!columnRefusal_) {
      try {
        columns_.Feed(text);
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

}  // namespace

CurveFile ReadCurveFile(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  CurveReading reading(ReadLimits{}, error ? 0 : static_cast<std::size_t>(size));
  ReadFileChunks(path, [&](std::string_view chunk) { return reading.Take(chunk); });
  return reading.Finish();
}

CurveFile ParseCurveFile(std::string_view bytes, const ReadLimits& limits) {
  CurveReading reading(limits, bytes.size());
  reading.Take(bytes);
  return reading.Finish();
}

CsvPairs CurvePoints(const CurveFile& file, ColumnChoice choice) {
  MeasuredPoints points = TakePoints(file, choice, CurrentSign::FromFile);
  return CsvPairs{std::move(points.x), std::move(points.y)};
}

}  // namespace kivex::io
