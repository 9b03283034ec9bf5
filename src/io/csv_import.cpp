#include "io/csv_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <system_error>

#include "io/column_layout.h"
#include "io/curve_file.h"
#include "io/file_error.h"
#include "model/number_text.h"

namespace kivex::io {

namespace {

constexpr std::size_t kMaxFieldLength = 256;  // far beyond any number; stops a runaway field
constexpr std::size_t kShownFieldLength = 24;

}  // namespace

std::string ShownField(std::string_view field, bool cut) {
  std::string shown;
  for (char c : field) {
    const auto byte = static_cast<unsigned char>(c);
    shown += (byte < 0x20 || byte == 0x7F) ? '?' : c;
  }
  if (shown.size() > kShownFieldLength) {
    std::size_t end = kShownFieldLength;
    while (end > 0 && (static_cast<unsigned char>(shown[end]) & 0xC0) == 0x80) --end;
    shown.resize(end);
    cut = true;
  }
  return "\"" + shown + (cut ? "...\"" : "\"");
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t Digits(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - at;
}

// A number whose decimal exponent puts it beyond the largest double ("1e400"); one below the
// smallest ("1e-400") reads as 0 and is no fault.
bool TooLarge(std::string_view field) {
  std::string number(TrimBlanks(field));
  if (!number.empty() && (number.front() == '+' || number.front() == '-')) number.erase(0, 1);
  // A decimal comma reads as a point here: the field is refused either way.
  if (std::count(number.begin(), number.end(), ',') == 1 && number.find('.') == std::string::npos) {
    number[number.find(',')] = '.';
  }
  double value = 0;
  const char* end = number.data() + number.size();
  const auto [ptr, ec] = std::from_chars(number.data(), end, value, std::chars_format::general);
  return ec == std::errc::result_out_of_range && ptr == end && model::ReadNumber(number) != 0;
}

}  // namespace

bool ThousandsGrouped(std::string_view field) {
  field = TrimBlanks(field);
  if (!field.empty() && (field.front() == '+' || field.front() == '-')) field.remove_prefix(1);
  const std::size_t lead = Digits(field, 0);
  if (lead < 1 || lead > 3 || lead == field.size()) return false;
  // Between the groups a comma, a point, or a no-break space (U+00A0, the narrow U+202F) as
  // spreadsheets write in some languages.
  std::string_view group;
  for (const std::string_view mark : {",", ".", "\xC2\xA0", "\xE2\x80\xAF"}) {
    if (field.substr(lead, mark.size()) == mark) group = mark;
  }
  if (group.empty()) return false;
  std::size_t at = lead;
  int groups = 0;
  while (field.substr(at, group.size()) == group && Digits(field, at + group.size()) == 3) {
    at += group.size() + 3;
    ++groups;
  }
  const bool pointed =
      at < field.size() && (field[at] == ',' || field[at] == '.') && field.substr(at, 1) != group;
  if (pointed) at += 1 + Digits(field, at + 1);
  if (at < field.size() && (field[at] == 'e' || field[at] == 'E')) {
    ++at;
    if (at < field.size() && (field[at] == '+' || field[at] == '-')) ++at;
    const std::size_t exponent = Digits(field, at);
    if (exponent == 0) return false;
    at += exponent;
  }
  // One group of a comma or a point and no decimal separator may as well be a decimal comma or
  // point ("1,000"); a space never is one.
  return at == field.size() && groups >= 1 && (pointed || groups >= 2 || group.size() > 1);
}

std::optional<std::string> NumberFault(std::string_view field) {
  if (TooLarge(field)) return " is out of range: too large for a number";
  if (ThousandsGrouped(field)) return " is a number with a thousands separator";
  return std::nullopt;
}

std::string NotANumber(std::string_view field, bool cut) {
  const std::optional<std::string> fault = cut ? std::nullopt : NumberFault(field);
  return ShownField(field, cut) + fault.value_or(" is not a number");
}

void PairReader::Feed(std::string_view chunk) {
  if (atStart_) {
    atStart_ = false;
    if (chunk.substr(0, 3) == "\xEF\xBB\xBF") chunk.remove_prefix(3);
  }
  for (char c : chunk) Take(c);
}

CsvPairs PairReader::Finish() {
  if (!field_.empty() || fieldTooLong_ || fieldsOnLine_ > 0) EndField(true);
  if (pendingX_) {
    Fail(xLine_, "the last potential has no value after it (odd number of fields)");
  }
  return std::move(pairs_);
}

void PairReader::Take(char c) {
  if (afterCarriageReturn_) {
    afterCarriageReturn_ = false;
    if (c == '\n') return;  // CR LF is one line end
  }
  switch (c) {
    case ',': EndField(false); break;
    case '\r':
      afterCarriageReturn_ = true;
      EndField(true);
      break;
    case '\n': EndField(true); break;
    // No text holds one; stopping here spares reading the rest of a binary file.
    case '\0': Fail(line_, "a zero byte: this is no text file");
    default: Append(c);
  }
}

void PairReader::Append(char c) {
  if (field_.empty() && IsBlank(c)) return;  // blanks before a field
  if (field_.size() < kMaxFieldLength) {
    field_ += c;
  } else {
    fieldTooLong_ = true;
  }
}

void PairReader::Fail(long long line, const std::string& what) const {
  throw FileError("line " + std::to_string(line) + ": " + what);
}

void PairReader::EndField(bool lineEnd) {
  while (!field_.empty() && IsBlank(field_.back())) field_.pop_back();
  if (field_.empty() && !fieldTooLong_) {
    if (lineEnd && fieldsOnLine_ == 0) {  // a blank line holds no field
      ++line_;
      return;
    }
    Fail(line_, "a field is empty");
  }
  if (!pendingX_ && pairs_.x.size() >= static_cast<std::size_t>(model::kMaxPoints)) {
    Fail(line_, "more than " + std::to_string(model::kMaxPoints) +
                    " pairs of values; a curve holds at most " + std::to_string(model::kMaxPoints) +
                    " points");
  }
  const std::optional<double> value = fieldTooLong_ ? std::nullopt : model::ParseNumber(field_);
  if (!value) Fail(line_, NotANumber(field_, fieldTooLong_));
  if (pendingX_) {
    pairs_.x.push_back(x_);
    pairs_.y.push_back(*value);
    rowLines_.Add(xLine_);
    pendingX_ = false;
  } else {
    x_ = *value;
    xLine_ = line_;
    pendingX_ = true;
  }
  field_.clear();
  fieldTooLong_ = false;
  ++fieldsOnLine_;
  if (lineEnd) {
    if (fieldsPerLine_ == 0) {
      fieldsPerLine_ = fieldsOnLine_;
    } else if (fieldsPerLine_ != fieldsOnLine_) {
      fieldsPerLine_ = -1;
    }
    ++line_;
    fieldsOnLine_ = 0;
  }
}

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

CsvPairs ParseCsvPairs(std::string_view text) {
  PairReader reader;
  reader.Feed(text);
  return reader.Finish();
}

namespace {

// What a path names when it is not a file of bytes that ends.
const char* NotAFile(mode_t mode) {
  if (S_ISDIR(mode)) return "Is a directory";  // as the system says it
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
  if (S_ISFIFO(mode)) return "it is a pipe, not a file";
  if (S_ISSOCK(mode)) return "it is a socket, not a file";
  return "it is not a regular file";
}

}  // namespace

void ReadFileChunks(const std::string& path, const std::function<bool(std::string_view)>& take) {
  // Opened without waiting, so that a pipe with no writer cannot hang the open; only a regular
  // file is read (a device such as /dev/zero never ends).
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    throw FileError("cannot open " + Quoted(path) + ": " + std::generic_category().message(errno));
  }
  std::unique_ptr<std::FILE, FileCloser> file(::fdopen(fd, "rb"));
  if (!file) {
    const int error = errno;
    ::close(fd);
    throw FileError("cannot open " + Quoted(path) + ": " + std::generic_category().message(error));
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    throw FileError("cannot read " + Quoted(path) + ": " + std::generic_category().message(errno));
  }
  if (!S_ISREG(status.st_mode)) {
    throw FileError("cannot read " + Quoted(path) + ": " + NotAFile(status.st_mode));
  }
  std::vector<char> buffer(std::size_t{64} * 1024);
  for (;;) {
    errno = 0;
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
    if (std::ferror(file.get())) {
      const int error = errno != 0 ? errno : EIO;
      throw FileError("cannot read " + Quoted(path) + ": " +
                      std::generic_category().message(error));
    }
    if (!take(std::string_view(buffer.data(), got)) || got < buffer.size()) return;
  }
}

