#include "analysis/peak_baseline.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kivex::analysis {

namespace {

struct HullPoint {
  double x = 0;
  double up = 0;  // s * y: the peak points up
};

// Whether b lies on or above the line from a to c, for a.x <= b.x <= c.x: b is no corner of the
// lower hull then.
bool NotBelow(const HullPoint& a, const HullPoint& b, const HullPoint& c) {
  return (b.x - a.x) * (c.up - a.up) - (b.up - a.up) * (c.x - a.x) <= 0.0;
}

}  // namespace

TangentBaseline FindTangentBaseline(std::span<const double> x, std::span<const double> y, int from,
                                    int to, int peak) {
  TangentBaseline baseline;
  const auto at = [](std::span<const double> v, int i) { return v[static_cast<std::size_t>(i)]; };
  const double sign = at(y, peak) < 0.0 ? -1.0 : 1.0;
  std::vector<HullPoint> points;
  points.reserve(static_cast<std::size_t>(std::max(to - from + 1, 0)));
  for (int i = from; i <= to; ++i) {
    if (!std::isfinite(at(x, i)) || !std::isfinite(at(y, i))) return baseline;
    points.push_back({at(x, i), sign * at(y, i)});
  }
  // Andrew's monotone chain, lower half: a jittered axis may step back now and then, so the
  // points are taken by potential rather than in recorded order.
  std::sort(points.begin(), points.end(), [](const HullPoint& a, const HullPoint& b) {
    return a.x < b.x || (a.x == b.x && a.up < b.up);
  });
  std::vector<HullPoint> hull;
  hull.reserve(points.size());
  for (const HullPoint& p : points) {
    while (hull.size() >= 2 && NotBelow(hull[hull.size() - 2], hull.back(), p)) hull.pop_back();
    hull.push_back(p);
  }

  const double Ep = at(x, peak);
  for (std::size_t k = 1; k < hull.size(); ++k) {
    const HullPoint& a = hull[k - 1];
    const HullPoint& b = hull[k];
    if (a.x < b.x && a.x <= Ep && Ep <= b.x) {
      return {true, a.x, sign * a.up, b.x, sign * b.up};
    }
  }
  return baseline;
}

}  // namespace kivex::analysis
