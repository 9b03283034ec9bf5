#include "io/column_layout.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "model/number_text.h"

namespace kivex::io {

namespace {

char SeparatorChar(FieldSeparator separator) {
  switch (separator) {
    case FieldSeparator::Comma: return ',';
    case FieldSeparator::Semicolon: return ';';
    case FieldSeparator::Tab: return '\t';
    case FieldSeparator::Blanks: break;
  }
  return ' ';
}

// Numbers with, at most, gaps between them: a line of data (a gap is refused when it is read).
bool NumbersOnly(const std::vector<std::string>& fields, bool decimalComma) {
  bool any = false;
  for (const std::string& field : fields) {
    if (field.empty()) continue;
    if (!FieldNumber(field, decimalComma)) return false;
    any = true;
  }
  return any;
}

}  // namespace

std::string_view SeparatorName(FieldSeparator separator) {
  switch (separator) {
    case FieldSeparator::Comma: return "commas";
    case FieldSeparator::Semicolon: return "semicolons";
    case FieldSeparator::Tab: return "tabs";
    case FieldSeparator::Blanks: break;
  }
  return "blanks";
}

const std::vector<std::string_view>& FieldSplitter::Split(std::string_view line,
                                                          FieldSeparator separator) {
  fields_.clear();
  unquoted_.clear();
  // Unquoted text is never longer than the line, so the views into it stay put.
  unquoted_.reserve(line.size());
  const bool blanks = separator == FieldSeparator::Blanks;
  const char mark = SeparatorChar(separator);
  // A tab that separates fields is no blank around one.
  auto isBlank = [&](char c) {
    return c == ' ' || (c == '\t' && separator != FieldSeparator::Tab);
  };
  auto isSeparator = [&](char c) { return blanks ? (c == ' ' || c == '\t') : c == mark; };

  std::size_t i = 0;
  const std::size_t n = line.size();
  while (true) {
    while (i < n && isBlank(line[i])) ++i;
    if (blanks && i == n) return fields_;
    std::string_view field;
    if (i < n && line[i] == '"') {
      const std::size_t start = unquoted_.size();
      for (++i; i < n; ++i) {
        if (line[i] != '"') {
          unquoted_ += line[i];
        } else if (i + 1 < n && line[i + 1] == '"') {
          unquoted_ += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
      // Text after a closing quote stays with the field, which then reads as no number.
      while (i < n && !isSeparator(line[i])) unquoted_ += line[i++];
      field = std::string_view(unquoted_).substr(start);
    } else if (!blanks) {
      const std::size_t start = i;
      i = std::min(line.find(mark, i), n);
      field = line.substr(start, i - start);
    } else {
      const std::size_t start = i;
      while (i < n && !isSeparator(line[i])) ++i;
      field = line.substr(start, i - start);
    }
    while (!field.empty() && isBlank(field.back())) field.remove_suffix(1);
    fields_.push_back(field);
    if (i == n) return fields_;
    ++i;  // the separator
    if (!blanks) {
      std::size_t rest = i;
      while (rest < n && isBlank(line[rest])) ++rest;
      if (rest == n) return fields_;  // a separator ends the line: no empty last field
    }
  }
}

void SplitFields(std::string_view line, FieldSeparator separator,
                 std::vector<std::string>& fields) {
  FieldSplitter splitter;
  fields.assign(splitter.Split(line, separator).begin(), splitter.fields().end());
}

bool ReadShortDecimal(std::string_view text, std::size_t& at, bool decimalComma, double& value,
                      bool& usedComma) {
  static constexpr std::array<double, 23> kPowers = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr std::size_t kMostDigits = 19;            // the digits a 64-bit integer always holds
  constexpr std::uint64_t kExactLimit = 1ULL << 53;  // integers up to it are exact doubles
  constexpr int kMostPower = 22;
  const std::size_t n = text.size();
  const char* const data = text.data();
  auto digit = [&](std::size_t k) { return static_cast<unsigned>(data[k] - '0'); };
  std::size_t i = at;
  const bool negative = i < n && data[i] == '-';
  if (negative) ++i;
  std::uint64_t digits = 0;
  const std::size_t integerStart = i;
  for (; i < n && digit(i) < 10; ++i) digits = digits * 10 + digit(i);
  std::size_t count = i - integerStart;
  int exponent = 0;
  bool comma = false;
  if (i < n && (data[i] == '.' || (decimalComma && data[i] == ','))) {
    comma = data[i] == ',';
    const std::size_t fractionStart = ++i;
    for (; i < n && digit(i) < 10; ++i) digits = digits * 10 + digit(i);
    count += i - fractionStart;
    exponent = -static_cast<int>(std::min<std::size_t>(i - fractionStart, 1000));
  }
  // Too many digits may have wrapped the integer: the long way decides.
  if (count == 0 || count > kMostDigits || digits > kExactLimit) return false;
  if (i < n && (data[i] == 'e' || data[i] == 'E')) {
    std::size_t j = i + 1;
    const bool negativeExponent = j < n && data[j] == '-';
    if (j < n && (data[j] == '-' || data[j] == '+')) ++j;
    if (j == n || digit(j) >= 10) return false;
    int written = 0;
    for (; j < n && digit(j) < 10; ++j) {
      written = written * 10 + static_cast<int>(digit(j));
      if (written > 2 * kMostPower + static_cast<int>(kMostDigits)) return false;
    }
    exponent += negativeExponent ? -written : written;
    i = j;
  }
  if (exponent < -kMostPower || exponent > kMostPower) return false;
  const auto magnitude = static_cast<double>(digits);
  value = exponent < 0 ? magnitude / kPowers[static_cast<std::size_t>(-exponent)]
                       : magnitude * kPowers[static_cast<std::size_t>(exponent)];
  if (negative) value = -value;
  usedComma = comma;
  at = i;
  return true;
}

std::optional<double> FieldNumber(std::string_view field, bool decimalComma, bool* usedComma) {
  if (usedComma != nullptr) *usedComma = false;
  std::size_t at = 0;
  double quick = 0;
  bool quickComma = false;
  if (ReadShortDecimal(field, at, decimalComma, quick, quickComma) && at == field.size()) {
    if (usedComma != nullptr) *usedComma = quickComma;
    return quick;
  }
  const std::size_t comma = field.find(',');
  if (comma == std::string_view::npos) return model::ParseNumber(field);
  if (!decimalComma || field.find(',', comma + 1) != std::string_view::npos ||
      field.find('.') != std::string_view::npos) {
    return std::nullopt;
  }
  // A number is short: the copy with its point stays on the stack.
  std::array<char, 64> buffer;
  std::string longer;
  std::string_view pointed;
  if (field.size() <= buffer.size()) {
    std::copy(field.begin(), field.end(), buffer.begin());
    buffer[comma] = '.';
    pointed = std::string_view(buffer.data(), field.size());
  } else {
    longer = field;
    longer[comma] = '.';
    pointed = longer;
  }
  const std::optional<double> value = model::ParseNumber(pointed);
  if (value && usedComma != nullptr) *usedComma = true;
  return value;
}

std::optional<FieldSeparator> NumberLineSeparator(std::string_view line,
                                                  std::vector<std::string>& fields) {
  auto tryWith = [&](FieldSeparator separator) {
    SplitFields(line, separator, fields);
    return NumbersOnly(fields, DecimalCommaAllowed(separator));
  };
  if (line.find('\t') != std::string_view::npos) {
    if (tryWith(FieldSeparator::Tab)) return FieldSeparator::Tab;
  } else if (line.find(';') != std::string_view::npos) {
    if (tryWith(FieldSeparator::Semicolon)) return FieldSeparator::Semicolon;
  } else {
    if (tryWith(FieldSeparator::Comma)) return FieldSeparator::Comma;
    if (tryWith(FieldSeparator::Blanks)) return FieldSeparator::Blanks;
  }
  fields.clear();
  return std::nullopt;
}

std::optional<LineShape> DataLineShape(std::string_view line, FieldSplitter& splitter) {
  auto shapeWith = [&](FieldSeparator separator) {
    LineShape shape;
    shape.separator = separator;
    const bool decimalComma = DecimalCommaAllowed(separator);
    for (std::string_view field : splitter.Split(line, separator)) {
      if (field.empty()) continue;
      if (FieldNumber(field, decimalComma)) {
        ++shape.numbers;
      } else {
        ++shape.texts;
      }
    }
    return shape;
  };
  const bool tab = line.find('\t') != std::string_view::npos;
  const bool semicolon = !tab && line.find(';') != std::string_view::npos;
  const LineShape first = shapeWith(tab         ? FieldSeparator::Tab
                                    : semicolon ? FieldSeparator::Semicolon
                                                : FieldSeparator::Comma);
  if (first.texts == 0 && first.numbers > 0) return first;
  if (!tab && !semicolon) {
    const LineShape blanks = shapeWith(FieldSeparator::Blanks);
    if (blanks.texts == 0 && blanks.numbers > 0) return blanks;
    splitter.Split(line, FieldSeparator::Comma);
  }
  if (first.numbers == 0) return std::nullopt;
  return first;
}

}  // namespace kivex::io
