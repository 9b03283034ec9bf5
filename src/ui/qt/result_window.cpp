#include "ui/qt/result_window.h"

#include <QFontDatabase>
#include <QScrollBar>

namespace kivex::ui::qt {

ResultWindow::ResultWindow(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName("FormResult");
  setWindowTitle("Result");
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void ResultWindow::AppendLine(const std::string& line) {
  appendPlainText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

}  // namespace kivex::ui::qt