CsvPairs ReadCsvPairs(const std::string& path) {
  PairReader reader;
  ReadFileChunks(path, [&](std::string_view chunk) {
    reader.Feed(chunk);
    return true;
  });
  return reader.Finish();
}

int StoreMeasuredCurve(const CsvPairs& points, model::CurveSet& curves, bool fitting,
                       bool overlapTicked) {
  if (points.x.size() > static_cast<std::size_t>(model::kMaxPoints)) {
    throw FileError("the file holds " + std::to_string(points.x.size()) +
                    " points; a curve holds at most " + std::to_string(model::kMaxPoints) +
                    " points");
  }
  const int count = static_cast<int>(points.x.size());
  model::ShowHeldCurves(curves);
  const double step = count >= 2 ? std::fabs(points.x[1] - points.x[0]) : 0.0;
  const bool sameAxis = model::EnterAxis(
      curves, model::IsSameAxis(curves, count, step, [&](int i) { return points.x[i - 1]; }));
  model::SelectCurveSlot(curves, fitting, overlapTicked && sameAxis);
  const int slot = curves.currentCurve;
  for (int i = 1; i <= count; ++i) {
    curves.x(i) = points.x[i - 1];
    curves.y(i, slot) = points.y[i - 1];
  }
  curves.pointCount = static_cast<model::Count>(count);
  curves.firstPoint = 1;
  curves.lastPoint = curves.pointCount;
  model::ReadAxisShape(curves);
  model::HoldCurve(curves, slot, model::CurveOrigin::Measurement, 0);
  // The last simulation's per-reaction currents belong to this axis only if it is unchanged and
  // its curve is still held.
  if (!sameAxis || curves.resultCurve == slot) curves.resultCurve = 0;
  return slot;
}

int ImportCsv(const std::string& path, model::CurveSet& curves, bool fitting, bool overlapTicked) {
  return StoreMeasuredCurve(CurvePoints(ReadCurveFile(path), ColumnChoice{}), curves, fitting,
                            overlapTicked);
}

}  // namespace kivex::io
