#include "io/column_layout.h"

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

void SplitFields(std::string_view line, FieldSeparator separator,
                 std::vector<std::string>& fields) {
  fields.clear();
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
    if (blanks && i == n) return;
    std::string field;
    if (i < n && line[i] == '"') {
      for (++i; i < n; ++i) {
        if (line[i] != '"') {
          field += line[i];
        } else if (i + 1 < n && line[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
    }
    // Text after a closing quote stays with the field, which then reads as no number.
    while (i < n && !isSeparator(line[i])) field += line[i++];
    while (!field.empty() && isBlank(field.back())) field.pop_back();
    fields.push_back(std::move(field));
    if (i == n) return;
    ++i;  // the separator
    if (!blanks) {
      std::size_t rest = i;
      while (rest < n && isBlank(line[rest])) ++rest;
      if (rest == n) return;  // a separator ends the line: no empty last field
    }
  }
}

std::optional<double> FieldNumber(std::string_view field, bool decimalComma, bool* usedComma) {
  if (usedComma != nullptr) *usedComma = false;
  const std::size_t comma = field.find(',');
  if (comma == std::string_view::npos) return model::ParseNumber(field);
  if (!decimalComma || field.find(',', comma + 1) != std::string_view::npos ||
      field.find('.') != std::string_view::npos) {
    return std::nullopt;
  }
  std::string pointed(field);
  pointed[comma] = '.';
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

}  // namespace kivex::io
