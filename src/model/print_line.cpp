#include "model/print_line.h"

#include <array>
#include <charconv>

#include "model/number_format.h"

namespace kivex::model {

PrintLine& PrintLine::Text(std::string_view text) {
  text_ += text;
  return *this;
}

PrintLine& PrintLine::Number(double value) {
  text_ += GeneralNumber(value);
  return *this;
}

PrintLine& PrintLine::Integer(long long value) {
  // Every digit of a count is written, however large: no exponent form.
  std::array<char, 24> buffer;
  char* last = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  if (value >= 0) text_ += ' ';
  text_.append(buffer.data(), last);
  text_ += ' ';
  return *this;
}

PrintLine& PrintLine::Zone() {
  // The writing column is size + 1, so the zone start strictly right of it is column
  // 1 + kZoneWidth * (size / kZoneWidth + 1), reached at that length.
  size_t length = kZoneWidth * (text_.size() / kZoneWidth + 1);
  text_.append(length - text_.size(), ' ');
  return *this;
}

}  // namespace kivex::model
