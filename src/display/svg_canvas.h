#pragma once
// A drawing surface that writes an SVG document of a given pixel size, mapping the user
// coordinate window onto the whole picture as the plot window maps it onto its client area.
// Lines are one pixel wide unless told otherwise, points two pixels square, text a fixed pixel
// size in a sans-serif font. A clip becomes a clipPath and a group drawn through it.
//
//   SvgCanvas svg(640, 480);
//   session.picture.Replay(svg);
//   file << svg.Document();

#include <string>
#include <string_view>

#include "display/canvas.h"
#include "display/picture.h"
#include "display/window_mapping.h"

namespace kivex::display {

class SvgCanvas : public Canvas {
 public:
  static constexpr int kFontSize = 12;  // pixels

  SvgCanvas(int width, int height);

  void Clear() override;
  void SetWindow(double left, double top, double right, double bottom) override;
  void SetPen(PenStyle style) override;
  void SetColour(Colour colour) override;
  void SetLineWidth(double width) override;
  void ClipTo(double x1, double y1, double x2, double y2) override;
  void NoClip() override;
  void MoveTo(double x, double y) override;
  void SetTextAnchor(TextAnchor anchor) override;
  void Text(std::string_view text) override;
  void Point(double x, double y) override;
  void Line(double x1, double y1, double x2, double y2) override;
  void Rectangle(double x1, double y1, double x2, double y2) override;
  void Legend(double x1, double x2, double y, std::span<const LegendEntry> entries) override;

  // The complete document: a white page with everything drawn since the last Clear.
  std::string Document();

  int width() const { return width_; }
  int height() const { return height_; }

 private:
  struct Pixel {
    double x = 0;
    double y = 0;
  };
  // False when the window is degenerate or the point is not finite: nothing is drawn then.
  bool ToPixel(double x, double y, Pixel& pixel) const;
  void EndPath();
  void EndClip();
  std::string StrokeAttributes() const;
  void TextAt(double x, double baseline, const char* textAnchor, std::string_view text);

  int width_;
  int height_;
  UserWindow window_;
  PenStyle pen_ = PenStyle::Solid;
  Colour colour_ = kBlack;
  double lineWidth_ = 1;
  bool clipped_ = false;
  int clipCount_ = 0;  // clip paths written, for their ids
  TextAnchor anchor_ = TextAnchor::TopLeft;
  double posX_ = 0, posY_ = 0;
  std::string body_;
  std::string path_;  // the open run of joined line segments
  Pixel pathEnd_;
};

// The picture replayed onto an SVG page of the given size.
std::string PictureToSvg(const Picture& picture, int width, int height);

}  // namespace kivex::display
