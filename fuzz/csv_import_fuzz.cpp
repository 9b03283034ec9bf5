// Reading a curve file: any bytes end in points or in one FileError, never in a crash, a
// non-finite value or more points than a curve holds; a file the pair format accepts reads as
// those pairs unless its lines are columns.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fuzz_check.h"
#include "io/csv_import.h"
#include "io/curve_file.h"
#include "io/file_error.h"
#include "model/curve_set.h"

namespace {

using kivex::io::CsvPairs;

void CheckPoints(const CsvPairs& pairs) {
  FUZZ_CHECK(pairs.x.size() == pairs.y.size());
  FUZZ_CHECK(pairs.x.size() <= static_cast<std::size_t>(kivex::model::kMaxPoints));
  for (std::size_t i = 0; i < pairs.x.size(); ++i) {
    FUZZ_CHECK(std::isfinite(pairs.x[i]) && std::isfinite(pairs.y[i]));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::optional<CsvPairs> asPairs;
  try {
    kivex::io::PairReader reader;
    reader.Feed(text);
    CsvPairs pairs = reader.Finish();
    CheckPoints(pairs);
    if (reader.fieldsPerLine() < 3) asPairs = std::move(pairs);
  } catch (const kivex::io::FileError& error) {
    FUZZ_CHECK(!error.description().empty());
  }

  try {
    const kivex::io::CurveFile file = kivex::io::ParseCurveFile(text);
    const int columns = file.layout.columnCount;
    FUZZ_CHECK(columns >= 2 && columns <= 64);
    FUZZ_CHECK(file.values.size() == file.rows() * static_cast<std::size_t>(columns));
    const CsvPairs points = kivex::io::CurvePoints(file, {});
    CheckPoints(points);
    (void)kivex::io::LayoutReport(file.layout, {columns, 1});
    // What the pair format reads (never text with a UTF-16 mark) is read as those pairs.
    if (asPairs) {
      FUZZ_CHECK(!file.layout.columns && points.x == asPairs->x && points.y == asPairs->y);
    }
  } catch (const kivex::io::FileError& error) {
    FUZZ_CHECK(!error.description().empty());
    FUZZ_CHECK(!asPairs);
  }
  return 0;
}
