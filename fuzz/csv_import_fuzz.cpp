// Reading a curve file: any bytes end in the pairs or in one FileError, never in a crash, a
// non-finite value or more pairs than a curve holds.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "io/csv_import.h"
#include "io/file_error.h"
#include "model/curve_set.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const kivex::io::CsvPairs pairs = kivex::io::ParseCsvPairs(text);
    FUZZ_CHECK(pairs.x.size() == pairs.y.size());
    FUZZ_CHECK(pairs.x.size() <= static_cast<std::size_t>(kivex::model::kMaxPoints));
    for (std::size_t i = 0; i < pairs.x.size(); ++i) {
      FUZZ_CHECK(std::isfinite(pairs.x[i]) && std::isfinite(pairs.y[i]));
    }
  } catch (const kivex::io::FileError& error) {
    FUZZ_CHECK(!error.description().empty());
  }
  return 0;
}
