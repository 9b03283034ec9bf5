#pragma once
// The script language of the command-line tool: one command a line, '#' starts a comment line.
//
//   type DIALOG.CONTROL TEXT   set a text box as if typed (TEXT is the rest of the line)
//   click DIALOG.CONTROL       tick / untick a box, select an option, press a button
//   choose DIALOG.CONTROL ITEM select a list entry by its text
//   close DIALOG               the dialog's close box (its contents are discarded)
//   menu ITEM                  run a menu command by item name (mnuSimulate, mnuTime, ...)
//   file PATH | file -         answer the next file dialog with PATH, or cancel it
//   columns E I | columns auto the potential and value columns of later imports (auto: as the
//                              headings name them, else 1 2)
//   take auto | all | cycle N | sweeps A B
//                              the points of later imports (auto: the first whole cycle of a
//                              file too long or with more cycles than a simulation has)
//   show DIALOG.CONTROL        print the control's text and state
//   write-curves PATH          write x and every displayed curve as CSV with a header line
//   write-plot PATH            write the plot window's picture as a 640 x 480 SVG image
//   cat PATH                   print a file (to check what a command wrote)
//
// A '#' after a blank ends a command: what follows it is a comment. Result-window lines go to the
// output as they are written; each message box goes to the error stream as one line starting
// "message: ".
//
// Run's result, the tool's exit status: 0 when every command did what it was asked, 1 when the
// script ran to its end but a command refused or failed (a message box was shown), 2 when a
// line could not be carried out (the script stops there).

#include <chrono>
#include <deque>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ui/control.h"
#include "ui/platform.h"

namespace kivex::ui {

class Session;

// A platform for scripts: answers file dialogs from `file` lines and writes to two streams.
class ScriptPlatform : public Platform {
 public:
  ScriptPlatform(std::ostream& out, std::ostream& err);

  void ShowMessage(const std::string& text) override;
  std::optional<std::string> ChooseOpenFile(std::string_view filter) override;
  std::optional<std::string> ChooseSaveFile(std::string_view filter) override;
  std::optional<ImportChoice> ChooseImport(const io::CurveFile& file,
                                           const ImportChoice& proposed) override;
  void SetBusy(bool) override {}
  double Timer() override;
  void ResultLineWritten(const std::string& line) override;

  // The answer to the next file dialog: a path, or no value to cancel it.
  void QueueFileAnswer(std::optional<std::string> answer);
  // The answers given and not yet taken, the first of them as the script wrote it.
  std::size_t PendingFileAnswers() const { return fileAnswers_.size(); }
  std::string FirstPendingAnswer() const;
  void DropFileAnswers() { fileAnswers_.clear(); }
  // How many file dialogs were asked, and how many message boxes shown, since the start.
  int FileDialogsAsked() const { return fileDialogsAsked_; }
  int MessagesShown() const { return messagesShown_; }
  // The columns every later import takes; no value for those the file's headings name.
  void SetColumns(std::optional<io::ColumnChoice> columns) { columns_ = columns; }
  // The points every later import takes.
  void SetPortion(io::PortionRequest portion) { portion_ = portion; }

 private:
  std::optional<std::string> NextFileAnswer();

  std::ostream& out_;
  std::ostream& err_;
  std::deque<std::optional<std::string>> fileAnswers_;
  std::optional<io::ColumnChoice> columns_;
  io::PortionRequest portion_;
  int fileDialogsAsked_ = 0;
  int messagesShown_ = 0;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ScriptRunner {
 public:
  ScriptRunner(Session& session, ScriptPlatform& platform, std::ostream& out);

  // Runs one line; raises ScriptError when the line cannot be carried out.
  void RunLine(std::string_view line);

  // Runs a whole script. A script error is reported as "SOURCE:LINE: error: ..." on `err` and
  // ends the run with 2, as does a file answer that no command took by the end; otherwise the
  // result is 1 when a message box was shown, else 0 (Exit ends the run early with the same rule).
  int Run(std::istream& in, std::string_view sourceName, std::ostream& err);

  // Lines longer than this are refused rather than read into memory whole.
  static constexpr std::size_t kMaxLineLength = std::size_t{64} * 1024;

  // A runner for untrusted scripts: the commands that name files (file, write-curves,
  // write-plot, cat) are refused, so every file dialog is cancelled.
  void DenyFileAccess() { fileAccess_ = false; }

  // The page size of write-plot, in pixels.
  static constexpr int kPlotWidth = 640;
  static constexpr int kPlotHeight = 480;

 private:
  void RunMenuCommand(const std::string& item);
  void RequireFileAnswerTaken(const std::string& item);
  void WriteCurves(const std::string& path);
  void WritePlot(const std::string& path);
  void CatFile(const std::string& path);

  Session& session_;
  ScriptPlatform& platform_;
  std::ostream& out_;
  bool fileAccess_ = true;
  // The file answers queued, and the dialogs asked, when the last menu command started.
  std::size_t pendingBefore_ = 0;
  int askedBefore_ = 0;
  // The line Run is on, and the lines of the file answers still queued, oldest first.
  int lineNumber_ = 0;
  std::deque<int> answerLines_;
};

// The header line of write-curves: "x,y1,y2", each overlapped run named by the setting that tells
// it apart from the others ("y2 (v = 0.1 V/s)").
std::string CurvesHeader(const Session& session);

// One line describing a control, as `show` prints it.
std::string DescribeControl(std::string_view dialogName, const Control& control);

}  // namespace kivex::ui
