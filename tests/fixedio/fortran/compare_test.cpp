// Field editing compared with the Fortran runtime: the same format texts and
// the same values go through our interpreter and through a small Fortran
// program (reference.f90), and the lines must agree character for character.
// The values are seeded random numbers plus the cases where field editing goes
// wrong most easily: exact rounding ties, the neighbours of decimal ties and of
// powers of ten, values that just fit or just overflow a field, signed zeros,
// subnormals, infinities and NaN.

#include "fixedio/format.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvalen::fixedio {
namespace {

// Change the seed to explore other values; every failure message names it.
constexpr std::uint64_t kSeed = 0x5eed2024;

// Only the raw output of mt19937_64 is fixed by the language standard (its
// distributions are not), so the values are drawn from the raw bits.
class Rng {
public:
  explicit Rng(std::uint64_t seed) : g_(seed) {}
  std::uint64_t bits() { return g_(); }
  std::int64_t between(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(bits() % static_cast<std::uint64_t>(hi - lo + 1));
  }
  bool coin() { return (bits() & 1) != 0; }
  template <class T> const T &pick(const std::vector<T> &v) {
    return v[static_cast<std::size_t>(between(0, static_cast<std::int64_t>(v.size()) - 1))];
  }

private:
  std::mt19937_64 g_;
};

double fromText(const std::string &s) {
  return std::strtod(s.c_str(), nullptr); // nearest double, C locale
}

std::string digitsText(Rng &rng, int n) { // n decimal digits, the first non-zero
  std::string s(1, static_cast<char>('1' + rng.between(0, 8)));
  while (static_cast<int>(s.size()) < n)
    s += static_cast<char>('0' + rng.between(0, 9));
  return s;
}

std::string shownReal(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g [%016llx]", x,
                static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(x)));
  return buf;
}

// ---- Values ----------------------------------------------------------------

void withNeighbours(std::vector<double> &out, double x) {
  out.push_back(x);
  out.push_back(std::nextafter(x, std::numeric_limits<double>::infinity()));
  out.push_back(std::nextafter(x, -std::numeric_limits<double>::infinity()));
}

std::vector<double> realValues(Rng &rng) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> v = {0.0,
                           -0.0,
                           inf,
                           -inf,
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::max(),
                           -std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(),
                           -std::numeric_limits<double>::denorm_min(),
                           1.0,
                           -1.0,
                           0.5,
                           0.125,
                           -0.125,
                           0.375,
                           2.5,
                           -0.0001,
                           1.5e-120,
                           6.02214e23,
                           1234.5678,
                           -76.123456789};

  // Exact binary ties at d decimals: m/2^(d+1) with m odd equals m*5^(d+1)/10^(d+1),
  // whose last digit is 5, so rounding to d decimals is a true tie.
  for (int d = 0; d <= 10; ++d)
    for (int i = 0; i < 16; ++i) {
      const std::int64_t scale = std::int64_t{1} << (d + 1);
      std::int64_t top = scale;
      for (int e = static_cast<int>(rng.between(0, 6)); e > 0; --e)
        top *= 10;
      const std::int64_t m = 2 * rng.between(0, top / 2) + 1;
      const double x = static_cast<double>(m) / static_cast<double>(scale);
      v.push_back(rng.coin() ? x : -x);
    }

  // Exact ties at p significant digits (the E fields show 4, 6 and 7): an integer
  // of p+1 digits ending in 5 times a power of ten that keeps it exact, and
  // m/2^j = m*5^j/10^j with m*5^j of p+1 digits (odd times 5^j ends in 5).
  for (int p = 1; p <= 10; ++p)
    for (int i = 0; i < 12; ++i) {
      const std::string n = digitsText(rng, p) + "5";
      const int room = 15 - (p + 1);
      const std::string e = std::to_string(room > 0 ? rng.between(0, room) : 0);
      v.push_back(fromText((rng.coin() ? "-" : "") + n + "e" + e));

      const int j = static_cast<int>(rng.between(1, 20));
      const long double lo = std::pow(10.0L, p) / std::pow(5.0L, j);
      const long double hi = std::pow(10.0L, p + 1) / std::pow(5.0L, j);
      const auto first = static_cast<std::int64_t>(std::ceil(lo));
      const auto last = static_cast<std::int64_t>(std::ceil(hi)) - 1;
      if (first <= last) {
        std::int64_t m = rng.between(first, last);
        if (m % 2 == 0)
          m = m + 1 <= last ? m + 1 : m - 1;
        if (m >= first && m % 2 != 0)
          v.push_back(std::ldexp(static_cast<double>(m), -j));
      }
    }

  // Decimal ties that binary cannot hold ("x.xx5"): the nearest double lies on
  // one side, and its neighbours on both.
  for (int d = 0; d <= 10; ++d)
    for (int i = 0; i < 10; ++i) {
      const std::string k = std::to_string(rng.between(0, 999999));
      withNeighbours(v, fromText(k + "5e-" + std::to_string(d + 1)));
    }
  for (int p = 1; p <= 10; ++p)
    for (int i = 0; i < 8; ++i)
      withNeighbours(v,
                     fromText(digitsText(rng, p) + "5e" + std::to_string(rng.between(-320, 300))));

  // Powers of ten and the values that carry into them (9.9995 -> 10.000).
  for (int k = -30; k <= 30; ++k)
    withNeighbours(v, fromText("1e" + std::to_string(k)));
  for (int k : {-310, -308, -300, -101, -100, -99, 99, 100, 101, 300, 308})
    withNeighbours(v, fromText("1e" + std::to_string(k)));
  for (int p = 1; p <= 10; ++p)
    for (int i = 0; i < 6; ++i) {
      const std::string nines(static_cast<std::size_t>(p), '9');
      const auto k = rng.between(-105, 105);
      withNeighbours(v, fromText((rng.coin() ? "-" : "") + nines + "5e" + std::to_string(k)));
    }

  // The widest values that fit each fixed-point field, and the first that do not:
  // w-d-1 nines before the point (w-d-2 when negative), then d nines and a 5.
  for (int w : {9, 10, 12, 15, 16, 20})
    for (int d : {2, 3, 4, 5, 6, 7, 8, 10}) {
      if (w - d - 2 < 1)
        continue;
      const std::string frac = std::string(static_cast<std::size_t>(d), '9') + "5";
      withNeighbours(v,
                     fromText(std::string(static_cast<std::size_t>(w - d - 1), '9') + "." + frac));
      withNeighbours(
          v, fromText("-" + std::string(static_cast<std::size_t>(w - d - 2), '9') + "." + frac));
    }

  // Log-uniform magnitudes over the range a report shows, both signs.
  for (int i = 0; i < 2000; ++i) {
    const std::string mant = digitsText(rng, static_cast<int>(rng.between(1, 17)));
    const std::string x =
        mant.substr(0, 1) + "." + mant.substr(1) + "e" + std::to_string(rng.between(-30, 30));
    v.push_back(fromText((rng.coin() ? "-" : "") + x));
  }
  // Any bit pattern at all: mostly huge and tiny magnitudes.
  for (int i = 0; i < 300; ++i)
    v.push_back(std::bit_cast<double>(rng.bits()));
  return v;
}

