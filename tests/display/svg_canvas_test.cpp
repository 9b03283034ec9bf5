#include "display/svg_canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace kivex::display {
namespace {

int Occurrences(const std::string& text, std::string_view what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

bool Contains(const std::string& text, std::string_view what) {
  return text.find(what) != std::string::npos;
}

void ExpectParts(const std::string& doc, std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) EXPECT_TRUE(Contains(doc, part)) << part;
}

TEST(SvgCanvas, MapsTheUserWindowOntoThePage) {
  SvgCanvas svg(200, 100);
  svg.SetWindow(-1, 1, 1, -1);
  svg.Line(-1, 1, 1, -1);
  svg.SetWindow(1, 1, -1, -1);  // X reversed: x = 1 is the left edge
  svg.Rectangle(1, 0, 0, -1);
  const std::string doc = svg.Document();
  EXPECT_EQ(doc.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  ExpectParts(doc, {"width=\"200\" height=\"100\" viewBox=\"0 0 200 100\"",
                    "<path d=\"M0 0L200 100\" fill=\"none\" stroke=\"#000\"/>",
                    "<rect x=\"0\" y=\"50\" width=\"100\" height=\"50\" fill=\"none\""});
  EXPECT_TRUE(doc.ends_with("</g>\n</svg>\n"));
}

TEST(SvgCanvas, JoinsContinuingSegmentsAndMarksDashes) {
  SvgCanvas svg(100, 100);
  svg.SetWindow(0, 0, 100, 100);  // user units are pixels, Y down
  svg.Line(0, 0, 10, 10);
  svg.Line(10, 10, 20, 5);
  svg.Line(50, 50, 60, 60);  // does not continue: a new path
  svg.SetPen(PenStyle::Dashed);
  svg.Line(60, 60, 70, 60);  // a new pen: a new path
  svg.SetPen(PenStyle::Solid);
  svg.SetColour({213, 94, 0});
  svg.SetLineWidth(1.5);
  svg.Line(70, 60, 80, 60);  // a new colour: a new path
  const std::string doc = svg.Document();
  ExpectParts(doc, {"d=\"M0 0L10 10L20 5\"", "d=\"M50 50L60 60\"",
                    "d=\"M60 60L70 60\" fill=\"none\" stroke=\"#000\" stroke-dasharray",
                    "d=\"M70 60L80 60\" fill=\"none\" stroke=\"#d55e00\" stroke-width=\"1.5\"/>"});
  EXPECT_EQ(Occurrences(doc, "<path"), 4);
}

TEST(SvgCanvas, TextAnchorsEscapingAndSpaces) {
  SvgCanvas svg(100, 100);
  svg.SetWindow(0, 0, 100, 100);
  svg.MoveTo(10, 20);
  svg.Text("I /A  1E-6");  // top-left until told otherwise
  svg.SetTextAnchor(TextAnchor::TopCentre);
  svg.Text("a<b & c");
  svg.SetTextAnchor(TextAnchor::MiddleRight);
  svg.Text("4");
  const std::string doc = svg.Document();
  // The baseline sits 0.78 em below the top: 20 + 0.78 * 12.
  // The two blanks of the title stay.
  ExpectParts(doc, {"<text x=\"10\" y=\"29.36\" text-anchor=\"start\">I /A  1E-6</text>",
                    "text-anchor=\"middle\">a&lt;b &amp; c</text>", "text-anchor=\"end\">4</text>",
                    "xml:space=\"preserve\""});
}

TEST(SvgCanvas, SkipsWhatCannotBePlaced) {
  SvgCanvas svg(100, 100);
  svg.SetWindow(0, 0, 0, 100);  // no width
  svg.Line(0, 0, 1, 1);
  svg.Point(0, 0);
  svg.SetWindow(0, 0, 100, 100);
  svg.Line(0, 0, NAN, 1);
  svg.Rectangle(0, 0, INFINITY, 1);
  svg.Point(5.7, 5.2);  // two pixels square, centred
  std::string doc = svg.Document();
  EXPECT_EQ(Occurrences(doc, "<path"), 0);
  EXPECT_FALSE(Contains(doc, "nan"));
  EXPECT_FALSE(Contains(doc, "inf"));
  EXPECT_TRUE(Contains(doc, "<rect x=\"4.7\" y=\"4.2\" width=\"2\" height=\"2\" fill=\"#000\"/>"));
  EXPECT_EQ(Occurrences(doc, "<rect"), 2);  // the white page and the point

  svg.Clear();
  doc = svg.Document();
  EXPECT_EQ(Occurrences(doc, "<rect"), 1);
}

TEST(SvgCanvas, ClipsThroughAGroupThatEndsWithTheClip) {
  SvgCanvas svg(100, 100);
  svg.SetWindow(0, 10, 10, 0);
  svg.ClipTo(2, 8, 8, 2);
  svg.Line(0, 5, 10, 5);
  svg.NoClip();
  svg.Line(0, 1, 10, 1);
  svg.ClipTo(2, 8, 8, 2);  // left open: the document closes it
  svg.Point(5, 5);
  const std::string doc = svg.Document();
  ExpectParts(doc, {"<clipPath id=\"clip1\"><rect x=\"20\" y=\"20\" width=\"60\" height=\"60\"/>",
                    "<g clip-path=\"url(#clip1)\">\n<path d=\"M0 50L100 50\"",
                    "</g>\n<path d=\"M0 90", "<g clip-path=\"url(#clip2)\">"});
  EXPECT_EQ(Occurrences(doc, "<g"), 3);  // the page's group and two clips, each closed
  EXPECT_EQ(Occurrences(doc, "</g>"), 3);
}

TEST(SvgCanvas, TheKeyStandsAboveTheFrameAndWrapsWhenNarrow) {
  const LegendEntry entries[] = {{"measured", {0, 0, 0}, CurveMark::Markers},
                                 {"simulated", {213, 94, 0}, CurveMark::Line},
                                 {"component 1", {0, 114, 178}, CurveMark::Dots}};
  for (int width : {640, 200}) {
    SCOPED_TRACE(width);
    SvgCanvas svg(width, 480);
    svg.SetWindow(0, 0, 1, 1);
    svg.Legend(0.1, 0.9, 0.2, entries);  // a frame from 10 % to 90 %, its top at 96 px
    const std::string doc = svg.Document();
    ExpectParts(doc, {">measured</text>", ">simulated</text>", ">component 1</text>",
                      "stroke=\"#d55e00\"", "fill=\"#0072b2\""});
    // Every text's baseline above the frame; one row when it fits, rows stacked when not.
    std::set<std::string> rows;
    for (std::size_t at = doc.find("<text"); at != std::string::npos;
         at = doc.find("<text", at + 1)) {
      const std::size_t y = doc.find(" y=\"", at) + 4;
      const std::string baseline = doc.substr(y, doc.find('"', y) - y);
      EXPECT_LT(std::stod(baseline), 96.0);
      rows.insert(baseline);
    }
    EXPECT_EQ(rows.size(), width == 640 ? 1u : 3u);
  }
}

}  // namespace
}  // namespace kivex::display
