#include "fitting/fit_range.h"

#include <algorithm>

#include "model/number_text.h"

namespace kivex::fitting {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The blank-separated words of `text`.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

}  // namespace

std::optional<FitRange> ReadFitRange(std::string_view text) {
  FitRange range;
  bool any = false;  // anything but blanks
  for (;;) {
    const std::size_t end = std::min(text.find(';'), text.size());
    const std::vector<std::string_view> words = Words(text.substr(0, end));
    if (end < text.size()) any = true;
    if (!words.empty()) {
      any = true;
      if (words.size() != 2) return std::nullopt;
      const std::optional<double> from = model::ParseNumber(words[0]);
      const std::optional<double> to = model::ParseNumber(words[1]);
      if (!from || !to) return std::nullopt;
      range.push_back({*from, *to});
    }
    if (end == text.size()) break;
    text.remove_prefix(end + 1);
  }
  // Semicolons alone are no list.
  if (any && range.empty()) return std::nullopt;
  return range;
}

bool InFitRange(const FitRange& range, double E) {
  if (range.empty()) return true;
  return std::any_of(range.begin(), range.end(), [E](const PotentialInterval& interval) {
    const double low = std::min(interval.from, interval.to);
    const double high = std::max(interval.from, interval.to);
    return E >= low && E <= high;
  });
}

std::string FitRangeText(const FitRange& range) {
  std::string text = "E";
  for (std::size_t k = 0; k < range.size(); ++k) {
    text += k == 0 ? " from " : ", from ";
    text += model::ShortestText(range[k].from) + " to " + model::ShortestText(range[k].to) + " V";
  }
  return text;
}

}  // namespace kivex::fitting
