// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/bundle_canvas.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "medium/medium_model.h"
#include "medium/medium_run.h"
#include "medium/medium_state.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/colours.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr double kMark = 0.2;
constexpr double kPeriodMark = 0.6;
// The signal curve is drawn in pieces of a second (100 points) under these
// layer keys, the piece's number added; once the picture's edge cuts it,
// the whole of it shows the same at every refresh, under the second key.
constexpr long long kPiece = 100;
constexpr std::uint64_t kSignalLayer = 0x5349'474e'0000'0000ULL;
constexpr std::uint64_t kSignalWholeLayer = 0x5349'474e'8000'0000ULL;

// "Xn2(3)= 45,1": a name, an index and the value truncated to one decimal.
std::string IndexedValue(const char* name, int index, double value) {
  return std::string(name) + "(" + WholeText(index) +
         ")= " + GeneralForm(Chk(TruncDecimals(Chk(value), 1)));
}

// Point k of the transmitter's signal, a point every hundredth of a second,
// handed to `at` as its coordinates.
template <class At>
void SignalPoint(const SharedPool& P, const MediumState& M, long long k, At&& at) {
  const double tk = Chk(static_cast<double>(k) / 100 - M.T0);
  at(CheckedDiv(Chk(Chk(tk * P.VX(2)) + M.SourceStartX), P.PictureScale),
     2 * std::sin(Chk(tk * M.SineOmega)));
}

// Points first … last of the signal.
void DrawSignal(Canvas& c, const SharedPool& P, const MediumState& M, long long first,
                long long last) {
  for (long long k = first; k <= last; ++k) {
    SignalPoint(P, M, k, [&c](double x, double y) { c.PSet(x, y, kGreen); });
  }
}

// The same for the unfinished piece, drawn at every refresh: the points
// worked out at an earlier one are taken as they were.
void DrawSignalGrowing(Canvas& c, const SharedPool& P, MediumState& M, std::uint64_t version,
                       long long first, long long last) {
  MediumState::SignalPoints& s = M.Signal;
  if (s.version != version || s.first != first) {
    s.version = version;
    s.first = first;
    s.x.clear();
    s.y.clear();
  }
  for (long long k = first; k <= last; ++k) {
    const auto i = static_cast<std::size_t>(k - first);
    if (i == s.x.size()) {
      SignalPoint(P, M, k, [&s](double x, double y) {
        s.x.push_back(x);
        s.y.push_back(y);
      });
    }
    c.PSet(s.x[i], s.y[i], kGreen);
  }
}

// What a piece of the curve is drawn from.
std::uint64_t SignalVersion(const SharedPool& P, const MediumState& M) {
  std::uint64_t h = 0x9e37'79b9'7f4a'7c15ULL;
  for (const double v : {M.T0, P.VX(2), M.SourceStartX, P.PictureScale, M.SineOmega}) {
    h = std::rotl(h ^ std::bit_cast<std::uint64_t>(v), 29) * 0xbf58'476d'1ce4'e5b9ULL;
  }
  return h;
}

// Points first … last, kept by the picture under `key`.
void DrawSignalKept(Canvas& c, const SharedPool& P, const MediumState& M, std::uint64_t key,
                    std::uint64_t version, long long first, long long last) {
  c.Repeated(key, version, [&](Canvas& g) { DrawSignal(g, P, M, first, last); });
}

}  // namespace

std::pair<int, int> VisibleSignalPoints(const SharedPool& P, const MediumState& M, int points) {
  const double VX2 = P.VX(2);
  const double S = P.PictureScale;
  if (!(VX2 > 0) || !(S > 0)) return {1, points};
  // Point k lies at x = ((k/100 − T0)·VX2 + start X)/scale, growing with k.
  auto k = [&](double x) { return 100 * ((x * S - M.SourceStartX) / VX2 + M.T0); };
  const double from = std::floor(k(kSignalLeft)) - 1;
  const double to = std::ceil(k(kSignalRight)) + 1;
  if (!std::isfinite(from) || !std::isfinite(to)) return {1, points};
  if (from > points || to < 1) return {1, 0};  // none of them
  return {from <= 1 ? 1 : static_cast<int>(from), to >= points ? points : static_cast<int>(to)};
}

