#include "ui/qt/progress_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/number_format.h"

namespace kivex::ui::qt {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("FormProgress");
  setWindowTitle("Fit");
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
  connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  Reset();
}

void ProgressWindow::Reset() {
  iteration_->setText("Iteration 1");
  best_->setText("Best so far: no trial simulated yet");
  cancel_->setEnabled(true);
}

void ProgressWindow::SetProgress(int iteration, double bestLeastSquare) {
  iteration_->setText(QString("Iteration %1").arg(iteration));
  const QString number = QString::fromStdString(model::GeneralNumber(bestLeastSquare)).trimmed();
  best_->setText("Best so far: Least square = " + number);
}

void ProgressWindow::reject() {
  // The window stays until the fit has ended; it only says that it is stopping.
  if (!cancel_->isEnabled()) return;
  cancel_->setEnabled(false);
  iteration_->setText(iteration_->text() + ": stopping after this simulation");
  if (onCancel) onCancel();
}

}  // namespace kivex::ui::qt
