#include "model/count.h"

#include <gtest/gtest.h>

#include <limits>

#include "model/fixed_table.h"

namespace kivex::model {
namespace {

TEST(Count, RealsRoundHalfToEvenAndFailOutsideSixteenBits) {
  const struct {
    double in, out;
  } cases[] = {
      {2.5, 2},         {3.5, 4},          {-2.5, -2},  {-3.5, -4}, {0.5, 0},
      {1.5, 2},         {2.4999, 2},       {2.5001, 3}, {-0.4, 0},  {120.00000000000001, 120},
      {32767.4, 32767}, {-32768.5, -32768}};
  for (const auto& c : cases) {
    EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
    EXPECT_EQ(ToCount(c.in), c.out) << c.in;
  }
  for (double in : {32767.5, -32769.0, 1e300, std::numeric_limits<double>::quiet_NaN()}) {
    try {
      ToCount(in);
      ADD_FAILURE() << in;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.description(), "Overflow");
    }
  }
  EXPECT_THROW(ToCount(40000LL), Failure);
}

TEST(FixedTable, IndexesFromZeroToTheLastAndFailsBeyond) {
  Table1<double, 4> t;
  t(0) = 1;
  t(4) = 2;
  EXPECT_EQ(t(4), 2);
  EXPECT_THROW(t(5), Failure);
  EXPECT_THROW(t(-1), Failure);

  Table2<double, 3, 2> m;
  m(3, 2) = 7;
  EXPECT_EQ(m.Column(2)[3], 7);  // one column is contiguous
  EXPECT_THROW(m(4, 0), Failure);
  EXPECT_THROW(m(0, 3), Failure);
}

TEST(CheckedMath, RaisesInsteadOfProducingInfOrNan) {
  EXPECT_THROW(Div(1, 0), Failure);
  EXPECT_THROW(Log(0), Failure);
  EXPECT_THROW(Log(-1), Failure);
  EXPECT_THROW(Sqrt(-1e-300), Failure);
  EXPECT_THROW(Exp(710), Failure);
  EXPECT_THROW(Div(1e300, 1e-300), Failure);
  EXPECT_DOUBLE_EQ(Exp(-800), 0.0);  // underflow is not a failure
  EXPECT_DOUBLE_EQ(Pow(8, 1.0 / 3.0), 2.0);
  EXPECT_THROW(Pow(0, -0.5), Failure);
}

}  // namespace
}  // namespace kivex::model
