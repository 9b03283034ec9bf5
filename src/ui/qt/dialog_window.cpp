#include "ui/qt/dialog_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/interaction.h"
#include "ui/qt/dialog_layouts.h"
#include "ui/qt/qt_text.h"
#include "ui/session.h"

namespace kivex::ui::qt {

DialogWindow::DialogWindow(Session& session, Dialog& dialog, Notify notify, QWidget* parent)
    : QWidget(parent, Qt::Dialog), session_(session), dialog_(dialog), notify_(std::move(notify)) {
  setObjectName(FromUtf8(dialog.name()));
  setWindowTitle(FromUtf8(dialog.caption()));
  setAttribute(Qt::WA_DeleteOnClose, false);
  BuildLayout();
  SyncFromData();
}

QWidget* DialogWindow::WidgetFor(Control& control) {
  auto found = bindings_.find(&control);
  if (found != bindings_.end()) return found->second.widget;
  Binding binding;
  binding.control = &control;
  binding.widget = MakeWidget(control);
  binding.widget->setObjectName(FromUtf8(control.Ref()));
  bindings_[&control] = binding;
  order_.push_back(&control);
  return binding.widget;
}

QLabel* DialogWindow::CaptionFor(Control& control) {
  WidgetFor(control);
  Binding& binding = bindings_[&control];
  if (binding.caption == nullptr) {
    binding.caption = new QLabel(this);
    binding.caption->setObjectName(FromUtf8("label_" + control.Ref()));
    binding.caption->setBuddy(binding.widget);
  }
  return binding.caption;
}

QWidget* DialogWindow::MakeWidget(Control& control) {
  Control* c = &control;
  switch (control.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(this);
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::TextBox: {
      auto* edit = new QLineEdit(this);
      edit->setMinimumWidth(60);
      connect(edit, &QLineEdit::textEdited, this, [this, c](const QString& text) {
        if (syncing_) return;
        const std::string typed = text.toStdString();
        notify_([this, c, typed] { TypeText(session_, dialog_, *c, typed); });
      });
      return edit;
    }
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(this);
      connect(box, &QCheckBox::clicked, this, [this, c] {
        if (!syncing_) notify_([this, c] { ClickControl(session_, dialog_, *c); });
      });
      return box;
    }
    case ControlKind::OptionButton: {
      auto* option = new QRadioButton(this);
      option->setAutoExclusive(false);  // the dialog data decide which option is selected
      connect(option, &QRadioButton::clicked, this, [this, c] {
        if (!syncing_) notify_([this, c] { ClickControl(session_, dialog_, *c); });
      });
      return option;
    }
    case ControlKind::ComboBox: {
      auto* combo = new QComboBox(this);
      connect(combo, &QComboBox::activated, this, [this, c](int index) {
        if (syncing_ || index < 0 || index >= static_cast<int>(c->items.size())) return;
        const std::string item = c->items[static_cast<std::size_t>(index)];
        notify_([this, c, item] { ChooseItem(session_, dialog_, *c, item); });
      });
      return combo;
    }
    case ControlKind::Frame: return new QGroupBox(this);
    case ControlKind::Button: {
      auto* button = new QPushButton(this);
      connect(button, &QPushButton::clicked, this, [this, c] {
        if (!syncing_) notify_([this, c] { ClickControl(session_, dialog_, *c); });
      });
      return button;
    }
  }
  return new QWidget(this);
}

void DialogWindow::BuildLayout() {
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(DialogLayouts::Build(*this));
  // Anything a layout did not place still shows, so no control is ever lost.
  QVBoxLayout* rest = nullptr;
  for (Control* control : dialog_.controls()) {
    if (bindings_.count(control) != 0) continue;
    if (rest == nullptr) {
      rest = new QVBoxLayout;
      outer->addLayout(rest);
    }
    if (control->kind == ControlKind::TextBox) rest->addWidget(CaptionFor(*control));
    rest->addWidget(WidgetFor(*control));
  }
}

