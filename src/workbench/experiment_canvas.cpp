// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/experiment_canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/colours.h"
#include "shared/faults.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr Rgb kFront = kFullRed;
constexpr Rgb kErase = RGB(250, 250, 250);
constexpr double kMark = 0.2;
constexpr double kPeriodMark = 0.6;
constexpr std::uint64_t kGridLayer = 0x4731'4752'4944ULL;
constexpr std::uint64_t kTraceLayer = 0x5452'4143'4531ULL;
constexpr std::uint64_t kMarksLayer = 0x4d41'524b'5331ULL;
constexpr std::uint64_t kPeriodsLayer = 0x5045'5249'4f44ULL;
constexpr std::uint64_t kStartLabelsLayer = 0x5354'4152'5431ULL;
// The marks, the trace and the periods together (see DrawExperimentRefresh).
constexpr std::uint64_t kOverThePathsLayer = 0x4f56'4552'5031ULL;
// Plus the period's number: each period's stretch of the trace and each
// period's marks and labels, kept within the layers above.
constexpr std::uint64_t kTracePeriodLayers = 0x5452'4143'4550'0000ULL;
constexpr std::uint64_t kPeriodLayers = 0x5045'5249'4f50'0000ULL;

// The version of the drawing kept under `key`: it moves on whenever a value
// the drawing is made from differs from the last time, bit for bit (a zero
// of the other sign prints its place differently), so equal versions mean
// equal drawings, whichever canvas drew the last one.
std::uint64_t KeptVersion(std::uint64_t key, const std::vector<double>& values) {
  struct Last {
    std::vector<std::uint64_t> bits;
    std::uint64_t version = 0;
  };
  static std::map<std::uint64_t, Last> lasts;
  Last& last = lasts[key];
  // Compared and kept as bytes: bit for bit is what counts.
  const std::size_t bytes = values.size() * sizeof(double);
  if (last.bits.size() != values.size() ||
      (bytes != 0 && std::memcmp(last.bits.data(), values.data(), bytes) != 0)) {
    last.bits.resize(values.size());
    if (bytes != 0) std::memcpy(last.bits.data(), values.data(), bytes);
    ++last.version;
  }
  return last.version;
}

// The version of the drawing kept under `key` whose values `values` lists,
// or none when one of them cannot be read (an index past the arrays).
template <class Values>
std::optional<std::uint64_t> ListedVersion(std::uint64_t key, const Values& values) {
  // Every refresh lists the values again: into the same memory each time
  // (done with before drawing, so a drawing kept within another may reuse it).
  static std::vector<double> v;
  try {
    values(v);
  } catch (const ComputeFault&) {
    return std::nullopt;
  }
  return KeptVersion(key, v);
}

// Draws `draw` as a drawing the canvas may keep while every value `values`
// lists is the same. A value that cannot be read is met again while
// drawing, which then fails after what comes before it, as drawing straight
// away would.
template <class Values, class Draw>
void DrawKept(Canvas& c, std::uint64_t key, const Values& values, const Draw& draw) {
  const std::optional<std::uint64_t> version = ListedVersion(key, values);
  if (!version) {
    draw(c);
    return;
  }
  c.Repeated(key, *version, draw);
}

// Value labels end with the value truncated to one decimal.
std::string LabelValue(double v) {
  return GeneralForm(Chk(TruncDecimals(Chk(v), 1)));
}

void FixedLabel(Canvas& c, const char* text, double value, double x, double y) {
  c.PrintAt(x, y, std::string(text) + LabelValue(value));
}

void IndexedLabel(Canvas& c, const char* name, int k, double value, double x, double y) {
  c.PrintAt(x, y, std::string(name) + "(" + WholeText(k) + ")= " + LabelValue(value));
}

// A world point divided by the picture scale.
struct Scaled {
  double s;
  double operator()(double v) const { return CheckedDiv(v, s); }
};

void DrawPeriod(Canvas& c, const SharedPool& P, bool labels, double x0, double g, int k);

