#include "ui/nearest_names.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace kivex::ui {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
  return lowered;
}

// Insertions, deletions, substitutions and swaps of neighbours ("Estrat" is one swap from
// "Estart"), with one row of memory per string.
std::size_t Edits(const std::string& a, const std::string& b) {
  std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  std::iota(previous.begin(), previous.end(), std::size_t{0});
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t substitution = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    before.swap(previous);
    previous.swap(current);
  }
  return previous[b.size()];
}

}  // namespace

std::vector<std::string> NearestNames(std::string_view wanted,
                                      const std::vector<std::string>& candidates, int most) {
  const std::string target = Lowered(wanted);
  // Short names tolerate one slip, longer ones a slip per four letters.
  const std::size_t allowed = std::max<std::size_t>(1, (target.size() + 2) / 4);
  std::vector<std::pair<std::size_t, std::string>> near;
  for (const std::string& candidate : candidates) {
    const std::string lowered = Lowered(candidate);
    std::size_t distance = Edits(target, lowered);
    if (!target.empty() && lowered.find(target) != std::string::npos)
      distance = std::min(distance, allowed);
    if (distance <= allowed && std::none_of(near.begin(), near.end(),
                                            [&](const auto& n) { return n.second == candidate; })) {
      near.emplace_back(distance, candidate);
    }
  }
  std::stable_sort(near.begin(), near.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::string> names;
  for (const auto& n : near) {
    if (static_cast<int>(names.size()) == most) break;
    names.push_back(n.second);
  }
  return names;
}

std::string NearestSuffix(std::string_view wanted, const std::vector<std::string>& candidates) {
  const std::vector<std::string> names = NearestNames(wanted, candidates);
  if (names.empty()) return {};
  std::string suffix = " (nearest: ";
  for (std::size_t i = 0; i < names.size(); ++i) suffix += (i > 0 ? ", " : "") + names[i];
  return suffix + ")";
}

}  // namespace kivex::ui
