#pragma once
// The core's texts are UTF-8 std::strings; every widget caption, tool tip and message passes
// through here into a QString.

#include <QString>
#include <string_view>

namespace kivex::ui::qt {

inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace kivex::ui::qt
