#include "model/number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "model/number_text.h"

namespace kivex::model {
namespace {

// A non-negative decimal 0.d1d2d3... x 10^point. The digits carry no leading or trailing zeros,
// so no digits at all means zero.
struct Decimal {
  std::string digits;
  long long point = 0;
};

void StripTrailingZeros(Decimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.point = 0;
}

// The first `significant` decimal digits of a finite, non-negative value, rounded to nearest.
Decimal SignificantDigits(double magnitude, int significant) {
  Decimal d;
  if (magnitude == 0.0) return d;
  std::array<char, 64> buffer;
  char* last = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                             std::chars_format::scientific, significant - 1)
                   .ptr;
  std::string_view text(buffer.data(), last - buffer.data());  // "d.ddde-XX"
  size_t e = text.find('e');
  d.digits.push_back(text[0]);
  if (e > 2) d.digits.append(text.substr(2, e - 2));
  const char* exponentText = text.data() + e + 1;
  if (*exponentText == '+') ++exponentText;
  int exponent = 0;
  std::from_chars(exponentText, last, exponent);
  d.point = exponent + 1;
  StripTrailingZeros(d);
  return d;
}

// Digit `index` of 0.d1d2d3..., zero outside the stored digits.
char DigitAt(const Decimal& d, long long index) {
  return index >= 0 && index < static_cast<long long>(d.digits.size()) ? d.digits[index] : '0';
}

// Rounds to `decimals` digits after the point, halves away from zero.
void RoundToDecimals(Decimal& d, long long decimals) {
  long long keep = d.point + decimals;
  if (keep >= static_cast<long long>(d.digits.size())) return;
  if (keep < 0) {  // below half a unit of the last decimal
    d.digits.clear();
    d.point = 0;
    return;
  }
  bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  if (up) {
    size_t i = d.digits.size();
    while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
    if (i == 0) {
      d.digits.insert(d.digits.begin(), '1');
      ++d.point;
    } else {
      ++d.digits[i - 1];
    }
  }
  StripTrailingZeros(d);
}

std::string IntegerText(long long value) {
  std::array<char, 24> buffer;
  char* last = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return std::string(buffer.data(), last);
}

bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

std::string_view PlaceholderRun(std::string_view text, size_t i) {
  size_t end = i;
  while (end < text.size() && IsPlaceholder(text[end])) ++end;
  return text.substr(i, end - i);
}

// Left of the point (and in the exponent) every digit from the first '0' on is always written;
// right of the point every digit up to the last '0'.
size_t RequiredFromFirstZero(std::string_view run) {
  size_t firstZero = run.find('0');
  return firstZero == std::string_view::npos ? 0 : run.size() - firstZero;
}

size_t RequiredToLastZero(std::string_view run) {
  size_t lastZero = run.rfind('0');
  return lastZero == std::string_view::npos ? 0 : lastZero + 1;
}

struct Pattern {
  std::string_view prefix;
  std::string_view suffix;
  size_t integerDigits = 0;  // integer digits always written
  bool point = false;
  size_t decimals = 0;          // most decimals written
  size_t requiredDecimals = 0;  // decimals always written
  bool placeholders = false;
  bool exponent = false;
  char exponentLetter = 'e';
  bool exponentPlus = false;
  size_t exponentDigits = 0;
};

Pattern ParsePattern(std::string_view text) {
  Pattern p;
  size_t i = 0;
  while (i < text.size() && !IsPlaceholder(text[i]) && text[i] != '.') ++i;
  p.prefix = text.substr(0, i);
  std::string_view integerRun = PlaceholderRun(text, i);
  p.integerDigits = RequiredFromFirstZero(integerRun);
  i += integerRun.size();
  p.placeholders = !integerRun.empty();
  if (i < text.size() && text[i] == '.') {
    std::string_view decimalRun = PlaceholderRun(text, ++i);
    p.point = p.placeholders = true;
    p.decimals = decimalRun.size();
    p.requiredDecimals = RequiredToLastZero(decimalRun);
    i += decimalRun.size();
  }
  if (i + 2 < text.size() && (text[i] == 'e' || text[i] == 'E') &&
      (text[i + 1] == '-' || text[i + 1] == '+') && IsPlaceholder(text[i + 2])) {
    p.exponent = true;
    p.exponentLetter = text[i];
    p.exponentPlus = text[i + 1] == '+';
    std::string_view exponentRun = PlaceholderRun(text, i + 2);
    p.exponentDigits = RequiredFromFirstZero(exponentRun);
    i += 2 + exponentRun.size();
  }
  p.suffix = text.substr(i);
  return p;
}

}  // namespace

