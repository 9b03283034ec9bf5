#include "ui/script.h"

#include <fstream>
#include <istream>
#include <optional>
#include <ostream>

#include "display/curve_names.h"
#include "display/svg_canvas.h"
#include "io/file_error.h"
#include "io/whole_file.h"
#include "model/number_text.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
#include "ui/interaction.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

// Message boxes may hold line breaks; a script's error stream shows each box on one line.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

// Splits "verb rest": the verb ends at the first blank, the rest follows that one blank.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view line) {
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return {line, {}};
  return {line.substr(0, blank), line.substr(blank + 1)};
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A '#' that starts a word ends the command; one inside a word (a path "run#2.csv") does not.
std::string_view WithoutComment(std::string_view line) {
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '#' && (line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
  }
  return line;
}

// A column number as a script writes it: digits only, from 1 up. One beyond the file's columns is
// the import's to refuse, which knows how many the file has.
std::optional<int> ColumnNumber(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    number = 10 * number + (c - '0');
  }
  if (number < 1) return std::nullopt;
  return number;
}

// Written as Export writes, so that a failure leaves any earlier file whole; the reason (a full
// disk, a read-only file) is the script's error.
void WriteScriptFile(const std::string& path, std::string_view text) {
  try {
    io::WriteWholeFile(path, text);
  } catch (const io::FileError& error) {
    throw ScriptError(std::string(error.description()));
  }
}

const char* MenuRefusal(MenuOutcome outcome) {
  switch (outcome) {
    case MenuOutcome::Disabled: return "is greyed out";
    case MenuOutcome::Unknown: return "is not a menu item";
    case MenuOutcome::NotAvailable: return "has no command in this build";
    case MenuOutcome::Ran: break;
  }
  return "";
}

}  // namespace

