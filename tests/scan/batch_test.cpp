// The batch commands of docs/orvalen-scan.md, run as written on three copies of an example:
// GNU parallel runs the jobs, jq and Python gather their JSON into one table.

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace orvalen {
namespace {

namespace fs = std::filesystem;

// The lines of the sh code blocks of one section of docs/orvalen-scan.md.
std::vector<std::string> commandsOf(const std::string &section) {
  std::ifstream in(fs::path(ORVALEN_SOURCE_DIR) / "docs" / "orvalen-scan.md");
  std::vector<std::string> commands;
  std::string line, current;
  bool inSection = false, inBlock = false;
  while (std::getline(in, line)) {
    if (line.starts_with("## "))
      inSection = line == "## " + section;
    if (!inSection)
      continue;
    if (line.starts_with("```")) {
      inBlock = line == "```sh";
      continue;
    }
    if (!inBlock || line.starts_with("#"))
      continue;
    current += line;
    if (line.ends_with("\\")) {
      current.pop_back();
      continue;
    }
    commands.push_back(current);
    current.clear();
  }
  return commands;
}

std::vector<std::string> lines(const std::string &text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    v.push_back(l);
  return v;
}

TEST(Batch, TheDocumentedCommandsRunManyJobsAndGatherOneTable) {
  const auto commands = commandsOf("Many reactions at once");
  auto find = [&](const std::string &start) {
    for (const auto &c : commands)
      if (c.starts_with(start))
        return c;
    ADD_FAILURE() << "no command beginning " << start;
    return std::string("false");
  };
  const std::string parallel = find("ls runs/*/*.inp | parallel"), jq = find("jq "),
                    python = find("python3 ");
  for (const char *tool : {"parallel", "jq", "python3"})
    if (std::system((std::string("command -v ") + tool + " >/dev/null").c_str()) != 0)
      GTEST_SKIP() << tool << " is not installed (tools/install_deps.sh installs it)";

  test::TempDir dir;
  const fs::path example = fs::path(ORVALEN_SOURCE_DIR) / "examples" / "oh_ch4";
  for (const char *run : {"a", "b", "c"}) {
    fs::create_directories(dir / "runs" / run);
    for (const auto &f : fs::directory_iterator(example))
      if (f.path().extension() == ".dat" || f.path().extension() == ".inp")
        fs::copy_file(f.path(), dir / "runs" / run / f.path().filename());
  }
  // The programs as the page calls them: from the PATH.
  const std::string path = "PATH=" +
                           test::shellQuote(fs::path(ORVALEN_BINARY).parent_path().string() + ":" +
                                            fs::path(ORVALEN_SCAN_BINARY).parent_path().string()) +
                           ":$PATH; ";
  const auto run = test::runProgram("sh", dir.path(), "-c " + test::shellQuote(path + parallel));
  ASSERT_EQ(run.status, 0) << run.stderrText;
  for (const char *r : {"a", "b", "c"}) {
    EXPECT_TRUE(fs::exists(dir / "runs" / r / "oh_ch4.out")) << r;
    EXPECT_TRUE(fs::exists(dir / "runs" / r / "oh_ch4.json")) << r;
  }

  std::vector<std::vector<std::string>> tables;
  for (const std::string &gather : {jq, python}) {
    const auto g = test::runProgram("sh", dir.path(), "-c " + test::shellQuote(gather));
    ASSERT_EQ(g.status, 0) << gather << ": " << g.stderrText;
    tables.push_back(lines(dir.read("k.tsv")));
  }
  // Three jobs, 13 temperatures each (300 to 1500 K by 100), file, T and k a row.
  ASSERT_EQ(tables[0].size(), 39u);
  EXPECT_EQ(tables[0].front().substr(0, 22), "runs/a/oh_ch4.json\t300");
  EXPECT_EQ(tables[0].back().substr(0, 23), "runs/c/oh_ch4.json\t1500");
  ASSERT_EQ(tables[1].size(), tables[0].size());
  for (std::size_t k = 0; k < tables[0].size(); ++k) {
    // The same file and k; jq and Python print the temperature 300.0 as 300 and 300.0.
    const auto col = [](const std::string &row, int n) {
      std::istringstream in(row);
      std::string cell;
      for (int i = 0; i <= n; ++i)
        std::getline(in, cell, '\t');
      return cell;
    };
    EXPECT_EQ(col(tables[0][k], 0), col(tables[1][k], 0));
    EXPECT_DOUBLE_EQ(std::stod(col(tables[0][k], 1)), std::stod(col(tables[1][k], 1)));
    EXPECT_DOUBLE_EQ(std::stod(col(tables[0][k], 2)), std::stod(col(tables[1][k], 2)));
  }
}

} // namespace
} // namespace orvalen
