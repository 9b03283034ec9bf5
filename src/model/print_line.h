#pragma once
// A report line built by the print convention of the result window and of the text files:
// items are joined directly (";") or the next item starts at the next print zone (","). Zones are
// 14 characters wide and start at columns 1, 15, 29, ...; a zone step always moves to a zone
// start strictly to the right of the next writing column, so after 13 characters the next zone
// is column 15 and after 14 characters it is column 29. Two zone steps in a row skip a zone.
//
//   PrintLine().Text("Least square = ").Zone().Number(ssq).str()
//   PrintLine().Number(0.3).Text(",").Zone().Number(1.5e-5).str()   // " .3 ,         1.5E-05 "

#include <string>
#include <string_view>

namespace kivex::model {

class PrintLine {
 public:
  static constexpr int kZoneWidth = 14;

  PrintLine& Text(std::string_view text);
  PrintLine& Number(double value);      // the general numeric form (GeneralNumber)
  PrintLine& Integer(long long value);  // a count, in the same form (" 61 "), every digit
  PrintLine& Zone();                    // the "," of the convention

  const std::string& str() const { return text_; }

 private:
  std::string text_;
};

}  // namespace kivex::model