std::vector<std::int64_t> integerValues(Rng &rng) {
  std::vector<std::int64_t> v = {0,
                                 1,
                                 -1,
                                 9,
                                 -9,
                                 std::numeric_limits<std::int32_t>::max(),
                                 std::numeric_limits<std::int32_t>::min(),
                                 999999,
                                 std::numeric_limits<std::int64_t>::max(),
                                 std::numeric_limits<std::int64_t>::min(),
                                 std::numeric_limits<std::int64_t>::min() + 1};
  std::int64_t p = 1;
  for (int k = 1; k <= 18; ++k) {
    p *= 10;
    for (std::int64_t x : {p, p - 1, p + 1})
      v.insert(v.end(), {x, -x});
  }
  for (int i = 0; i < 600; ++i) {
    std::int64_t top = 1;
    for (int k = static_cast<int>(rng.between(1, 18)); k > 0; --k)
      top *= 10;
    const std::int64_t x = rng.between(0, top);
    v.push_back(rng.coin() ? x : -x);
  }
  return v;
}

std::string randomText(Rng &rng, int length) {
  std::string s;
  for (int i = 0; i < length; ++i) // printable ASCII, blanks and quotes included
    s += static_cast<char>(rng.between(32, 126));
  if (length > 1 && rng.between(0, 3) == 0)
    s[0] = ' ';
  if (length > 1 && rng.between(0, 3) == 0)
    s.back() = ' ';
  return s;
}

std::vector<std::string> textValues(Rng &rng) {
  std::vector<std::string> v = {"", "A", "OH", std::string(20, ' '), "ACETALDEHYDE_LONG_NA"};
  for (int length : {13, 14, 15, 16, 19, 20, 21, 255})
    v.push_back(randomText(rng, length));
  for (int i = 0; i < 300; ++i)
    v.push_back(randomText(rng, static_cast<int>(rng.between(0, 40))));
  return v;
}

// ---- Requests to the reference program ---------------------------------------

// One write: our format text and values, and the same for the Fortran runtime,
// which has no repeat counts fixed at the moment of writing ("<>"): there the
// counts are written into the text and left out of the values.
struct WriteCase {
  std::string format;
  std::vector<Value> values;
  std::string fortranFormat;
  std::vector<Value> fortranValues;
};

