// The scheme builder on arbitrary box texts: either a scheme within the limits whose indexes all
// name species, or one of the input messages with the previous scheme left whole.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "model/failure.h"
#include "model/reaction_scheme.h"

using namespace kivex::model;

namespace {

void CheckScheme(const AppState& app) {
  FUZZ_CHECK(app.speciesCount >= 0 && app.speciesCount <= kMaxSpecies);
  FUZZ_CHECK(app.chargeCount >= 0 && app.chargeCount <= kMaxCharge);
  FUZZ_CHECK(app.chemCount >= 0 && app.chem2Count >= 0);
  FUZZ_CHECK(app.chemCount + app.chem2Count <= kMaxChem);
  for (int r = 1; r <= kMaxCharge; ++r) {
    for (int s = 1; s <= 2; ++s) {
      FUZZ_CHECK(app.chargeSpecies(r, s) >= 0 && app.chargeSpecies(r, s) <= app.speciesCount);
    }
  }
  for (int k = 1; k <= kMaxChem; ++k) {
    for (int s = 1; s <= 2; ++s) {
      FUZZ_CHECK(app.chemSpecies(k, s) >= 0 && app.chemSpecies(k, s) <= app.speciesCount);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  SchemeInput input;
  input.digital = (data[0] & 1) != 0;
  input.tickedMechanism = static_cast<Count>(data[1] % 10);
  // The remaining bytes are the boxes' texts, one per line, in the dialog's order.
  std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  auto next = [&rest]() {
    const std::size_t end = rest.find('\n');
    std::string box(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return box;
  };
  for (int i = 1; i <= 2 * kMaxCharge; ++i) input.charge(i) = next();
  for (int i = 1; i <= kMaxCharge; ++i) input.electrons(i) = next();
  for (int i = 1; i <= 2 * kMaxChem; ++i) input.chem(i) = next();
  for (int i = 1; i <= 4 * kMaxChem2; ++i) input.chem2(i) = next();

  AppState app;
  SchemeInput defaults;
  defaults.charge(1) = "A";
  defaults.charge(2) = "B";
  defaults.electrons(1) = "1";
  BuildReactionScheme(defaults, app);
  const AppState before = app;
  try {
    BuildReactionScheme(input, app);
  } catch (const InputError&) {
    FUZZ_CHECK(app.speciesCount == before.speciesCount);
    FUZZ_CHECK(app.chargeCount == before.chargeCount);
    FUZZ_CHECK(app.chemCount == before.chemCount && app.chem2Count == before.chem2Count);
  }
  CheckScheme(app);
  return 0;
}
