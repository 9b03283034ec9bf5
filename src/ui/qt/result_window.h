#pragma once
// FormResult ("Result"): the report lines in a fixed-pitch font, so the 14-character print zones
// line up. Lines never wrap (a table would break mid-row): the frame widens the window to its
// longest line, and a line wider than the frame scrolls.

#include <QPlainTextEdit>
#include <functional>
#include <string>

namespace kivex::ui::qt {

class ResultWindow : public QPlainTextEdit {
 public:
  explicit ResultWindow(QWidget* parent = nullptr);
  void AppendLine(const std::string& line);
  void Clear();

  // The width the window needs to show its longest line whole, scroll bar and frame included.
  int WidthForText() const;
  // Called when a line wider than any before it was appended.
  std::function<void()> widened;

 private:
  int widestLine_ = 0;  // pixels
};

}  // namespace kivex::ui::qt
