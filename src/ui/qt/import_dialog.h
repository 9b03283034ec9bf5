#pragma once
// Import's question for a file with a choice to make: which columns hold the potential and the
// value (the headings' names and units beside the numbers, text columns not offered), and which
// of its points to take when it holds more cycles than a simulation has or more points than a
// curve holds. It opens on the import's proposal; OK waits until the two columns differ.

#include <QDialog>
#include <optional>
#include <vector>

#include "io/curve_file.h"
#include "ui/platform.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace kivex::ui::qt {

class ImportDialog : public QDialog {
 public:
  ImportDialog(const io::CurveFile& file, const ImportChoice& proposed, QWidget* parent);

  ImportChoice choice() const;

 private:
  // The sweeps and cycles of the points the chosen columns give, and the portions they offer.
  void Survey();

  const io::CurveFile& file_;
  QComboBox* potential_;
  QComboBox* value_;
  QComboBox* portion_;
  QSpinBox* firstSweep_;
  QSpinBox* lastSweep_;
  QLabel* survey_;
  QPushButton* ok_;
  std::vector<io::PortionRequest> portions_;  // one per entry of portion_
};

// Whether a file leaves anything to choose: more than two columns that can hold a potential or a
// value, more points than a curve holds, or an instrument's export of more than one cycle.
bool ImportNeedsAChoice(const io::CurveFile& file, const ImportChoice& proposed);

// The user's choice, or no value when cancelled.
std::optional<ImportChoice> AskImport(const io::CurveFile& file, const ImportChoice& proposed,
                                      QWidget* parent);

}  // namespace kivex::ui::qt
