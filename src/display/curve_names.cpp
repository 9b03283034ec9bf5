#include "display/curve_names.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "model/number_text.h"

namespace kivex::display {

namespace {

std::string HeldName(const model::HeldCurve& record) {
  if (record.component > 0) return "component " + std::to_string(record.component);
  switch (record.origin) {
    case model::CurveOrigin::Measurement: return "measured";
    case model::CurveOrigin::Simulation: return "simulated";
    case model::CurveOrigin::None: break;
  }
  return {};
}

}  // namespace

std::vector<std::string> CurveNames(const model::CurveSet& curves, const model::AppState& app) {
  const int count = std::clamp<int>(curves.curveCount, 0, model::kMaxShownCurves);
  std::vector<std::string> names(static_cast<std::size_t>(count));
  if (curves.shown == model::OutputQuantity::Concentration) {
    // The species of the run shown, while the scheme still has them; the plain number otherwise.
    const int viewed = curves.heldCurrentCurve;
    const bool sameScheme = viewed >= 1 && viewed <= model::kMaxCurves &&
                            curves.record(viewed).species == app.speciesCount;
    for (int j = 1; j <= count; ++j) {
      std::string& name = names[static_cast<std::size_t>(j - 1)];
      if (sameScheme && j <= model::kMaxSpecies) name = app.speciesName(j);
      if (name.empty()) name = "species " + std::to_string(j);
    }
    return names;
  }
  for (int k = 1; k <= std::min(count, model::kMaxCurves); ++k) {
    names[static_cast<std::size_t>(k - 1)] = HeldName(curves.record(k));
  }
  const std::vector<std::string> plain = names;
  // Overlapped runs are named by a setting ("v = 0.1 V/s"): the first in which every run differs
  // from every other.
  std::optional<std::size_t> told;
  std::vector<int> runs;
  for (int k = 1; k <= std::min(count, model::kMaxCurves); ++k) {
    if (plain[static_cast<std::size_t>(k - 1)] == "simulated") runs.push_back(k);
  }
  for (std::size_t s = 0; s < std::size(model::kRunSettings) && !told && runs.size() > 1; ++s) {
    std::vector<double> values;
    values.reserve(runs.size());
    for (int k : runs) values.push_back(curves.record(k).settings[s]);
    std::sort(values.begin(), values.end());
    if (std::adjacent_find(values.begin(), values.end()) == values.end()) told = s;
  }
  for (int k = 1; k <= count; ++k) {
    std::string& name = names[static_cast<std::size_t>(k - 1)];
    if (name.empty()) {
      name = "curve " + std::to_string(k);
    } else if (std::count(plain.begin(), plain.end(), name) > 1) {
      if (told && name == "simulated") {
        const model::RunSetting& setting = model::kRunSettings[*told];
        name = std::string(setting.name) + " = " +
               model::ShortestText(curves.record(k).settings[*told]) + " " + setting.unit;
      } else {
        name += " (" + std::to_string(k) + ")";
      }
    }
  }
  return names;
}

}  // namespace kivex::display
