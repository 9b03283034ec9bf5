#include "display/curve_names.h"

#include <algorithm>

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
  for (int k = 1; k <= count; ++k) {
    std::string& name = names[static_cast<std::size_t>(k - 1)];
    if (name.empty()) {
      name = "curve " + std::to_string(k);
    } else if (std::count(plain.begin(), plain.end(), name) > 1) {
      name += " (" + std::to_string(k) + ")";
    }
  }
  return names;
}

}  // namespace kivex::display
