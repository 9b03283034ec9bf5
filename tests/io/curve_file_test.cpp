#include "io/curve_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "io/file_error.h"
#include "model/number_text.h"

namespace kivex::io {
namespace {

// What reading gives as one comparable text: the points, or the refusal.
std::string Outcome(const CsvPairs& points) {
  std::string text;
  for (std::size_t i = 0; i < points.x.size(); ++i) {
    text += model::ShortestText(points.x[i]) + " " + model::ShortestText(points.y[i]) + "\n";
  }
  return text;
}
std::string PairOutcome(std::string_view text) {
  try {
    return Outcome(ParseCsvPairs(text));
  } catch (const FileError& error) {
    return "refused: " + std::string(error.description());
  }
}
std::string CurveOutcome(std::string_view text, ColumnChoice choice = {}) {
  try {
    return Outcome(CurvePoints(ParseCurveFile(text), choice));
  } catch (const FileError& error) {
    return "refused: " + std::string(error.description());
  }
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
  std::vector<std::string> files = {
      "0.3, 1.5E-05\r\n  .295 ,-2e-6\r\n\r\n   \n-0.29,0",
      "\xEF\xBB\xBF"
      "1,\t2\r3,4\r",
      "",
      "\r\n \r\n",
      "1,2\n3,4\n5\n",
      "1,2\n3,4 mA\n",
      "1,2\n3,nan\n",
      "1,,2\n",
      "1,2,3\n4,5\n",
      "1,2\n3,4\n5,6,7\n",
  };
  std::mt19937 random(19);
  for (int i = 0; i < 300; ++i) files.push_back(RandomPairFile(random, i % 4 != 0));
  std::string tooMany;
  for (int i = 1; i <= 4000; ++i) tooMany += std::to_string(i) + ",1\n";
  files.push_back(tooMany);
  files.push_back(tooMany + "4001,1\nnot even a number\n");

  for (const std::string& text : files) {
    const std::string outcome = PairOutcome(text);
    EXPECT_EQ(CurveOutcome(text), outcome) << text;
    if (outcome.rfind("refused", 0) != 0) {
      EXPECT_FALSE(ParseCurveFile(text).layout.columns) << text;
    }
  }
}

// The layout in one line: separator, columns, decimal comma, lines skipped, first data line, names.
std::string Summary(const CurveFileLayout& layout) {
  std::string text = std::string(SeparatorName(layout.separator)) + " x" +
                     std::to_string(layout.columnCount) + (layout.decimalComma ? " comma" : "") +
                     " skipped " + std::to_string(layout.skippedLines) + " from " +
                     std::to_string(layout.firstDataLine);
  for (const std::string& name : layout.columnNames) text += " |" + name;
  return text;
}

struct Layout {
  const char* name;
  std::string text;
  const char* summary;
  const char* points;  // of the first two columns
};

class CurveFileLayouts : public ::testing::TestWithParam<Layout> {};

TEST_P(CurveFileLayouts, AreReadAsColumns) {
  const CurveFile file = ParseCurveFile(GetParam().text);
  EXPECT_TRUE(file.layout.columns);
  EXPECT_EQ(Summary(file.layout), GetParam().summary);
  EXPECT_EQ(Outcome(CurvePoints(file, {})), GetParam().points);
}

INSTANTIATE_TEST_SUITE_P(
    Exports, CurveFileLayouts,
    ::testing::Values(
        // (Exports of instruments and spreadsheets: the import_layouts scenario.)
        Layout{"ThreeNumbersALineAreColumnsNotPairs", "1,2,3\n4,5,6\n",
               "commas x3 skipped 0 from 1", "1 2\n4 5\n"},
        Layout{"Utf16LittleEndian",
               std::string("\xFF\xFE"
                           "E\0,\0I\0\r\0\n\0"
                           "1\0,\0"
                           "2\0",
                           18),
               "commas x2 skipped 1 from 2 |E |I", "1 2\n"},
        Layout{"Utf16BigEndian",
               std::string("\xFE\xFF\0#\0\n\0"
                           "5\0;\0"
                           "6",
                           12),
               "semicolons x2 skipped 1 from 2", "5 6\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CurveFile, FilesThatAreNeitherPairsNorColumnsNameTheLineAndTheReason) {
  std::string wide = "E\n1";
  for (int i = 1; i < 65; ++i) wide += ";1";
  const std::pair<std::string, std::string> cases[] = {
      {"E,I,t\n1,2,3\n4,5\n", "line 3: 2 fields, but the lines of numbers above have 3"},
      {"E;I\n1;2\n3;4;5\n", "line 3: 3 fields, but the lines of numbers above have 2"},
      {"E;I\n1;2\n3;n/a\n", "line 3: \"n/a\" is not a number"},
      {"E;I\n1;2\n3;;4\n", "line 3: a field is empty"},
      {"E\tI\n1\t2\n1.000,5\t2\n", "line 3: \"1.000,5\" is not a number"},
      {"Current/A\n1\n2\n",
       "line 2: a single number; a curve needs a potential and a value on "
       "every line"},
      {"Title\n# note\n\nE, I\n", "no data: every line is text, a comment or blank"},
      {std::string("1\0,\0"
                   "2\0",
                   6),
       "line 1: a zero byte: this is no text file (UTF-16 is read only with its byte-order "
       "mark)"},
      {wide, "line 2: more than 64 columns"},
      {"E;I\n1;2\n1;" + std::string(5000, '2') + "\n", "line 3: longer than 4096 bytes"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(CurveOutcome(text), "refused: " + message);
}

TEST(CurveFile, LimitsStopTheReadingAtTheFirstLineTooMany) {
  std::string text = "E;I\n";
  for (int i = 1; i <= 4000; ++i) text += std::to_string(i) + ";1\n";
  EXPECT_EQ(ParseCurveFile(text).rows(), 4000u);
  EXPECT_EQ(CurveOutcome(text + "\n4001;1\nnot even a number\n"),
            "refused: line 4003: more than 4000 lines of numbers; a curve holds at most 4000 "
            "points");
  EXPECT_EQ(CurveOutcome("E;I\n" + std::string(20000, '\n') + "1;2\n"),
            "refused: line 20001: more than 20000 lines in all; a curve holds at most 4000 points");
}

TEST(CurveFile, TheChosenColumnsGiveThePoints) {
  const CurveFile file = ParseCurveFile("t\tE\tI\n0\t0,3\t1\n1\t0,2\t4\n");
  EXPECT_EQ(Outcome(CurvePoints(file, {2, 3})), "0.3 1\n0.2 4\n");
  EXPECT_EQ(LayoutReport(file.layout, {2, 3}),
            (std::vector<std::string>{"Skipped 1 line before the data, which start on line 2",
                                      "Read 3 columns separated by tabs, with decimal commas",
                                      "E from column 2 \"E\", I from column 3 \"I\""}));
  // A swap of the pair format's two members is a choice too.
  EXPECT_EQ(CurveOutcome("1,2\n3,4\n", {2, 1}), "2 1\n4 3\n");
  EXPECT_EQ(CurveOutcome("1,2\n3,4\n", {1, 3}),
            "refused: column 3 was chosen, but the file has 2 columns");
}

}  // namespace
}  // namespace kivex::io
