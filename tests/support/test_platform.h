#pragma once
// A platform for tests: records message boxes and result lines, answers file dialogs from a
// queue and runs a clock that only moves when told.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/platform.h"
#include "ui/session.h"

namespace kivex::testing {

class TestPlatform : public ui::Platform {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::optional<std::string> ChooseOpenFile(std::string_view filter) override {
    filters.emplace_back(filter);
    return NextAnswer();
  }
  std::optional<std::string> ChooseSaveFile(std::string_view filter) override {
    filters.emplace_back(filter);
    return NextAnswer();
  }
  void SetBusy(bool busy) override { busyChanges.push_back(busy); }
  double Timer() override { return clock; }
  void ResultLineWritten(const std::string& line) override { lines.push_back(line); }
  void PlotChanged() override { ++plotChanges; }

  std::vector<std::string> messages;
  std::vector<std::string> lines;
  std::vector<std::string> filters;
  std::vector<bool> busyChanges;
  std::deque<std::optional<std::string>> fileAnswers;
  double clock = 0;
  int plotChanges = 0;

 private:
  std::optional<std::string> NextAnswer() {
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
};

// A session at start-up with its own recording platform.
struct SessionFixture {
  TestPlatform platform;
  ui::Session session{platform};
};

}  // namespace kivex::testing
