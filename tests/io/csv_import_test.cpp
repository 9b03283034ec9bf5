#include "io/csv_import.h"

#include <gtest/gtest.h>

#include <string>

#include "io/file_error.h"
#include "support/temp_dir.h"

namespace kivex::io {
namespace {

using testing::TempDir;

// The description of the FileError that reading raises, or "" when it reads.
template <typename Read>
std::string FileErrorOf(Read read) {
  try {
    read();
  } catch (const FileError& error) {
    return std::string(error.description());
  }
  return "";
}
std::string ParseError(std::string_view text) {
  return FileErrorOf([&] { ParseCsvPairs(text); });
}

TEST(CsvImport, FieldsArePairedInFileOrderWhateverTheLines) {
  // One pair a line with CR LF, blanks around fields, a blank line, a line without its end.
  CsvPairs pairs = ParseCsvPairs("0.3, 1.5E-05\r\n  .295 ,-2e-6\r\n\r\n   \n-0.29,0");
  EXPECT_EQ(pairs.x, (std::vector<double>{0.3, 0.295, -0.29}));
  EXPECT_EQ(pairs.y, (std::vector<double>{1.5e-5, -2e-6, 0.0}));

  // Three columns on two lines read as a flat sequence: the columns mix.
  pairs = ParseCsvPairs("1,2,3\n4,5,6\n");
  EXPECT_EQ(pairs.x, (std::vector<double>{1, 3, 5}));
  EXPECT_EQ(pairs.y, (std::vector<double>{2, 4, 6}));

  // Lone CR line ends, tabs, and the byte-order mark some spreadsheets write.
  pairs = ParseCsvPairs(
      "\xEF\xBB\xBF"
      "1,\t2\r3,4\r");
  EXPECT_EQ(pairs.x, (std::vector<double>{1, 3}));
  EXPECT_EQ(pairs.y, (std::vector<double>{2, 4}));

  EXPECT_TRUE(ParseCsvPairs("").x.empty());
  EXPECT_TRUE(ParseCsvPairs("\r\n \r\n").x.empty());
}

TEST(CsvImport, EachBadFileKindNamesTheLineAndWhatWasWrong) {
  EXPECT_EQ(ParseError("1,2\n3,4\n5\n"),
            "line 3: the last potential has no value after it (odd number of fields)");
  EXPECT_EQ(ParseError("1,2,3\n"),
            "line 1: the last potential has no value after it (odd number of fields)");
  EXPECT_EQ(ParseError("E,I\n1,2\n"), "line 1: \"E\" is not a number");
  EXPECT_EQ(ParseError("1,2\n3,4 mA\n"), "line 2: \"4 mA\" is not a number");
  EXPECT_EQ(ParseError("1,2\n3,nan\n"), "line 2: \"nan\" is not a number");
  EXPECT_EQ(ParseError("1,2\n3,1e999\n"), "line 2: \"1e999\" is not a number");
  EXPECT_EQ(ParseError("1,,2\n"), "line 1: a field is empty");
  EXPECT_EQ(ParseError("1,2,\n3,4\n"), "line 1: a field is empty");
  // Control characters are not copied into the message; long fields are cut.
  EXPECT_EQ(ParseError(std::string("1,\x01\x02x\n", 6)), "line 1: \"??x\" is not a number");
  EXPECT_EQ(ParseError("1," + std::string(1000, '7') + "x\n"),
            "line 1: \"777777777777777777777777...\" is not a number");
}

TEST(CsvImport, MoreThan4000PairsAreRefusedWithoutReadingFurther) {
  std::string text;
  for (int i = 1; i <= 4000; ++i) text += std::to_string(i) + ",1\n";
  EXPECT_EQ(ParseCsvPairs(text).x.size(), 4000u);
  // What follows the 4000th pair is not looked at: the refusal names the line of pair 4001.
  EXPECT_EQ(ParseError(text + "4001,1\nnot even a number\n"),
            "line 4001: more than 4000 pairs of values; a curve holds at most 4000 points");
  EXPECT_EQ(ParseError(text + "\n\nabc"),
            "line 4003: more than 4000 pairs of values; a curve holds at most 4000 points");
}

TEST(CsvImport, FilesThatCannotBeOpenedOrReadSaySo) {
  TempDir dir;
  const std::string missing = dir.File("missing.csv");
  EXPECT_EQ(FileErrorOf([&] { ReadCsvPairs(missing); }),
            "cannot open \"" + missing + "\": No such file or directory");
  const std::string folder = dir.path().string();
  EXPECT_EQ(FileErrorOf([&] { ReadCsvPairs(folder); }),
            "cannot read \"" + folder + "\": Is a directory");
}

TEST(CsvImport, StoresTheWholeFileOrNothing) {
  TempDir dir;
  model::CurveSet curves;
  const std::string first = dir.Write("first.csv", "0.1,1\n0.2,2\n0.3,3\n0.2,4\n0.1,5\n");
  EXPECT_EQ(ImportCsv(first, curves, false, true), 1);
  EXPECT_EQ(curves.sweepPointCount, 3);  // one cycle, turning at point 3
  EXPECT_EQ(curves.axisCycles, 1.0);

  // On the same potentials (to a quarter of the step) an overlapped import goes beside curve 1.
  const std::string same = dir.Write("same.csv", "0.1,6\n0.2,7\n0.3,8\n0.2,9\n0.1,10\n");
  EXPECT_EQ(ImportCsv(same, curves, false, true), 2);
  EXPECT_EQ(curves.curveCount, 2);
  EXPECT_TRUE(model::ShownCurvesBelongToAxis(curves));

  // A bad file changes neither the values nor the counts, though its first pairs were good.
  const std::string bad = dir.Write("bad.csv", "9,9\n8,8\n7,7\n6,6\n5\n");
  EXPECT_THROW(ImportCsv(bad, curves, false, true), FileError);
  EXPECT_EQ(curves.pointCount, 5);
  EXPECT_EQ(curves.x(1), 0.1);
  EXPECT_EQ(curves.y(1, 2), 6.0);

  // Other potentials cannot be drawn over the held curves: the import starts afresh in curve 1,
  // and points beyond the file are stale, not cleared.
  EXPECT_EQ(ImportCsv(dir.Write("other.csv", "0.1,1\n0.25,2\n0.4,3\n"), curves, false, true), 1);
  EXPECT_EQ(curves.curveCount, 1);
  EXPECT_EQ(curves.pointCount, 3);
  EXPECT_EQ(curves.lastPoint, 3);
  EXPECT_EQ(curves.y(3, 1), 3.0);
  EXPECT_EQ(curves.x(4), 0.2);
  EXPECT_TRUE(model::ShownCurvesBelongToAxis(curves));
}

}  // namespace
}  // namespace kivex::io
