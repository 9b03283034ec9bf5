#include "ui/qt/progress_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/number_format.h"

namespace kivex::ui::qt {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("FormProgress");
  // The only way to stop the work: no other window of the program may cover it.
  setWindowFlag(Qt::WindowStaysOnTopHint);
  auto* layout = new QVBoxLayout(this);
  iteration_ = new QLabel(this);
  iteration_->setObjectName("lblIteration");
  best_ = new QLabel(this);
  best_->setObjectName("lblBest");
  best_->setMinimumWidth(best_->fontMetrics().horizontalAdvance(QString(46, 'M')) / 2);
  layout->addWidget(iteration_);
  layout->addWidget(best_);
  auto* row = new QHBoxLayout;
  row->addStretch();
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setObjectName("cmdCancel");
  cancel_->setAutoDefault(false);
  row->addWidget(cancel_);
  layout->addLayout(row);
  connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
  Reset();
}

void ProgressWindow::Reset(Work work) {
  work_ = work;
  note_.clear();
  const bool fit = work == Work::Fit;
  setWindowTitle(fit ? "Fit" : "Simulate");
  step_ = fit ? "Iteration 1" : "Simulating";
  iteration_->setText(step_);
  best_->setText(fit ? "Best so far: no trial simulated yet" : QString());
  best_->setVisible(fit);
  cancel_->setEnabled(true);
}

void ProgressWindow::SetProgress(int iteration, double bestLeastSquare) {
  step_ = QString("Iteration %1").arg(iteration);
  iteration_->setText(step_ + note_);
  const QString number = QString::fromStdString(model::GeneralNumber(bestLeastSquare)).trimmed();
  best_->setText("Best so far: Least square = " + number);
}

void ProgressWindow::ShowStopping(bool closing) {
  cancel_->setEnabled(false);
  note_ = work_ == Work::Fit ? ": stopping after this simulation" : ": stopping";
  if (closing) note_ += ", then Kivex closes";
  iteration_->setText(step_ + note_);
}

void ProgressWindow::Cancel() {
  if (stopping()) return;
  ShowStopping(false);
  if (onCancel) onCancel();
}

// The window stays until the work has ended; it only says that it is stopping.
void ProgressWindow::reject() { Cancel(); }

}  // namespace kivex::ui::qt
