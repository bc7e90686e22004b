#include "scan/plot.hpp"

#include "base/error.hpp"
#include "scan/output.hpp"
#include "scan/svg.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <set>

namespace orvalen::scan {

Axis niceAxis(double lo, double hi, int target) {
  if (!(hi > lo)) { // one value: a unit interval around it
    lo -= 0.5;
    hi += 0.5;
  }
  const double raw = (hi - lo) / std::max(1, target);
  const double mag = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10.0 * mag;
  for (const double m : {1.0, 2.0, 5.0})
    if (raw <= m * mag * (1.0 + 1e-9)) {
      step = m * mag;
      break;
    }
  Axis a;
  a.step = step;
  a.lo = std::floor(lo / step + 1e-9) * step;
  a.hi = std::ceil(hi / step - 1e-9) * step;
  for (int i = 0; a.lo + i * step <= a.hi + step * 1e-6; ++i)
    a.ticks.push_back(a.lo + i * step);
  return a;
}

Axis dataAxis(double lo, double hi, int target, double margin) {
  if (!(hi > lo)) { // one value
    const double half = lo != 0.0 ? 0.05 * std::fabs(lo) : 0.5;
    lo -= half;
    hi += half;
    margin = 0.0;
  }
  const double pad = margin * (hi - lo);
  Axis a = niceAxis(lo, hi, target);
  a.lo = lo - pad;
  a.hi = hi + pad;
  std::erase_if(a.ticks,
                [&](double t) { return t < a.lo - a.step * 1e-9 || t > a.hi + a.step * 1e-9; });
  return a;
}

namespace {

// One curve: its points in data units (1000/T, log10 k), broken where a
// value is absent.
struct Series {
  std::string label;
  std::string colour;
  std::string dash;
  std::vector<std::vector<std::pair<double, double>>> runs;
};

// kQ times the method's coefficient, at the standard state as k is.
Series series(const ScanResult &r, const TunnellingMethod &m) {
  Series s{m.legend, m.colour, m.dash, {}};
  bool open = false;
  for (const ScanPoint &p : r.points) {
    const std::optional<double> c = m.coefficient(p.kappa);
    const double k =
        c ? p.rates.kQ[2] * *c * toStandardState(r, p.P) : std::numeric_limits<double>::quiet_NaN();
    if (!(k > 0.0) || !std::isfinite(k)) {
      open = false;
      continue;
    }
    if (!open)
      s.runs.emplace_back();
    open = true;
    s.runs.back().emplace_back(1000.0 / p.T, std::log10(k));
  }
  return s;
}

std::string tickText(double v, double step) {
  const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(v) < step * 1e-6 ? 0.0 : v);
  return buf;
}

// The curves of k, one for each tunnelling method with a point to plot.
std::vector<Series> rateCurves(const ScanResult &r) {
  std::vector<Series> all;
  for (const TunnellingMethod &m : TUNNELLING_METHODS)
    all.push_back(series(r, m));
  std::erase_if(all, [](const Series &s) { return s.runs.empty(); });
  if (all.empty())
    throw Error("--plot: no rate constant is a positive finite number");
  return all;
}

using Points = std::vector<std::pair<double, double>>;

// The smallest and largest values plotted along each axis, in data units.
struct Extent {
  double xlo = std::numeric_limits<double>::infinity();
  double xhi = -std::numeric_limits<double>::infinity();
  double ylo = std::numeric_limits<double>::infinity();
  double yhi = -std::numeric_limits<double>::infinity();

