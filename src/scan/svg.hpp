#pragma once

// A small SVG writer: lines, polylines, circles, rectangles and text in user
// units with the origin at the top left, e.g.
//   Svg svg(640, 480);
//   svg.polyline({{10, 10}, {100, 50}}, "#1f77b4", 2.0);
//   svg.text(320, 20, "k(T)", 16, Anchor::Middle);
//   std::string file = svg.str();
// Numbers are written with two decimals; text is escaped for XML and is
// always valid UTF-8.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvalen::scan {

enum class Anchor { Start, Middle, End };

class Svg {
public:
  Svg(double width, double height);

  void line(double x1, double y1, double x2, double y2, std::string_view stroke, double width,
            std::string_view dash = "");
  void polyline(const std::vector<std::pair<double, double>> &points, std::string_view stroke,
                double width, std::string_view dash = "");
  void circle(double cx, double cy, double r, std::string_view fill);
  void rect(double x, double y, double w, double h, std::string_view stroke, std::string_view fill);
  // `rotate` in degrees about (x, y); the baseline of the text is at y.
  void text(double x, double y, std::string_view text, double size, Anchor anchor = Anchor::Start,
            double rotate = 0.0);

  std::string str() const; // the whole document

private:
  double width_, height_;
  std::string body_;
};

// Text with &, <, >, " and ' escaped for XML, as valid UTF-8 (ill-formed bytes,
// U+FFFE and U+FFFF as U+FFFD; control characters as blanks).
std::string xmlEscaped(std::string_view text);

} // namespace orvalen::scan
