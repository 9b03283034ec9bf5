#include "io/csv_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "io/csv_import.h"
#include "io/whole_file.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "support/temp_dir.h"

namespace kivex::io {
namespace {

using testing::TempDir;

TEST(CsvExport, LineIsPotentialCommaThenValueAtTheNextPrintZone) {
  // Fourteen characters or more before the value and it starts in column 29. (Shorter ones reach
  // column 15: the exported file of the curve_files scenario.)
  EXPECT_EQ(CsvExportLine(123.4567891, 1), " 123.4567891 ,               1 \r\n");
  EXPECT_EQ(CsvExportLine(-0.123456789012345, 1e20), "-.123456789012345 ,          1E+20 \r\n");
}

TEST(CsvExport, WritesTheCurrentCurveOverTheDrawnRange) {
  model::CurveSet curves;
  for (int i = 1; i <= 4; ++i) {
    curves.x(i) = 0.1 * i;
    for (int k = 1; k <= 3; ++k) curves.y(i, k) = k * 1000 + i;
  }
  curves.pointCount = 4;
  curves.curveCount = curves.storedCurveCount = 3;
  curves.currentCurve = 2;
  curves.firstPoint = 2;
  curves.lastPoint = 3;
  EXPECT_EQ(CsvExportText(curves), " .2 ,          2002 \r\n .3 ,          2003 \r\n");
  curves.firstPoint = 4;  // beyond lastPoint: an empty file
  EXPECT_EQ(CsvExportText(curves), "");
  EXPECT_EQ(CsvExportText(model::CurveSet()), "");  // nothing held: slot 0 is never a point
}

TEST(CsvExport, ImportGivesBackTheCurveTo15SignificantDigits) {
  // Values of every magnitude the general form writes, with full binary mantissas, over the
  // largest curve (the file spans several read buffers).
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> mantissa(-0.5, 0.5);
  std::uniform_int_distribution<int> xExponent(-3, 2), yExponent(-300, 300);
  model::CurveSet curves;
  for (int i = 1; i <= model::kMaxPoints; ++i) {
    curves.x(i) = mantissa(random) * std::pow(10.0, xExponent(random));
    curves.y(i, 1) = mantissa(random) * std::pow(10.0, yExponent(random));
  }
  curves.x(7) = 1.0 / 3.0;
  curves.y(7, 1) = 0;
  curves.pointCount = curves.lastPoint = model::kMaxPoints;
  curves.firstPoint = curves.currentCurve = curves.curveCount = 1;

  TempDir dir;
  WriteWholeFile(dir.File("round.csv"), CsvExportText(curves));  // as the Save command writes it
  const CsvPairs back = ReadCsvPairs(dir.File("round.csv"));
  ASSERT_EQ(back.x.size(), static_cast<size_t>(model::kMaxPoints));
  for (int i = 1; i <= model::kMaxPoints; ++i) {
    // Within half a unit of the 15th significant digit (and one rounding of the double), and
    // exactly the value the written digits denote.
    for (auto [read, written] :
         {std::pair{back.x[i - 1], curves.x(i)}, {back.y[i - 1], curves.y(i, 1)}}) {
      ASSERT_LE(std::fabs(read - written), 5.3e-15 * std::fabs(written)) << i;
      ASSERT_EQ(read, model::ReadNumber(model::GeneralNumber(written))) << i;
    }
  }
}

}  // namespace
}  // namespace kivex::io
