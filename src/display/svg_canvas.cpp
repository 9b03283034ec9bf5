#include "display/svg_canvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "display/legend.h"
#include "model/number_text.h"

namespace kivex::display {

namespace {

// Baseline offsets from the anchor's top or middle, for digits and capitals (cap height about
// 0.72 em in common sans-serif faces). Computed here rather than left to dominant-baseline,
// which not every SVG renderer honours.
constexpr double kTopToBaseline = 0.78;
constexpr double kMiddleToBaseline = 0.36;

// A pixel coordinate to two decimals, the same in every locale; far-off points are pinned so
// the document stays readable by any renderer.
std::string Num(double v) {
  v = std::clamp(v, -1e5, 1e5);
  return model::ShortestText(std::round(v * 100) / 100);
}

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML text.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
    }
  }
  return out;
}

// The width of a text in the font, estimated: SVG leaves measuring to the renderer, and the key
// needs a width to lay out its rows. 0.62 em a character errs on the wide side for the sans-serif
// faces named.
double TextWidth(std::string_view text) {
  std::size_t characters = 0;
  for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return 0.62 * SvgCanvas::kFontSize * static_cast<double>(characters);
}

// "#rrggbb", or the short "#rgb" where every pair repeats a digit ("#000").
std::string Hex(Colour colour) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const unsigned char parts[] = {colour.r, colour.g, colour.b};
  bool shortForm = true;
  for (unsigned char p : parts) shortForm &= (p >> 4) == (p & 15);
  std::string hex = "#";
  for (unsigned char p : parts) {
    hex += kDigits[p >> 4];
    if (!shortForm) hex += kDigits[p & 15];
  }
  return hex;
}

}  // namespace

SvgCanvas::SvgCanvas(int width, int height)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      window_{0, 0, static_cast<double>(width_), static_cast<double>(height_)} {}

void SvgCanvas::Clear() {
  body_.clear();
  path_.clear();
  pen_ = PenStyle::Solid;
  colour_ = kBlack;
  lineWidth_ = 1;
  clipped_ = false;
  anchor_ = TextAnchor::TopLeft;
}

void SvgCanvas::SetWindow(double left, double top, double right, double bottom) {
  EndPath();
  window_ = {left, top, right, bottom};
}

void SvgCanvas::SetPen(PenStyle style) {
  if (style != pen_) EndPath();
  pen_ = style;
}

void SvgCanvas::SetColour(Colour colour) {
  if (colour != colour_) EndPath();
  colour_ = colour;
}

void SvgCanvas::SetLineWidth(double width) {
  if (width != lineWidth_) EndPath();
  lineWidth_ = width;
}

void SvgCanvas::ClipTo(double x1, double y1, double x2, double y2) {
  EndClip();
  Pixel a;
  Pixel b;
  if (!ToPixel(x1, y1, a) || !ToPixel(x2, y2, b)) return;
  const std::string id = "clip" + std::to_string(++clipCount_);
  body_ += "<clipPath id=\"" + id + "\"><rect x=\"" + Num(std::min(a.x, b.x)) + "\" y=\"" +
           Num(std::min(a.y, b.y)) + "\" width=\"" + Num(std::fabs(b.x - a.x)) + "\" height=\"" +
           Num(std::fabs(b.y - a.y)) + "\"/></clipPath>\n";
  body_ += "<g clip-path=\"url(#" + id + ")\">\n";
  clipped_ = true;
}

void SvgCanvas::NoClip() { EndClip(); }

void SvgCanvas::EndClip() {
  EndPath();
  if (!clipped_) return;
  body_ += "</g>\n";
  clipped_ = false;
}

void SvgCanvas::MoveTo(double x, double y) {
  posX_ = x;
  posY_ = y;
}

void SvgCanvas::SetTextAnchor(TextAnchor anchor) { anchor_ = anchor; }

bool SvgCanvas::ToPixel(double x, double y, Pixel& pixel) const {
  const std::optional<SurfacePoint> point = MapToSurface(window_, x, y, width_, height_);
  if (!point) return false;
  pixel = {point->x, point->y};
  return true;
}

std::string SvgCanvas::StrokeAttributes() const {
  std::string attributes = " fill=\"none\" stroke=\"" + Hex(colour_) + "\"";
  if (lineWidth_ != 1) attributes += " stroke-width=\"" + Num(lineWidth_) + "\"";
  if (pen_ == PenStyle::Dashed) attributes += " stroke-dasharray=\"6 4\"";
  return attributes;
}

void SvgCanvas::EndPath() {
  if (path_.empty()) return;
  body_ += "<path d=\"" + path_ + "\"" + StrokeAttributes() + "/>\n";
  path_.clear();
}

void SvgCanvas::Text(std::string_view text) {
  EndPath();
  Pixel p;
  if (!ToPixel(posX_, posY_, p)) return;
  const char* textAnchor = "start";
  double baseline = p.y + kTopToBaseline * kFontSize;
  switch (anchor_) {
    case TextAnchor::TopLeft: break;
    case TextAnchor::TopCentre: textAnchor = "middle"; break;
    case TextAnchor::MiddleLeft: baseline = p.y + kMiddleToBaseline * kFontSize; break;
    case TextAnchor::MiddleRight:
      textAnchor = "end";
      baseline = p.y + kMiddleToBaseline * kFontSize;
      break;
  }
  TextAt(p.x, baseline, textAnchor, text);
}

