// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/experiment_data.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "medium/medium_state.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr double kScale = 1000000;
const char* const kHeader1 =
    "  Vs            v0           VX1           VX2           VY1           VY2           T0     "
    "      kTiso          kod";
const char* const kHeader3 =
    "  N             Tn1            Tk1            Xk1           Yk1           Xn2           Yn2 "
    "          Qn1           Qn2           Vs1           Vs2";

// x·1 000 000 truncated toward zero, if it fits 64 bits.
std::optional<std::int64_t> Scaled(double x) {
  const double v = std::trunc(x * kScale);
  // 2^63 is exact as a double; the range is [−2^63, 2^63).
  if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0)) return std::nullopt;
  return static_cast<std::int64_t>(v);
}

void AppendColumn(std::string& line, std::int64_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, " %21lld", static_cast<long long>(v));
  line += buf;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.push_back(line);
    start = end + 1;
  }
  return out;
}

// Whole numbers separated by blanks; nothing if anything else is there.
std::optional<std::vector<std::int64_t>> Wholes(std::string_view line) {
  std::vector<std::int64_t> out;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    std::size_t j = i;
    if (line[j] == '+' || line[j] == '-') ++j;
    const std::size_t digits = j;
    while (j < line.size() && line[j] >= '0' && line[j] <= '9') ++j;
    if (j == digits) return std::nullopt;
    if (j < line.size() && line[j] != ' ' && line[j] != '\t') return std::nullopt;
    std::int64_t v = 0;
    const char* first = line.data() + (line[i] == '+' ? i + 1 : i);
    const auto [ptr, ec] = std::from_chars(first, line.data() + j, v);
    if (ec != std::errc() || ptr != line.data() + j) return std::nullopt;
    out.push_back(v);
    i = j;
  }
  return out;
}

bool Blank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::optional<ExperimentData> Refuse(std::string* why, const char* reason) {
  if (why) *why = reason;
  return std::nullopt;
}

}  // namespace

std::string DataFileName(int number) {
  return "Velmor_" + WholeText(number) + ".txt";
}

std::optional<std::string> ReadDataFileBytes(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(kMaxDataFileBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

ExperimentData DataFromState(const SharedPool& P, const MediumState& M) {
  ExperimentData d;
  static_cast<ExperimentHeader&>(d) = M.Run;
  const int last = std::clamp(P.PeriodNumber, 0, kMaxDataRows - 1);
  for (int N = 0; N <= last; ++N) {
    ExperimentRow r;
    r.N = N;
    r.Tn1 = P.Tn1(N);
    r.Tk1 = P.Tk1(N);
    r.Xk1 = P.Xk1(N);
    r.Yk1 = P.Yk1(N);
    r.Xn2 = P.Xn2(N);
    r.Yn2 = P.Yn2(N);
    r.Qn1 = P.Qn1(N);
    r.Qn2 = P.Qn2(N);
    r.Vs1 = M.Vs1(N);
    r.Vs2 = M.Vs2(N);
    d.rows.push_back(r);
  }
  const int received = d.kod == kBundleKind ? P.PeriodNumber - 1 : P.PeriodNumber;
  d.received = std::clamp(received, 0, last);
  return d;
}

std::optional<std::string> ComposeDataFile(const ExperimentData& d) {
  std::string text = kHeader1;
  text += "\n";
  std::string line;
  for (double v : {d.Vs, d.v0, d.VX1, d.VX2, d.VY1, d.VY2, d.T0, d.kTiso}) {
    const auto s = Scaled(v);
    if (!s) return std::nullopt;
    AppendColumn(line, *s);
  }
  AppendColumn(line, d.kod);
  text += line + "\n" + kHeader3 + "\n";
  for (const ExperimentRow& r : d.rows) {
    char n[16];
    std::snprintf(n, sizeof n, "%02d", r.N);
    line = n;
    for (double v : {r.Tn1, r.Tk1, r.Xk1, r.Yk1, r.Xn2, r.Yn2, r.Qn1, r.Qn2, r.Vs1, r.Vs2}) {
      const auto s = Scaled(v);
      if (!s) return std::nullopt;
      AppendColumn(line, *s);
    }
    text += line + "\n";
  }
  return text;
}

std::optional<ExperimentData> ParseDataFile(std::string_view text, std::string* why) {
  if (text.size() > kMaxDataFileBytes) return Refuse(why, "file too large");
  const std::vector<std::string_view> lines = Lines(text);
  if (lines.size() < 3) return Refuse(why, "header missing");
  const auto head = Wholes(lines[1]);
  if (!head || head->size() != 9) return Refuse(why, "second line is not nine whole numbers");
  ExperimentData d;
  double* const heads[] = {&d.Vs, &d.v0, &d.VX1, &d.VX2, &d.VY1, &d.VY2, &d.T0, &d.kTiso};
  for (int k = 0; k < 8; ++k) *heads[k] = static_cast<double>((*head)[k]) / kScale;
  if ((*head)[8] != 0 && (*head)[8] != 1) return Refuse(why, "unknown experiment kind");
  d.kod = static_cast<int>((*head)[8]);
  // Rows beyond what the arrays hold are not read.
  for (std::size_t li = 3; li < lines.size() && d.rows.size() < kMaxDataRows; ++li) {
    if (Blank(lines[li])) continue;
    const auto w = Wholes(lines[li]);
    if (!w || w->size() != 11) return Refuse(why, "a row is not eleven whole numbers");
    if ((*w)[0] != static_cast<std::int64_t>(d.rows.size()))
      return Refuse(why, "rows out of order");
    ExperimentRow r;
    r.N = static_cast<int>((*w)[0]);
    double* const cols[] = {&r.Tn1, &r.Tk1, &r.Xk1, &r.Yk1, &r.Xn2,
                            &r.Yn2, &r.Qn1, &r.Qn2, &r.Vs1, &r.Vs2};
    for (int k = 0; k < 10; ++k) *cols[k] = static_cast<double>((*w)[k + 1]) / kScale;
    d.rows.push_back(r);
  }
  if (d.rows.empty()) return Refuse(why, "no rows");
  const int last = static_cast<int>(d.rows.size()) - 1;
  // A ray-bundle file ends with the period it was waiting for, unless the
  // run was complete; a row never reached holds zeros at the receiver.
  d.received = last;
  if (d.kod == 1) {
    const ExperimentRow& r = d.rows.back();
    const bool reached = r.Tn1 != 0 || r.Tk1 != 0 || r.Xk1 != 0 || r.Yk1 != 0;
    if (!reached || last < kMaxDataRows - 1) d.received = last - 1;
  }
  d.received = std::max(d.received, 0);
  return d;
}

}  // namespace velmor
