// Molecule names in orvalen-scan's outputs: the job input cuts a name to 20
// bytes, which may split a UTF-8 character, and a name may hold bytes that
// are not UTF-8, commas and quotes. JSON and SVG stay valid UTF-8 (the JSON
// reader and rsvg-convert check), CSV rows keep their cells (RFC 4180).

#include "scan_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace orvalen::test {
namespace {

using nlohmann::json;

// 19 letters and "Å" (C3 85): the 20-byte cut keeps only the first byte of Å.
const std::string CUT = "ABCDEFGHIJKLMNOPQRS\xc3\x85";
const std::string QUOTED = "A,\"B\"";
const std::string STRAY = "X\xffY";
const std::string FFFD = "\xef\xbf\xbd";

// The names as the outputs show them, and the title they make.
const std::vector<std::string> SHOWN = {"ABCDEFGHIJKLMNOPQRS", "A,\"B\"", "H2O", "CH3",
                                        "X" + FFFD + "Y"};
const std::string TITLE = "ABCDEFGHIJKLMNOPQRS + A,\"B\" -> X" + FFFD + "Y"; // the report's
const std::string HEADING = "ABCDEFGHIJKLMNOPQRS + A,\"B\" -> H2O + CH3 via X" + FFFD + "Y";

void writeNamesJob(const TempDir &dir) {
  copyJobFolder("examples/oh_ch4", dir.path());
  dir.write("names.inp", "REACT " + CUT + " oh.dat\nREACT " + QUOTED + " ch4.dat ROTNUM=12\nTS " +
                             STRAY +
                             " ts1.dat MULT=2\nPROD H2O h2o.dat\nPROD CH3 ch3.dat MULT=2\n");
}

// The cells of one CSV record (RFC 4180: quoted cells, "" a quote inside).
std::vector<std::string> csvRecord(const std::string &line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      cells.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      cells.emplace_back();
    } else {
      cells.back() += c;
    }
  }
  return cells;
}

const std::string ARGS = "names -T 300,600,1000 --fit";

TEST(ScanNames, JsonIsValidUtf8WithTheNamesCutAtWholeCharacters) {
  TempDir dir;
  writeNamesJob(dir);
  const RunResult r = runScanBinary(dir.path(), ARGS + " --format json -o k.json");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const json j = json::parse(dir.read("k.json")); // throws on bytes that are not UTF-8
  EXPECT_EQ(j["reaction"], TITLE);
  EXPECT_EQ(j["title"], HEADING);
  EXPECT_EQ(
      j["fit"]["chemkin"].get<std::string>().rfind("ABCDEFGHIJKLMNOPQRS+A,\"B\"=>H2O+CH3 ", 0), 0u);
  for (const json &p : j["temperatures"]) {
    std::vector<std::string> names;
    for (const json &m : p["molecules"])
      names.push_back(m["name"]);
    EXPECT_EQ(names, SHOWN);
  }
}

TEST(ScanNames, CsvQuotesTheCellsThatNeedItAndKeepsEveryRowWhole) {
  TempDir dir;
  writeNamesJob(dir);
  const RunResult r = runScanBinary(dir.path(), ARGS + " --format csv");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const auto lines = linesOf(r.stdoutText);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NE(lines[0].find(",\"A,\"\"B\"\" Qtot ()\","), std::string::npos) << lines[0];
  const auto head = csvRecord(lines[0]);
  for (const std::string &name : SHOWN)
    EXPECT_NE(std::find(head.begin(), head.end(), name + " Gtot (kJ/mol)"), head.end()) << name;
  for (std::size_t i = 1; i < lines.size(); ++i)
    EXPECT_EQ(csvRecord(lines[i]).size(), head.size()) << lines[i];
}

TEST(ScanNames, SvgIsWellFormedXml) {
  TempDir dir;
  writeNamesJob(dir);
  const RunResult r = runScanBinary(dir.path(), ARGS + " --plot k.svg");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(linesOf(r.stdoutText).at(0), HEADING + "   (names.inp, P = 101325 Pa)");
  const std::string svg = dir.read("k.svg");
  EXPECT_NE(svg.find(">Arrhenius plot: ABCDEFGHIJKLMNOPQRS + A,&quot;B&quot; -&gt; H2O + CH3 "
                     "via X" +
                     FFFD + "Y</text>"),
            std::string::npos);
  // rsvg-convert parses the XML and refuses a document with stray bytes.
  const std::string cmd = "rsvg-convert -o " + shellQuote((dir / "k.png").string()) + " " +
                          shellQuote((dir / "k.svg").string()) + " 2>/dev/null";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << "rsvg-convert could not read the plot";
}

} // namespace
} // namespace orvalen::test
