#pragma once
// Import's question for a file of more than two columns: which column holds the potential and
// which the value. The header row's names stand beside the numbers; the first two columns are
// offered, and OK waits until the two differ.

#include <QDialog>
#include <optional>

#include "io/curve_file.h"

class QComboBox;
class QPushButton;

namespace kivex::ui::qt {

class ColumnDialog : public QDialog {
 public:
  ColumnDialog(const io::CurveFileLayout& layout, QWidget* parent);

  io::ColumnChoice choice() const;

 private:
  QComboBox* potential_;
  QComboBox* value_;
  QPushButton* ok_;
};

// The user's choice, or no value when cancelled.
std::optional<io::ColumnChoice> AskColumns(const io::CurveFileLayout& layout, QWidget* parent);

}  // namespace kivex::ui::qt