// The start labels and every period so far, as a refresh draws them.
void DrawPeriods(Canvas& c, const SharedPool& P, bool labels, double x0, double g) {
  const int p = P.PeriodNumber;
  const Scaled s{P.PictureScale};
  const double X2 = P.X(2);
  if (labels) {
    // The start's labels stay as they are while the periods go by.
    DrawKept(
        c, kStartLabelsLayer,
        [&](std::vector<double>& v) {
          v = {P.PictureScale, P.Xn1(0), P.Yn1(0), P.Tn1(0), P.Xn2(0), P.Yn2(0), P.Tn2(0)};
        },
        [&](Canvas& d) {
          FixedLabel(d, "Xn1(0)= ", P.Xn1(0), s(P.Xn1(0)) - 0.2, s(P.Yn1(0)) + 0.9);
          FixedLabel(d, "Tn1(0)= ", P.Tn1(0), s(P.Xn1(0)) - 0.2, s(P.Yn1(0)) + 1.9);
          IndexedLabel(d, "Xn2", 1, P.Xn2(0), s(P.Xn2(0)) - 0.2, s(P.Yn2(0)) + 0.9);
          IndexedLabel(d, "Tn2", 1, P.Tn2(0), s(P.Xn2(0)) - 0.2, s(P.Yn2(0)) + 1.9);
        });
    IndexedLabel(c, "Xn2", p, P.Xn2(p), s(P.Xn2(p)) - 0.2, s(P.Yn2(p)) + 0.9);
    IndexedLabel(c, "Tn2", p, P.Tn2(p), s(P.Xn2(p)) - 0.2, s(P.Yn2(p)) + 1.9);
  }
  for (int k = 1; k <= p; ++k) {
    // A new period draws its own marks only; the earlier ones are kept.
    DrawKept(
        c, kPeriodLayers + static_cast<std::uint64_t>(k),
        [&](std::vector<double>& v) {
          v = {static_cast<double>(labels),
               P.PictureScale,
               x0,
               g,
               P.SignVX1,
               static_cast<double>(P.SignVX2 * X2 >= P.SignVX2 * P.Xk2(k)),
               P.Xn2(k),
               P.Yn2(k),
               P.Tn2(k),
               P.Xk2(k),
               P.Yk2(k),
               P.Xn1(k),
               P.Yn1(k),
               P.Tn1(k),
               P.Xk1(k - 1),
               P.Yk1(k - 1),
               P.Tk1(k - 1),
               P.Xn2(k + 1),
               P.Yn2(k + 1)};
        },
        [&, k](Canvas& d) { DrawPeriod(d, P, labels, x0, g, k); });
  }
}

// Period k's marks, lines of sight and labels.
void DrawPeriod(Canvas& c, const SharedPool& P, bool labels, double x0, double g, int k) {
  const Scaled s{P.PictureScale};
  const double X2 = P.X(2);
  c.Circle(s(P.Xn2(k)), s(P.Yn2(k)), kMark, kSource);
  const double markX = x0 + g / 2 + (k - 1) * g;
  c.Circle(markX + 0.3, 0, kPeriodMark, kGreen);
  c.PrintAt(markX, 0.3, NumericPrintForm(k));
  const bool sourcePassed = P.SignVX2 * X2 >= P.SignVX2 * P.Xk2(k);
  if (sourcePassed) c.Circle(s(P.Xk2(k)), s(P.Yk2(k)), kMark, kSource);
  c.Circle(s(P.Xn1(k)), s(P.Yn1(k)), kMark, kReceiver);
  c.Circle(s(P.Xk1(k - 1)), s(P.Yk1(k - 1)), kMark, kReceiver);
  c.Line(s(P.Xk1(k - 1)), s(P.Yk1(k - 1)), s(P.Xn2(k)), s(P.Yn2(k)), kGreen);
  c.Line(s(P.Xn2(k + 1)), s(P.Yn2(k + 1)), s(P.Xn1(k)), s(P.Yn1(k)), kSight);
  const double rx = s(P.Xk1(k - 1)) - P.SignVX1 * 2.3;
  const double ry = s(P.Yk1(k - 1));
  c.Circle(rx, ry - 0.5, kPeriodMark, kGreen);
  c.PrintAt(rx - 0.3, ry - 0.2, NumericPrintForm(k - 1));
  if (labels) {
    IndexedLabel(c, "Xn2", k, P.Xn2(k), s(P.Xn2(k)) - 0.2, s(P.Yn2(k)) + 0.9);
    IndexedLabel(c, "Tn2", k, P.Tn2(k), s(P.Xn2(k)) - 0.2, s(P.Yn2(k)) + 1.9);
    if (sourcePassed) {
      IndexedLabel(c, "Xk2", k, P.Xk2(k), s(P.Xk2(k)) - 0.2, s(P.Yk2(k)) + 2.9);
    }
    IndexedLabel(c, "Xn1", k, P.Xn1(k), s(P.Xn1(k)) - 0.2, s(P.Yn1(k)) + 0.9);
    IndexedLabel(c, "Tn1", k, P.Tn1(k), s(P.Xn1(k)) - 0.2, s(P.Yn1(k)) + 1.9);
    IndexedLabel(c, "Xk1", k - 1, P.Xk1(k - 1), s(P.Xk1(k - 1)) - 0.2, s(P.Yk1(k - 1)) + 2.9);
    IndexedLabel(c, "Tk1", k - 1, P.Tk1(k - 1), s(P.Xk1(k - 1)) - 0.2, s(P.Yk1(k - 1)) + 3.9);
  }
}

}  // namespace

