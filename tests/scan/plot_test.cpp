// The SVG writer and the Arrhenius plot: axes, escaping, and a picture that
// rsvg-convert renders.

#include "scan_support.hpp"

#include "scan/plot.hpp"
#include "scan/svg.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <sstream>

namespace orvalen::test {
namespace {

using scan::Axis;
using scan::niceAxis;

TEST(PlotAxis, StepsOfOneTwoOrFive) {
  struct Case {
    double lo, hi;
    int target;
    double alo, ahi, step;
  };
  const Case cases[] = {
      {0.5, 4.0, 6, 0.0, 4.0, 1.0}, // 1000/T for 250..2000 K
      {-15.2, -10.1, 6, -16.0, -10.0, 1.0},   {0.51, 0.59, 5, 0.5, 0.6, 0.02},
      {-40.3, -11.9, 5, -50.0, -10.0, 10.0},  // 28.4/5 = 5.7: the next step is 10
      {3.0, 3.0, 5, 2.4, 3.6, 0.2},           // one point: 2.5 to 3.5, widened to steps of 0.2
      {100.0, 1000.0, 4, 0.0, 1000.0, 500.0}, // 900/4 = 225: 500, not 200
  };
  for (const Case &c : cases) {
    const Axis a = niceAxis(c.lo, c.hi, c.target);
    EXPECT_DOUBLE_EQ(a.step, c.step) << c.lo << " " << c.hi;
    EXPECT_NEAR(a.lo, c.alo, 1e-12) << c.lo;
    EXPECT_NEAR(a.hi, c.ahi, 1e-12) << c.hi;
    ASSERT_FALSE(a.ticks.empty());
    EXPECT_NEAR(a.ticks.front(), a.lo, 1e-12);
    EXPECT_NEAR(a.ticks.back(), a.hi, 1e-9);
    EXPECT_LE(a.lo, c.lo);
    EXPECT_GE(a.hi, c.hi);
  }
}

// The x axis (1000/T) starts at the data, 4 % of its span beyond each end,
// with the ticks of the nice axis that fall inside.
TEST(PlotAxis, DataAxisStartsAtTheData) {
  struct Case {
    double lo, hi;
    int target;
    double alo, ahi;
    std::vector<double> ticks;
  };
  const Case cases[] = {
      {0.5, 4.0, 6, 0.36, 4.14, {1.0, 2.0, 3.0, 4.0}}, // 250..2000 K: not from 0
      {0.4, 0.5, 5, 0.396, 0.504, {0.4, 0.42, 0.44, 0.46, 0.48, 0.5}},
      {3.0, 3.0, 5, 2.85, 3.15, {2.9, 3.0, 3.1}}, // one value: 5 % of it each side
  };
  for (const Case &c : cases) {
    const Axis a = scan::dataAxis(c.lo, c.hi, c.target);
    EXPECT_NEAR(a.lo, c.alo, 1e-12) << c.lo;
    EXPECT_NEAR(a.hi, c.ahi, 1e-12) << c.hi;
    ASSERT_EQ(a.ticks.size(), c.ticks.size()) << c.lo;
    for (std::size_t i = 0; i < c.ticks.size(); ++i)
      EXPECT_NEAR(a.ticks[i], c.ticks[i], 1e-12) << c.lo;
  }
}

TEST(Svg, EscapesTextAndWritesWholeDocument) {
  EXPECT_EQ(scan::xmlEscaped("A<B & \"C\" > 'D'\x01"),
            "A&lt;B &amp; &quot;C&quot; &gt; &apos;D&apos; ");
  scan::Svg svg(100, 50);
  svg.text(10, 20, "k <T>", 12, scan::Anchor::Middle, -90);
  svg.polyline({{0, 0}, {1.005, std::nan("")}}, "red", 2, "4 2");
  const std::string doc = svg.str();
  EXPECT_EQ(doc.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  EXPECT_NE(doc.find(">k &lt;T&gt;</text>"), std::string::npos);
  EXPECT_NE(doc.find("transform=\"rotate(-90.00 10.00 20.00)\""), std::string::npos);
  EXPECT_NE(doc.find("points=\"0.00,0.00 1.00,0.00\""), std::string::npos); // NaN never written
  EXPECT_NE(doc.find("stroke-dasharray=\"4 2\""), std::string::npos);
  EXPECT_EQ(doc.substr(doc.size() - 7), "</svg>\n");
}

std::vector<std::pair<double, double>> polylinePoints(const std::string &svg, std::size_t n) {
  std::vector<std::pair<double, double>> pts;
  std::size_t pos = 0;
  for (std::size_t i = 0; i <= n; ++i)
    pos = svg.find("<polyline", pos + 1);
  const std::size_t start = svg.find("points=\"", pos) + 8;
  std::istringstream s(svg.substr(start, svg.find('"', start) - start));
  for (std::string xy; s >> xy;) {
    const auto comma = xy.find(',');
    pts.emplace_back(std::stod(xy.substr(0, comma)), std::stod(xy.substr(comma + 1)));
  }
  return pts;
}

TEST(Plot, RendersWithEveryCurveAndLegend) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult r = runScanBinary(
      dir.path(), "oh_ch4 -T 250:2000:50 --tunnelling eckart --fit --plot k.svg -o k.txt");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const std::string svg = dir.read("k.svg");
  for (const char *text : {"Arrhenius plot: OH + CH4 -&gt; H2O + CH3 via TS1", "1000 / T  (1/K)",
                           "log10 k  (k in cm3/molecule/s at P0 = 1e5 Pa)", "kQ, no tunnelling",
                           "kQ \u00d7 Wigner", "kQ \u00d7 parabolic", "kQ \u00d7 Skodje-Truhlar",
                           "kQ \u00d7 Eckart", "fit of k: A (T/1 K)^n exp(-Ea/RT)"})
    EXPECT_NE(svg.find(text), std::string::npos) << text;
  // Five curves and the fit; the parabolic one only where u = h nu/kT < 2 pi:
  // above 1536 cm-1 * 1.438777 K cm / 2 pi = 351.7 K, so from 400 K.
  std::size_t polylines = 0;
  for (std::size_t p = svg.find("<polyline"); p != std::string::npos;
       p = svg.find("<polyline", p + 1))
    ++polylines;
  EXPECT_EQ(polylines, 6u);
  EXPECT_EQ(polylinePoints(svg, 0).size(), 36u); // kQ: every temperature
  EXPECT_EQ(polylinePoints(svg, 2).size(), 33u); // parabolic: 400 to 2000 K
  // k falls with 1/T: down the picture (SVG y grows downwards) from left to right.
  const auto kq = polylinePoints(svg, 0);
  // The x axis runs from 0.36 to 4.14 (the data 0.5 to 4, and 0.14 each
  // side) over 656 units from 80: 2000 K at 80 + 0.14/3.78*656 = 104.30,
  // 250 K at 711.70; its ticks 1 to 4, no 0.
  ASSERT_FALSE(kq.empty());
  EXPECT_NEAR(kq.back().first, 104.30, 0.006);
  EXPECT_NEAR(kq.front().first, 711.70, 0.006);
  const std::regex xTick(
      R"re(<text x="[0-9.]+" y="458.00" font-size="12.00" text-anchor="middle">([^<]*)</text>)re");
  std::vector<std::string> ticks;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), xTick); it != std::sregex_iterator();
       ++it)
    ticks.push_back((*it)[1]);
  EXPECT_EQ(ticks, (std::vector<std::string>{"1", "2", "3", "4"}));
  for (std::size_t i = 1; i < kq.size(); ++i) {
    EXPECT_LT(kq[i].first, kq[i - 1].first); // 1000/T falls as T rises
    EXPECT_LT(kq[i].second, kq[i - 1].second);
  }

  const std::string cmd = "rsvg-convert -o " + shellQuote((dir / "k.png").string()) + " " +
                          shellQuote((dir / "k.svg").string());
  ASSERT_EQ(std::system(cmd.c_str()), 0) << "rsvg-convert could not render the plot";
  const std::string png = dir.read("k.png");
  ASSERT_GT(png.size(), 10000u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

// The numbers of each element `tag` whose attributes hold `attribute`, in
// the order of `names` ("x", "y", "width", "height"), one vector per element.
std::vector<std::vector<double>> elements(const std::string &svg, const std::string &tag,
                                          const std::string &attribute,
                                          const std::vector<std::string> &names) {
  std::vector<std::vector<double>> found;
  for (std::size_t at = svg.find("<" + tag + " "); at != std::string::npos;
       at = svg.find("<" + tag + " ", at + 1)) {
    const std::string element = svg.substr(at, svg.find("/>", at) - at);
    if (element.find(attribute) == std::string::npos)
      continue;
    std::vector<double> values;
    for (const std::string &name : names) {
      const std::size_t v = element.find(" " + name + "=\"") + name.size() + 3;
      values.push_back(std::stod(element.substr(v, element.find('"', v) - v)));
    }
    found.push_back(values);
  }
  return found;
}

// Every point of every curve, and ten points along each of its segments.
std::vector<std::pair<double, double>> curvePoints(const std::string &svg) {
  std::vector<std::pair<double, double>> points;
  std::size_t count = 0;
  for (std::size_t p = svg.find("<polyline"); p != std::string::npos;
       p = svg.find("<polyline", p + 1))
    ++count;
  for (std::size_t n = 0; n < count; ++n) {
    const auto run = polylinePoints(svg, n);
    for (std::size_t i = 0; i + 1 < run.size(); ++i)
      for (int k = 0; k <= 10; ++k)
        points.emplace_back(run[i].first + (run[i + 1].first - run[i].first) * k / 10.0,
                            run[i].second + (run[i + 1].second - run[i].second) * k / 10.0);
  }
  return points;
}

// The legend covers no curve and no measured point: in a corner that the
// data leave free, else under the plot (the page taller by it).
TEST(Plot, TheLegendHidesNoCurveAndNoMeasuredPoint) {
  struct Case {
    const char *what;
    const char *measured; // m.txt, or nullptr
    bool under;           // no corner free
  };
  const Case cases[] = {
      {"the curves alone", nullptr, false},
      // k at 250 K is some 1e-14 cm3/molecule/s: 1e-8 there is the upper right.
      {"a measured point in the upper right corner", "250 1e-8\n", false},
      // And the lower left (2000 K) and lower right (260 K) taken too, the
      // axis reaching down to 1e-22 at 500 K (between the corners); the curves
      // run through the upper left.
      {"measured points in three corners", "250 1e-8\n2000 1e-19\n260 1e-19\n500 1e-22\n", true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    copyJobFolder("examples/oh_ch4", dir.path());
    std::string args = "oh_ch4 -T 250:2000:50 --tunnelling eckart --fit --plot k.svg -o k.txt";
    if (c.measured) {
      dir.write("m.txt", c.measured);
      args += " --measured m.txt";
    }
    const RunResult r = runScanBinary(dir.path(), args);
    ASSERT_EQ(r.status, 0) << r.stderrText;
    const std::string svg = dir.read("k.svg");
    const auto legend = elements(svg, "rect", "stroke=\"#999999\"", {"x", "y", "width", "height"});
    ASSERT_EQ(legend.size(), 1u);
    const double x0 = legend[0][0], y0 = legend[0][1];
    const double x1 = x0 + legend[0][2], y1 = y0 + legend[0][3];
    const auto inside = [&](double x, double y) {
      return x >= x0 && x <= x1 && y >= y0 && y <= y1;
    };
    for (const auto &[x, y] : curvePoints(svg))
      EXPECT_FALSE(inside(x, y)) << "a curve under the legend at " << x << ", " << y;
    for (const auto &m : elements(svg, "rect", "fill=\"none\"", {"x", "y", "width", "height"})) {
      const double cx = m[0] + m[2] / 2, cy = m[1] + m[3] / 2;
      if (m[2] > 10 || std::abs(cx - (x0 + 25)) < 0.01) // the frame, the legend's own sample
        continue;
      EXPECT_FALSE(inside(cx, cy)) << "a measured point under the legend at " << cx << ", " << cy;
    }
    // The page is 500 high; a legend under the plot makes it taller.
    const double height = elements(svg, "svg", "viewBox", {"height"}).at(0).at(0);
    EXPECT_EQ(height > 500.0, c.under) << height;
    EXPECT_EQ(y0 >= 500.0 - 62.0, c.under) << y0; // below the plotting area's bottom (438)
  }
}

// A measured point's uncertainty as a vertical bar through its square: a
// factor of 2 reaches log10(2) above and below it, an absolute one farther
// down than up.
TEST(Plot, MeasuredUncertaintiesAreErrorBars) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  dir.write("m.txt", "# T/K k factor\n300 6.4e-15 2\n1000 1.0e-12 +-0.5e-12\n");
  const RunResult r = runScanBinary(
      dir.path(),
      "oh_ch4 -T 300:1000:100 --tunnelling eckart --measured m.txt --plot k.svg -o k.txt");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const std::string svg = dir.read("k.svg");
  const auto marks = elements(svg, "rect", "fill=\"none\"", {"x", "y", "width"});
  const auto lines = elements(svg, "line", "stroke=\"#000000\"", {"x1", "y1", "x2", "y2"});
  std::size_t bars = 0;
  for (const auto &m : marks) {
    if (m[2] > 10)
      continue;
    const double cx = m[0] + m[2] / 2, cy = m[1] + m[2] / 2;
    for (const auto &l : lines) {
      if (std::abs(l[0] - cx) > 0.01 || std::abs(l[2] - cx) > 0.01)
        continue; // not a vertical line through the mark
      ++bars;
      const double up = cy - std::min(l[1], l[3]), down = std::max(l[1], l[3]) - cy;
      EXPECT_GT(up, 0.0);
      EXPECT_GT(down, 0.0);
      // k 6.4e-15 times or over 2: log10(2) each way. 1e-12 +- 0.5e-12: up
      // log10(1.5) = 0.176, down log10(2) = 0.301 (k/2).
      const double ratio = down / up;
      EXPECT_TRUE(std::abs(ratio - 1.0) < 0.01 || std::abs(ratio - 0.30103 / 0.176091) < 0.01)
          << ratio;
    }
  }
  EXPECT_EQ(bars, 2u);
}

// The treatment beyond the harmonic oscillator in effect is said under the title.
TEST(Plot, TheOptionsInEffectAreTheSubtitle) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  ASSERT_EQ(runScanBinary(dir.path(), "oh_ch4 -T 300:600:100 --plot a.svg -o a.txt").status, 0);
  ASSERT_EQ(runScanBinary(dir.path(), "oh_ch4 -T 300:600:100 --qrrho grimme --plot b.svg -o b.txt")
                .status,
            0);
  EXPECT_EQ(dir.read("a.svg").find("Options:"), std::string::npos);
  const std::string svg = dir.read("b.svg");
  const std::string options = ">Options: " + linesOf(dir.read("b.txt")).at(2).substr(9) + "<";
  EXPECT_EQ(options.rfind(">Options: --qrrho grimme ", 0), 0u) << options;
  EXPECT_NE(svg.find(options), std::string::npos) << options;
}

