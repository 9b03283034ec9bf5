// Reading measured curves as pairs or columns; an import is stored whole or not at all.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <span>
#include <string>
#include <vector>

#include "io/csv_import.h"
#include "io/curve_file.h"
#include "io/file_error.h"
#include "model/number_text.h"
#include "support/temp_dir.h"

namespace kivex::io {
namespace {

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

// Good files and what they read as; bad files and the refusal, naming the line and the fault.
const std::string kOdd = "the last potential has no value after it (odd number of fields)";
const std::pair<std::string, std::string> kFiles[] = {
    // One pair a line with CR LF, blanks around fields, a blank line, a line without its end.
    {"0.3, 1.5E-05\r\n  .295 ,-2e-6\r\n\r\n   \n-0.29,0", "0.3 1.5e-05; 0.295 -2e-06; -0.29 0; "},
    // Lone CR line ends, tabs, and the byte-order mark some spreadsheets write.
    {"\xEF\xBB\xBF"
     "1,\t2\r3,4\r",
     "1 2; 3 4; "},
    {"", ""},
    {"\r\n \r\n", ""},
    {"1,2\n3,4\n5\n", "refused: line 3: " + kOdd},
    {"1,2\n3,4 mA\n", "refused: line 2: \"4 mA\" is not a number"},
    {"1,2\n3,nan\n", "refused: line 2: \"nan\" is not a number"},
    {"1,2\n3,1e999\n", "refused: line 2: \"1e999\" is out of range: too large for a number"},
    {"1,,2\n", "refused: line 1: a field is empty"},
    // The import reads these as columns or as text, not as pairs.
    // Three columns on two lines read as a flat sequence: the columns mix.
    {"1,2,3\n4,5,6\n", "1 2; 3 4; 5 6; "},
    {"1,2,3\n", "refused: line 1: " + kOdd},
    {"E,I\n1,2\n", "refused: line 1: \"E\" is not a number"},
    {"1,2,\n3,4\n", "refused: line 1: a field is empty"},
    // Control characters are not copied into the message; long fields are cut.
    {std::string("1,\x01\x02x\n", 6), "refused: line 1: \"??x\" is not a number"},
    {"1," + std::string(1000, '7') + "x\n",
     "refused: line 1: \"777777777777777777777777...\" is not a number"},
};

TEST(CsvImport, FieldsArePairedInFileOrderAndEachBadFileKindIsNamed) {
  for (const auto& [text, outcome] : kFiles) EXPECT_EQ(Pairs(text), outcome) << text;
}

std::string Rows(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += std::to_string(i) + ",1\n";
  return text;
}

TEST(CsvImport, MoreThan4000PairsAreRefusedWithoutReadingFurther) {
  const std::string text = Rows(4000);
  EXPECT_EQ(ParseCsvPairs(text).x.size(), 4000u);
  // What follows the 4000th pair is not looked at: the refusal names the line of pair 4001.
  EXPECT_EQ(Pairs(text + "4001,1\nnot even a number\n"),
            "refused: line 4001: more than 4000 pairs of values; a curve holds at most 4000 "
            "points");
  EXPECT_EQ(Pairs(text + "\n\nabc"),
            "refused: line 4003: more than 4000 pairs of values; a curve holds at most 4000 "
            "points");
}

// (An import stored whole or not at all: the core2_import_whole_or_nothing scenario.)

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
  std::vector<std::string> files = {"1,2\n3,4\n5,6,7\n", "1,2,3\n4,5\n", Rows(4000),
                                    Rows(4000) + "4001,1\nnot even a number\n"};
  for (const auto& [text, outcome] : std::span(kFiles).first(std::size(kFiles) - 6)) {
    files.push_back(text);
  }
  std::mt19937 random(19);
  for (int i = 0; i < 300; ++i) files.push_back(RandomPairFile(random, i % 4 != 0));
  for (const std::string& text : files) {
    const std::string outcome = Pairs(text);
    EXPECT_EQ(Curve(text), outcome) << text;
    if (outcome.rfind("refused", 0) != 0) {
      EXPECT_FALSE(ParseCurveFile(text).layout.columns) << text;
    }
  }
}

// (Files a spreadsheet or a logger wrote in ways of their own: the io_oddly_written
// scenario.)

TEST(CurveFile, OnlyARegularTextFileIsRead) {
  // A device or a pipe is refused before it is read: /dev/zero never ends, a pipe may never
  // start. (A folder: the core_import_refusals scenario.)
  testing::TempDir dir;
  const std::string pipe = dir.File("pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const auto& [path, reason] :
       {std::pair<std::string, std::string>{"/dev/zero", "it is a device, not a file"},
        {pipe, "it is a pipe, not a file"}}) {
    const std::string& file = path;  // a lambda captures a variable, not a binding
    std::string expected = "refused: cannot read \"";
    expected.append(file).append("\": ").append(reason);
    EXPECT_EQ(Outcome([&] { return CurvePoints(ReadCurveFile(file), {}); }), expected);
  }
  // The first zero byte ends the reading of pairs, so a binary file is not read to its end.
  PairReader reader;
  reader.Feed("1,2\n");
  EXPECT_THROW(reader.Feed(std::string_view("3,4\0\0", 5)), FileError);
}

// (Exports of instruments and spreadsheets, chosen columns, swapped pairs and refusals: the
// import_layouts and core_import_refusals scenarios; UTF-16 big endian: io_rows_and_columns.)

}  // namespace
}  // namespace kivex::io
