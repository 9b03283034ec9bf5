#pragma once
// A modeless window showing one dialog of the core. Every widget is bound to one Control and
// named after it ("Estart", "optTech(4)"); the window only copies the control's data onto its
// widget and turns the user's edits into the core's notifications (TypeText, ClickControl,
// ChooseItem). It computes nothing itself.
//
// The window is a dialog of the main window, so the window manager keeps it above the frame. It
// keeps the size it was given when it is hidden and shown again, fits itself to its controls when
// some of them appear or disappear, and always lies wholly on the screen.

#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "ui/dialog.h"

class QLabel;
class QGridLayout;
class QLayout;

namespace kivex::ui {
class Session;
}

namespace kivex::ui::qt {

class DialogWindow : public QWidget {
 public:
  // `notify` runs a user action on the core and then brings every window up to date; it catches
  // and shows whatever the action raises.
  using Notify = std::function<void(const std::function<void()>&)>;

  DialogWindow(Session& session, Dialog& dialog, Notify notify, QWidget* parent = nullptr);

  Dialog& dialog() const { return dialog_; }

  // Copies every control's data onto its widget.
  void SyncFromData();
  // Shows the window (if hidden) as it was last shown, wholly on the screen.
  void Open();
  // While a long command runs the dialog cannot be edited or closed.
  void SetLocked(bool locked);

  // Called when the close box was used; the host discards the dialog.
  std::function<void()> onClosed;
  // Called when the window becomes the active window.
  std::function<void()> onActivated;

  // The widget bound to a control (created on first use) and the label beside a text box.
  QWidget* WidgetFor(Control& control);
  QLabel* CaptionFor(Control& control);

 protected:
  void closeEvent(class QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  struct Binding {
    Control* control = nullptr;
    QWidget* widget = nullptr;
    QLabel* caption = nullptr;
  };

  QWidget* MakeWidget(Control& control);
  void BuildLayout();
  void FitToControls();
  void KeepOnScreen();

  Session& session_;
  Dialog& dialog_;
  Notify notify_;
  std::map<const Control*, Binding> bindings_;
  std::vector<const Control*> order_;
  bool syncing_ = false;
  bool closingByProgram_ = false;
  bool locked_ = false;
  bool opened_ = false;        // shown at least once: its size is the user's
  bool shapeChanged_ = false;  // controls appeared or disappeared since it was last fitted

  friend class DialogLayouts;

 public:
  // The host closes a window whose dialog the core discarded; that is not the user's close box.
  void CloseByProgram();
};

}  // namespace kivex::ui::qt
