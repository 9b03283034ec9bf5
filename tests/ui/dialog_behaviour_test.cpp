// The Instrument dialog as a user drives it. (Mode switch, row names, Keq, pre-equilibrium,
// preconcentration and the species limit: the ui_* scenarios.)

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_ins.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::Click;
using testing::SessionFixture;
using testing::Type;

// A minus sign does not make a negative duration; text that is not a number (strictly read) or a
// result that is not finite gives no value, so the box keeps its last one.
TEST(InstrumentDialog, DropTimeAndPulseWidthAreDurationsReadStrictly) {
  const std::pair<std::pair<const char*, const char*>, std::optional<std::string>> drops[] = {
      {{"0.005", "0.01"}, "0.5"},          {{"-0.004", " 0.02 "}, "0.2"},
      {{"0.005", "0"}, std::nullopt},      {{"5 mV", "0.01"}, std::nullopt},
      {{"1e300", "1e-300"}, std::nullopt},
  };
  for (const auto& [typed, expected] : drops) {
    EXPECT_EQ(DropTimeText(typed.first, typed.second), expected) << typed.first;
  }
  const std::pair<const char*, std::optional<std::string>> pulses[] = {
      {"25", "0.02"}, {"-25", "0.02"}, {"3", "0.16666666666666666"}, {"", std::nullopt}};
  for (const auto& [frequency, expected] : pulses) {
    EXPECT_EQ(PulseWidthText(frequency), expected) << frequency;
  }
}

// (A computed area shown rounded and used unrounded: the instrument_dialog and ui_area_computed
// scenarios.)
TEST(InstrumentDialog, OkSaysWhatIsNotANumberOrCommitsTheComputedArea) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuInstrument");
  Type(f.session, "FormIns.V", "ten mV/s");
  Click(f.session, "FormIns.cmdOK");
  EXPECT_EQ(f.platform.messages,
            std::vector<std::string>{"v (V/s): \"ten mV/s\" is not a number. Please correct it "
                                     "in the Instrument dialog."});
  EXPECT_TRUE(f.session.Ins().visible);
  EXPECT_FALSE(f.session.app.committed);

  Type(f.session, "FormIns.V", "0.01");
  Click(f.session, "FormIns.optElectrode(7)");
  Type(f.session, "FormIns.radius", "0.01");  // the band's width
  Type(f.session, "FormIns.leng", "0.1");
  Click(f.session, "FormIns.cmdOK");
  EXPECT_FALSE(f.session.Ins().visible);
  EXPECT_DOUBLE_EQ(f.session.app.radius, 0.01);  // kept as the width
  EXPECT_DOUBLE_EQ(f.session.app.area, 1e-3);
}

}  // namespace
}  // namespace kivex::ui
