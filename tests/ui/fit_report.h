#pragma once
// Reading a fit's report as the result window shows it: each fitted parameter's value, standard
// error and 95 % interval, and whether a line says something.

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "model/number_text.h"
#include "ui/session.h"
#include "ui/session_actions.h"

namespace kivex::testing {

inline std::vector<double> Numbers(const std::string& line) {
  std::istringstream words(line);
  std::vector<double> numbers;
  for (std::string word; words >> word;) numbers.push_back(model::ReadNumber(word));
  return numbers;
}

// Fitted parameter j (1-based) as the report shows it, with its standard error and interval.
struct Fitted {
  double value = NAN, error = NAN, low = NAN, high = NAN;

  bool Covers(double known) const { return low <= known && known <= high; }
};

inline Fitted Parameter(const ui::Session& s, int j) {
  Fitted p;
  const std::vector<double> row = Numbers(ReportRow(s, j));
  if (row.size() == 3) p.value = row[2];
  const std::vector<std::string>& lines = s.result.lines;
  const auto header = std::ranges::find_if(
      lines, [](const std::string& line) { return line.starts_with("No.           Std. error"); });
  if (lines.end() - header > j) {
    const std::vector<double> u = Numbers(*(header + j));
    if (u.size() == 4) p = {p.value, u[1], u[2], u[3]};
  }
  return p;
}

inline bool ReportSays(const ui::Session& s, std::string_view words) {
  return std::ranges::any_of(
      s.result.lines, [words](const std::string& l) { return l.find(words) != std::string::npos; });
}

}  // namespace kivex::testing