void DialogWindow::SyncFromData() {
  syncing_ = true;
  setWindowTitle(FromUtf8(dialog_.caption()));
  for (const Control* key : order_) {
    Binding& binding = bindings_[key];
    const Control& control = *binding.control;
    QWidget* widget = binding.widget;
    const QString caption = FromUtf8(DisplayCaption(control));
    switch (control.kind) {
      case ControlKind::Label: static_cast<QLabel*>(widget)->setText(caption); break;
      case ControlKind::TextBox: {
        auto* edit = static_cast<QLineEdit*>(widget);
        const QString text = FromUtf8(control.text);
        if (edit->text() != text) edit->setText(text);
        edit->setReadOnly(control.locked);
        break;
      }
      case ControlKind::CheckBox:
        static_cast<QCheckBox*>(widget)->setText(caption);
        static_cast<QCheckBox*>(widget)->setChecked(control.value);
        break;
      case ControlKind::OptionButton:
        static_cast<QRadioButton*>(widget)->setText(caption);
        static_cast<QRadioButton*>(widget)->setChecked(control.value);
        break;
      case ControlKind::ComboBox: {
        auto* combo = static_cast<QComboBox*>(widget);
        QStringList items;
        for (const std::string& item : control.items) items << FromUtf8(item);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
        if (items != shown) {
          combo->clear();
          combo->addItems(items);
        }
        combo->setCurrentIndex(control.listIndex);
        break;
      }
      case ControlKind::Frame: static_cast<QGroupBox*>(widget)->setTitle(caption); break;
      case ControlKind::Button: static_cast<QPushButton*>(widget)->setText(caption); break;
    }
    widget->setToolTip(FromUtf8(control.toolTip));
    widget->setEnabled(control.enabled);
    shapeChanged_ |= widget->isHidden() == control.visible;
    widget->setVisible(control.visible);
    if (binding.caption != nullptr) {
      binding.caption->setText(caption);
      binding.caption->setToolTip(FromUtf8(control.toolTip));
      const bool shown = control.captionVisible && !control.caption.empty();
      shapeChanged_ |= binding.caption->isHidden() == shown;
      binding.caption->setVisible(shown);
    }
  }
  syncing_ = false;
  if (isVisible() && shapeChanged_) FitToControls();
}

void DialogWindow::Open() {
  if (!isVisible()) {
    // Sized here (which keeps Qt from sizing it anew on every show): to fit its controls the
    // first time and when some came or went, otherwise as the user left it.
    if (!opened_ || shapeChanged_) FitToControls();
    show();
    opened_ = true;
  }
  KeepOnScreen();
}

// The natural size of the controls now shown: a frame that lost its rows shrinks back. Each
// frame's own layout is brought up to date first, innermost first: a frame not yet shown still
// holds the sizes its rows had before their texts were set, and a window sized from those would
// grow as soon as it is laid out again.
void DialogWindow::FitToControls() {
  const QList<QWidget*> children = findChildren<QWidget*>();
  for (auto child = children.rbegin(); child != children.rend(); ++child) {
    if ((*child)->layout() != nullptr) (*child)->layout()->activate();
  }
  if (layout() != nullptr) layout()->activate();
  adjustSize();
  shapeChanged_ = false;
  KeepOnScreen();
}

void DialogWindow::KeepOnScreen() {
  const QScreen* screen = this->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  // The frame the window manager draws around the window (none before it is first shown).
  const QRect inner = geometry();
  const QRect outer = frameGeometry();
  const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                       outer.right() - inner.right(), outer.bottom() - inner.bottom());
  const QSize room = area.size().shrunkBy(frame);
  if (width() > room.width() || height() > room.height()) resize(size().boundedTo(room));
  const QRect whole = frameGeometry();
  const int x = std::clamp(whole.left(), area.left(),
                           std::max(area.left(), area.right() + 1 - whole.width()));
  const int y =
      std::clamp(whole.top(), area.top(), std::max(area.top(), area.bottom() + 1 - whole.height()));
  if (x != whole.left() || y != whole.top()) move(x, y);
}

void DialogWindow::SetLocked(bool locked) {
  locked_ = locked;
  setEnabled(!locked);
}

void DialogWindow::CloseByProgram() {
  closingByProgram_ = true;
  close();
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  if (locked_ && !closingByProgram_) {
    event->ignore();
    return;
  }
  event->accept();
  if (!closingByProgram_ && onClosed) onClosed();
}

bool DialogWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && onActivated) onActivated();
  return QWidget::event(event);
}

}  // namespace kivex::ui::qt