WriteCase plainCase(const std::string &format, std::vector<Value> values) {
  return {format, values, format, values};
}

std::string shownValue(const Value &v) {
  if (const auto *i = std::get_if<std::int64_t>(&v.get()))
    return std::to_string(*i);
  if (const auto *x = std::get_if<double>(&v.get()))
    return shownReal(*x);
  return "\"" + std::get<std::string>(v.get()) + "\"";
}

std::string writeRequest(const WriteCase &c) {
  std::string r = "W " + std::to_string(c.fortranValues.size()) + "\n" + c.fortranFormat + "\n";
  for (const Value &v : c.fortranValues) {
    if (const auto *i = std::get_if<std::int64_t>(&v.get())) {
      r += "I " + std::to_string(*i) + "\n";
    } else if (const auto *x = std::get_if<double>(&v.get())) {
      r += "R " + std::to_string(std::bit_cast<std::int64_t>(*x)) + "\n";
    } else {
      const std::string &s = std::get<std::string>(v.get());
      char head[16];
      std::snprintf(head, sizeof head, "A %3zu ", s.size());
      r += head + s + "\n";
    }
  }
  return r;
}

// Runs the reference program on the requests; one block of output lines per request.
std::vector<std::vector<std::string>> runReference(const std::string &requests, std::size_t count) {
  test::TempDir dir;
  dir.write("requests.txt", requests);
  auto quote = [](const std::string &s) {
    std::string q = "'";
    for (char c : s)
      q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  };
  const std::string cmd = quote(ORVALEN_FORTRAN_REFERENCE) + " " +
                          quote((dir / "requests.txt").string()) + " " +
                          quote((dir / "output.txt").string());
  const int status = std::system(cmd.c_str());
  std::vector<std::vector<std::string>> blocks;
  if (status != 0) {
    ADD_FAILURE() << "the reference program failed: " << cmd;
    return blocks;
  }
  std::istringstream in(dir.read("output.txt"));
  std::vector<std::string> block;
  for (std::string line; std::getline(in, line);) {
    if (line == "@@") {
      blocks.push_back(std::move(block));
      block.clear();
    } else {
      block.push_back(line);
    }
  }
  if (blocks.size() != count)
    ADD_FAILURE() << "the reference program answered " << blocks.size() << " of " << count
                  << " requests";
  return blocks;
}

std::string shownLines(const std::vector<std::string> &lines) {
  std::string s;
  for (const auto &l : lines)
    s += "\n      [" + l + "]";
  return lines.empty() ? "\n      (no line)" : s;
}

// Collects the differences of one comparison and prints the first of them.
class Differences {
public:
  void add(const std::string &what, const std::vector<std::string> &ours,
           const std::vector<std::string> &reference) {
    if (count_++ < kShown)
      text_ += what + "\n    ours:" + shownLines(ours) +
               "\n    reference:" + shownLines(reference) + "\n";
  }
  void expectNone(std::size_t compared) const {
    EXPECT_EQ(count_, 0u) << count_ << " of " << compared
                          << " cases differ from the Fortran runtime (seed " << kSeed
                          << "); the first ones:\n"
                          << text_;
  }

private:
  static constexpr std::size_t kShown = 25;
  std::size_t count_ = 0;
  std::string text_;
};

// The lines our interpreter writes; an exception becomes a line that cannot match.
std::vector<std::string> ourLines(const WriteCase &c) {
  try {
    return formatLines(c.format, c.values);
  } catch (const std::exception &e) {
    return {std::string("exception: ") + e.what()};
  }
}

// A single output field as its editor is called directly, for cross-checking
// the editors with the interpreter's result.
struct Field {
  char code; // I F E D A
  int w;
  int d = 0;
  int scale = 0;
};

std::string editDirect(const Field &f, const Value &v) {
  switch (f.code) {
  case 'I':
    return editI(std::get<std::int64_t>(v.get()), f.w);
  case 'F':
    return editF(std::get<double>(v.get()), f.w, f.d);
  case 'E':
  case 'D':
    return editE(std::get<double>(v.get()), f.w, f.d, f.scale, f.code);
  default:
    return editA(std::get<std::string>(v.get()), f.w);
  }
}

