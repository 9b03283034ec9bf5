#include "io/curve_portion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "io/file_error.h"

namespace kivex::io {
namespace {

using Kind = PortionRequest::Kind;

// A programme as an instrument records it: from `start` to each vertex in turn in steps of
// `step`, every point once (the vertex is not repeated).
std::vector<double> Programme(double start, const std::vector<double>& vertices, double step) {
  std::vector<double> x{start};
  for (double vertex : vertices) {
    const double direction = vertex > x.back() ? 1 : -1;
    const int n = static_cast<int>(std::lround(std::fabs(vertex - x.back()) / step));
    const double from = x.back();
    for (int k = 1; k <= n; ++k) x.push_back(from + direction * step * k);
  }
  return x;
}

TEST(CurvePortion, PlainFilesStayWholeAndInstrumentExportsGiveTheirFirstWholeCycle) {
  // Two cycles of 0.6 -> -0.2 V in 1 mV steps: 3201 points.
  const std::vector<double> two = Programme(0.6, {-0.2, 0.6, -0.2, 0.6}, 0.001);
  const Portion plain = ChoosePortion(two, {}, {}, true);
  EXPECT_EQ(plain.begin, 0u);
  EXPECT_EQ(plain.end, two.size());
  EXPECT_TRUE(plain.report.empty());

  const Portion exported = ChoosePortion(two, {}, {}, false);
  EXPECT_EQ(exported.begin, 0u);
  EXPECT_EQ(exported.end, 1601u);
  EXPECT_EQ(exported.report,
            std::vector<std::string>{"Took the first whole cycle, sweeps 1 and 2: points 1 to 1601 "
                                     "of 3201, from 0.6 V to -0.2 V and back."});

  // A programme that starts between its vertices: 0.2 -> -0.2 -> 0.6 -> -0.2 -> 0.6. The first
  // two sweeps do not come back to where they began; sweeps 2 and 3 do.
  const std::vector<double> middle = Programme(0.2, {-0.2, 0.6, -0.2, 0.6}, 0.001);
  const Portion cycle = ChoosePortion(middle, {}, {}, false);
  EXPECT_EQ(cycle.firstSweep, 2);
  EXPECT_EQ(cycle.lastSweep, 3);
  EXPECT_NEAR(middle[cycle.begin], -0.2, 1e-12);  // at the vertex that begins it
  EXPECT_NEAR(middle[cycle.end - 1], -0.2, 1e-12);

  // A plain file too long for a curve: its first whole cycle, 16 000 points being too many.
  const std::vector<double> many = Programme(0.6, {-0.2, 0.6, -0.2, 0.6, -0.2, 0.6}, 0.0003);
  const Portion first = ChoosePortion(many, {}, {}, true);
  EXPECT_EQ(first.firstSweep, 1);
  EXPECT_EQ(first.lastSweep, 2);
  EXPECT_LE(first.Indices().size(), 4000u);
  EXPECT_EQ(first.stride, 2u);
  EXPECT_EQ(first.report.back(),
            "Took every 2nd point, 2668 in all: the 5335 points are more than a curve holds "
            "(4000).");
}

TEST(CurvePortion, RequestsForCyclesAndSweepsAndWhatTheFileLacks) {
  // Three cycles of 0.5 -> -0.1 V in 2 mV steps, 1801 points, numbered 1 to 3 by the file.
  const std::vector<double> x = Programme(0.5, {-0.1, 0.5, -0.1, 0.5, -0.1, 0.5}, 0.002);
  std::vector<int> marks(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) marks[i] = 1 + static_cast<int>(i / 600);
  marks.back() = 3;

  const Portion second = ChoosePortion(x, marks, {Kind::Cycle, 2, 2}, false);
  EXPECT_EQ(second.begin, 600u);
  EXPECT_EQ(second.end, 1200u);
  EXPECT_EQ(second.report.front(),
            "Took cycle 2 of 3 as the file numbers them: points 601 to "
            "1200 of 1801.");
  // Without the file's numbers, cycle 2 is the second whole cycle the sweeps make.
  const Portion found = ChoosePortion(x, {}, {Kind::Cycle, 2, 2}, false);
  EXPECT_EQ(found.firstSweep, 3);
  EXPECT_EQ(found.begin, 600u);
  EXPECT_EQ(found.lastSweep, 4);

  const Portion sweeps = ChoosePortion(x, {}, {Kind::Sweeps, 2, 5}, false);
  EXPECT_EQ(sweeps.begin, 300u);
  EXPECT_EQ(sweeps.end, 1501u);

  const struct {
    PortionRequest request;
    bool marked;
    const char* message;
  } refused[] = {
      {{Kind::Cycle, 4, 4}, true, "cycle 4 was asked for, but the file has 3 cycles"},
      {{Kind::Cycle, 4, 4},
       false,
       "cycle 4 was asked for, but the file has 3 whole cycles (a sweep out and back to where "
       "it began)"},
      {{Kind::Sweeps, 5, 7}, false, "sweeps 5 to 7 were asked for, but the file has 6 sweeps"},
  };
  for (const auto& r : refused) {
    try {
      ChoosePortion(x, r.marked ? std::span<const int>(marks) : std::span<const int>(), r.request,
                    false);
      ADD_FAILURE() << r.message;
    } catch (const FileError& error) {
      EXPECT_EQ(error.description(), r.message);
    }
  }
}

// (A long sweep thinned evenly: the core_import_refusals scenario.)
TEST(CurvePortion, RequestsReadAsTyped) {
  EXPECT_EQ(ParsePortionRequest("cycle 2"), (PortionRequest{Kind::Cycle, 2, 2}));
  EXPECT_EQ(ParsePortionRequest("sweeps 3 4"), (PortionRequest{Kind::Sweeps, 3, 4}));
  EXPECT_EQ(ParsePortionRequest("all"), (PortionRequest{Kind::All, 0, 0}));
  for (const char* bad : {"cycle", "cycle 0", "cycle two", "sweeps 4 3", "auto 1", "first"}) {
    EXPECT_FALSE(ParsePortionRequest(bad)) << bad;
  }
  for (const char* text : {"auto", "all", "cycle 3", "sweeps 1 2"}) {
    EXPECT_EQ(PortionRequestText(*ParsePortionRequest(text)), text);
  }
}

}  // namespace
}  // namespace kivex::io
