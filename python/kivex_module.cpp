// The compiled half of the Python module `kivex`: a session of the toolkit-free core driven by the
// lines of the command-line tool's scripts, and its curves as numpy arrays. The keyword layer
// (kivex/__init__.py) builds script lines and runs them here, so Python reaches the core by the
// same path as kivex-batch and gets the same numbers to the last bit.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ui/interaction.h"
#include "ui/script.h"
#include "ui/session.h"

namespace py = pybind11;

namespace {

using kivex::ui::ScriptError;

// A session with its script runner; what a command prints is collected, and a message box (a
// refusal or failure the window would show) or a line that cannot run raises kivex.Error.
class PySession {
 public:
  PySession() : platform_(out_, err_), session_(platform_), runner_(session_, platform_, out_) {}

  // Runs one script line; returns what it printed.
  std::string Run(const std::string& line) {
    out_.str({});
    err_.str({});
    const int shown = platform_.MessagesShown();
    try {
      runner_.RunLine(line);
    } catch (const ScriptError& error) {
      throw std::runtime_error(error.what());
    }
    if (platform_.MessagesShown() != shown) throw std::runtime_error(Messages());
    return out_.str();
  }

  // Runs every line of `text`; returns what they printed. Stops at the first error.
  std::string RunScript(const std::string& text) {
    std::istringstream lines(text);
    std::string line, printed;
    int number = 0;
    while (std::getline(lines, line)) {
      ++number;
      try {
        printed += Run(line);
      } catch (const std::runtime_error& error) {
        throw std::runtime_error("line " + std::to_string(number) + ": " + error.what());
      }
    }
    return printed;
  }

  // The potential axis and each displayed curve, over the points shown.
  std::pair<py::array_t<double>, std::vector<py::array_t<double>>> Curves() const {
    const kivex::model::CurveSet& curves = session_.curves;
    const int first = curves.firstPoint, last = curves.lastPoint;
    const py::ssize_t count = first >= 1 && last >= first ? last - first + 1 : 0;
    py::array_t<double> x(count);
    auto xs = x.mutable_unchecked<1>();
    for (py::ssize_t i = 0; i < count; ++i) xs(i) = curves.x(first + static_cast<int>(i));
    std::vector<py::array_t<double>> ys;
    for (int k = 1; k <= curves.curveCount; ++k) {
      py::array_t<double> y(count);
      auto values = y.mutable_unchecked<1>();
      for (py::ssize_t i = 0; i < count; ++i) values(i) = curves.y(first + static_cast<int>(i), k);
      ys.push_back(std::move(y));
    }
    return {std::move(x), std::move(ys)};
  }

  std::vector<std::string> Report() const { return session_.result.lines; }

  // What a control shows: a text box's or list's text, any other control's caption (a label
  // such as FormExpr.Cinit(1) holds the number the program computed there).
  std::string Show(const std::string& reference) {
    try {
      const kivex::ui::Control& control = *kivex::ui::ResolveControl(session_, reference).control;
      const bool holdsText = control.kind == kivex::ui::ControlKind::TextBox ||
                             control.kind == kivex::ui::ControlKind::ComboBox;
      return holdsText ? control.text : kivex::ui::DisplayCaption(control);
    } catch (const std::exception& error) {
      throw std::runtime_error(error.what());
    }
  }

  // Whether a check box is ticked or an option chosen; a list's chosen entry as its index.
  bool Checked(const std::string& reference) {
    try {
      return kivex::ui::ResolveControl(session_, reference).control->value;
    } catch (const std::exception& error) {
      throw std::runtime_error(error.what());
    }
  }

 private:
  // The message boxes of the last command, one a line, without the script's prefix.
  std::string Messages() const {
    std::istringstream lines(err_.str());
    std::string line, text;
    while (std::getline(lines, line)) {
      const std::string prefix = "message: ";
      if (line.rfind(prefix, 0) == 0) line.erase(0, prefix.size());
      text += (text.empty() ? "" : "\n") + line;
    }
    return text;
  }

  std::ostringstream out_;
  std::ostringstream err_;
  kivex::ui::ScriptPlatform platform_;
  kivex::ui::Session session_;
  kivex::ui::ScriptRunner runner_;
};

}  // namespace

PYBIND11_MODULE(_kivex, m) {
  m.doc() = "Kivex's core: a session driven by the command-line tool's script lines.";
  // Every failure of a line reaches Python as kivex.Error with the program's message.
  py::register_exception<std::runtime_error>(m, "Error");
  py::class_<PySession>(m, "Session", "One session of the program, as kivex-batch runs it.")
      .def(py::init<>())
      .def("run", &PySession::Run, py::arg("line"),
           "Runs one script line (as kivex-batch reads it); returns what it printed. Raises "
           "kivex.Error with the program's message when the line cannot run or a command "
           "refuses or fails.")
      .def("run_script", &PySession::RunScript, py::arg("text"),
           "Runs the lines of a script in turn; returns what they printed.")
      .def("curves", &PySession::Curves,
           "The potential axis and each displayed curve, as float64 arrays (copies: the next "
           "command may change the session's curves).")
      .def("report", &PySession::Report, "The result window's lines.")
      .def("show", &PySession::Show, py::arg("control"),
           "What a control shows: a text box's or list's text, any other control's caption, e.g. "
           "show('FormExpr.Cinit(1)') the initial concentration the program computed.")
      .def("checked", &PySession::Checked, py::arg("control"),
           "Whether a check box is ticked or an option button chosen.");
}
