#pragma once
// FormResult ("Result"): the report lines in a fixed-pitch font, so the 14-character print zones
// line up.

#include <QPlainTextEdit>

namespace kivex::ui::qt {

class ResultWindow : public QPlainTextEdit {
 public:
  explicit ResultWindow(QWidget* parent = nullptr);
  void AppendLine(const std::string& line);
};

}  // namespace kivex::ui::qt