void SvgCanvas::TextAt(double x, double baseline, const char* textAnchor, std::string_view text) {
  body_ += "<text x=\"" + Num(x) + "\" y=\"" + Num(baseline) + "\" text-anchor=\"" + textAnchor +
           "\">" + Escaped(text) + "</text>\n";
}

// A point is a square of two pixels centred on it, so that a dotted curve shows its colour.
void SvgCanvas::Point(double x, double y) {
  EndPath();
  Pixel p;
  if (!ToPixel(x, y, p)) return;
  body_ += "<rect x=\"" + Num(p.x - 1) + "\" y=\"" + Num(p.y - 1) +
           "\" width=\"2\" height=\"2\" fill=\"" + Hex(colour_) + "\"/>\n";
}

// Segments that continue from where the last one ended join into one path, so a curve of
// thousands of points is one element with proper joins.
void SvgCanvas::Line(double x1, double y1, double x2, double y2) {
  Pixel a;
  Pixel b;
  if (!ToPixel(x1, y1, a) || !ToPixel(x2, y2, b)) return;
  const bool continues =
      !path_.empty() && std::fabs(a.x - pathEnd_.x) < 0.005 && std::fabs(a.y - pathEnd_.y) < 0.005;
  if (!continues) {
    EndPath();
    path_ = "M" + Num(a.x) + " " + Num(a.y);
  }
  path_ += "L" + Num(b.x) + " " + Num(b.y);
  pathEnd_ = b;
}

void SvgCanvas::Rectangle(double x1, double y1, double x2, double y2) {
  EndPath();
  Pixel a;
  Pixel b;
  if (!ToPixel(x1, y1, a) || !ToPixel(x2, y2, b)) return;
  body_ += "<rect x=\"" + Num(std::min(a.x, b.x)) + "\" y=\"" + Num(std::min(a.y, b.y)) +
           "\" width=\"" + Num(std::fabs(b.x - a.x)) + "\" height=\"" + Num(std::fabs(b.y - a.y)) +
           "\"" + StrokeAttributes() + "/>\n";
}

void SvgCanvas::Legend(double x1, double x2, double y, std::span<const LegendEntry> entries) {
  EndPath();
  Pixel a;
  Pixel b;
  if (entries.empty() || !ToPixel(x1, y, a) || !ToPixel(x2, y, b)) return;
  std::vector<double> widths;
  for (const LegendEntry& entry : entries) widths.push_back(TextWidth(entry.text));
  const double lineHeight = 1.25 * kFontSize;
  const LegendLayout layout =
      LayOutLegend(widths, std::max(a.x, b.x), a.y, std::fabs(b.x - a.x), lineHeight);
  for (std::size_t j = 0; j < entries.size(); ++j) {
    const LegendEntry& entry = entries[j];
    const LegendPlace& place = layout.places[j];
    const std::string colour = Hex(entry.colour);
    const double middle = place.sampleLeft + kLegendSample / 2;
    switch (entry.mark) {
      case CurveMark::Line:
        body_ += "<path d=\"M" + Num(place.sampleLeft) + " " + Num(place.y) + "L" +
                 Num(place.sampleLeft + kLegendSample) + " " + Num(place.y) +
                 "\" fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"1.5\"/>\n";
        break;
      case CurveMark::Markers:
        body_ += "<rect x=\"" + Num(middle - 3) + "\" y=\"" + Num(place.y - 3) +
                 "\" width=\"6\" height=\"6\" fill=\"none\" stroke=\"" + colour + "\"/>\n";
        break;
      case CurveMark::Dots:
        for (double dx : {-6.0, 0.0, 6.0}) {
          body_ += "<rect x=\"" + Num(middle + dx - 1) + "\" y=\"" + Num(place.y - 1) +
                   "\" width=\"2\" height=\"2\" fill=\"" + colour + "\"/>\n";
        }
        break;
    }
    TextAt(place.textLeft, place.y + kMiddleToBaseline * kFontSize, "start", entry.text);
  }
}

std::string SvgCanvas::Document() {
  EndClip();
  const std::string w = std::to_string(width_);
  const std::string h = std::to_string(height_);
  std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  // Blanks inside labels are part of them ("I /A  1E-6").
  doc += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h;
  doc += "\" viewBox=\"0 0 " + w + " " + h + "\" xml:space=\"preserve\">\n";
  doc += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"#fff\"/>\n";
  doc += "<g stroke-width=\"1\" font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\"";
  doc += " font-size=\"" + std::to_string(kFontSize) + "\">\n";
  doc += body_;
  doc += "</g>\n</svg>\n";
  return doc;
}

std::string PictureToSvg(const Picture& picture, int width, int height) {
  SvgCanvas svg(width, height);
  picture.Replay(svg);
  return svg.Document();
}

}  // namespace kivex::display
