// Column headings: the quantity and unit in every spelling files use, and exact unit conversion.

#include "io/column_heading.h"

#include <gtest/gtest.h>

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
      {"I/\u00B5A", Quantity::Current, "\u00B5A", 1e-6},
      {"I/\u03BCA", Quantity::Current, "\u03BCA", 1e-6},
      {"I/uA", Quantity::Current, "uA", 1e-6},
      {"<I>/mA", Quantity::Current, "mA", 1e-3},
      {"Current (uA)", Quantity::Current, "uA", 1e-6},
      {"Current [nA]", Quantity::Current, "nA", 1e-9},
      {"I (pA)", Quantity::Current, "pA", 1e-12},
      {"Im", Quantity::Current, "", 1},
      {"V", Quantity::Potential, "V", 1},
      {"\u00B5A", Quantity::Current, "\u00B5A", 1e-6},
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
      {"T/\u00B0C", Quantity::Unknown, "", 1},
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

// (A Latin-1 micro sign in a heading: the io_rows_and_columns scenario.)
TEST(ColumnHeading, HeadingTextIsUtf8WhateverTheFileWrote) {
  EXPECT_EQ(HeadingText("caf\xE9"), "caf\xC3\xA9");
  // Valid UTF-8 stays as it is, a cut sequence does not.
  EXPECT_EQ(HeadingText("\xCE\xBC"), "\xCE\xBC");
  EXPECT_EQ(HeadingText("a\xCE"), "a\xC3\x8E");
}

// (A units row naming a unit for every column, "Pt" over "#", "T" over "s" and "Vf" over
// "V vs. Ref.": the tagged tables' layout.)
TEST(ColumnHeading, AUnitsRowScalesTheNameAboveIt) {
  EXPECT_EQ(DescribeColumn("Im", "mA").scale, 1e-3);
}

// Converting is moving the decimal exponent of what the file wrote: the oracle reads the text
// with its exponent moved.
TEST(ColumnHeading, ConversionGivesTheDoubleOfTheShiftedDecimal) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> mantissa(-999999, 999999);
  std::uniform_int_distribution<int> places(0, 6);
  for (const auto& [scale, shift] : {std::pair{1e-3, -3}, {1e-6, -6}, {1e-9, -9}, {1e-12, -12}}) {
    for (int i = 0; i < 2000; ++i) {
      const std::string digits = std::to_string(mantissa(random)) + "e";
      const int exponent = -places(random);
      EXPECT_EQ(InBaseUnit(std::stod(digits + std::to_string(exponent)), scale),
                std::stod(digits + std::to_string(exponent + shift)))
          << digits << exponent << " " << scale;
    }
  }
  EXPECT_EQ(InBaseUnit(0.46, 1e-6), 4.6e-7);  // a product in binary gives 4.6000000000000004e-7
  EXPECT_EQ(InBaseUnit(-0.11, 1e-6), -1.1e-7);
  EXPECT_EQ(InBaseUnit(2.5, 1.0), 2.5);
  EXPECT_EQ(InBaseUnit(0.0, 1e-3), 0.0);
}

}  // namespace
}  // namespace kivex::io
