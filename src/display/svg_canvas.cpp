#include "display/svg_canvas.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

SvgCanvas::SvgCanvas(int width, int height)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      right_(static_cast<double>(width_)),
      bottom_(static_cast<double>(height_)) {}

void SvgCanvas::Clear() {
  body_.clear();
  path_.clear();
  pen_ = PenStyle::Solid;
  anchor_ = TextAnchor::TopLeft;
}

void SvgCanvas::SetWindow(double left, double top, double right, double bottom) {
  EndPath();
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
}

void SvgCanvas::SetPen(PenStyle style) {
  if (style != pen_) EndPath();
  pen_ = style;
}

void SvgCanvas::MoveTo(double x, double y) {
  posX_ = x;
  posY_ = y;
}

void SvgCanvas::SetTextAnchor(TextAnchor anchor) { anchor_ = anchor; }

bool SvgCanvas::ToPixel(double x, double y, Pixel& pixel) const {
  const double w = right_ - left_;
  const double h = bottom_ - top_;
  if (w == 0 || h == 0) return false;
  pixel.x = (x - left_) / w * width_;
  pixel.y = (y - top_) / h * height_;
  return std::isfinite(pixel.x) && std::isfinite(pixel.y);
}

std::string SvgCanvas::StrokeAttributes() const {
  std::string attributes = " fill=\"none\" stroke=\"#000\"";
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
  body_ += "<text x=\"" + Num(p.x) + "\" y=\"" + Num(baseline) + "\" text-anchor=\"" + textAnchor +
           "\">" + Escaped(text) + "</text>\n";
}

void SvgCanvas::Point(double x, double y) {
  EndPath();
  Pixel p;
  if (!ToPixel(x, y, p)) return;
  body_ += "<rect x=\"" + Num(std::floor(p.x)) + "\" y=\"" + Num(std::floor(p.y)) +
           "\" width=\"1\" height=\"1\"/>\n";
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

std::string SvgCanvas::Document() {
  EndPath();
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
