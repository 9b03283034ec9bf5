// The number readers and writers on arbitrary text: no crash, and every number the program
// writes reads back as the value it stands for.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "model/number_format.h"
#include "model/number_text.h"

using namespace kivex::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const double lenient = ReadNumber(text);
  FUZZ_CHECK(std::isfinite(lenient));
  if (const std::optional<double> strict = ParseNumber(text)) {
    FUZZ_CHECK(std::isfinite(*strict));
    FUZZ_CHECK(ReadNumber(text) == *strict);
  }

  // Shortest text and the general form read back.
  for (const double value : {lenient, -lenient, lenient * 1e-300, lenient * 1e300}) {
    if (!std::isfinite(value)) continue;
    const std::string shortest = ShortestText(value);
    FUZZ_CHECK(ParseNumber(shortest) == (value == 0.0 ? 0.0 : value));
    const std::string general = GeneralNumber(value);
    const double back = ReadNumber(general);
    FUZZ_CHECK(std::fabs(back - value) <= 6e-15 * std::fabs(value) + 1e-307);
  }

  // Any pattern: text before the first blank is a pattern, the rest a number (or the bytes of a
  // double), and the result stays short.
  const std::size_t blank = text.find(' ');
  const std::string_view pattern = text.substr(0, std::min<std::size_t>(blank, 40));
  double value = lenient;
  if (size >= 8) std::memcpy(&value, data + size - 8, 8);
  const std::string formatted = FormatPattern(value, pattern);
  FUZZ_CHECK(formatted.size() < 400 + 2 * pattern.size());
  return 0;
}