// Writes every value with every descriptor, through the interpreter and through
// the field editor, and compares both with the reference.
void compareFields(const std::vector<std::pair<std::string, Field>> &descriptors,
                   const std::vector<Value> &values) {
  std::vector<WriteCase> cases;
  std::vector<Field> fields;
  std::string requests;
  for (const auto &[format, field] : descriptors)
    for (const Value &v : values) {
      cases.push_back(plainCase(format, {v}));
      fields.push_back(field);
      requests += writeRequest(cases.back());
    }
  const auto reference = runReference(requests, cases.size());
  if (reference.size() != cases.size())
    return;
  Differences diff;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string what = cases[i].format + " of " + shownValue(cases[i].values[0]);
    const auto ours = ourLines(cases[i]);
    if (ours != reference[i]) {
      diff.add(what, ours, reference[i]);
      continue;
    }
    const std::vector<std::string> direct = {editDirect(fields[i], cases[i].values[0])};
    if (direct != reference[i])
      diff.add(what + " (field editor called directly)", direct, reference[i]);
  }
  diff.expectNone(cases.size());
}

TEST(FortranReference, FixedPointFieldsMatch) {
  Rng rng(kSeed);
  std::vector<Value> values;
  for (double x : realValues(rng))
    values.emplace_back(x);
  // The widths the report uses, then narrow ones where the leading 0 is dropped
  // and where infinities take their short forms or turn into asterisks.
  const std::vector<std::pair<std::string, Field>> descriptors = {
      {"(f9.2)", {'F', 9, 2}},   {"(f9.3)", {'F', 9, 3}},     {"(f9.4)", {'F', 9, 4}},
      {"(f10.2)", {'F', 10, 2}}, {"(f10.3)", {'F', 10, 3}},   {"(f10.4)", {'F', 10, 4}},
      {"(f12.2)", {'F', 12, 2}}, {"(f12.5)", {'F', 12, 5}},   {"(f12.6)", {'F', 12, 6}},
      {"(f15.2)", {'F', 15, 2}}, {"(f15.7)", {'F', 15, 7}},   {"(f15.8)", {'F', 15, 8}},
      {"(f16.8)", {'F', 16, 8}}, {"(f20.10)", {'F', 20, 10}}, {"(0pf12.5)", {'F', 12, 5}},
      {"(f4.3)", {'F', 4, 3}},   {"(f5.2)", {'F', 5, 2}},     {"(f3.1)", {'F', 3, 1}},
      {"(f2.1)", {'F', 2, 1}},   {"(f7.3)", {'F', 7, 3}},     {"(f8.3)", {'F', 8, 3}},
      {"(f6.0)", {'F', 6, 0}},
  };
  compareFields(descriptors, values);
}

TEST(FortranReference, ExponentFieldsMatch) {
  Rng rng(kSeed + 1);
  std::vector<Value> values;
  for (double x : realValues(rng))
    values.emplace_back(x);
  const std::vector<std::pair<std::string, Field>> descriptors = {
      {"(1pe12.3)", {'E', 12, 3, 1}}, {"(1pE12.5)", {'E', 12, 5, 1}},
      {"(1pE15.5)", {'E', 15, 5, 1}}, {"(1pe15.6)", {'E', 15, 6, 1}},
      {"(1pe17.6)", {'E', 17, 6, 1}}, {"(1pe20.6)", {'E', 20, 6, 1}},
      {"(1pd17.6)", {'D', 17, 6, 1}}, {"(1pd20.6)", {'D', 20, 6, 1}},
      {"(1pe9.2)", {'E', 9, 2, 1}},   {"(1pe8.1)", {'E', 8, 1, 1}},
      {"(1pe10.3)", {'E', 10, 3, 1}}, {"(0pe12.5)", {'E', 12, 5, 0}},
      {"(e11.4)", {'E', 11, 4, 0}},   {"(0pe9.3)", {'E', 9, 3, 0}},
  };
  compareFields(descriptors, values);
}

TEST(FortranReference, IntegerFieldsMatch) {
  Rng rng(kSeed + 2);
  std::vector<Value> values;
  for (std::int64_t n : integerValues(rng))
    values.emplace_back(static_cast<long long>(n));
  const std::vector<std::pair<std::string, Field>> descriptors = {
      {"(i1)", {'I', 1}},   {"(i2)", {'I', 2}},   {"(i4)", {'I', 4}},   {"(i6)", {'I', 6}},
      {"(i12)", {'I', 12}}, {"(i15)", {'I', 15}}, {"(i20)", {'I', 20}},
  };
  compareFields(descriptors, values);
}

TEST(FortranReference, TextFieldsMatch) {
  Rng rng(kSeed + 3);
  std::vector<Value> values;
  for (const std::string &s : textValues(rng))
    values.emplace_back(s);
  const std::vector<std::pair<std::string, Field>> descriptors = {
      {"(a14)", {'A', 14}}, {"(a15)", {'A', 15}}, {"(a20)", {'A', 20}}, {"(a1)", {'A', 1}}};
  compareFields(descriptors, values);
}

// ---- Whole report formats ----------------------------------------------------