  void take(double x, double y) {
    xlo = std::min(xlo, x);
    xhi = std::max(xhi, x);
    takeY(y);
  }
  void takeY(double y) {
    ylo = std::min(ylo, y);
    yhi = std::max(yhi, y);
  }
};

Extent extentOf(const std::vector<Series> &curves) {
  Extent e;
  for (const Series &s : curves)
    for (const auto &run : s.runs)
      for (const auto &[x, y] : run)
        e.take(x, y);
  return e;
}

// The fitted curve of k, sampled over the scan's range of 1000/T (xlo to xhi).
Series fitCurve(const Fits &fits, double xlo, double xhi) {
  Series fit{"fit of k: A (T/1 K)^n exp(-Ea/RT)", "#7f7f7f", "6 4", {{}}};
  constexpr int SAMPLES = 120;
  for (int i = 0; i <= SAMPLES; ++i) {
    const double x = xhi > xlo ? xlo + (xhi - xlo) * i / SAMPLES : xlo;
    const double k = fitValue(fits.modified, 1000.0 / x);
    if (k > 0.0 && std::isfinite(k))
      fit.runs.back().emplace_back(x, std::log10(k));
  }
  return fit;
}

// The points of --measured in data units, in the file's order.
Points measuredPoints(const std::vector<MeasuredPoint> &measured) {
  Points points;
  for (const MeasuredPoint &m : measured)
    points.emplace_back(1000.0 / m.T, std::log10(m.k));
  return points;
}

// The uncertainty of a measured point in data units: from log10 of the low
// end (nullopt when it is not above zero: the bar runs to the axis) to log10
// of the high end.
struct ErrorBar {
  double x = 0.0;
  std::optional<double> ylo;
  double yhi = 0.0;
};

std::vector<ErrorBar> errorBars(const std::vector<MeasuredPoint> &measured) {
  std::vector<ErrorBar> bars;
  for (const MeasuredPoint &m : measured) {
    if (!m.low || !m.high || !(*m.high > 0.0))
      continue;
    bars.push_back({1000.0 / m.T,
                    *m.low > 0.0 ? std::optional<double>(std::log10(*m.low)) : std::nullopt,
                    std::log10(*m.high)});
  }
  return bars;
}

// The page and the plotting area inside it, in SVG units.
constexpr double W = 760, H = 500, LEFT = 80, RIGHT = 24, TOP = 44, BOTTOM = 62;
constexpr double PW = W - LEFT - RIGHT, PH = H - TOP - BOTTOM;

// The axes that map data units onto the plotting area.
struct Frame {
  Axis ax;
  Axis ay;
  double svgX(double x) const { return LEFT + (x - ax.lo) / (ax.hi - ax.lo) * PW; }
  double svgY(double y) const { return TOP + (ay.hi - y) / (ay.hi - ay.lo) * PH; }
};

// The title, the grid with the ticks and their numbers, the frame of the
// plotting area and the axis labels.
void drawAxes(Svg &svg, const Frame &f, const ScanResult &r) {
  // The options in effect (the rotors' treatment among them) under the title.
  const std::string options = optionsInEffect(r);
  if (options.empty()) {
    svg.text(W / 2, 26, "Arrhenius plot: " + r.title, 16, Anchor::Middle);
  } else {
    svg.text(W / 2, 20, "Arrhenius plot: " + r.title, 16, Anchor::Middle);
    svg.text(W / 2, 36, "Options: " + options, 11, Anchor::Middle);
  }
  for (const double t : f.ax.ticks) {
    svg.line(f.svgX(t), TOP, f.svgX(t), TOP + PH, "#e0e0e0", 1);
    svg.line(f.svgX(t), TOP + PH, f.svgX(t), TOP + PH + 5, "#222222", 1);
    svg.text(f.svgX(t), TOP + PH + 20, tickText(t, f.ax.step), 12, Anchor::Middle);
  }
  for (const double t : f.ay.ticks) {
    svg.line(LEFT, f.svgY(t), LEFT + PW, f.svgY(t), "#e0e0e0", 1);
    svg.line(LEFT - 5, f.svgY(t), LEFT, f.svgY(t), "#222222", 1);
    svg.text(LEFT - 8, f.svgY(t) + 4, tickText(t, f.ay.step), 12, Anchor::End);
  }
  svg.rect(LEFT, TOP, PW, PH, "#222222", "none");
  svg.text(LEFT + PW / 2, H - 16, "1000 / T  (1/K)", 14, Anchor::Middle);
  svg.text(22, TOP + PH / 2, "log10 k  (k in " + rateUnits(r.molecularity, 2) + " at P0 = 1e5 Pa)",
           14, Anchor::Middle, -90);
}

// Each run of each curve as a line; solid curves also get a filled circle at
// each point when there are few enough points.
void drawCurves(Svg &svg, const Frame &f, const std::vector<Series> &curves, bool markers) {
  for (const Series &s : curves)
    for (const auto &run : s.runs) {
      Points px;
      px.reserve(run.size());
      for (const auto &[x, y] : run)
        px.emplace_back(f.svgX(x), f.svgY(y));
      svg.polyline(px, s.colour, 2.0, s.dash);
      if (markers && s.dash.empty())
        for (const auto &[x, y] : px)
          svg.circle(x, y, 3.0, s.colour);
    }
}

// A measured point: an open square, apart from the curves' filled circles.
void measuredMark(Svg &svg, double x, double y) {
  constexpr double SQUARE = 7.0;
  svg.rect(x - SQUARE / 2, y - SQUARE / 2, SQUARE, SQUARE, "#000000", "none");
}

// Places on the page in cells of CELL x CELL SVG units: a mark in the cell of
// one drawn before it (in the file's order) would hide under that one, so two
// million measured points make no larger a plot than the page holds cells.
class PlacesDrawn {
public:
  // True the first time the cells of these SVG coordinates are asked for.
  bool first(double a, double b, double c = 0.0) {
    return cells_.insert({cell(a), cell(b), cell(c)}).second;
  }

private:
  static constexpr double CELL = 2.0; // SVG units, under a third of a measured square's side
  static std::int64_t cell(double v) { return static_cast<std::int64_t>(std::floor(v / CELL)); }
  std::set<std::array<std::int64_t, 3>> cells_;
};

// The measured points, each square drawn once for its place on the page.
void drawMeasured(Svg &svg, const Frame &f, const Points &measured) {
  PlacesDrawn drawn;
  for (const auto &[x, y] : measured) {
    const double sx = f.svgX(x), sy = f.svgY(y);
    if (drawn.first(sx, sy))
      measuredMark(svg, sx, sy);
  }
}

// A rectangle in SVG units.
struct Box {
  double x0, y0, x1, y1;
  bool holds(double x, double y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// True when the segment from p to q passes through the box (Liang-Barsky).
bool crosses(const Box &b, std::pair<double, double> p, std::pair<double, double> q) {
  double t0 = 0.0, t1 = 1.0;
  const double dx = q.first - p.first, dy = q.second - p.second;
  const double edges[4][2] = {
      {-dx, p.first - b.x0}, {dx, b.x1 - p.first}, {-dy, p.second - b.y0}, {dy, b.y1 - p.second}};
  for (const auto &[d, room] : edges) {
    if (d == 0.0) {
      if (room < 0.0)
        return false;
      continue;
    }
    const double t = room / d;
    if (d < 0.0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1)
      return false;
  }
  return true;
}

// What the plot draws inside its frame, in SVG units: each curve's segments
// and each measured mark with its bar, as segments.
std::vector<std::pair<Points::value_type, Points::value_type>>
drawnSegments(const Frame &f, const std::vector<Series> &curves, const Points &measured,
              const std::vector<ErrorBar> &bars) {
  std::vector<std::pair<Points::value_type, Points::value_type>> segments;
  for (const Series &s : curves)
    for (const auto &run : s.runs)
      for (std::size_t i = 0; i < run.size(); ++i) {
        const Points::value_type a{f.svgX(run[i].first), f.svgY(run[i].second)};
        const auto &next = run[i + 1 < run.size() ? i + 1 : i];
        segments.push_back({a, {f.svgX(next.first), f.svgY(next.second)}});
      }
  for (const auto &[x, y] : measured)
    segments.push_back({{f.svgX(x), f.svgY(y) - 4}, {f.svgX(x), f.svgY(y) + 4}});
  for (const ErrorBar &b : bars)
    segments.push_back(
        {{f.svgX(b.x), f.svgY(b.yhi)}, {f.svgX(b.x), b.ylo ? f.svgY(*b.ylo) : TOP + PH}});
  return segments;
}

// The legend's size in SVG units.
constexpr double LEGEND_W = 250, LEGEND_ROW = 22;
double legendHeight(std::size_t entries) {
  return LEGEND_ROW * static_cast<double>(entries) + 10;
}

// Where the legend goes: the first corner of the plotting area (upper right,
// where k falling from high T on the left to low T on the right usually
// leaves room, then upper left, lower left, lower right) that no curve or
// measured point passes through; nullopt when every corner is taken, and the
// legend goes under the plot.
std::optional<std::pair<double, double>>
legendCorner(const std::vector<std::pair<Points::value_type, Points::value_type>> &drawn,
             double lh) {
  constexpr double GAP = 10, CLEAR = 4;
  const double right = LEFT + PW - LEGEND_W - GAP, bottom = TOP + PH - lh - GAP;
  const std::pair<double, double> corners[] = {
      {right, TOP + GAP}, {LEFT + GAP, TOP + GAP}, {LEFT + GAP, bottom}, {right, bottom}};
  for (const auto &[x, y] : corners) {
    const Box box{x - CLEAR, y - CLEAR, x + LEGEND_W + CLEAR, y + lh + CLEAR};
    if (std::none_of(drawn.begin(), drawn.end(),
                     [&](const auto &s) { return crosses(box, s.first, s.second); }))
      return std::pair{x, y};
  }
  return std::nullopt;
}

// The bars of the measured points, with short caps at the ends they have.
void drawErrorBars(Svg &svg, const Frame &f, const std::vector<ErrorBar> &bars) {
  constexpr double CAP = 3.0;
  PlacesDrawn drawn; // each bar once for its place, as the squares
  for (const ErrorBar &b : bars) {
    const double x = f.svgX(b.x), top = f.svgY(b.yhi);
    const double bottom = b.ylo ? f.svgY(*b.ylo) : TOP + PH;
    if (!drawn.first(x, top, bottom))
      continue;
    svg.line(x, top, x, bottom, "#000000", 1.0);
    svg.line(x - CAP, top, x + CAP, top, "#000000", 1.0);
    if (b.ylo)
      svg.line(x - CAP, bottom, x + CAP, bottom, "#000000", 1.0);
  }
}

// The legend at (lx, ly), its upper left corner.
void drawLegend(Svg &svg, const std::vector<Series> &curves, bool measured, double lx, double ly) {
  const std::size_t entries = curves.size() + (measured ? 1 : 0);
  svg.rect(lx, ly, LEGEND_W, legendHeight(entries), "#999999", "white");
  for (std::size_t i = 0; i < curves.size(); ++i) {
    const double y = ly + 18 + LEGEND_ROW * static_cast<double>(i);
    svg.line(lx + 10, y - 4, lx + 40, y - 4, curves[i].colour, 2.0, curves[i].dash);
    svg.text(lx + 48, y, curves[i].label, 12);
  }
  if (measured) {
    const double y = ly + 18 + LEGEND_ROW * static_cast<double>(curves.size());
    measuredMark(svg, lx + 25, y - 4);
    svg.text(lx + 48, y, "measured", 12);
  }
}

} // namespace

std::string arrheniusPlotSvg(const ScanResult &r) {
  if (!r.hasRates)
    throw Error("--plot: the job has no transition state, so there is no rate constant to plot");

  std::vector<Series> all = rateCurves(r);
  Extent e = extentOf(all);
  if (r.fits) {
    all.push_back(fitCurve(*r.fits, e.xlo, e.xhi));
    for (const auto &[x, y] : all.back().runs.back())
      e.takeY(y);
  }
  // Measured points outside the scan widen the axes; the fit stays on the scan's range.
  const Points measured = r.measured ? measuredPoints(*r.measured) : Points();
  for (const auto &[x, y] : measured)
    e.take(x, y);
  const std::vector<ErrorBar> bars = r.measured ? errorBars(*r.measured) : std::vector<ErrorBar>();
  for (const ErrorBar &b : bars) {
    e.takeY(b.yhi);
    if (b.ylo)
      e.takeY(*b.ylo);
  }

  const Frame frame{dataAxis(e.xlo, e.xhi, 6), niceAxis(e.ylo, e.yhi, 6)};
  const double lh = legendHeight(all.size() + (measured.empty() ? 0 : 1));
  const auto corner = legendCorner(drawnSegments(frame, all, measured, bars), lh);
  // No corner free: the legend under the plot, the page taller by it.
  Svg svg(W, corner ? H : H + lh + 10);
  drawAxes(svg, frame, r);
  drawCurves(svg, frame, all, r.points.size() <= 40);
  drawErrorBars(svg, frame, bars);
  drawMeasured(svg, frame, measured);
  const auto [lx, ly] = corner.value_or(std::pair{LEFT, H});
  drawLegend(svg, all, !measured.empty(), lx, ly);
  return svg.str();
}

} // namespace orvalen::scan
