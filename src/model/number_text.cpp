#include "model/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace kivex::model {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimLeading(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// Length of the longest leading part of `text` that forms a decimal number; 0 when none does.
size_t NumberLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool anyDigit = false;
  while (i < text.size() && IsDigit(text[i])) ++i, anyDigit = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, anyDigit = true;
  }
  if (!anyDigit) return 0;
  // The exponent belongs to the number only when it has a digit.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

// Whether an unsigned number that did not fit a double is too large (rather than too small).
// Out-of-range magnitudes lie beyond 1e308 or below 1e-324, so the decimal position of the
// leading significant digit decides.
bool IsTooLarge(std::string_view number) {
  long long magnitude = 0;
  size_t i = 0;
  while (i < number.size() && number[i] == '0') ++i;
  long long integerDigits = 0;
  while (i < number.size() && IsDigit(number[i])) ++i, ++integerDigits;
  if (integerDigits > 0) {
    magnitude = integerDigits - 1;
  } else if (i < number.size() && number[i] == '.') {
    ++i;
    long long zeros = 0;
    while (i < number.size() && number[i] == '0') ++i, ++zeros;
    magnitude = -zeros - 1;
  }
  while (i < number.size() && number[i] != 'e' && number[i] != 'E') ++i;
  if (i == number.size()) return magnitude > 0;
  ++i;
  bool negative = false;
  if (number[i] == '+' || number[i] == '-') negative = number[i++] == '-';
  long long exponent = 0;
  constexpr long long kSaturation = 1'000'000'000;
  for (; i < number.size(); ++i) {
    if (exponent < kSaturation) exponent = exponent * 10 + (number[i] - '0');
  }
  return magnitude + (negative ? -exponent : exponent) > 0;
}

struct Conversion {
  double value = 0.0;
  bool overflow = false;
};

// Converts text already known to be a whole decimal number.
Conversion Convert(std::string_view number) {
  bool negative = false;
  if (number.front() == '+' || number.front() == '-') {
    negative = number.front() == '-';
    number.remove_prefix(1);
  }
  Conversion result;
  double magnitude = 0.0;
  auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), magnitude,
                                   std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    result.overflow = IsTooLarge(number);
    magnitude = result.overflow ? std::numeric_limits<double>::max() : 0.0;
  } else if (ec != std::errc() || ptr != number.data() + number.size()) {
    magnitude = 0.0;  // cannot happen for text NumberLength accepted
  }
  result.value = negative ? -magnitude : magnitude;
  return result;
}

}  // namespace

double ReadNumber(std::string_view text) {
  text = TrimLeading(text);
  size_t length = NumberLength(text);
  if (length == 0) return 0.0;
  return Convert(text.substr(0, length)).value;
}

bool HasDecimalComma(std::string_view text) {
  text = TrimLeading(text);
  const size_t length = NumberLength(text);
  return length > 0 && length + 1 < text.size() && text[length] == ',' && IsDigit(text[length + 1]);
}

std::optional<double> ParseNumber(std::string_view text) {
  text = TrimLeading(text);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty() || NumberLength(text) != text.size()) return std::nullopt;
  Conversion conversion = Convert(text);
  if (conversion.overflow) return std::nullopt;
  return conversion.value;
}

std::string ShortestText(double value) {
  if (value == 0.0) return "0";         // also for -0
  if (std::isnan(value)) return "nan";  // to_chars would write the sign bit of a NaN
  std::array<char, 32> buffer;
  auto [ptr, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  if (ec != std::errc()) return "nan";  // cannot happen: 32 characters hold every double
  return std::string(buffer.data(), ptr);
}

}  // namespace kivex::model
