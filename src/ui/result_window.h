#pragma once
// The text window `FormResult` ("Result"): commands append report lines to it.

#include <string>
#include <vector>

namespace kivex::ui {

struct ResultWindow {
  std::vector<std::string> lines;
  bool visible = false;
};

}  // namespace kivex::ui
