#include "ui/menu.h"

namespace kivex::ui {

Menu::Menu() {
  // name, caption, parent, enabled at start-up
  items_ = {
      {"mnuFile", "&File", "", true},
      {"mnuSave", "&Save...", "mnuFile", true},
      {"mnuBar1", "-", "mnuFile", true},
      {"mnuImport", "&Import Data...", "mnuFile", true},
      {"mnuExport", "&Export Data...", "mnuFile", true},
      {"mnuBar2", "-", "mnuFile", true},
      {"mnuCopyto", "&Copy to Clipboard", "mnuFile", true},
      {"mnuPrint", "&Print", "mnuFile", true},
      {"mnuBar3", "-", "mnuFile", true},
      {"mnuExit", "E&xit", "mnuFile", true},
      {"mnuInput", "&Input", "", true},
      {"mnuTech", "&Techniques...", "mnuInput", true},
      {"mnuMechamism", "&Mechamism...", "mnuInput", true},
      {"mnuInstrument", "&Instrument...", "mnuInput", true},
      {"mnuExperimental", "&Chemicals...", "mnuInput", true},
      {"mnuRun", "&Run", "", true},
      {"mnuSimulate", "&Simulate", "mnuRun", true},
      {"mnuBar31", "-", "mnuRun", true},
      {"mnuManualFit", "&Manual Fit", "mnuRun", false},
      {"mnuAutoFit", "&Auto Fit", "mnuRun", true},
      {"mnuBar32", "-", "mnuRun", true},
      {"mnuManualSeparate", "M&anual Separate", "mnuRun", true},
      {"mnuAutoSeparate", "Auto S&eparate", "mnuRun", true},
      {"mnuDisplay", "&Display", "", false},
      {"mnuOption", "&Option...", "mnuDisplay", true},
      {"mnuPlot", "&Plot", "mnuDisplay", true},
      {"mnuNextCurve", "&Next Curve", "mnuDisplay", true},
      {"mnuTime", "&Time", "mnuDisplay", true},
      {"mnuClear", "&Clear", "mnuDisplay", true},
      {"mnuData", "&Analysis", "", false},
      {"mnuFindPeak", "&Find Peak", "mnuData", true},
      {"mnuFindHalfwaveE", "Find &Halfwave E", "mnuData", true},
      {"mnuTheoPeak", "&Theoretical Peak", "mnuData", false},
      {"mnuBar51", "-", "mnuData", true},
      {"mnuSemi", "&Semi-differentiate", "mnuData", true},
      {"mnuSemiInte", "S&emi-intergrate", "mnuData", true},
      {"mnuDerivative", "&Differentiate", "mnuData", true},
      {"mnuIntegral", "&Integrate", "mnuData", true},
      {"mnuBar52", "-", "mnuData", true},
      {"mnuXData", "&X Data", "mnuData", true},
      {"mnu1000X", "1000X", "mnuXData", true},
      {"mnu10X", "10X", "mnuXData", true},
      {"mnu01X", "0.1X", "mnuXData", true},
      {"mnu0001X", "0.001X", "mnuXData", true},
      {"mnuMinusX", "-X", "mnuXData", true},
      {"mnuYData", "&Y Data", "mnuData", true},
      {"mnu1000Y", "1000Y", "mnuYData", true},
      {"mnu10Y", "10Y", "mnuYData", true},
      {"mnu01Y", "0.1Y", "mnuYData", true},
      {"mnu0001Y", "0.001Y", "mnuYData", true},
      {"mnuMinusY", "-Y", "mnuYData", true},
      {"mnuHelp", "&Help", "", true},
      {"mnuAbout", "&About...", "mnuHelp", true},
  };
}

MenuItem* Menu::Find(std::string_view name) {
  for (MenuItem& item : items_) {
    if (item.name == name) return &item;
  }
  return nullptr;
}

const MenuItem* Menu::Find(std::string_view name) const {
  return const_cast<Menu*>(this)->Find(name);
}

bool Menu::Reachable(std::string_view name) const {
  for (const MenuItem* item = Find(name); item != nullptr; item = Find(item->parent)) {
    if (!item->enabled) return false;
    if (item->parent.empty()) return true;
  }
  return false;
}

void Menu::Enable(std::string_view name, bool enabled) {
  if (MenuItem* item = Find(name)) item->enabled = enabled;
}

}  // namespace kivex::ui