void DrawBundleReceptions(Canvas& c, const SharedPool& P) {
  DrawMediumGrid(c);
  const double S = P.PictureScale;
  auto s = [S](double v) { return CheckedDiv(v, S); };
  const double d = CheckedDiv(Chk(P.T00 * P.VX(2)), S);
  const double x0 = s(P.Xn2(1));
  c.SetForeColor(kText);
  for (int j = 1; j <= P.PeriodNumber - 1; ++j) {
    const double xn = s(P.Xn2(j)), yn = s(P.Yn2(j));
    const double xk = s(P.Xk1(j)), yk = s(P.Yk1(j));
    c.Circle(xn, yn, kMark, kSource);
    c.Circle(xk, yk, kMark, kReceiver);
    c.Line(xk, yk, xn, yn, kGreen);
    c.Circle(Chk(x0 + d / 2 + (j - 1) * d + 0.3), 1, kPeriodMark, kGreen);
    c.PrintAt(Chk(x0 + d / 2 + (j - 2) * d), 1.3, NumericPrintForm(j - 1));
    c.Circle(xk - 2.3, yk - 0.5, kPeriodMark, kGreen);
    c.PrintAt(xk - 2.6, yk - 0.2, NumericPrintForm(j - 1));
    c.PrintAt(xn - 0.2, yn - 0.9, IndexedValue("Xn2", j, P.Xn2(j)));
    c.PrintAt(xn - 0.2, yn - 1.9, IndexedValue("Tn2", j, P.Tn2(j)));
    c.PrintAt(xk - 0.2, yk + 0.9, IndexedValue("Xk1", j - 1, P.Xk1(j)));
    c.PrintAt(xk - 0.2, yk + 1.9, IndexedValue("Tn1", j - 1, P.Tn1(j)));
  }
}

void DrawBundleRefresh(Canvas& c, const SharedPool& P, MediumState& M) {
  const double S = P.PictureScale;
  auto s = [S](double v) { return CheckedDiv(v, S); };
  const double x1 = s(P.X(1)), y1 = s(P.Y(1)), x2 = s(P.X(2)), y2 = s(P.Y(2));
  c.Line(s(M.ReceiverStartX), s(M.ReceiverStartY), x1, y1, kReceiver);
  c.Line(s(P.Xn2(1)), s(P.Yn2(1)), x2, y2, kSource);
  // The transmitter's signal, a point every hundredth of a second so far.
  // A whole second of it is the same drawing at every refresh, so the
  // picture may keep it.
  const int points = ToWhole32(Fix(Chk(P.CurrentTime * 100)));
  const auto [first, last] = VisibleSignalPoints(P, M, points);
  const std::uint64_t version = SignalVersion(P, M);
  if (last < points) {
    const auto ends = (static_cast<std::uint64_t>(first) << 32) ^ static_cast<std::uint64_t>(last);
    DrawSignalKept(c, P, M, kSignalWholeLayer, std::rotl(version ^ ends, 17), first, last);
  } else {
    for (long long k = first; k <= last;) {
      const long long piece = (k - 1) / kPiece;
      const long long end = std::min((piece + 1) * kPiece, static_cast<long long>(last));
      if (k == piece * kPiece + 1 && end == (piece + 1) * kPiece) {
        DrawSignalKept(c, P, M, kSignalLayer + static_cast<std::uint64_t>(piece), version, k, end);
      } else if (end == last) {
        DrawSignalGrowing(c, P, M, version, k, end);
      } else {
        DrawSignal(c, P, M, k, end);
      }
      k = end + 1;
    }
  }
  c.Circle(s(M.ReceiverStartX), s(M.ReceiverStartY), kMark, kReceiver);
  c.Circle(s(M.PrevX1), s(M.PrevY1), kMark, kWhite);
  c.Circle(x1, y1, kMark, kSource);
  c.Circle(s(M.PrevX2), s(M.PrevY2), kMark, kWhite);
  c.Circle(x2, y2, kMark, kSource);
  RememberMarkers(P, M);
}

}  // namespace velmor
