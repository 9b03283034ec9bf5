#pragma once
// The small window a running fit shows above the frame: the iteration under way, the least square
// of the best trial so far, and a Cancel button (Esc does the same). Cancelling asks the fit to
// stop at its next simulation; the window then says it is stopping until the fit has ended.

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace kivex::ui::qt {

class ProgressWindow : public QDialog {
 public:
  explicit ProgressWindow(QWidget* parent);

  void SetProgress(int iteration, double bestLeastSquare);
  // A new piece of work starts: Cancel is offered again.
  void Reset();

  // The user pressed Cancel or Esc.
  std::function<void()> onCancel;

 protected:
  void reject() override;  // Esc and the close box

 private:
  QLabel* iteration_ = nullptr;
  QLabel* best_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace kivex::ui::qt
