// A monkey at the keyboard: arbitrary texts typed into arbitrary fields, arbitrary clicks and
// list choices, closed dialogs and menu commands, all on one session. Every failure must be one
// of the program's messages, and the session must stay consistent and usable after each step.
// With KIVEX_MONKEY_TRACE set, each step is written to the error stream as a script line, so a
// finding can be replayed with kivex-batch:
//   KIVEX_MONKEY_TRACE=1 build-fuzz/fuzz/monkey_fuzz build-fuzz/findings/monkey-crash-...

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "model/failure.h"
#include "session_invariants.h"
#include "ui/commands.h"
#include "ui/dialog.h"
#include "ui/interaction.h"
#include "ui/platform.h"
#include "ui/session.h"

namespace {

namespace fs = std::filesystem;
using kivex::ui::Control;
using kivex::ui::ControlKind;
using kivex::ui::Dialog;

// Texts worth typing besides random ones: edges of the number reader and of the physics, and
// other potentials and steps, on which curves held before cannot be drawn.
const char* const kTexts[] = {"0",    "-1",     "1",     "1e308", "-1e308", "1e-320",  "nan",
                              "inf",  "",       "0.005", "1e-4",  "4000",   "-273.14", "1e4",
                              "A",    "B",      "C",     "x y",   "0.3",    "-0.3",    "2",
                              "1e-9", "32767",  "-0",    ".",     "1e",     "25 C",    "0.0001",
                              "0,3",  "1,5e-3", "-0,05", "0.2",   "-0.2",   "1e5",     "0.05"};

const char* const kDialogs[] = {"FormTech", "FormMech", "FormIns", "FormExpr", "formOption"};

class MonkeyPlatform : public kivex::ui::Platform {
 public:
  explicit MonkeyPlatform(fs::path dir) : dir_(std::move(dir)) {}
  void ShowMessage(const std::string& text) override { FUZZ_CHECK(!text.empty()); }
  std::optional<std::string> ChooseOpenFile(std::string_view) override {
    if (!answer) return std::nullopt;
    return (dir_ / "measured.csv").string();
  }
  std::optional<std::string> ChooseSaveFile(std::string_view) override {
    if (!answer) return std::nullopt;
    return (dir_ / "written.out").string();
  }
  void SetBusy(bool) override {}
  double Timer() override { return 0; }
  bool answer = false;

 private:
  fs::path dir_;
};

std::vector<Control*> ControlsOf(const Dialog& dialog, std::initializer_list<ControlKind> kinds) {
  std::vector<Control*> found;
  for (Control* control : dialog.controls()) {
    for (ControlKind kind : kinds) {
      if (control->kind == kind) found.push_back(control);
    }
  }
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fs::path dir = [] {
    fs::path path = fs::temp_directory_path() / ("kivex-monkey-" + std::to_string(::getpid()));
    fs::create_directories(path);
    return path;
  }();
  FuzzedDataProvider input(data, size);
  {
    // A measured curve for the import, itself from the input.
    std::ofstream file(dir / "measured.csv", std::ios::binary | std::ios::trunc);
    file << input.ConsumeRandomLengthString(256);
  }
  static const bool trace = std::getenv("KIVEX_MONKEY_TRACE") != nullptr;
  auto say = [](const std::string& line) {
    if (trace) std::cerr << line << '\n';
  };
  if (trace) {
    std::ifstream measured(dir / "measured.csv", std::ios::binary);
    std::cerr << "# measured.csv: " << std::string(std::istreambuf_iterator<char>(measured), {})
              << '\n';
  }
  MonkeyPlatform platform(dir);
  kivex::ui::Session session(platform);
  const std::vector<kivex::ui::MenuItem>& items = session.menu.items();

  for (int step = 0; step < 24 && input.remaining_bytes() > 0; ++step) {
    platform.answer = input.ConsumeBool();
    say(platform.answer ? "file measured.csv" : "file -");
    try {
      switch (input.ConsumeIntegralInRange(0, 4)) {
        case 0: {
          const auto& item = items[input.ConsumeIntegralInRange<std::size_t>(0, items.size() - 1)];
          say("menu " + item.name);
          kivex::ui::RunMenuItem(session, item.name);
          break;
        }
        case 1: {
          Dialog& dialog = *session.FindDialog(kDialogs[input.ConsumeIntegralInRange(0, 4)]);
          auto boxes = ControlsOf(dialog, {ControlKind::TextBox});
          if (boxes.empty()) break;
          Control& box = *boxes[input.ConsumeIntegralInRange<std::size_t>(0, boxes.size() - 1)];
          std::string text =
              input.ConsumeBool()
                  ? kTexts[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kTexts) - 1)]
                  : input.ConsumeRandomLengthString(24);
          say("type " + dialog.name() + "." + box.Ref() + " " + text);
          kivex::ui::TypeText(session, dialog, box, std::move(text));
          break;
        }
        case 2: {
          Dialog& dialog = *session.FindDialog(kDialogs[input.ConsumeIntegralInRange(0, 4)]);
          auto clickable = ControlsOf(
              dialog, {ControlKind::CheckBox, ControlKind::OptionButton, ControlKind::Button});
          if (clickable.empty()) break;
          Control& control =
              *clickable[input.ConsumeIntegralInRange<std::size_t>(0, clickable.size() - 1)];
          say("click " + dialog.name() + "." + control.Ref());
          kivex::ui::ClickControl(session, dialog, control);
          break;
        }
        case 3: {
          Dialog& dialog = *session.FindDialog(kDialogs[input.ConsumeIntegralInRange(0, 4)]);
          auto lists = ControlsOf(dialog, {ControlKind::ComboBox});
          if (lists.empty()) break;
          Control& list = *lists[input.ConsumeIntegralInRange<std::size_t>(0, lists.size() - 1)];
          if (list.items.empty()) break;
          const std::string item =
              list.items[input.ConsumeIntegralInRange<std::size_t>(0, list.items.size() - 1)];
          say("choose " + dialog.name() + "." + list.Ref() + " " + item);
          kivex::ui::ChooseItem(session, dialog, list, item);
          break;
        }
        case 4: {
          const char* name = kDialogs[input.ConsumeIntegralInRange(0, 4)];
          say(std::string("close ") + name);
          session.CloseDialog(name);
          break;
        }
      }
    } catch (const kivex::ui::InteractionError&) {
      // A hidden or greyed control: the window would not have let the monkey reach it.
    } catch (const kivex::model::InputError&) {
      // A dialog's own input message, which every front end shows as a message box.
    }
    // A model::Failure reaching here would be a command that let an arithmetic failure escape:
    // the fuzzer reports it as a crash.
    kivex::fuzz::CheckSession(session);
  }
  return 0;
}