// The data descriptors of a format text in the order they take values, with the
// "<>" counts given; enough of a parser for the formats below.
struct Slot {
  char code;        // I F E D A, or 'N' for a "<>" count
  int w = 0;        // field width
  int countNo = -1; // for 'N': which "<>" of the text
};

class SlotParser {
public:
  SlotParser(std::string_view text, const std::vector<int> &counts) : s_(text), counts_(counts) {}
  std::vector<Slot> parse() {
    while (i_ < s_.size() && s_[i_] != '(')
      ++i_;
    ++i_;
    std::vector<Slot> slots;
    list(slots);
    return slots;
  }
  // Where the slots of the format's last top-level group begin: the values left
  // after one pass go through the format again from there.
  std::size_t tailStart() const { return tailStart_; }

private:
  std::string_view s_;
  const std::vector<int> &counts_;
  std::size_t i_ = 0;
  int nextCount_ = 0;
  int depth_ = 0;
  std::size_t tailStart_ = 0;

  char at() const { return i_ < s_.size() ? s_[i_] : ')'; }
  int number() {
    int n = 0;
    while (std::isdigit(static_cast<unsigned char>(at())))
      n = n * 10 + (s_[i_++] - '0');
    return n;
  }
  // Reads up to the matching ")" and returns the slots of one pass.
  void list(std::vector<Slot> &slots) {
    for (;;) {
      const char c = at();
      if (c == ')') {
        ++i_;
        return;
      }
      if (c == ' ' || c == ',' || c == '/') {
        ++i_;
        continue;
      }
      if (c == '\'' || c == '"') {
        for (++i_; i_ < s_.size(); ++i_)
          if (s_[i_] == c) {
            if (i_ + 1 < s_.size() && s_[i_ + 1] == c)
              ++i_;
            else
              break;
          }
        ++i_;
        continue;
      }
      int repeat = 1;
      if (c == '<') {
        i_ += 2;
        const int no = nextCount_++;
        repeat = counts_.at(static_cast<std::size_t>(no));
        slots.push_back({'N', 0, no});
      } else if (std::isdigit(static_cast<unsigned char>(c))) {
        repeat = number();
        const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(at())));
        if (u == 'P' || u == 'X') { // scale factor or skip: no value
          ++i_;
          continue;
        }
      }
      if (at() == '(') {
        ++i_;
        if (depth_ == 0)
          tailStart_ = slots.size();
        ++depth_;
        std::vector<Slot> group;
        list(group);
        --depth_;
        for (int r = 0; r < repeat; ++r)
          slots.insert(slots.end(), group.begin(), group.end());
        continue;
      }
      const char code = static_cast<char>(std::toupper(static_cast<unsigned char>(s_[i_++])));
      if (code == 'X')
        continue;
      const int w = number();
      if (at() == '.') {
        ++i_;
        number();
      }
      for (int r = 0; r < repeat; ++r)
        slots.push_back({code, w});
    }
  }
};

struct ReportFormat {
  const char *text;
  int samples;
  // Also write with only the first values, where the write ends at the first
  // data descriptor left without a value (how "255a1" writes a short text).
  bool shortLists = false;
  // Also write with more values than descriptors, where the format is used
  // again from its last group on a new line.
  bool longLists = false;
  // The text the Fortran runtime gets when it must differ from ours (see its use).
  const char *fortranText = nullptr;
};

