#include "scan/svg.hpp"

#include "scan/text.hpp"

#include <cmath>
#include <cstdio>

namespace orvalen::scan {

namespace {

std::string n(double x) {
  if (!std::isfinite(x))
    x = 0.0; // a point that cannot be placed is drawn at the edge, never as "nan"
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", x);
  return buf;
}

std::string dashAttr(std::string_view dash) {
  return dash.empty() ? std::string() : " stroke-dasharray=\"" + std::string(dash) + "\"";
}

} // namespace

std::string xmlEscaped(std::string_view text) {
  const std::string utf8 = validUtf8(text); // XML text is characters, never stray bytes
  std::string s;
  s.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    switch (c) {
    case '&':
      s += "&amp;";
      break;
    case '<':
      s += "&lt;";
      break;
    case '>':
      s += "&gt;";
      break;
    case '"':
      s += "&quot;";
      break;
    case '\'':
      s += "&apos;";
      break;
    default:
      // Control characters and U+FFFE, U+FFFF are not characters of XML 1.0.
      if (static_cast<unsigned char>(c) < 0x20) {
        s += ' ';
      } else if (utf8.compare(i, 2, "\xef\xbf") == 0 && i + 2 < utf8.size() &&
                 (utf8[i + 2] == '\xbe' || utf8[i + 2] == '\xbf')) {
        s += "\xef\xbf\xbd";
        i += 2;
      } else {
        s += c;
      }
    }
  }
  return s;
}

Svg::Svg(double width, double height) : width_(width), height_(height) {}

void Svg::line(double x1, double y1, double x2, double y2, std::string_view stroke, double width,
               std::string_view dash) {
  body_ += "<line x1=\"" + n(x1) + "\" y1=\"" + n(y1) + "\" x2=\"" + n(x2) + "\" y2=\"" + n(y2) +
           "\" stroke=\"" + xmlEscaped(stroke) + "\" stroke-width=\"" + n(width) + "\"" +
           dashAttr(dash) + "/>\n";
}

void Svg::polyline(const std::vector<std::pair<double, double>> &points, std::string_view stroke,
                   double width, std::string_view dash) {
  if (points.empty())
    return;
  body_ += "<polyline fill=\"none\" stroke=\"" + xmlEscaped(stroke) + "\" stroke-width=\"" +
           n(width) + "\"" + dashAttr(dash) + " stroke-linejoin=\"round\" points=\"";
  for (std::size_t i = 0; i < points.size(); ++i)
    body_ += (i ? " " : "") + n(points[i].first) + "," + n(points[i].second);
  body_ += "\"/>\n";
}

void Svg::circle(double cx, double cy, double r, std::string_view fill) {
  body_ += "<circle cx=\"" + n(cx) + "\" cy=\"" + n(cy) + "\" r=\"" + n(r) + "\" fill=\"" +
           xmlEscaped(fill) + "\"/>\n";
}

void Svg::rect(double x, double y, double w, double h, std::string_view stroke,
               std::string_view fill) {
  body_ += "<rect x=\"" + n(x) + "\" y=\"" + n(y) + "\" width=\"" + n(w) + "\" height=\"" + n(h) +
           "\" stroke=\"" + xmlEscaped(stroke) + "\" fill=\"" + xmlEscaped(fill) + "\"/>\n";
}

void Svg::text(double x, double y, std::string_view text, double size, Anchor anchor,
               double rotate) {
  const char *a = anchor == Anchor::Start ? "start" : anchor == Anchor::Middle ? "middle" : "end";
  body_ += "<text x=\"" + n(x) + "\" y=\"" + n(y) + "\" font-size=\"" + n(size) +
           "\" text-anchor=\"" + a + "\"";
  if (rotate != 0.0)
    body_ += " transform=\"rotate(" + n(rotate) + " " + n(x) + " " + n(y) + ")\"";
  body_ += ">" + xmlEscaped(text) + "</text>\n";
}

std::string Svg::str() const {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
         n(width_) + "\" height=\"" + n(height_) + "\" viewBox=\"0 0 " + n(width_) + " " +
         n(height_) +
         "\" font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\">\n"
         "<rect x=\"0\" y=\"0\" width=\"" +
         n(width_) + "\" height=\"" + n(height_) + "\" fill=\"white\"/>\n" + body_ + "</svg>\n";
}

} // namespace orvalen::scan