void InitCanvas(Canvas& c) {
  c.SetScale(-1, 14, 40, -4);
  c.Repeated(kGridLayer, 1, [](Canvas& g) {
    for (int j = -3; j <= 14; ++j) g.Line(-3, j, 40, j, kGrid);
    for (int i = 0; i <= 40; ++i) g.Line(i, -3, i, 14, kGrid);
    g.SetForeColor(kText);
    for (int i = 0; i <= 40; ++i) g.PrintAt(i - 0.3, -3.3, NumericPrintForm(i));
    for (int j = -3; j <= 14; ++j) g.PrintAt(-1, j + 0.5, NumericPrintForm(j));
    g.Line(0, 0, 40, 0, kColour1);
    g.Line(0, -3, 0, 14, kColour1);
  });
}

void DrawExperimentRefresh(Canvas& c, SharedPool& P, bool labels) {
  const int p = P.PeriodNumber;
  const Scaled s{P.PictureScale};
  const double g = s(P.T00 * P.VX(2));
  const double X1 = P.X(1), Y1 = P.Y(1), X2 = P.X(2), Y2 = P.Y(2);
  // The front, drawn in whatever scale the picture has now.
  if (!(P.SignVX2 * P.Xn2(p) > P.SignVX2 * X2)) {
    const double cx = s(P.Xn2(p));
    const double cy = s(P.Yn2(p));
    const double r = s(P.DrawnFrontRadius);
    c.Circle(cx, cy, r, kErase);
    if (r - 0.04 > 0) c.Circle(cx, cy, r - 0.04, kErase);
    P.DrawnFrontRadius = P.FrontRadius;
    c.Circle(cx, cy, s(P.FrontRadius), kFront);
  }
  // The grid again over the erased front.
  InitCanvas(c);
  // Paths.
  c.Line(s(P.Xn1(0)), s(P.Yn1(0)), s(X1), s(Y1), kReceiver);
  c.Line(s(P.Xn2(0)), s(P.Yn2(0)), s(X2), s(Y2), kSource);
  // First line of sight and the marks.
  const auto marksValues = [&](std::vector<double>& v) {
    v = {P.PictureScale, P.Xn2(1), P.Yn2(1), P.Xn1(0), P.Yn1(0),
         P.Xn2(0),       P.Yn2(0), P.Xn2(p), P.Yn2(p)};
  };
  const auto drawMarks = [&](Canvas& m) {
    m.Line(s(P.Xn2(1)), s(P.Yn2(1)), s(P.Xn1(0)), s(P.Yn1(0)), kSight);
    m.Circle(s(P.Xn1(0)), s(P.Yn1(0)), kMark, kReceiver);
    m.Circle(s(P.Xn2(0)), s(P.Yn2(0)), kMark, kSource);
    m.Circle(s(P.Xn2(p)), s(P.Yn2(p)), kMark, kSource);
  };
  // Trace along X: 2000 points per completed period.
  const double x0 = s(P.Xn2(1));
  const long long points = static_cast<long long>(p - 1) * 2000;
  const double T00 = P.T00, VX2 = P.VX(2);
  const auto traceValues = [&](std::vector<double>& v) {
    v = {static_cast<double>(p), T00, VX2, g, x0};
  };
  const auto drawTrace = [&](Canvas& t) {
    // Each period's stretch is kept by itself: a new period draws only
    // its own 2000 points.
    std::vector<double> stretch = {T00, VX2, g, x0};
    const std::uint64_t version = KeptVersion(kTracePeriodLayers, stretch);
    for (long long from = 1; from <= points; from += 2000) {
      t.Repeated(kTracePeriodLayers + static_cast<std::uint64_t>(from / 2000 + 1), version,
                 [&, from](Canvas& q) {
                   std::array<double, 2 * 2000> xy;
                   std::size_t n = 0;
                   for (long long k = from; k < from + 2000 && k <= points; ++k, ++n) {
                     const double kd = static_cast<double>(k);
                     xy[2 * n] = kd * g / 2000 + x0;
                     xy[2 * n + 1] = std::sin(kd * T00 * VX2 / 15920);
                   }
                   q.Points(xy.data(), n, kGreen);
                 });
    }
  };
  // Start labels and every period so far. Everything they are drawn from is
  // listed, a little more than they read.
  const auto periodsValues = [&](std::vector<double>& v) {
    v = {static_cast<double>(labels), static_cast<double>(p), P.PictureScale, x0, g, P.SignVX1};
    // Listed at every refresh: read in rows rather than entry by entry.
    constexpr std::size_t kEach = 12;
    const int last = p + 1;
    const double* rows[] = {P.Xn2.Row(0, last), P.Yn2.Row(0, last), P.Tn2.Row(0, last),
                            P.Xn1.Row(0, last), P.Yn1.Row(0, last), P.Tn1.Row(0, last),
                            P.Xk1.Row(0, last), P.Yk1.Row(0, last), P.Tk1.Row(0, last),
                            P.Xk2.Row(0, last), P.Yk2.Row(0, last)};
    v.resize(v.size() + kEach * static_cast<std::size_t>(std::max(last + 1, 0)));
    double* at = v.data() + 6;
    for (int k = 0; k <= last; ++k, at += kEach) {
      for (std::size_t r = 0; r < std::size(rows); ++r) at[r] = rows[r][k];
      at[11] = static_cast<double>(P.SignVX2 * X2 >= P.SignVX2 * rows[9][k]);
    }
  };
  const auto overThePaths = [&](Canvas& k) {
    DrawKept(k, kMarksLayer, marksValues, drawMarks);
    DrawKept(k, kTraceLayer, traceValues, drawTrace);
    k.SetForeColor(kText);
    DrawKept(k, kPeriodsLayer, periodsValues, [&](Canvas& d) { DrawPeriods(d, P, labels, x0, g); });
  };
  // While none of the three changes they are kept as one drawing: a
  // refresh hands the canvas one drawing to lay down again, not three.
  const std::optional<std::uint64_t> marks = ListedVersion(kMarksLayer, marksValues);
  const std::optional<std::uint64_t> trace = ListedVersion(kTraceLayer, traceValues);
  const std::optional<std::uint64_t> periods = ListedVersion(kPeriodsLayer, periodsValues);
  if (!marks || !trace || !periods) {
    overThePaths(c);
    return;
  }
  static std::array<std::uint64_t, 3> last{};
  static std::uint64_t version = 0;
  const std::array<std::uint64_t, 3> now = {*marks, *trace, *periods};
  if (now != last) {
    last = now;
    ++version;
  }
  c.Repeated(kOverThePathsLayer, version, overThePaths);
}