// Output formats of the report as the report code quotes them, and the rows of
// the reaction summary table with their column counts fixed at writing time.
const ReportFormat kReportFormats[] = {
    {"(  ' Etot+Ftot   = ',f16.8,10x,' (Ftot   = ',f16.8,')')", 20},
    {"(  ' Etot+Gtot   = ',f16.8,10x,' (Gtot   = ',f16.8,')'/)", 20},
    {"(  ' Etot+ZPEtot = ',f16.8,10x,' (ZPEtot = ',f16.8,')')", 20},
    {"(  ' Pressure     = ',f15.2,' Pa',f10.4,' atm',f10.2,' torr',f10.2,' bar')", 20},
    {"(  ' Transmission coeeficient by Skodje-Thrular theory (a>b,a<b)=',3f20.10)", 20},
    {"(  ' Transmission coeeficient for uniform parabolic potential   =',f20.10)", 20},
    {"( ' Activation Gibbs free energy  at T           ',f15.8,2f15.2)", 20},
    {"( ' Activation entropy            at T           ',f15.8,2f15.2,' J/mol/K')", 20},
    {"( ' Concentration C = ',1pe12.3,' molecules/cm3,   n =',i4)", 30},
    {"( ' Concentration factor Fc=(RT/P)**(m-1)   ',4(1pe20.6))", 30, true, true},
    {"( ' DrS = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')", 20},
    {"( ' DrZPE ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", 20},
    {"( ' Exponential factor Exp(-dH0/RT)              ',1pe15.6)", 20},
    {"( ' Gelec = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree'/)", 30, true},
    {"( ' Grot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  '/)", 20},
    {"( ' Gtot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", 20},
    {"( ' Linearity     : ',i12        )", 20},
    {"( ' Molecular mass: ',f12.2,' amu')", 20},
    {"( ' PMOI, amu*A**2: ',3f12.6)", 20},
    {"( ' Pressure      : ',f12.2,' Pa')", 20},
    {"( ' Rate constant kQ     k(T)=A*Exp(-dH0/RT)',4(1pe20.6))", 20},
    {"( ' Stot = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')", 20},
    {"(' *** Rotational contribution ***')", 1},
    {"(' Total for ',i4,' vibrations',26X,6f9.3,1pE12.5)", 30, true},
    {"('In the table below, Hvib, Gvib are measured from the potential bottom (ZPE included), "
     "Qvib - from ZERO level!'/)",
     1},
    {"('nBuild   =',i6)", 20},
    {"(/ ' Etot        = ',f16.8,'  (Etot used as a BaseEnergy for TD calculations)')", 20},
    {"(/ ' Temperature  = ',f15.2,' K')", 20},
    {"(/' ************* TD properties of molecule ',a20)", 20},
    {"(/' ******************************************************************************"
     "**********'/)",
     1},
    {"(/' DrEE  ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", 20},
    {"(/' Effective rate constant kG * C**n          ',1pd17.6,3(1pd20.6))", 30, true, true},
    {"(/' Molecularity of elementary reaction m        ',i15   )", 20},
    {"(/' Qelec = ',1pE15.5,'   ln(Qelec)=',0pf12.5,'   lg(Qelec)=',0pf12.5)", 30, false, true},
    {"(/' Rate constant kG     k(T)=kT/h*Exp(-dGa)*Fc',1pe17.6,3(1pe20.6))", 30},
    {"(/' Temperature   : ',f12.2,' K ')", 20},
    {"(/'Scaling factor for frequencies:',f9.4)", 20},
    {"(//' *** Total for ELEC+TRANS+ROT+VIBR contributions ***')", 1},
    {"(//' DrQ = ',1pE15.5,'   ln(Qtot)=',0pf12.5,'   lg(Qtot)=',0pf12.5)", 30},
    {"(//' Transmission coeeficient by Wigner theory                  =',f20.10)", 20},
    {"(//,1x,255a1)", 40, true},
    {"(/53x,'1/s             m',i1,'/molecule',i1'/s      cm',i1,'/molecule',i1,'/s       L',i1,"
     "'/Mol',i1,'/s')",
     20},
    {"(/53x,'1/s             m3/molecule/s       cm3/molecule/s        L/Mol/s')", 1},
    {"(/55x,'a.u.         kcal/mol         kJ/mol')", 1},
    // Used again from its start, the Fortran runtime keeps the 1P of the last
    // field and scales the F fields of the next line by 10; our F fields are
    // never scaled, which is what its own "0p" in front gives it.
    {"(i4,3f9.3,f9.2,1x,i2,7f9.3,1pE12.5)", 40, true, true,
     "(0p,i4,3f9.3,f9.2,1x,i2,7f9.3,1pE12.5)"},
    {"(/13x,<>a15,4x,'=',8x,<>a15,8x,'DrE, a.u.       kcal/mol         kJ/mol')", 30},
    {"(' Nneg   ',<>i15,12x,<>i15)", 30},
    {"(' E+G    ',<>f15.7,12x,<>f15.7,8x,f15.7,2f15.2)", 30},
    {"(/' File   ',<>(1x,a14),12x,<>(1x,a14))", 30},
    // format used again from its last group, the scale factor kept
    {"('x',2(1pe9.2),'y')", 20, true, true},
    {"(3(i4,1x))", 20, true, true},
    {"(' A',i3,2(f6.2,'|'))", 20, true, true},
};

std::string withCounts(std::string_view text, const std::vector<int> &counts) {
  std::string s;
  std::size_t next = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "<>") == 0) {
      s += std::to_string(counts.at(next++));
      ++i;
    } else {
      s += text[i];
    }
  }
  return s;
}