ScriptPlatform::ScriptPlatform(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

void ScriptPlatform::ShowMessage(const std::string& text) {
  ++messagesShown_;
  out_.flush();
  err_ << "message: " << OneLine(text) << '\n';
  err_.flush();
}

std::optional<std::string> ScriptPlatform::NextFileAnswer() {
  ++fileDialogsAsked_;
  if (fileAnswers_.empty()) {
    err_ << "file dialog: no answer given by the script, cancelled\n";
    return std::nullopt;
  }
  std::optional<std::string> answer = std::move(fileAnswers_.front());
  fileAnswers_.pop_front();
  return answer;
}

std::optional<std::string> ScriptPlatform::ChooseOpenFile(std::string_view) {
  return NextFileAnswer();
}

std::optional<std::string> ScriptPlatform::ChooseSaveFile(std::string_view) {
  return NextFileAnswer();
}

std::optional<ImportChoice> ScriptPlatform::ChooseImport(const io::CurveFile&,
                                                         const ImportChoice& proposed) {
  ImportChoice choice = proposed;
  if (columns_) choice.columns = *columns_;
  choice.portion = portion_;
  return choice;
}

double ScriptPlatform::Timer() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void ScriptPlatform::ResultLineWritten(const std::string& line) { out_ << line << '\n'; }

void ScriptPlatform::QueueFileAnswer(std::optional<std::string> answer) {
  fileAnswers_.push_back(std::move(answer));
}

std::string ScriptPlatform::FirstPendingAnswer() const {
  if (fileAnswers_.empty()) return {};
  return fileAnswers_.front() ? Quoted(*fileAnswers_.front()) : std::string("-");
}

std::string DescribeControl(std::string_view dialogName, const Control& control) {
  std::string line = std::string(dialogName) + "." + control.Ref();
  switch (control.kind) {
    case ControlKind::TextBox:
    case ControlKind::ComboBox: line += " text=" + Quoted(control.text); break;
    case ControlKind::CheckBox:
      line += control.value ? " ticked" : " unticked";
      line += " caption=" + Quoted(control.caption);
      break;
    case ControlKind::OptionButton:
      line += control.value ? " selected" : " unselected";
      line += " caption=" + Quoted(control.caption);
      break;
    default: line += " caption=" + Quoted(control.caption);
  }
  line += control.visible ? " visible" : " hidden";
  line += control.enabled ? " enabled" : " greyed";
  return line;
}

ScriptRunner::ScriptRunner(Session& session, ScriptPlatform& platform, std::ostream& out)
    : session_(session), platform_(platform), out_(out) {}

void ScriptRunner::RunLine(std::string_view rawLine) {
  const std::string_view line = TrimLeft(TrimRight(WithoutComment(rawLine)));
  if (line.empty() || line.front() == '#') return;
  const auto [verbWord, restWords] = SplitWord(line);
  // Plain variables, so the lambda below can use them (not every compiler captures a binding).
  const std::string_view verb = verbWord;
  const std::string_view rest = restWords;
  const std::string argument(rest);

  auto requireArgument = [&](const char* what) {
    if (argument.empty()) throw ScriptError(std::string(verb) + " needs " + what);
  };
  if (!fileAccess_ &&
      (verb == "file" || verb == "write-curves" || verb == "write-plot" || verb == "cat")) {
    throw ScriptError(std::string(verb) + " is not allowed here: this runner has no file access");
  }
  std::optional<CommandFailure> failure;
  try {
    failure = CommandFailureOf(
        [&] {
          if (verb == "type" || verb == "choose") {
            const auto [reference, text] = SplitWord(rest);
            requireArgument("DIALOG.CONTROL");
            const ControlAddress address = ResolveControl(session_, reference);
            if (verb == "type") {
              TypeText(session_, *address.dialog, *address.control, std::string(text));
            } else {
              ChooseItem(session_, *address.dialog, *address.control, text);
            }
          } else if (verb == "click") {
            requireArgument("DIALOG.CONTROL");
            const ControlAddress address = ResolveControl(session_, argument);
            ClickControl(session_, *address.dialog, *address.control);
          } else if (verb == "show") {
            requireArgument("DIALOG.CONTROL");
            const ControlAddress address = ResolveControl(session_, argument);
            out_ << DescribeControl(address.dialog->name(), *address.control) << '\n';
          } else if (verb == "close") {
            requireArgument("DIALOG");
            if (session_.FindDialog(argument) == nullptr) {
              throw ScriptError("no dialog " + Quoted(argument));
            }
            session_.CloseDialog(argument);
          } else if (verb == "menu") {
            requireArgument("a menu item");
            RunMenuCommand(argument);
          } else if (verb == "file") {
            requireArgument("PATH or -");
            while (answerLines_.size() > platform_.PendingFileAnswers()) answerLines_.pop_front();
            answerLines_.push_back(lineNumber_);
            platform_.QueueFileAnswer(argument == "-" ? std::nullopt
                                                      : std::optional<std::string>(argument));
          } else if (verb == "columns" && rest == "auto") {
            platform_.SetColumns(std::nullopt);
          } else if (verb == "take") {
            const std::optional<io::PortionRequest> portion = io::ParsePortionRequest(rest);
            if (!portion) {
              throw ScriptError("take needs auto, all, cycle N or sweeps FIRST LAST");
            }
            platform_.SetPortion(*portion);
          } else if (verb == "columns") {
            const auto [first, second] = SplitWord(rest);
            const std::optional<int> potential = ColumnNumber(first);
            const std::optional<int> value = ColumnNumber(TrimLeft(second));
            if (!potential || !value || *potential == *value) {
              throw ScriptError("columns needs two different column numbers, E and I, or auto");
            }
            platform_.SetColumns(io::ColumnChoice{*potential, *value});
          } else if (verb == "write-curves") {
            requireArgument("PATH");
            WriteCurves(argument);
          } else if (verb == "write-plot") {
            requireArgument("PATH");
            WritePlot(argument);
          } else if (verb == "cat") {
            requireArgument("PATH");
            CatFile(argument);
          } else {
            throw ScriptError("unknown command " + Quoted(std::string(verb)));
          }
        },
        FailureWording::Prefixed(std::string(verb) + " failed: "));
  } catch (const InteractionError& error) {
    throw ScriptError(error.what());
  }
  if (failure) {
    // A dialog's own message about its input: shown as the window shows it, and the script goes
    // on as a user would. A failure no command caught is still reported, never a crash.
    if (!failure->inputError) throw ScriptError(failure->message);
    platform_.ShowMessage(failure->message);
  }
  if (verb == "menu") RequireFileAnswerTaken(argument);
}

void ScriptRunner::RunMenuCommand(const std::string& item) {
  pendingBefore_ = platform_.PendingFileAnswers();
  askedBefore_ = platform_.FileDialogsAsked();
  const MenuOutcome outcome = RunMenuItem(session_, item);
  if (outcome != MenuOutcome::Ran) throw ScriptError(item + " " + MenuRefusal(outcome));
  // The about window, shown here as its lines.
  if (item == "mnuAbout") {
    for (const std::string& text : session_.aboutText) out_ << text << '\n';
  }
}

// A file answer is meant for the command that follows it. Left over by a command that asked
// nothing (it refused, or never asks), it would answer a later dialog: an import would read the
// file meant for an export, and the next save would write over it.
void ScriptRunner::RequireFileAnswerTaken(const std::string& item) {
  if (pendingBefore_ == 0 || platform_.FileDialogsAsked() != askedBefore_) return;
  const std::string answer = platform_.FirstPendingAnswer();
  platform_.DropFileAnswers();
  throw ScriptError(item + " asked for no file, so the answer " + answer +
                    " given before it is dropped rather than left for a later dialog");
}

int ScriptRunner::Run(std::istream& in, std::string_view sourceName, std::ostream& err) {
  std::string line;
  int number = 0;
  while (!session_.exitRequested) {
    line.clear();
    // Read one line, refusing an overlong one without holding it in memory.
    bool tooLong = false;
    char c;
    bool any = false;
    while (in.get(c)) {
      any = true;
      if (c == '\n') break;
      if (line.size() < kMaxLineLength) {
        line.push_back(c);
      } else {
        tooLong = true;
      }
    }
    if (!any) break;
    ++number;
    lineNumber_ = number;
    try {
      if (tooLong) throw ScriptError("line longer than " + std::to_string(kMaxLineLength));
      RunLine(line);
    } catch (const ScriptError& error) {
      out_.flush();
      err << sourceName << ":" << number << ": error: " << error.what() << '\n';
      return 2;
    }
    out_.flush();
  }
  // An answer given last, for a command the script never reached: say so rather than end as if
  // the file had been written or read.
  const std::size_t left = platform_.PendingFileAnswers();
  if (!session_.exitRequested && left > 0) {
    const int line =
        left <= answerLines_.size() ? answerLines_[answerLines_.size() - left] : number;
    err << sourceName << ":" << line << ": error: the answer " << platform_.FirstPendingAnswer()
        << " was left for no command: the script ended first\n";
    return 2;
  }
  return platform_.MessagesShown() > 0 ? 1 : 0;
}

std::string CurvesHeader(const Session& session) {
  const std::vector<std::string> names = display::CurveNames(session.curves, session.app);
  std::string header = "x";
  for (int k = 1; k <= session.curves.curveCount; ++k) {
    header += ",y" + std::to_string(k);
    // Overlapped runs named by the setting that tells them apart: "y2 (v = 0.1 V/s)".
    const std::size_t at = static_cast<std::size_t>(k - 1);
    if (at < names.size() && names[at].find(" = ") != std::string::npos) {
      header += " (" + names[at] + ")";
    }
  }
  return header;
}

void ScriptRunner::WriteCurves(const std::string& path) {
  const model::CurveSet& curves = session_.curves;
  std::string text = CurvesHeader(session_) + '\n';
  for (int i = curves.firstPoint; i >= 1 && i <= curves.lastPoint; ++i) {
    text += model::ShortestText(curves.x(i));
    for (int k = 1; k <= curves.curveCount; ++k) text += ',' + model::ShortestText(curves.y(i, k));
    text += '\n';
  }
  WriteScriptFile(path, text);
}

void ScriptRunner::WritePlot(const std::string& path) {
  WriteScriptFile(path, display::PictureToSvg(session_.picture, kPlotWidth, kPlotHeight));
}

void ScriptRunner::CatFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw ScriptError("cannot read " + Quoted(path));
  // Inserting an empty file's buffer would fail the output stream and silence what follows.
  if (file.peek() != std::ifstream::traits_type::eof()) out_ << file.rdbuf();
  out_.flush();
}

}  // namespace kivex::ui
