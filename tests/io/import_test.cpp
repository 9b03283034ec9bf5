// Reading measured curves as pairs or columns; an import is stored whole or not at all.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "io/csv_import.h"
#include "io/curve_file.h"
#include "io/file_error.h"
#include "model/number_text.h"
#include "support/temp_dir.h"

namespace kivex::io {
namespace {

using testing::TempDir;

// What reading gives as one comparable text: "x y; x y; ", or the refusal.
template <typename Read>
std::string Outcome(Read read) {
  try {
    const CsvPairs points = read();
    std::string text;
    for (std::size_t i = 0; i < points.x.size(); ++i) {
      text += model::ShortestText(points.x[i]) + " " + model::ShortestText(points.y[i]) + "; ";
    }
    return text;
  } catch (const FileError& error) {
    return "refused: " + std::string(error.description());
  }
}
std::string Pairs(std::string_view text) {
  return Outcome([&] { return ParseCsvPairs(text); });
}
std::string Curve(std::string_view text, ColumnChoice choice = {}) {
  return Outcome([&] { return CurvePoints(ParseCurveFile(text), choice); });
}

TEST(CsvImport, FieldsArePairedInFileOrderWhateverTheLines) {
  // One pair a line with CR LF, blanks around fields, a blank line, a line without its end.
  EXPECT_EQ(Pairs("0.3, 1.5E-05\r\n  .295 ,-2e-6\r\n\r\n   \n-0.29,0"),
            "0.3 1.5e-05; 0.295 -2e-06; -0.29 0; ");
  // Three columns on two lines read as a flat sequence: the columns mix.
  EXPECT_EQ(Pairs("1,2,3\n4,5,6\n"), "1 2; 3 4; 5 6; ");
  // Lone CR line ends, tabs, and the byte-order mark some spreadsheets write.
  EXPECT_EQ(Pairs("\xEF\xBB\xBF"
                  "1,\t2\r3,4\r"),
            "1 2; 3 4; ");
  EXPECT_EQ(Pairs(""), "");
  EXPECT_EQ(Pairs("\r\n \r\n"), "");
}

TEST(CsvImport, EachBadFileKindNamesTheLineAndWhatWasWrong) {
  const std::string odd = "the last potential has no value after it (odd number of fields)";
  const std::pair<std::string, std::string> cases[] = {
      {"1,2\n3,4\n5\n", "line 3: " + odd},
      {"1,2,3\n", "line 1: " + odd},
      {"E,I\n1,2\n", "line 1: \"E\" is not a number"},
      {"1,2\n3,4 mA\n", "line 2: \"4 mA\" is not a number"},
      {"1,2\n3,nan\n", "line 2: \"nan\" is not a number"},
      {"1,2\n3,1e999\n", "line 2: \"1e999\" is not a number"},
      {"1,,2\n", "line 1: a field is empty"},
      {"1,2,\n3,4\n", "line 1: a field is empty"},
      // Control characters are not copied into the message; long fields are cut.
      {std::string("1,\x01\x02x\n", 6), "line 1: \"??x\" is not a number"},
      {"1," + std::string(1000, '7') + "x\n",
       "line 1: \"777777777777777777777777...\" is not a number"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(Pairs(text), "refused: " + message);
}

TEST(CsvImport, MoreThan4000PairsAreRefusedWithoutReadingFurther) {
  std::string text;
  for (int i = 1; i <= 4000; ++i) text += std::to_string(i) + ",1\n";
  EXPECT_EQ(ParseCsvPairs(text).x.size(), 4000u);
  // What follows the 4000th pair is not looked at: the refusal names the line of pair 4001.
  EXPECT_EQ(Pairs(text + "4001,1\nnot even a number\n"),
            "refused: line 4001: more than 4000 pairs of values; a curve holds at most 4000 "
            "points");
  EXPECT_EQ(Pairs(text + "\n\nabc"),
            "refused: line 4003: more than 4000 pairs of values; a curve holds at most 4000 "
            "points");
}

TEST(CsvImport, StoresTheWholeFileOrNothing) {
  TempDir dir;
  model::CurveSet curves;
  EXPECT_EQ(
      ImportCsv(dir.Write("a.csv", "0.1,1\n0.2,2\n0.3,3\n0.2,4\n0.1,5\n"), curves, false, true), 1);
  EXPECT_EQ(curves.sweepPointCount, 3);  // one cycle, turning at point 3
  EXPECT_EQ(curves.axisCycles, 1.0);

  // On the same potentials (to a quarter of the step) an overlapped import goes beside curve 1.
  EXPECT_EQ(
      ImportCsv(dir.Write("b.csv", "0.1,6\n0.2,7\n0.3,8\n0.2,9\n0.1,10\n"), curves, false, true),
      2);
  EXPECT_EQ(curves.curveCount, 2);
  EXPECT_TRUE(model::ShownCurvesBelongToAxis(curves));

  // A bad file changes neither the values nor the counts, though its first pairs were good.
  EXPECT_THROW(ImportCsv(dir.Write("c.csv", "9,9\n8,8\n7,7\n6,6\n5\n"), curves, false, true),
               FileError);
  EXPECT_EQ(curves.pointCount, 5);
  EXPECT_EQ(curves.x(1), 0.1);
  EXPECT_EQ(curves.y(1, 2), 6.0);

  // Other potentials cannot be drawn over the held curves: the import starts afresh in curve 1,
  // and points beyond the file are stale, not cleared.
  EXPECT_EQ(ImportCsv(dir.Write("d.csv", "0.1,1\n0.25,2\n0.4,3\n"), curves, false, true), 1);
  EXPECT_EQ(curves.curveCount, 1);
  EXPECT_EQ(curves.pointCount, 3);
  EXPECT_EQ(curves.lastPoint, 3);
  EXPECT_EQ(curves.y(3, 1), 3.0);
  EXPECT_EQ(curves.x(4), 0.2);
  EXPECT_TRUE(model::ShownCurvesBelongToAxis(curves));
}

// A file in the pair format whose lines hold varying numbers of fields (so no columns), with
// blank lines, blanks, tabs and CR, CR LF or LF line ends.
std::string RandomPairFile(std::mt19937& random, bool even) {
  std::uniform_int_distribution<int> fields(1, 4);
  std::uniform_int_distribution<int> pick(0, 5);
  const char* const ends[] = {"\n", "\r\n", "\r"};
  const char* const numbers[] = {"0.3", "-.25", "1.5E-05", " 2e-6", "7\t", "0"};
  std::string text;
  int total = 0;
  const int lines = 2 + pick(random);
  for (int line = 0; line < lines; ++line) {
    int count = line == 0 ? 1 : fields(random);  // the first line differs from some other
    if (line == 1 && count == 1) count = 2;
    if (line + 1 == lines && (total + count) % 2 != (even ? 0 : 1)) ++count;
    for (int f = 0; f < count; ++f) text += std::string(f > 0 ? "," : "") + numbers[pick(random)];
    total += count;
    text += ends[pick(random) % 3];
    if (pick(random) == 0) text += "  \n";
  }
  return text;
}

// Import must read every file the pair format accepts exactly as the pair format does, and
// refuse those it refuses that still look like pairs with the same message.
TEST(CurveFile, FilesOfThePairFormatReadAndFailAsEver) {
  std::vector<std::string> files = {"1,2\n3,4\n5,6,7\n", "1,2,3\n4,5\n"};
  for (const auto& pairs : {"0.3, 1.5E-05\r\n  .295 ,-2e-6\r\n\r\n   \n-0.29,0", "", "\r\n \r\n",
                            "1,2\n3,4\n5\n", "1,2\n3,4 mA\n", "1,2\n3,nan\n", "1,,2\n"}) {
    files.push_back(pairs);
  }
  files.push_back(
      "\xEF\xBB\xBF"
      "1,\t2\r3,4\r");
  std::mt19937 random(19);
  for (int i = 0; i < 300; ++i) files.push_back(RandomPairFile(random, i % 4 != 0));
  std::string tooMany;
  for (int i = 1; i <= 4000; ++i) tooMany += std::to_string(i) + ",1\n";
  files.push_back(tooMany);
  files.push_back(tooMany + "4001,1\nnot even a number\n");

  for (const std::string& text : files) {
    const std::string outcome = Pairs(text);
    EXPECT_EQ(Curve(text), outcome) << text;
    if (outcome.rfind("refused", 0) != 0) EXPECT_FALSE(ParseCurveFile(text).layout.columns) << text;
  }
}

// (Exports of instruments and spreadsheets, and refusals: the import_layouts and
// core_import_refusals scenarios.)
TEST(CurveFile, TheChosenColumnsGiveThePoints) {
  const CurveFile file = ParseCurveFile("t\tE\tI\n0\t0,3\t1\n1\t0,2\t4\n");
  EXPECT_EQ(Outcome([&] { return CurvePoints(file, {2, 3}); }), "0.3 1; 0.2 4; ");
  EXPECT_EQ(LayoutReport(file.layout, {2, 3}),
            (std::vector<std::string>{"Skipped 1 line before the data, which start on line 2",
                                      "Read 3 columns separated by tabs, with decimal commas",
                                      "E from column 2 \"E\", I from column 3 \"I\""}));
  // A swap of the pair format's two members is a choice too.
  EXPECT_EQ(Curve("1,2\n3,4\n", {2, 1}), "2 1; 4 3; ");
  EXPECT_EQ(Curve("1,2\n3,4\n", {1, 3}),
            "refused: column 3 was chosen, but the file has 2 columns");
  // UTF-16 big endian with its mark.
  const CurveFile utf16 =
      ParseCurveFile(std::string("\xFE\xFF\0#\0\n\0"
                                 "5\0;\0"
                                 "6",
                                 12));
  EXPECT_EQ(Outcome([&] { return CurvePoints(utf16, {}); }), "5 6; ");
  EXPECT_EQ(LayoutReport(utf16.layout, {})[1], "Read 2 columns separated by semicolons, UTF-16 BE");
}

}  // namespace
}  // namespace kivex::io
