#include "ui/control.h"

namespace kivex::ui {

std::string Control::Ref() const {
  if (index == kNoIndex) return name;
  return name + "(" + std::to_string(index) + ")";
}

void Control::Choose(int i) {
  if (i < 0 || i >= static_cast<int>(items.size())) {
    listIndex = -1;
    text.clear();
    return;
  }
  listIndex = i;
  text = items[static_cast<std::size_t>(i)];
}

std::string DisplayCaption(const Control& control) {
  if (!control.symbolFont) return control.caption;
  std::string shown;
  for (char c : control.caption) {
    switch (c) {
      case 'a': shown += "\xCE\xB1"; break;  // alpha
      case 'l': shown += "\xCE\xBB"; break;  // lambda
      case 'W': shown += "\xCE\xA9"; break;  // Omega
      default: shown += c;
    }
  }
  return shown;
}

}  // namespace kivex::ui
