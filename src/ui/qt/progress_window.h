#pragma once
// The small window a long command shows above every window of the program while it runs: for a
// fit the iteration under way and the least square of the best trial so far, for a simulation
// that it runs, and a Cancel button (Esc in any of the program's windows does the same).
// Cancelling asks a fit to stop at its next simulation and a simulation at once; the window then
// says it is stopping until the work has ended.

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;

namespace kivex::ui::qt {

class ProgressWindow : public QDialog {
 public:
  enum class Work { Fit, Simulation };

  explicit ProgressWindow(QWidget* parent);

  void SetProgress(int iteration, double bestLeastSquare);
  // A new piece of work starts: Cancel is offered again.
  void Reset(Work work = Work::Fit);
  // The work was asked to stop (by Cancel, Esc, or Exit when `closing`): says so, whatever
  // progress comes meanwhile, until the work ends.
  void ShowStopping(bool closing);
  bool stopping() const { return !note_.isEmpty(); }
  // As the Cancel button: says it is stopping and calls onCancel, once.
  void Cancel();

  // The user pressed Cancel or Esc.
  std::function<void()> onCancel;

 protected:
  void reject() override;  // Esc and the close box

 private:
  Work work_ = Work::Fit;
  QString step_;  // "Iteration 3", "Simulating"
  QString note_;  // what it says once stopping
  QLabel* iteration_ = nullptr;
  QLabel* best_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace kivex::ui::qt