void DrawStartPicture(Canvas& c, const SharedPool& P, bool labels) {
  const Scaled s{P.PictureScale};
  // Lines of sight at t = 0 and t = T00.
  c.Line(s(P.Xn2(1)), s(P.Yn2(1)), s(P.Xn1(0)), s(P.Yn1(0)), kSight);
  c.Line(s(P.Xn2(2)), s(P.Yn2(2)), s(P.Xn1(1)), s(P.Yn1(1)), kSight);
  c.Circle(s(P.Xn2(0)), s(P.Yn2(0)), kMark, kSource);
  c.Circle(s(P.Xn2(2)), s(P.Yn2(2)), kMark, kSource);
  c.Circle(s(P.Xn1(1)), s(P.Yn1(1)), kMark, kReceiver);
  if (labels) {
    c.SetForeColor(kText);
    FixedLabel(c, "Xn1(0)= ", P.Xn1(0), s(P.Xn1(0)) - 0.2, s(P.Yn1(0)) + 0.9);
    c.Circle(s(P.Xn1(0)), s(P.Yn1(0)), kMark, kReceiver);
    FixedLabel(c, "Tn1(0)= ", P.Tn1(0), s(P.Xn1(0)) - 0.2, s(P.Yn1(0)) + 1.9);
    IndexedLabel(c, "Xn2", 1, P.Xn2(0), s(P.Xn2(0)) - 0.2, s(P.Yn2(0)) + 0.9);
    IndexedLabel(c, "Tn2", 1, P.Tn2(0), s(P.Xn2(0)) - 0.2, s(P.Yn2(0)) + 1.9);
    IndexedLabel(c, "Xn2", 2, P.Xn2(2), s(P.Xn2(2)) - 0.2, s(P.Yn2(2)) + 0.9);
    IndexedLabel(c, "Tn2", 2, P.Tn2(2), s(P.Xn2(2)) - 0.2, s(P.Yn2(2)) + 1.9);
    FixedLabel(c, "Xn1(1)= ", P.Xn1(1), s(P.Xn1(1)) - 0.2, s(P.Yn1(1)) + 0.9);
    FixedLabel(c, "Tn1(1)= ", P.Tn1(1), s(P.Xn1(1)) - 0.2, s(P.Yn1(1)) + 1.9);
  }
}

}  // namespace velmor