TEST(FortranReference, ReportFormatsMatch) {
  Rng rng(kSeed + 4);
  const auto reals = realValues(rng);
  const auto integers = integerValues(rng);
  const auto texts = textValues(rng);
  // Values of the sizes a report shows, next to the edge cases of the pools.
  auto real = [&]() {
    if (rng.coin())
      return rng.pick(reals);
    const double x = static_cast<double>(rng.between(0, 1000000000)) / 1000.0 *
                     std::pow(10.0, static_cast<double>(rng.between(-6, 3)));
    return rng.coin() ? x : -x;
  };
  auto value = [&](const Slot &slot) -> Value {
    switch (slot.code) {
    case 'I':
      return rng.coin() ? Value(static_cast<long long>(rng.pick(integers)))
                        : Value(static_cast<long long>(rng.between(-20, 400)));
    case 'A':
      return slot.w == 1 ? Value(std::string(1, static_cast<char>(rng.between(32, 126))))
                         : Value(rng.pick(texts));
    default:
      return Value(real());
    }
  };

  std::vector<WriteCase> cases;
  std::string requests;
  for (const ReportFormat &f : kReportFormats) {
    int counts = 0;
    for (std::string_view t(f.text); t.find("<>") != std::string_view::npos;
         t.remove_prefix(t.find("<>") + 2))
      ++counts;
    for (int s = 0; s < f.samples; ++s) {
      std::vector<int> n;
      for (int k = 0; k < counts; ++k)
        n.push_back(static_cast<int>(rng.between(1, 10)));
      SlotParser parser(f.text, n);
      const auto slots = parser.parse();
      // One pass of the format, a cut one or one and a bit more.
      std::size_t dataSlots = slots.size();
      if (f.shortLists && s % 3 == 1)
        dataSlots = static_cast<std::size_t>(rng.between(0, static_cast<std::int64_t>(dataSlots)));
      else if (f.longLists && s % 3 == 2)
        dataSlots +=
            static_cast<std::size_t>(rng.between(1, 2 * static_cast<std::int64_t>(dataSlots)));
      WriteCase c;
      c.format = f.text;
      c.fortranFormat = withCounts(f.fortranText ? f.fortranText : f.text, n);
      for (std::size_t k = 0; k < slots.size() && k < dataSlots; ++k) {
        if (slots[k].code == 'N') {
          c.values.emplace_back(n.at(static_cast<std::size_t>(slots[k].countNo)));
          continue;
        }
        const Value v = value(slots[k]);
        c.values.push_back(v);
        c.fortranValues.push_back(v);
      }
      // Values past one pass take the kinds of the slots from the format's last
      // group on (of the whole format when it has no group), over and over.
      for (std::size_t k = slots.size(); k < dataSlots; ++k) {
        const auto tail = slots.size() - parser.tailStart();
        const Value v = value(slots[parser.tailStart() + (k - slots.size()) % tail]);
        c.values.push_back(v);
        c.fortranValues.push_back(v);
      }
      cases.push_back(c);
      requests += writeRequest(c);
    }
  }
  const auto reference = runReference(requests, cases.size());
  if (reference.size() != cases.size())
    return;
  Differences diff;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto ours = ourLines(cases[i]);
    if (ours == reference[i])
      continue;
    std::string what = cases[i].format + " with";
    for (const Value &v : cases[i].values)
      what += " " + shownValue(v);
    diff.add(what, ours, reference[i]);
  }
  diff.expectNone(cases.size());
}

// ---- Fixed-column reads -----------------------------------------------------

// A valid real field of at most w characters before padding: optional sign,
// digits with or without a point, an optional exponent ("E-5", "d3", "+2"),
// blanks anywhere inside; then blank-padded to w columns on both sides.
std::string realField(Rng &rng, int w) {
  for (;;) {
    std::string s;
    const auto sign = rng.between(0, 2);
    if (sign > 0)
      s += sign == 1 ? '+' : '-';
    auto digits = [&](std::int64_t n) {
      for (; n > 0; --n)
        s += static_cast<char>('0' + rng.between(0, 9));
    };
    const std::int64_t most = w >= 15 ? 18 : 7;
    const auto intDigits = rng.between(0, most);
    digits(intDigits);
    if (rng.coin() || intDigits == 0) {
      s += '.';
      digits(rng.between(intDigits == 0 ? 1 : 0, most - intDigits + 1));
    }
    switch (rng.between(0, 3)) {
    case 1:
      s += "EeDd"[rng.between(0, 3)];
      if (rng.coin())
        s += rng.coin() ? '+' : '-';
      digits(rng.between(1, 3));
      break;
    case 2:
      s += rng.coin() ? '+' : '-';
      digits(rng.between(1, 2));
      break;
    default:
      break;
    }
    for (auto blanks = rng.between(0, 2); blanks > 0; --blanks)
      s.insert(static_cast<std::size_t>(rng.between(0, static_cast<std::int64_t>(s.size()))), 1,
               ' ');
    if (static_cast<int>(s.size()) > w)
      continue;
    const auto left = rng.between(0, w - static_cast<std::int64_t>(s.size()));
    return std::string(static_cast<std::size_t>(left), ' ') + s +
           std::string(static_cast<std::size_t>(w - left) - s.size(), ' ');
  }
}

