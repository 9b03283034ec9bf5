#include "ui/qt/column_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivex::ui::qt {

namespace {

QComboBox* ColumnList(const io::CurveFileLayout& layout, int chosen, const char* name,
                      QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  for (int column = 1; column <= layout.columnCount; ++column) {
    QString item = QString::number(column);
    if (!layout.columnNames.empty()) {
      const std::string& header = layout.columnNames[static_cast<std::size_t>(column - 1)];
      item += ": " + QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));
    }
    list->addItem(item);
  }
  list->setCurrentIndex(chosen - 1);
  return list;
}

}  // namespace

ColumnDialog::ColumnDialog(const io::CurveFileLayout& layout, QWidget* parent) : QDialog(parent) {
  setObjectName("ColumnChoice");
  setWindowTitle("Columns");
  auto* layoutBox = new QVBoxLayout(this);
  layoutBox->addWidget(new QLabel(
      QString("The file has %1 columns. Take the curve from:").arg(layout.columnCount), this));
  auto* form = new QFormLayout;
  potential_ = ColumnList(layout, 1, "potentialColumn", this);
  value_ = ColumnList(layout, 2, "valueColumn", this);
  form->addRow("E (V)", potential_);
  form->addRow("I", value_);
  layoutBox->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  layoutBox->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  const auto differ = [this] {
    ok_->setEnabled(potential_->currentIndex() != value_->currentIndex());
  };
  connect(potential_, &QComboBox::currentIndexChanged, this, differ);
  connect(value_, &QComboBox::currentIndexChanged, this, differ);
}

io::ColumnChoice ColumnDialog::choice() const {
  return {potential_->currentIndex() + 1, value_->currentIndex() + 1};
}

std::optional<io::ColumnChoice> AskColumns(const io::CurveFileLayout& layout, QWidget* parent) {
  ColumnDialog dialog(layout, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

}  // namespace kivex::ui::qt
