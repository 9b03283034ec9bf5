#include "model/print_line.h"

#include <gtest/gtest.h>

#include <string>

namespace kivex::model {
namespace {

TEST(PrintLine, JoinsItemsDirectlyOrAtTheNextZone) {
  EXPECT_EQ(PrintLine().Text("n =").Integer(61).Integer(-3).Number(0.25).str(), "n = 61 -3  .25 ");
  EXPECT_EQ(PrintLine().Number(0.3).Text(",").Zone().Number(1.5e-5).str(),
            " .3 ," + std::string(9, ' ') + " 1.5E-05 ");
}

TEST(PrintLine, ZoneStepsMoveToAZoneStartStrictlyRight) {
  struct Case {
    size_t written;
    size_t zoneColumn;
  };
  for (Case c : {Case{0, 15}, {1, 15}, {13, 15}, {14, 29}, {15, 29}, {27, 29}, {28, 43}}) {
    std::string line = PrintLine().Text(std::string(c.written, 'x')).Zone().str();
    EXPECT_EQ(line, std::string(c.written, 'x') + std::string(c.zoneColumn - 1 - c.written, ' '))
        << c.written;
  }
  EXPECT_EQ(PrintLine().Zone().Zone().Text("x").str(), std::string(28, ' ') + "x");
}

}  // namespace
}  // namespace kivex::model
