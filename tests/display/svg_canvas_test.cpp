#include "display/svg_canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

// Mapping, joined paths, pens, colours, anchors, clips and the one-row key of whole pages are
// pinned by the plot scenarios (plot_axes, plotfit_*); these are the cases no page reaches.
namespace kivex::display {
namespace {

int Occurrences(const std::string& text, std::string_view what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(SvgCanvas, EscapesTextAndSkipsWhatCannotBePlaced) {
  SvgCanvas svg(100, 100);
  svg.SetWindow(0, 0, 0, 100);  // no width
  svg.Line(0, 0, 1, 1);
  svg.Point(0, 0);
  svg.SetWindow(0, 0, 100, 100);
  svg.Line(0, 0, NAN, 1);
  svg.Rectangle(0, 0, INFINITY, 1);
  svg.Point(5.7, 5.2);  // two pixels square, centred
  svg.Text("a<b & c");
  std::string doc = svg.Document();
  EXPECT_EQ(Occurrences(doc, "<path"), 0);
  EXPECT_EQ(Occurrences(doc, "nan") + Occurrences(doc, "inf"), 0);
  EXPECT_NE(doc.find("<rect x=\"4.7\" y=\"4.2\" width=\"2\" height=\"2\" fill=\"#000\"/>"),
            std::string::npos);
  EXPECT_NE(doc.find(">a&lt;b &amp; c</text>"), std::string::npos);
  EXPECT_EQ(Occurrences(doc, "<rect"), 2);  // the white page and the point
  svg.Clear();
  EXPECT_EQ(Occurrences(svg.Document(), "<rect"), 1);
}

TEST(SvgCanvas, AClipLeftOpenIsClosedByTheDocument) {
  SvgCanvas svg(100, 100);
  svg.SetWindow(0, 10, 10, 0);
  svg.ClipTo(2, 8, 8, 2);
  svg.Point(5, 5);
  const std::string doc = svg.Document();
  EXPECT_NE(doc.find("<clipPath id=\"clip1\"><rect x=\"20\" y=\"20\" width=\"60\" height=\"60\"/>"),
            std::string::npos);
  EXPECT_EQ(Occurrences(doc, "<g"), 2);  // the page's group and the clip, each closed
  EXPECT_EQ(Occurrences(doc, "</g>"), 2);
}

TEST(SvgCanvas, TheKeyStandsAboveTheFrameAndWrapsWhenNarrow) {
  const LegendEntry entries[] = {{"measured", {0, 0, 0}, CurveMark::Markers},
                                 {"simulated", {213, 94, 0}, CurveMark::Line},
                                 {"component 1", {0, 114, 178}, CurveMark::Dots}};
  for (int width : {640, 200}) {
    SvgCanvas svg(width, 480);
    svg.SetWindow(0, 0, 1, 1);
    svg.Legend(0.1, 0.9, 0.2, entries);  // a frame from 10 % to 90 %, its top at 96 px
    const std::string doc = svg.Document();
    // Every text's baseline above the frame; one row when it fits, rows stacked when not.
    std::set<std::string> rows;
    for (auto at = doc.find("<text"); at != std::string::npos; at = doc.find("<text", at + 1)) {
      const std::size_t y = doc.find(" y=\"", at) + 4;
      const std::string baseline = doc.substr(y, doc.find('"', y) - y);
      EXPECT_LT(std::stod(baseline), 96.0) << width;
      rows.insert(baseline);
    }
    EXPECT_EQ(Occurrences(doc, "<text"), 3);
    EXPECT_EQ(rows.size(), width == 640 ? 1u : 3u);
  }
}

}  // namespace
}  // namespace kivex::display