// A valid integer field: optional sign, a 32-bit value, blanks anywhere inside.
std::string integerField(Rng &rng, int w) {
  for (;;) {
    std::int64_t top = 1;
    for (auto k = rng.between(0, 10); k > 0; --k)
      top *= 10;
    const std::int64_t x = rng.between(0, std::min<std::int64_t>(top, 2147483647));
    const bool negative = rng.coin();
    std::string s = (negative ? "-" : rng.coin() ? "+" : "") + std::to_string(x);
    for (auto blanks = rng.between(0, 2); blanks > 0; --blanks)
      s.insert(static_cast<std::size_t>(rng.between(0, static_cast<std::int64_t>(s.size()))), 1,
               ' ');
    if (static_cast<int>(s.size()) > w)
      continue;
    const auto left = rng.between(0, w - static_cast<std::int64_t>(s.size()));
    return std::string(static_cast<std::size_t>(left), ' ') + s +
           std::string(static_cast<std::size_t>(w - left) - s.size(), ' ');
  }
}

// "R <bits>" lines also show the value they stand for.
std::vector<std::string> readable(const std::vector<std::string> &lines) {
  std::vector<std::string> out;
  for (const auto &l : lines)
    out.push_back(l.rfind("R ", 0) == 0
                      ? l + " = " + shownReal(std::bit_cast<double>(std::stoll(l.substr(2))))
                      : l);
  return out;
}

TEST(FortranReference, FixedColumnReadsMatch) {
  Rng rng(kSeed + 5);
  struct InputField {
    const char *format;
    int skip; // columns before the field (the nX of the format)
    int w;
    bool integer;
  };
  // The input fields of the job and molecule files, alone and after a skip.
  const InputField fields[] = {
      {"(f10.4)", 0, 10, false},      {"(f9.3)", 0, 9, false},    {"(f15.6)", 0, 15, false},
      {"(f17.8)", 0, 17, false},      {"(g20.10)", 0, 20, false}, {"(26x,f10.4)", 26, 10, false},
      {"(14x,f17.8)", 14, 17, false}, {"(4x,f9.3)", 4, 9, false}, {"(i10)", 0, 10, true},
      {"(i2)", 0, 2, true},           {"(i3)", 0, 3, true},       {"(i6)", 0, 6, true},
      {"(i20)", 0, 20, true},         {"(i100)", 0, 100, true},   {"(26x,i10)", 26, 10, true},
      {"(32x,i2)", 32, 2, true},
  };
  struct Case {
    std::string format;
    std::string record;
    bool integer;
  };
  std::vector<Case> cases;
  for (const InputField &f : fields) {
    // Whatever the skipped columns and the columns after the field hold is not read.
    auto record = [&](const std::string &field) {
      return randomText(rng, f.skip) + field + randomText(rng, static_cast<int>(rng.between(0, 8)));
    };
    cases.push_back({f.format, record(std::string(static_cast<std::size_t>(f.w), ' ')), f.integer});
    cases.push_back({f.format, randomText(rng, f.skip), f.integer}); // field past the line's end
    for (int i = 0; i < 300; ++i)
      cases.push_back(
          {f.format, record(f.integer ? integerField(rng, f.w) : realField(rng, f.w)), f.integer});
  }
  for (const char *text : {"1.5+2", "1d3", "185", "-1.5d2", "25E14", "1E400", "-1e-400", "-0",
                           "+.5", "5.", "1 2.5", "2.5 E 1 5", "0.000000000000000000001"}) {
    cases.push_back({"(f10.4)", text, false});
    cases.push_back({"(g20.10)", text, false});
  }

  std::string requests;
  for (const Case &c : cases)
    requests += std::string(c.integer ? "N" : "F") + "\n" + c.format + "\n" + c.record + "\n";
  const auto reference = runReference(requests, cases.size());
  if (reference.size() != cases.size())
    return;
  Differences diff;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Record rec{cases[i].record, "FIELD", 1};
    std::string ours;
    try {
      if (cases[i].integer) {
        int n = 0;
        read(cases[i].format, rec, &n);
        ours = "I " + std::to_string(n);
      } else {
        double x = 0;
        read(cases[i].format, rec, &x);
        ours = "R " + std::to_string(std::bit_cast<std::int64_t>(x));
      }
    } catch (const std::exception &e) {
      ours = std::string("ERROR ") + e.what();
    }
    if (std::vector<std::string>{ours} != reference[i])
      diff.add(cases[i].format + " from [" + cases[i].record + "]", readable({ours}),
               readable(reference[i]));
  }
  diff.expectNone(cases.size());
}

} // namespace
} // namespace orvalen::fixedio
