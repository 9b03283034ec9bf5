#include "ui/qt/result_window.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <cmath>

namespace kivex::ui::qt {

ResultWindow::ResultWindow(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName("FormResult");
  setWindowTitle("Result");
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void ResultWindow::AppendLine(const std::string& line) {
  const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  appendPlainText(text);
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  const int width = fontMetrics().horizontalAdvance(text);
  if (width > widestLine_) {
    widestLine_ = width;
    if (widened) widened();
  }
}

void ResultWindow::Clear() {
  clear();
  widestLine_ = 0;
}

int ResultWindow::WidthForText() const {
  const int margins = static_cast<int>(std::ceil(2 * document()->documentMargin()));
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  // The text cursor stands one pixel past the last character.
  return widestLine_ + margins + scrollBar + 2 * frameWidth() + cursorWidth() + 1;
}

}  // namespace kivex::ui::qt
