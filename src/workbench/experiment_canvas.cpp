// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/experiment_canvas.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr Rgb kGrid = RGB(200, 200, 200);
constexpr Rgb kReceiver = RGB(0, 0, 250);
constexpr Rgb kSource = RGB(250, 0, 0);
constexpr Rgb kFront = RGB(255, 0, 0);
constexpr Rgb kErase = RGB(250, 250, 250);
constexpr Rgb kSight = RGB(255, 0, 255);
constexpr Rgb kGreen = RGB(0, 250, 0);
constexpr Rgb kText = RGB(0, 0, 0);
constexpr double kMark = 0.2;
constexpr double kPeriodMark = 0.6;
constexpr std::uint64_t kGridLayer = 0x4731'4752'4944ULL;
constexpr std::uint64_t kTraceLayer = 0x5452'4143'4531ULL;
constexpr std::uint64_t kMarksLayer = 0x4d41'524b'5331ULL;
constexpr std::uint64_t kPeriodsLayer = 0x5045'5249'4f44ULL;

std::uint64_t Bits(double v) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

// A version that changes whenever any value the trace depends on changes.
std::uint64_t TraceVersion(std::initializer_list<double> values) {
  std::uint64_t h = 1469598103934665603ULL;
  for (const double v : values) h = (h ^ Bits(v)) * 1099511628211ULL;
  return h;
}

// Part of a refresh computed in full every time (every value checked, every
// label formatted) and laid down as a kept layer while it is what was drawn
// at the previous refresh.
class KeptDrawing {
 public:
  explicit KeptDrawing(std::uint64_t key) : key_(key) {}

  void Circle(double x, double y, double r, Rgb colour) {
    ops_.push_back({kCircle, x, y, r, 0, colour, {}});
  }
  void Line(double x1, double y1, double x2, double y2, Rgb colour) {
    ops_.push_back({kLine, x1, y1, x2, y2, colour, {}});
  }
  void PrintAt(double x, double y, std::string text) {
    ops_.push_back({kText, x, y, 0, 0, {}, std::move(text)});
  }

  // Records with `record`; a fault while recording draws what was recorded
  // before it, as drawing straight away would have, and goes on up.
  template <class Record>
  void Draw(Canvas& c, Record record) {
    Last& last = Lasts()[key_];
    ops_.reserve(last.ops.size());
    try {
      record(*this);
    } catch (...) {
      DrawOn(c);
      throw;
    }
    // The version moves on whenever the drawing differs from the last one
    // recorded under the key, so equal versions mean equal drawings.
    if (last.ops != ops_) {
      last.ops = ops_;
      ++last.version;
    }
    c.Repeated(key_, last.version, [this](Canvas& d) { DrawOn(d); });
  }

 private:
  enum Kind { kCircle, kLine, kText };
  struct Op {
    Kind kind;
    double a, b, c, d;
    Rgb colour;
    std::string text;
    // Bit for bit: a zero of the other sign prints its place differently.
    friend bool operator==(const Op& x, const Op& y) {
      return x.kind == y.kind && Bits(x.a) == Bits(y.a) && Bits(x.b) == Bits(y.b) &&
             Bits(x.c) == Bits(y.c) && Bits(x.d) == Bits(y.d) && x.colour == y.colour &&
             x.text == y.text;
    }
  };
  struct Last {
    std::vector<Op> ops;
    std::uint64_t version = 0;
  };
  static std::map<std::uint64_t, Last>& Lasts() {
    static std::map<std::uint64_t, Last> lasts;
    return lasts;
  }
  void DrawOn(Canvas& c) const {
    for (const Op& op : ops_) {
      switch (op.kind) {
        case kCircle:
          c.Circle(op.a, op.b, op.c, op.colour);
          break;
        case kLine:
          c.Line(op.a, op.b, op.c, op.d, op.colour);
          break;
        case kText:
          c.PrintAt(op.a, op.b, op.text);
          break;
      }
    }
  }

  std::uint64_t key_;
  std::vector<Op> ops_;
};

// Value labels end with the value truncated to one decimal.
std::string LabelValue(double v) {
  return GeneralForm(Chk(TruncDecimals(Chk(v), 1)));
}

template <class Target>
void FixedLabel(Target& c, const char* text, double value, double x, double y) {
  c.PrintAt(x, y, std::string(text) + LabelValue(value));
}

template <class Target>
void IndexedLabel(Target& c, const char* name, int k, double value, double x, double y) {
  c.PrintAt(x, y, std::string(name) + "(" + WholeText(k) + ")= " + LabelValue(value));
}

// A world point divided by the picture scale.
struct Scaled {
  double s;
  double operator()(double v) const { return CheckedDiv(v, s); }
};

// The start labels and every period so far, as a refresh draws them.
void DrawPeriods(KeptDrawing& c, const SharedPool& P, bool labels, double x0, double g) {
  const int p = P.PeriodNumber;
  const Scaled s{P.PictureScale};
  const double X2 = P.X(2);
  if (labels) {
    FixedLabel(c, "Xn1(0)= ", P.Xn1(0), s(P.Xn1(0)) - 0.2, s(P.Yn1(0)) + 0.9);
    FixedLabel(c, "Tn1(0)= ", P.Tn1(0), s(P.Xn1(0)) - 0.2, s(P.Yn1(0)) + 1.9);
    IndexedLabel(c, "Xn2", 1, P.Xn2(0), s(P.Xn2(0)) - 0.2, s(P.Yn2(0)) + 0.9);
    IndexedLabel(c, "Tn2", 1, P.Tn2(0), s(P.Xn2(0)) - 0.2, s(P.Yn2(0)) + 1.9);
    IndexedLabel(c, "Xn2", p, P.Xn2(p), s(P.Xn2(p)) - 0.2, s(P.Yn2(p)) + 0.9);
    IndexedLabel(c, "Tn2", p, P.Tn2(p), s(P.Xn2(p)) - 0.2, s(P.Yn2(p)) + 1.9);
  }
  for (int k = 1; k <= p; ++k) {
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
  KeptDrawing(kMarksLayer).Draw(c, [&](KeptDrawing& m) {
    m.Line(s(P.Xn2(1)), s(P.Yn2(1)), s(P.Xn1(0)), s(P.Yn1(0)), kSight);
    m.Circle(s(P.Xn1(0)), s(P.Yn1(0)), kMark, kReceiver);
    m.Circle(s(P.Xn2(0)), s(P.Yn2(0)), kMark, kSource);
    m.Circle(s(P.Xn2(p)), s(P.Yn2(p)), kMark, kSource);
  });
  // Trace along X: 2000 points per completed period. It is the same at
  // every refresh of a period, so a canvas may keep it.
  const double x0 = s(P.Xn2(1));
  const long long points = static_cast<long long>(p - 1) * 2000;
  const double T00 = P.T00, VX2 = P.VX(2);
  c.Repeated(kTraceLayer, TraceVersion({static_cast<double>(p), T00, VX2, g, x0}), [&](Canvas& t) {
    for (long long k = 1; k <= points; ++k) {
      const double kd = static_cast<double>(k);
      t.PSet(kd * g / 2000 + x0, std::sin(kd * T00 * VX2 / 15920), kGreen);
    }
  });
  c.SetForeColor(kText);
  // Start labels and every period so far.
  KeptDrawing(kPeriodsLayer).Draw(c, [&](KeptDrawing& d) { DrawPeriods(d, P, labels, x0, g); });
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
