#include "io/curve_portion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "io/file_error.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "model/sweeps.h"

namespace kivex::io {

namespace {

using model::Sweep;

std::string Potential(double value) {
  return model::ShortestText(model::ReadNumber(model::GeneralNumber(value))) + " V";
}

std::string Ordinal(std::size_t k) {
  const std::size_t tens = k % 100;
  const char* suffix = (tens >= 11 && tens <= 13) ? "th"
                       : k % 10 == 1              ? "st"
                       : k % 10 == 2              ? "nd"
                       : k % 10 == 3              ? "rd"
                                                  : "th";
  return std::to_string(k) + suffix;
}

// Where sweep s starts: at the turn that ended the sweep before it (the vertex belongs to both),
// or at the first point.
std::size_t StartOf(const std::vector<Sweep>& sweeps, std::size_t s) {
  return static_cast<std::size_t>(s == 0 ? sweeps[0].first : sweeps[s - 1].last);
}

// Two sweeps in a row make a whole cycle when the second comes back to where the first began,
// within two steps or 2 % of the way out.
bool IsWholeCycle(std::span<const double> x, const std::vector<Sweep>& sweeps, std::size_t s,
                  double step) {
  const Sweep& out = sweeps[s];
  const Sweep& back = sweeps[s + 1];
  const double start = x[StartOf(sweeps, s)];
  const double span = std::fabs(x[static_cast<std::size_t>(out.last)] - start);
  const double gap = std::fabs(x[static_cast<std::size_t>(back.last)] - start);
  return out.direction != 0 && back.direction == -out.direction &&
         gap <= std::max(2.0 * step, 0.02 * span);
}

// The whole cycles of the file, each as the index of its first sweep, not overlapping.
std::vector<std::size_t> WholeCycles(std::span<const double> x, const std::vector<Sweep>& sweeps) {
  const double step = model::MedianStep(x);
  std::vector<std::size_t> cycles;
  for (std::size_t s = 0; s + 1 < sweeps.size(); ++s) {
    if (IsWholeCycle(x, sweeps, s, step)) cycles.push_back(s++);
  }
  return cycles;
}

std::string PointRange(const Portion& p, std::size_t total) {
  return "points " + std::to_string(p.begin + 1) + " to " + std::to_string(p.end) + " of " +
         std::to_string(total);
}

Portion OfSweeps(const std::vector<Sweep>& sweeps, std::size_t first, std::size_t last) {
  Portion p;
  p.begin = StartOf(sweeps, first);
  p.end = static_cast<std::size_t>(sweeps[last].last) + 1;
  p.firstSweep = static_cast<int>(first) + 1;
  p.lastSweep = static_cast<int>(last) + 1;
  return p;
}

// The sweeps a range of points touches.
void CoverSweeps(const std::vector<Sweep>& sweeps, Portion& p) {
  for (std::size_t s = 0; s < sweeps.size(); ++s) {
    const auto first = static_cast<std::size_t>(sweeps[s].first);
    const auto last = static_cast<std::size_t>(sweeps[s].last);
    if (p.firstSweep == 0 && last >= p.begin) p.firstSweep = static_cast<int>(s) + 1;
    if (first < p.end) p.lastSweep = static_cast<int>(s) + 1;
  }
}

Portion FirstWholeCycle(std::span<const double> x, const std::vector<Sweep>& sweeps) {
  const std::vector<std::size_t> cycles = WholeCycles(x, sweeps);
  Portion p;
  if (cycles.empty()) {
    p.end = x.size();
    CoverSweeps(sweeps, p);
    p.report.push_back(
        "The file holds no whole cycle (a sweep out and back to where it began): "
        "took all of it.");
    return p;
  }
  p = OfSweeps(sweeps, cycles.front(), cycles.front() + 1);
  p.report.push_back("Took the first whole cycle, sweeps " + std::to_string(p.firstSweep) +
                     " and " + std::to_string(p.lastSweep) + ": " + PointRange(p, x.size()) +
                     ", from " + Potential(x[p.begin]) + " to " +
                     Potential(x[static_cast<std::size_t>(sweeps[cycles.front()].last)]) +
                     " and back.");
  return p;
}

Portion NumberedCycle(std::span<const double> x, std::span<const int> fileCycle,
                      const std::vector<Sweep>& sweeps, int number) {
  // The file's own numbers, in the order they appear.
  std::vector<int> marks;
  for (int mark : fileCycle) {
    if (marks.empty() || std::find(marks.begin(), marks.end(), mark) == marks.end()) {
      marks.push_back(mark);
    }
  }
  if (number < 1 || static_cast<std::size_t>(number) > marks.size()) {
    throw FileError("cycle " + std::to_string(number) + " was asked for, but the file has " +
                    std::to_string(marks.size()) + (marks.size() == 1 ? " cycle" : " cycles"));
  }
  const int mark = marks[static_cast<std::size_t>(number) - 1];
  Portion p;
  const auto first = std::find(fileCycle.begin(), fileCycle.end(), mark);
  const auto last = std::find(fileCycle.rbegin(), fileCycle.rend(), mark);
  p.begin = static_cast<std::size_t>(first - fileCycle.begin());
  p.end = fileCycle.size() - static_cast<std::size_t>(last - fileCycle.rbegin());
  CoverSweeps(sweeps, p);
  std::string line = "Took cycle " + std::to_string(number) + " of " +
                     std::to_string(marks.size()) +
                     " as the file numbers them: " + PointRange(p, x.size()) + ".";
  p.report.push_back(line);
  return p;
}

Portion FoundCycle(std::span<const double> x, const std::vector<Sweep>& sweeps, int number) {
  const std::vector<std::size_t> cycles = WholeCycles(x, sweeps);
  if (number < 1 || static_cast<std::size_t>(number) > cycles.size()) {
    throw FileError("cycle " + std::to_string(number) + " was asked for, but the file has " +
                    std::to_string(cycles.size()) +
                    (cycles.size() == 1 ? " whole cycle" : " whole cycles") +
                    " (a sweep out and back to where it began)");
  }
  const std::size_t s = cycles[static_cast<std::size_t>(number) - 1];
  Portion p = OfSweeps(sweeps, s, s + 1);
  p.report.push_back("Took whole cycle " + std::to_string(number) + " of " +
                     std::to_string(cycles.size()) + ", sweeps " + std::to_string(p.firstSweep) +
                     " and " + std::to_string(p.lastSweep) + ": " + PointRange(p, x.size()) + ".");
  return p;
}

// The points a portion takes, every stride-th from its first.
std::size_t TakenCount(const Portion& p) { return (p.end - p.begin + p.stride - 1) / p.stride; }

}  // namespace

std::vector<std::size_t> Portion::Indices() const {
  std::vector<std::size_t> indices;
  if (stride == 0) return indices;
  indices.reserve((end - begin + stride - 1) / stride);
  for (std::size_t i = begin; i < end; i += stride) indices.push_back(i);
  return indices;
}

Portion ChoosePortion(std::span<const double> x, std::span<const int> fileCycle,
                      const PortionRequest& request, bool plainFile, std::size_t capacity) {
  const std::vector<Sweep> sweeps = model::FindSweeps(x);
  Portion p;
  p.end = x.size();
  CoverSweeps(sweeps, p);
  using Kind = PortionRequest::Kind;
  switch (request.kind) {
    case Kind::Auto: {
      const bool oneSweep = sweeps.size() <= 1;
      const bool oneCycle = sweeps.size() == 2 && IsWholeCycle(x, sweeps, 0, model::MedianStep(x));
      const bool fits = x.size() <= capacity && (plainFile || oneCycle);
      // One sweep is all there is to take, thinned when it is too long.
      if (!fits && !oneSweep) p = FirstWholeCycle(x, sweeps);
      break;
    }
    case Kind::All:
      if (x.size() > capacity) p.report.push_back("Took all the points.");
      break;
    case Kind::Cycle:
      p = fileCycle.size() == x.size() && !fileCycle.empty()
              ? NumberedCycle(x, fileCycle, sweeps, request.first)
              : FoundCycle(x, sweeps, request.first);
      break;
    case Kind::Sweeps: {
      const int count = static_cast<int>(sweeps.size());
      if (request.first < 1 || request.last < request.first || request.last > count) {
        throw FileError("sweeps " + std::to_string(request.first) + " to " +
                        std::to_string(request.last) + " were asked for, but the file has " +
                        std::to_string(count) + (count == 1 ? " sweep" : " sweeps"));
      }
      p = OfSweeps(sweeps, static_cast<std::size_t>(request.first) - 1,
                   static_cast<std::size_t>(request.last) - 1);
      p.report.push_back("Took sweeps " + std::to_string(p.firstSweep) + " to " +
                         std::to_string(p.lastSweep) + ": " + PointRange(p, x.size()) + ".");
      break;
    }
  }
  const std::size_t count = p.end - p.begin;
  if (count > capacity && capacity > 0) {
    p.stride = (count + capacity - 1) / capacity;
    p.report.push_back("Took every " + Ordinal(p.stride) + " point, " +
                       std::to_string(TakenCount(p)) + " in all: the " + std::to_string(count) +
                       " points are more than a curve holds (" + std::to_string(capacity) + ").");
  }
  return p;
}

PortionSurvey SurveyPortions(std::span<const double> x, std::span<const int> fileCycle) {
  const std::vector<Sweep> sweeps = model::FindSweeps(x);
  PortionSurvey survey;
  survey.sweeps = static_cast<int>(sweeps.size());
  survey.numbered = !fileCycle.empty() && fileCycle.size() == x.size();
  if (survey.numbered) {
    std::vector<int> marks(fileCycle.begin(), fileCycle.end());
    std::sort(marks.begin(), marks.end());
    survey.cycles = static_cast<int>(std::unique(marks.begin(), marks.end()) - marks.begin());
  } else {
    survey.cycles = static_cast<int>(WholeCycles(x, sweeps).size());
  }
  return survey;
}

std::optional<PortionRequest> ParsePortionRequest(std::string_view text) {
  auto word = [&text]() {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    const std::size_t end = std::min(text.find(' '), text.size());
    const std::string_view w = text.substr(0, end);
    text.remove_prefix(end);
    return w;
  };
  auto number = [&word]() -> std::optional<int> {
    const std::string_view w = word();
    int value = 0;
    const auto [end, error] = std::from_chars(w.data(), w.data() + w.size(), value);
    if (w.empty() || error != std::errc() || end != w.data() + w.size() || value < 1) {
      return std::nullopt;
    }
    return value;
  };
  PortionRequest request;
  const std::string_view kind = word();
  if (kind == "auto" || kind == "all") {
    request.kind = kind == "auto" ? PortionRequest::Kind::Auto : PortionRequest::Kind::All;
  } else if (kind == "cycle") {
    const std::optional<int> n = number();
    if (!n) return std::nullopt;
    request = {PortionRequest::Kind::Cycle, *n, *n};
  } else if (kind == "sweeps") {
    const std::optional<int> first = number();
    const std::optional<int> last = number();
    if (!first || !last || *last < *first) return std::nullopt;
    request = {PortionRequest::Kind::Sweeps, *first, *last};
  } else {
    return std::nullopt;
  }
  if (!word().empty()) return std::nullopt;
  return request;
}

std::string PortionRequestText(const PortionRequest& request) {
  switch (request.kind) {
    case PortionRequest::Kind::Auto: return "auto";
    case PortionRequest::Kind::All: return "all";
    case PortionRequest::Kind::Cycle: return "cycle " + std::to_string(request.first);
    case PortionRequest::Kind::Sweeps:
      return "sweeps " + std::to_string(request.first) + " " + std::to_string(request.last);
  }
  return "auto";
}

}  // namespace kivex::io
