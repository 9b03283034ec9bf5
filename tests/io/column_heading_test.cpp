// Column headings: the quantity and unit in every spelling files use, and exact unit conversion.

#include "io/column_heading.h"

#include <gtest/gtest.h>

#include <charconv>
#include <random>
#include <string>

namespace kivex::io {
namespace {

struct HeadingCase {
  std::string heading;
  Quantity quantity;
  std::string unit;  // as written
  double scale;
};

TEST(ColumnHeading, NamesAndUnitsInEverySpelling) {
  const HeadingCase cases[] = {
      {"Potential/V", Quantity::Potential, "V", 1},
      {"E / V", Quantity::Potential, "V", 1},
      {"E (mV)", Quantity::Potential, "mV", 1e-3},
      {"Ewe/V", Quantity::Potential, "V", 1},
      {"control/V", Quantity::Potential, "V", 1},
      {"WE(1).Potential (V)", Quantity::Potential, "V", 1},
      {"Potential applied (V)", Quantity::Potential, "V", 1},
      {"E (V vs. SCE)", Quantity::Potential, "V vs. SCE", 1},
      {"E/uV", Quantity::Potential, "uV", 1e-6},
      {"WE(1).Current (A)", Quantity::Current, "A", 1},
      {"I/\xC2\xB5"
       "A",
       Quantity::Current,
       "\xC2\xB5"
       "A",
       1e-6},
      {"I/\xCE\xBC"
       "A",
       Quantity::Current,
       "\xCE\xBC"
       "A",
       1e-6},
      {"I/uA", Quantity::Current, "uA", 1e-6},
      {"<I>/mA", Quantity::Current, "mA", 1e-3},
      {"Current (uA)", Quantity::Current, "uA", 1e-6},
      {"Current [nA]", Quantity::Current, "nA", 1e-9},
      {"I (pA)", Quantity::Current, "pA", 1e-12},
      {"Im", Quantity::Current, "", 1},
      {"V", Quantity::Potential, "V", 1},
      {"\xC2\xB5"
       "A",
       Quantity::Current,
       "\xC2\xB5"
       "A",
       1e-6},
      {"time/s", Quantity::Time, "s", 1},
      {"t (ms)", Quantity::Time, "ms", 1e-3},
      {"(Q-Qo)/C", Quantity::Charge, "C", 1},
      {"Q+", Quantity::Charge, "", 1},
      {"cycle number", Quantity::Cycle, "", 1},
      {"Scan", Quantity::Cycle, "", 1},
      // Not units: the whole heading is a name.
      {"ox/red", Quantity::Unknown, "", 1},
      {"P/W", Quantity::Unknown, "", 1},
      {"I Range", Quantity::Unknown, "", 1},
      {"Current range", Quantity::Unknown, "", 1},
      {"T/\xC2\xB0"
       "C",
       Quantity::Unknown, "", 1},
      // A rate is a setting's unit, never a point's.
      {"Scan rate (V/s)", Quantity::Unknown, "V/s", 1},
  };
  for (const HeadingCase& c : cases) {
    const ColumnInfo column = DescribeColumn(c.heading);
    EXPECT_EQ(column.heading, c.heading);
    EXPECT_EQ(column.quantity, c.quantity) << c.heading;
    EXPECT_EQ(column.unit, c.unit) << c.heading;
    EXPECT_EQ(column.scale, c.scale) << c.heading;
  }
}

TEST(ColumnHeading, ALatin1MicroSignIsReadAndShownAsUtf8) {
  const ColumnInfo column = DescribeColumn(
      "I/\xB5"
      "A");
  EXPECT_EQ(column.heading,
            "I/\xC2\xB5"
            "A");
  EXPECT_EQ(column.quantity, Quantity::Current);
  EXPECT_EQ(column.scale, 1e-6);
  EXPECT_EQ(HeadingText("caf\xE9"), "caf\xC3\xA9");
  // Valid UTF-8 stays as it is, a cut sequence does not.
  EXPECT_EQ(HeadingText("\xCE\xBC"), "\xCE\xBC");
  EXPECT_EQ(HeadingText("a\xCE"), "a\xC3\x8E");
}

TEST(ColumnHeading, AUnitsRowDescribesTheNamesAboveIt) {
  const ColumnInfo vf = DescribeColumn("Vf", "V vs. Ref.");
  EXPECT_EQ(vf.heading, "Vf");
  EXPECT_EQ(vf.unit, "V vs. Ref.");
  EXPECT_EQ(vf.quantity, Quantity::Potential);
  EXPECT_EQ(DescribeColumn("Im", "mA").scale, 1e-3);
  const ColumnInfo count = DescribeColumn("Pt", "#");
  EXPECT_EQ(count.unit, "#");
  EXPECT_EQ(count.quantity, Quantity::Unknown);
  EXPECT_EQ(DescribeColumn("T", "s").quantity, Quantity::Time);
}

TEST(ColumnHeading, RanksPreferTheMeasuredWorkingElectrodePotential) {
  auto potential = [](const char* heading) { return PotentialRank(DescribeColumn(heading)); };
  EXPECT_GT(potential("Vstep"), potential("Vfwd"));
  EXPECT_GT(potential("Vfwd"), potential("Ewe/V"));
  EXPECT_EQ(potential("Ewe/V"), potential("WE(2).Potential (V)"));
  EXPECT_GT(potential("Ewe/V"), potential("E (V)"));
  EXPECT_GT(potential("E (V)"), potential("control/V"));
  EXPECT_GT(potential("control/V"), 0);
  EXPECT_EQ(potential("Vu"), 0);
  EXPECT_EQ(potential("Current (A)"), 0);
  auto current = [](const char* heading) { return CurrentRank(DescribeColumn(heading)); };
  EXPECT_GT(current("Idif"), current("<I>/mA"));
  EXPECT_GT(current("<I>/mA"), current("Ifwd"));
  EXPECT_GT(current("Ifwd"), 0);
  EXPECT_EQ(current("I Range"), 0);
  ColumnInfo flagged = DescribeColumn("I/A");
  flagged.text = true;
  EXPECT_EQ(CurrentRank(flagged), 0);
}

// Converting is moving the decimal exponent of what the file wrote: the oracle reads the text
// with its exponent moved.
TEST(ColumnHeading, ConversionGivesTheDoubleOfTheShiftedDecimal) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> mantissa(-999999, 999999);
  std::uniform_int_distribution<int> places(0, 6);
  for (double scale : {1e-3, 1e-6, 1e-9, 1e-12}) {
    const int shift = scale == 1e-3 ? -3 : scale == 1e-6 ? -6 : scale == 1e-9 ? -9 : -12;
    for (int i = 0; i < 2000; ++i) {
      const std::string text =
          std::to_string(mantissa(random)) + "e-" + std::to_string(places(random));
      double value = 0;
      std::from_chars(text.data(), text.data() + text.size(), value);
      const std::size_t e = text.find('e');
      const std::string shifted =
          text.substr(0, e) + "e" + std::to_string(std::stoi(text.substr(e + 1)) + shift);
      double expected = 0;
      std::from_chars(shifted.data(), shifted.data() + shifted.size(), expected);
      EXPECT_EQ(InBaseUnit(value, scale), expected) << text << " " << scale;
    }
  }
  EXPECT_EQ(InBaseUnit(0.46, 1e-6), 4.6e-7);  // a product in binary gives 4.6000000000000004e-7
  EXPECT_EQ(InBaseUnit(-0.11, 1e-6), -1.1e-7);
  EXPECT_EQ(InBaseUnit(2.5, 1.0), 2.5);
  EXPECT_EQ(InBaseUnit(0.0, 1e-3), 0.0);
}

}  // namespace
}  // namespace kivex::io