// Rounding works on the 17 significant digits that tell every double apart, not on the full
// binary expansion: 0.125 -> "0.13" and 2.675 (stored as 2.67499999999999982...) -> "2.67"; only a
// value whose 17th digit rounds up to an exact ...5 can round differently from its expansion.
std::string FormatPattern(double value, std::string_view patternText) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  Pattern pattern = ParsePattern(patternText);
  if (!pattern.placeholders) return ShortestText(value);

  Decimal d = SignificantDigits(std::fabs(value), 17);
  long long exponent = 0;
  if (pattern.exponent && !d.digits.empty()) {
    exponent = d.point - 1;
    d.point = 1;
    RoundToDecimals(d, static_cast<long long>(pattern.decimals));
    if (d.point == 2) {  // 9.9996 rounded up to 10
      d.point = 1;
      ++exponent;
    }
  } else {
    RoundToDecimals(d, static_cast<long long>(pattern.decimals));
  }

  std::string out;
  if (value < 0 && !d.digits.empty()) out += '-';
  out += pattern.prefix;
  long long integerShown =
      pattern.exponent ? 1
                       : std::max({static_cast<long long>(pattern.integerDigits), d.point, 0LL});
  for (long long i = 0; i < integerShown; ++i) out += DigitAt(d, d.point - integerShown + i);
  if (pattern.point) {
    out += '.';
    long long significant = static_cast<long long>(d.digits.size()) - d.point;
    long long shown =
        std::max(static_cast<long long>(pattern.requiredDecimals), std::max(significant, 0LL));
    for (long long i = 0; i < shown; ++i) out += DigitAt(d, d.point + i);
  }
  if (pattern.exponent) {
    out += pattern.exponentLetter;
    if (exponent < 0) {
      out += '-';
    } else if (pattern.exponentPlus) {
      out += '+';
    }
    std::string digits = IntegerText(std::llabs(exponent));
    if (digits.size() < pattern.exponentDigits) {
      out.append(pattern.exponentDigits - digits.size(), '0');
    }
    out += digits;
  }
  out += pattern.suffix;
  return out;
}

std::string GeneralNumber(double value) {
  if (std::isnan(value)) return " nan ";
  if (std::isinf(value)) return value < 0 ? "-inf " : " inf ";
  std::string out(1, value < 0 ? '-' : ' ');
  Decimal d = SignificantDigits(std::fabs(value), 15);
  if (d.digits.empty()) return out + "0 ";
  const std::string& digits = d.digits;
  long long exponent = d.point - 1;
  if (exponent < -4 || exponent >= 15) {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    std::string exponentDigits = IntegerText(std::llabs(exponent));
    if (exponentDigits.size() < 2) out += '0';
    out += exponentDigits;
  } else if (d.point > 0) {
    size_t integerDigits = static_cast<size_t>(d.point);
    out.append(digits, 0, integerDigits);
    if (digits.size() < integerDigits) out.append(integerDigits - digits.size(), '0');
    if (digits.size() > integerDigits) {
      out += '.';
      out.append(digits, integerDigits);
    }
  } else {
    out += '.';
    out.append(static_cast<size_t>(-d.point), '0');
    out += digits;
  }
  out += ' ';
  return out;
}

}  // namespace kivex::model