// Each measured square is drawn once for its place on the page: 200,000
// points on three places make three squares (and the legend's), so the plot
// of a huge file stays the size of the page.
TEST(Plot, MeasuredPointsAreDrawnOncePerPlace) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  std::string points;
  for (int i = 0; i < 200000; ++i)
    points += i % 3 == 0 ? "300 6.4e-15\n" : i % 3 == 1 ? "1000 1.1e-12\n" : "1500 4e-12\n";
  dir.write("m.txt", points);
  const RunResult r =
      runScanBinary(dir.path(), "oh_ch4 -T 250:2000:50 --measured m.txt --plot k.svg -o k.txt");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const std::string svg = dir.read("k.svg");
  std::size_t squares = 0;
  for (std::size_t p = svg.find("width=\"7.00\""); p != std::string::npos;
       p = svg.find("width=\"7.00\"", p + 1))
    ++squares;
  EXPECT_EQ(squares, 4u);
  EXPECT_LT(svg.size(), 100000u);
}

TEST(Plot, TheNameEndsInSvgInAnyCase) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  for (const char *name : {"k.svg", "K.SVG", "k.Svg"}) {
    const RunResult r =
        runScanBinary(dir.path(), std::string("oh_ch4 -T 300,400 -o k.txt --plot ") + name);
    EXPECT_EQ(r.status, 0) << name << ": " << r.stderrText;
    EXPECT_EQ(dir.read(name).rfind("<?xml", 0), 0u) << name;
  }
  for (const char *name : {"k.png", "k.sv", "svg", "k.svg.txt"}) {
    const RunResult r = runScanBinary(dir.path(), std::string("oh_ch4 -T 300,400 --plot ") + name);
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_EQ(r.stderrText, "orvalen-scan: --plot \"" + std::string(name) +
                                "\": the plot is written as SVG; give a name ending in .svg\n");
    EXPECT_EQ(r.stdoutText, "");
    EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
  }
}

TEST(Plot, RefusedWithoutRateConstant) {
  TempDir dir;
  copyJobFolder("tests/e2e/jobs/no_ts", dir.path());
  const RunResult r = runScanBinary(dir.path(), "no_ts -T 300,400 --plot k.svg");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.stderrText, "orvalen-scan: --plot: the job has no transition state, so there is no "
                          "rate constant to plot\n");
}

} // namespace
} // namespace orvalen::test
