// Reading a curve file: any bytes end in rows or in one FileError, never in a crash; every point
// handed over is finite, the columns proposed are in the file, and a file the pair format accepts
// reads as those pairs unless its lines are columns. The portion a curve takes lies within the
// points and the curve's capacity, and the experiment offered from it is finite.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fuzz_check.h"
#include "io/csv_import.h"
#include "io/curve_file.h"
#include "io/curve_portion.h"
#include "io/file_error.h"
#include "io/measured_points.h"
#include "model/curve_set.h"
#include "ui/file_experiment.h"

namespace {

using kivex::io::ColumnChoice;
using kivex::io::CsvPairs;
using kivex::io::CurrentSign;
using kivex::io::CurveFile;
using kivex::io::FileError;
using kivex::io::MeasuredPoints;

void CheckPoints(const CsvPairs& pairs) {
  FUZZ_CHECK(pairs.x.size() == pairs.y.size());
  for (std::size_t i = 0; i < pairs.x.size(); ++i) {
    FUZZ_CHECK(std::isfinite(pairs.x[i]) && std::isfinite(pairs.y[i]));
  }
}

void CheckTaken(const CurveFile& file, const MeasuredPoints& points) {
  CheckPoints(CsvPairs{points.x, points.y});
  const std::size_t count = points.x.size();
  FUZZ_CHECK(points.paddingRows >= 0);
  FUZZ_CHECK(count + static_cast<std::size_t>(points.paddingRows) == file.rows());
  FUZZ_CHECK(points.t.empty() || points.t.size() == count);
  FUZZ_CHECK(points.cycle.empty() == file.rowCycle.empty() || count == 0);
  FUZZ_CHECK(points.cycle.empty() || points.cycle.size() == count);
  for (double t : points.t) FUZZ_CHECK(!std::isinf(t));
  for (const std::string& line : points.report) FUZZ_CHECK(!line.empty());
}

void CheckPortions(const CurveFile& file, const MeasuredPoints& points) {
  using kivex::io::PortionRequest;
  for (const PortionRequest& request :
       {PortionRequest{}, PortionRequest{PortionRequest::Kind::All, 0, 0},
        PortionRequest{PortionRequest::Kind::Cycle, 2, 2},
        PortionRequest{PortionRequest::Kind::Sweeps, 2, 3}}) {
    for (bool plain : {true, false}) {
      try {
        const kivex::io::Portion portion =
            kivex::io::ChoosePortion(points.x, points.cycle, request, plain);
        const std::vector<std::size_t> taken = portion.Indices();
        FUZZ_CHECK(taken.size() <= static_cast<std::size_t>(kivex::model::kMaxPoints));
        for (std::size_t i : taken) FUZZ_CHECK(i < points.x.size());
        const kivex::ui::FileExperiment e =
            kivex::ui::DescribedExperiment(file.layout.settings, points.x, points.t, portion);
        for (const std::optional<double>& v : {e.Estart, e.Eend, e.Estep, e.scanRate}) {
          FUZZ_CHECK(!v || std::isfinite(*v));
        }
      } catch (const FileError& error) {
        FUZZ_CHECK(request.kind != PortionRequest::Kind::Auto && !error.description().empty());
      }
    }
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
    FUZZ_CHECK(pairs.x.size() <= static_cast<std::size_t>(kivex::model::kMaxPoints));
    if (reader.fieldsPerLine() < 3) asPairs = std::move(pairs);
  } catch (const FileError& error) {
    FUZZ_CHECK(!error.description().empty());
  }

  std::optional<CurveFile> read;
  try {
    read = kivex::io::ParseCurveFile(text);
  } catch (const FileError& error) {
    FUZZ_CHECK(!error.description().empty());
    FUZZ_CHECK(!asPairs);
    return 0;
  }
  const CurveFile& file = *read;
  const int columns = file.layout.columnCount;
  FUZZ_CHECK(columns >= 2 && columns <= 64);
  FUZZ_CHECK(file.values.size() == file.rows() * static_cast<std::size_t>(columns));
  FUZZ_CHECK(file.rowCycle.empty() || file.rowCycle.size() == file.rows());
  FUZZ_CHECK(!file.layout.columns ||
             file.layout.columnInfo.size() == static_cast<std::size_t>(columns));
  const ColumnChoice proposed = kivex::io::ProposedColumns(file);
  FUZZ_CHECK(proposed.potential >= 1 && proposed.potential <= columns);
  FUZZ_CHECK(proposed.value >= 1 && proposed.value <= columns);
  FUZZ_CHECK(proposed.potential != proposed.value);
  for (CurrentSign sign :
       {CurrentSign::FromFile, CurrentSign::OxidationPositive, CurrentSign::ReductionPositive}) {
    for (ColumnChoice choice : {proposed, ColumnChoice{columns, 1}}) {
      try {
        const MeasuredPoints points = kivex::io::TakePoints(file, choice, sign);
        CheckTaken(file, points);
        if (sign == CurrentSign::FromFile && choice == proposed) CheckPortions(file, points);
      } catch (const FileError& error) {
        // Only a text column may be refused, and never one the names proposed.
        FUZZ_CHECK(!error.description().empty());
        FUZZ_CHECK(choice != proposed || proposed == ColumnChoice{});
      }
    }
  }
  // What the pair format reads (never text with a UTF-16 mark) is read as those pairs.
  if (asPairs) {
    const CsvPairs points = kivex::io::CurvePoints(file, {});
    FUZZ_CHECK(!file.layout.columns && points.x == asPairs->x && points.y == asPairs->y);
  }
  return 0;
}
