#include "scan/plot.hpp"

#include "base/error.hpp"
#include "scan/svg.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

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

} // namespace

std::string arrheniusPlotSvg(const ScanResult &r) {
  if (!r.hasRates)
    throw Error("--plot: the job has no transition state, so there is no rate constant to plot");

  std::vector<Series> all;
  for (const TunnellingMethod &m : TUNNELLING_METHODS)
    all.push_back(series(r, m));
  std::erase_if(all, [](const Series &s) { return s.runs.empty(); });
  if (all.empty())
    throw Error("--plot: no rate constant is a positive finite number");

  double xlo = std::numeric_limits<double>::infinity(), xhi = -xlo, ylo = xlo, yhi = -xlo;
  for (const Series &s : all)
    for (const auto &run : s.runs)
      for (const auto &[x, y] : run) {
        xlo = std::min(xlo, x);
        xhi = std::max(xhi, x);
        ylo = std::min(ylo, y);
        yhi = std::max(yhi, y);
      }
  if (r.fits) {
    Series fit{"fit of k: A (T/1 K)^n exp(-Ea/RT)", "#7f7f7f", "6 4", {{}}};
    constexpr int SAMPLES = 120;
    for (int i = 0; i <= SAMPLES; ++i) {
      const double x = xhi > xlo ? xlo + (xhi - xlo) * i / SAMPLES : xlo;
      const double k = fitValue(r.fits->modified, 1000.0 / x);
      if (k > 0.0 && std::isfinite(k))
        fit.runs.back().emplace_back(x, std::log10(k));
    }
    for (const auto &[x, y] : fit.runs.back()) {
      ylo = std::min(ylo, y);
      yhi = std::max(yhi, y);
    }
    all.push_back(std::move(fit));
  }
  // Measured points outside the scan widen the axes; the fit stays on the scan's range.
  std::vector<std::pair<double, double>> measured;
  if (r.measured)
    for (const MeasuredPoint &m : *r.measured) {
      measured.emplace_back(1000.0 / m.T, std::log10(m.k));
      xlo = std::min(xlo, measured.back().first);
      xhi = std::max(xhi, measured.back().first);
      ylo = std::min(ylo, measured.back().second);
      yhi = std::max(yhi, measured.back().second);
    }

  const Axis ax = dataAxis(xlo, xhi, 6);
  const Axis ay = niceAxis(ylo, yhi, 6);
  constexpr double W = 760, H = 500, LEFT = 80, RIGHT = 24, TOP = 44, BOTTOM = 62;
  const double pw = W - LEFT - RIGHT, ph = H - TOP - BOTTOM;
  const auto X = [&](double x) { return LEFT + (x - ax.lo) / (ax.hi - ax.lo) * pw; };
  const auto Y = [&](double y) { return TOP + (ay.hi - y) / (ay.hi - ay.lo) * ph; };

  Svg svg(W, H);
  svg.text(W / 2, 26, "Arrhenius plot: " + r.title, 16, Anchor::Middle);
  for (const double t : ax.ticks) {
    svg.line(X(t), TOP, X(t), TOP + ph, "#e0e0e0", 1);
    svg.line(X(t), TOP + ph, X(t), TOP + ph + 5, "#222222", 1);
    svg.text(X(t), TOP + ph + 20, tickText(t, ax.step), 12, Anchor::Middle);
  }
  for (const double t : ay.ticks) {
    svg.line(LEFT, Y(t), LEFT + pw, Y(t), "#e0e0e0", 1);
    svg.line(LEFT - 5, Y(t), LEFT, Y(t), "#222222", 1);
    svg.text(LEFT - 8, Y(t) + 4, tickText(t, ay.step), 12, Anchor::End);
  }
  svg.rect(LEFT, TOP, pw, ph, "#222222", "none");
  svg.text(LEFT + pw / 2, H - 16, "1000 / T  (1/K)", 14, Anchor::Middle);
  svg.text(22, TOP + ph / 2, "log10 k  (k in " + rateUnits(r.molecularity, 2) + " at P0 = 1e5 Pa)",
           14, Anchor::Middle, -90);

  const bool markers = r.points.size() <= 40;
  for (const Series &s : all)
    for (const auto &run : s.runs) {
      std::vector<std::pair<double, double>> px;
      px.reserve(run.size());
      for (const auto &[x, y] : run)
        px.emplace_back(X(x), Y(y));
      svg.polyline(px, s.colour, 2.0, s.dash);
      if (markers && s.dash.empty())
        for (const auto &[x, y] : px)
          svg.circle(x, y, 3.0, s.colour);
    }

  // Measured points: open squares, apart from the curves' filled circles.
  constexpr double SQUARE = 7.0;
  const auto square = [&](double x, double y) {
    svg.rect(x - SQUARE / 2, y - SQUARE / 2, SQUARE, SQUARE, "#000000", "none");
  };
  for (const auto &[x, y] : measured)
    square(X(x), Y(y));

  // Legend in the upper right corner: k falls from high T (left) to low T
  // (right), so the curves leave that corner free.
  const std::size_t entries = all.size() + (measured.empty() ? 0 : 1);
  const double lw = 250, lh = 22.0 * static_cast<double>(entries) + 10;
  const double lx = LEFT + pw - lw - 10, ly = TOP + 10;
  svg.rect(lx, ly, lw, lh, "#999999", "white");
  for (std::size_t i = 0; i < all.size(); ++i) {
    const double y = ly + 18 + 22.0 * static_cast<double>(i);
    svg.line(lx + 10, y - 4, lx + 40, y - 4, all[i].colour, 2.0, all[i].dash);
    svg.text(lx + 48, y, all[i].label, 12);
  }
  if (!measured.empty()) {
    const double y = ly + 18 + 22.0 * static_cast<double>(all.size());
    square(lx + 25, y - 4);
    svg.text(lx + 48, y, "measured", 12);
  }
  return svg.str();
}

} // namespace orvalen::scan
