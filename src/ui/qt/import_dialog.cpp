#include "ui/qt/import_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "io/curve_portion.h"
#include "io/file_error.h"
#include "io/measured_points.h"
#include "model/curve_set.h"

namespace kivex::ui::qt {

namespace {

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool Offered(const io::CurveFileLayout& layout, int column) {
  if (column < 1 || static_cast<std::size_t>(column) > layout.columnInfo.size()) return true;
  const io::ColumnInfo& info = layout.columnInfo[static_cast<std::size_t>(column - 1)];
  return !info.text && !info.setting;
}

int OfferedColumns(const io::CurveFileLayout& layout) {
  int offered = 0;
  for (int column = 1; column <= layout.columnCount; ++column) offered += Offered(layout, column);
  return offered;
}

// Every column, its heading beside its number; a text or settings column is shown greyed.
QComboBox* ColumnList(const io::CurveFileLayout& layout, int chosen, const char* name,
                      QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  for (int column = 1; column <= layout.columnCount; ++column) {
    QString item = QString::number(column);
    if (static_cast<std::size_t>(column) <= layout.columnNames.size()) {
      const std::string& header = layout.columnNames[static_cast<std::size_t>(column - 1)];
      if (!header.empty()) item += ": " + Text(header);
    }
    list->addItem(item);
    if (!Offered(layout, column)) {
      if (auto* model = qobject_cast<QStandardItemModel*>(list->model())) {
        model->item(column - 1)->setEnabled(false);
      }
    }
  }
  list->setCurrentIndex(chosen - 1);
  return list;
}

// The points the columns give, with the file's own cycles; none when they cannot be taken.
std::optional<io::MeasuredPoints> PointsOf(const io::CurveFile& file, io::ColumnChoice columns) {
  try {
    return io::TakePoints(file, columns, io::CurrentSign::FromFile);
  } catch (const io::FileError&) {
    return std::nullopt;
  }
}

}  // namespace

ImportDialog::ImportDialog(const io::CurveFile& file, const ImportChoice& proposed, QWidget* parent)
    : QDialog(parent), file_(file) {
  setObjectName("ImportChoice");
  setWindowTitle("Import");
  const io::CurveFileLayout& layout = file.layout;
  auto* box = new QVBoxLayout(this);
  QString read = layout.format.empty() ? QString("The file has %1 columns.").arg(layout.columnCount)
                                       : "Read as " + Text(layout.format) + ".";
  box->addWidget(new QLabel(read, this));

  auto* form = new QFormLayout;
  potential_ = ColumnList(layout, proposed.columns.potential, "potentialColumn", this);
  value_ = ColumnList(layout, proposed.columns.value, "valueColumn", this);
  form->addRow("E (V)", potential_);
  form->addRow("I", value_);

  portion_ = new QComboBox(this);
  portion_->setObjectName("portionList");
  form->addRow("Take", portion_);
  auto* sweeps = new QHBoxLayout;
  firstSweep_ = new QSpinBox(this);
  firstSweep_->setObjectName("firstSweep");
  lastSweep_ = new QSpinBox(this);
  lastSweep_->setObjectName("lastSweep");
  sweeps->addWidget(new QLabel("sweeps", this));
  sweeps->addWidget(firstSweep_);
  sweeps->addWidget(new QLabel("to", this));
  sweeps->addWidget(lastSweep_);
  sweeps->addStretch();
  form->addRow("", sweeps);
  box->addLayout(form);
  survey_ = new QLabel(this);
  survey_->setObjectName("survey");
  box->addWidget(survey_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  box->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  const auto update = [this] {
    const bool sweepsChosen = portion_->currentIndex() >= 0 &&
                              portions_[static_cast<std::size_t>(portion_->currentIndex())].kind ==
                                  io::PortionRequest::Kind::Sweeps;
    firstSweep_->setEnabled(sweepsChosen);
    lastSweep_->setEnabled(sweepsChosen);
    ok_->setEnabled(potential_->currentIndex() != value_->currentIndex() &&
                    (!sweepsChosen || firstSweep_->value() <= lastSweep_->value()));
  };
  connect(potential_, &QComboBox::currentIndexChanged, this, [this, update] {
    Survey();
    update();
  });
  connect(value_, &QComboBox::currentIndexChanged, this, update);
  connect(portion_, &QComboBox::currentIndexChanged, this, update);
  connect(firstSweep_, &QSpinBox::valueChanged, this, update);
  connect(lastSweep_, &QSpinBox::valueChanged, this, update);
  Survey();
  for (std::size_t k = 0; k < portions_.size(); ++k) {
    if (portions_[k] == proposed.portion) portion_->setCurrentIndex(static_cast<int>(k));
  }
  update();
}

void ImportDialog::Survey() {
  const std::optional<io::MeasuredPoints> points =
      PointsOf(file_, {potential_->currentIndex() + 1, value_->currentIndex() + 1});
  io::PortionSurvey survey;
  std::size_t count = 0;
  if (points) {
    survey = io::SurveyPortions(points->x, points->cycle);
    count = points->x.size();
  }
  const int kept = portion_->currentIndex();
  portion_->blockSignals(true);
  portion_->clear();
  portions_.clear();
  auto offer = [this](const QString& text, io::PortionRequest request) {
    portion_->addItem(text);
    portions_.push_back(request);
  };
  offer("the first whole cycle (automatic)", {});
  offer("all points", {io::PortionRequest::Kind::All, 0, 0});
  for (int k = 1; k <= survey.cycles; ++k) {
    offer(QString("cycle %1").arg(k), {io::PortionRequest::Kind::Cycle, k, k});
  }
  offer("sweeps", {io::PortionRequest::Kind::Sweeps, 1, 1});
  portion_->setCurrentIndex(kept >= 0 && kept < portion_->count() ? kept : 0);
  portion_->blockSignals(false);
  const int sweeps = std::max(survey.sweeps, 1);
  firstSweep_->setRange(1, sweeps);
  lastSweep_->setRange(1, sweeps);
  lastSweep_->setValue(sweeps);
  QString text = QString("%1 points in %2 %3")
                     .arg(count)
                     .arg(survey.sweeps)
                     .arg(survey.sweeps == 1 ? "sweep" : "sweeps");
  if (survey.cycles > 0) {
    const bool one = survey.cycles == 1;
    text += QString(", %1 %2")
                .arg(survey.cycles)
                .arg(survey.numbered ? (one ? "cycle as the file numbers it"
                                            : "cycles as the file numbers them")
                                     : (one ? "whole cycle" : "whole cycles"));
  }
  text += QString("; a curve holds %1 points.").arg(model::kMaxPoints);
  survey_->setText(text);
}

ImportChoice ImportDialog::choice() const {
  ImportChoice chosen;
  chosen.columns = {potential_->currentIndex() + 1, value_->currentIndex() + 1};
  const int k = portion_->currentIndex();
  if (k >= 0) chosen.portion = portions_[static_cast<std::size_t>(k)];
  if (chosen.portion.kind == io::PortionRequest::Kind::Sweeps) {
    chosen.portion.first = firstSweep_->value();
    chosen.portion.last = lastSweep_->value();
  }
  return chosen;
}

bool ImportNeedsAChoice(const io::CurveFile& file, const ImportChoice& proposed) {
  if (OfferedColumns(file.layout) > 2) return true;
  const std::optional<io::MeasuredPoints> points = PointsOf(file, proposed.columns);
  if (!points) return true;
  if (points->x.size() > static_cast<std::size_t>(model::kMaxPoints)) return true;
  // A plain file that fits is taken whole, as ever; an instrument's export of several cycles
  // offers them.
  if (file.layout.format.empty()) return false;
  const io::PortionSurvey survey = io::SurveyPortions(points->x, points->cycle);
  return survey.sweeps > 2 || survey.cycles > 1;
}

std::optional<ImportChoice> AskImport(const io::CurveFile& file, const ImportChoice& proposed,
                                      QWidget* parent) {
  ImportDialog dialog(file, proposed, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

}  // namespace kivex::ui::qt
