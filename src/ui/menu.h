#pragma once
// The main window's menu tree as data: captions with their access keys, separators, and which
// items are enabled. A command is reachable when its item and every menu above it are enabled.

#include <string>
#include <string_view>
#include <vector>

namespace kivex::ui {

struct MenuItem {
  std::string name;     // "mnuSimulate"
  std::string caption;  // "&Simulate"; "-" for a separator
  std::string parent;   // "" for a top-level menu
  bool enabled = true;
  bool IsSeparator() const { return caption == "-"; }
};

class Menu {
 public:
  Menu();  // the tree with its enabled states at start-up

  const std::vector<MenuItem>& items() const { return items_; }
  MenuItem* Find(std::string_view name);
  const MenuItem* Find(std::string_view name) const;

  // The item exists and it and every menu above it are enabled.
  bool Reachable(std::string_view name) const;

  void Enable(std::string_view name, bool enabled = true);

 private:
  std::vector<MenuItem> items_;
};

}  // namespace kivex::ui
