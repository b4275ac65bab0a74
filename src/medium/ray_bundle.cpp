// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/ray_bundle.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "medium/medium_state.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr Rgb kBundleRay = RGB(0, 255, 255);
constexpr Rgb kSearchRay = RGB(0, 0, 250);

// What every ray's move in a step shares.
struct StepConstants {
  double Y2, X1, Y1, LT, Np, Kp, Vs, dt, scale, skipAbove;
};

template <bool kBundle>
StepConstants ConstantsOf(const SharedPool& P, const MediumState& M) {
  return {P.Y(2), P.X(1), P.Y(1),     M.LayerThickness, static_cast<double>(M.Np),
          M.Kp,   P.Vs,   P.TimeStep, P.PictureScale,   M.Np + (kBundle ? 20.0 : 10.0)};
}

// Where a ray goes in this step and at what speed.
struct RayMove {
  double xn, yn, density, speed;
};

// Ray i's move through a layer of density Pd at the speed `local`, `step`
// a time step: at a change of density the ray is refracted or totally
// reflected, its direction changed in place, faults checked as they happen.
// The move itself is left to the caller to commit.
template <bool kBundle>
void MoveInLayer(MediumState& M, const StepConstants& k, int i, double Pd, double local,
                 double step, RayMove& m) {
  double* const S = M.RaySin.data();
  double* const C = M.RayCos.data();
  const double rd = M.RayDensity[i];
  double density = Pd;
  bool change;
  if constexpr (kBundle) {
    change = rd != Pd;
  } else {
    change = std::fabs(rd - Pd) > 1e-6;
  }
  if (change) {
    if (rd < Pd) {
      S[i] = Chk(rd * S[i] / Pd);
      C[i] = CheckedSqrt(1 - S[i] * S[i]);
    } else if (rd > Pd) {
      const double ratio = Pd / rd;
      const double a = std::fabs(S[i]);
      if (ratio > a) {
        S[i] = Chk(rd * S[i] / Pd);
        C[i] = CheckedSqrt(1 - S[i] * S[i]);
      } else if (ratio < a) {
        // A reflected ray never enters the thinner layer: it goes back
        // through its own at that layer's speed, so it meets its own
        // density again unrefracted and leaves at the angle it came in.
        M.RayDirY[i] = -1;
        density = rd;
        local = Chk(k.Vs / rd);
        step = Chk(local * k.dt);
      }
    }
  }
  m.xn = Chk(M.RayX[i] + step * S[i]);
  m.yn = Chk(M.RayY[i] + M.RayDirY[i] * step * C[i]);
  m.density = density;
  m.speed = local;
}

// One ray's move by the rules: its layer, counted upward from the source's
// present height, and the move through it. False when the ray rests.
template <DensityLaw L, bool kBundle>
bool MoveRay(SharedPool& P, MediumState& M, const StepConstants& k, int i, RayMove& m) {
  const double N = std::trunc((M.RayY[i] - k.Y2) / k.LT) + 1;
  if (!(N <= k.skipAbove)) return false;
  const double Pd = Chk(DensityByLaw<L>(k.Kp, k.Np, N));
  if (Pd < 0.1) return false;
  // The speed in that layer.
  const double local = Chk(k.Vs / Pd);
  const double step = Chk(local * k.dt);
  if constexpr (kBundle) {
    if (N == 1) M.Vs2(P.PeriodNumber) = local;
  }
  MoveInLayer<kBundle>(M, k, i, Pd, local, step, m);
  return true;
}

// The bundle's front after ray i moved to (xn, yn), ray i − 1 standing at
// (xa, ya): it passes the receiver when the two rays straddle it.
int FrontAfter(int frontState, const StepConstants& k, double xa, double ya, double xn, double yn) {
  if (xa < k.X1 && k.X1 < xn) {
    if (ya > k.Y1) frontState = 1;
    if (yn > k.Y1) frontState = 2;
  }
  return frontState;
}

bool Received(int frontState) {
  return frontState == 1 || frontState == 2;
}

void DrawMove(Canvas& c, double scale, double x, double y, double xn, double yn, Rgb colour) {
  c.Line(CheckedDiv(x, scale), CheckedDiv(y, scale), CheckedDiv(xn, scale), CheckedDiv(yn, scale),
         colour);
}

// One step of rays 0..RayCount, ray after ray as the rules read: a fault
// leaves the rays before it moved and the rest not.
template <DensityLaw L, bool kBundle, bool kDraw>
RayStepResult Step(SharedPool& P, MediumState& M, Canvas* canvas) {
  RayStepResult r;
  const StepConstants k = ConstantsOf<kBundle>(P, M);
  const int n = M.Rays();
  double* const X = M.RayX.data();
  double* const Y = M.RayY.data();
  double local = M.LocalSpeed;
  double prevLocal = M.PrevLocalSpeed;
  double prevMoveX = M.PrevMoveX;
  double prevMoveY = M.PrevMoveY;
  int frontState = M.FrontState;

  if (k.LT == 0) RaiseComputeFault("division by zero");
  for (int i = 0; i < n; ++i) {
    RayMove m;
    if (!MoveRay<L, kBundle>(P, M, k, i, m)) continue;
    prevLocal = local;
    local = m.speed;
    const double x = X[i];
    const double y = Y[i];
    if constexpr (kDraw)
      DrawMove(*canvas, k.scale, x, y, m.xn, m.yn, kBundle ? kBundleRay : kSearchRay);
    if constexpr (kBundle) {
      if (i > 0) {
        frontState = FrontAfter(frontState, k, X[i - 1], Y[i - 1], m.xn, m.yn);
        if (Received(frontState)) {
          r.receivingRay = i;
          r.moveX = m.xn - x;
          r.moveY = m.yn - y;
          r.prevMoveX = prevMoveX;
          r.prevMoveY = prevMoveY;
          r.prevLocalSpeed = prevLocal;
        }
      }
    }
    M.RayDensity[i] = m.density;
    X[i] = m.xn;
    Y[i] = m.yn;
    prevMoveX = m.xn - x;
    prevMoveY = m.yn - y;
    if constexpr (kBundle) {
      if (r.receivingRay >= 0) break;
    } else {
      if (i > 0 && Y[i - 1] > k.Y1 && X[i - 1] < k.X1 && k.X1 < X[i]) r.passed = true;
    }
  }
  M.LocalSpeed = local;
  M.PrevLocalSpeed = prevLocal;
  M.PrevMoveX = prevMoveX;
  M.PrevMoveY = prevMoveY;
  M.FrontState = frontState;
  return r;
}

// The bundle's step, four rays at a time: what depends only on the layer
// comes from a table, and the rays that move straight on inside their layer
// -- nearly all of them -- are worked out together, vector by vector. The
// rest (layer 1, where Vs2 is recorded; a change of density; layers out of
// the table) and the rays beside the receiver are then taken ray after ray
// in order, as the straightforward step takes them, so the results, the
// faults and where they stop the step are the same.
using V4 = double __attribute__((vector_size(32)));
using V2 = double __attribute__((vector_size(16)));
using I4 = std::int32_t __attribute__((vector_size(16)));
// Comparisons of four rays give a mask of all ones or zeros per ray.
using Wide = std::int64_t __attribute__((vector_size(32)));

// A ray's flag: moved by the table; or not, and then it rests or is to be
// worked out alone; worked out alone, resting or moved.
constexpr std::int64_t kMoved = -1;
constexpr std::int64_t kAloneRested = -2;
constexpr std::int64_t kAloneMoved = -3;
// The layers the table holds at most on either side of the source's.
constexpr int kTableHalf = 1 << 15;

bool Moved(std::int64_t flag) {
  return flag == kMoved || flag == kAloneMoved;
}

// A boundary not yet worked out.
constexpr std::int64_t kUnknown = std::numeric_limits<std::int64_t>::min();

// All bits set in a layer's entry of the rests table.
const double kRestBits = std::bit_cast<double>(~std::uint64_t{0});

// Layer N's entry: its density, step and speed where the rays move straight
// through it; all bits of the rests entry set where they rest; a NaN
// density (no ray's) otherwise, where each ray is worked out alone (a layer
// whose arithmetic faults).
template <DensityLaw L>
void TableLayer(MediumState::RayStepWork& w, std::size_t e, double Kp, double Np, double N) {
  const double nan = std::nan("");
  w.layerDensity[e] = nan;
  w.layerStep[e] = 0;
  w.layerSpeed[e] = nan;
  w.layerRests[e] = 0;
  const double density = DensityByLaw<L>(Kp, Np, N);
  if (!std::isfinite(density)) return;
  if (density < 0.1) {
    w.layerRests[e] = kRestBits;
    return;
  }
  const double speed = w.Vs / density;
  const double step = speed * w.dt;
  if (!std::isfinite(speed) || !std::isfinite(step)) return;
  w.layerDensity[e] = density;
  w.layerStep[e] = step;
  w.layerSpeed[e] = speed;
}

// The table of the medium now, made again when the medium, the signal speed
// or the time step differ from those it was made for. Entry 0 stands for
// the layers below the table, the last entry for those above it.
template <DensityLaw L>
void MakeLayerTable(MediumState& M, double Vs, double dt, double LT) {
  MediumState::RayStepWork& w = M.Work;
  auto same = [](double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
  };
  if (!w.layerStep.empty() && w.law == L && w.Np == M.Np && same(w.Kp, M.Kp) && same(w.Vs, Vs) &&
      same(w.dt, dt) && same(w.LT, LT)) {
    return;
  }
  w.law = L;
  w.Np = M.Np;
  w.Kp = M.Kp;
  w.Vs = Vs;
  w.dt = dt;
  w.LT = LT;
  // Layers 1 − below … top; above Np + 20 the bundle's rays rest. Rays
  // turned back go on down below the source until the next launch, further
  // than the layers above it reach.
  const int top = std::min(M.Np + 20, kTableHalf);
  w.firstLayer = 1 - std::min(4 * top, kTableHalf);
  const auto size = static_cast<std::size_t>(top - w.firstLayer + 3);
  for (auto* a : {&w.layerDensity, &w.layerStep, &w.layerSpeed, &w.layerRests}) a->resize(size);
  for (std::size_t e = 0; e < size; ++e) {
    TableLayer<L>(w, e, M.Kp, M.Np, w.firstLayer - 1 + static_cast<double>(e));
  }
  w.layerDensity.front() = w.layerDensity.back() = std::nan("");
  w.layerStep.front() = w.layerStep.back() = 0;
  w.layerRests.front() = 0;
  w.layerRests.back() = top == M.Np + 20 ? kRestBits : 0;
  // Density, step and the heights of the layer side by side, as four rays
  // fetch them; the step is NaN where the rays rest, the heights until they
  // are first needed.
  w.layerRow.resize(4 * size);
  for (std::size_t e = 0; e < size; ++e) {
    w.layerRow[4 * e] = w.layerDensity[e];
    w.layerRow[4 * e + 1] = w.layerRests[e] == 0 ? w.layerStep[e] : std::nan("");
    w.layerRow[4 * e + 2] = w.layerRow[4 * e + 3] = std::nan("");
  }
  w.boundary.assign(size + 1, kUnknown);
  w.rayLayer.clear();
}

// The table's entry of a ray at the height u above the source, worked out
// as the rays' vectors work it out.
std::int32_t EntryAt(const MediumState::RayStepWork& w, double u) {
  const double first = w.firstLayer - 2;
  const double last = w.firstLayer + static_cast<double>(w.layerStep.size()) - 3;
  double q = u / w.LT;
  q = q < last ? q : last;
  q = q > first ? q : first;
  return static_cast<std::int32_t>(q) - (w.firstLayer - 2);
}

// Doubles as whole numbers in the same order; both zeros are 0.
std::int64_t KeyOf(double d) {
  const auto b = std::bit_cast<std::int64_t>(d);
  return b < 0 ? -(b & std::numeric_limits<std::int64_t>::max()) : b;
}

double OfKey(std::int64_t k) {
  return k < 0 ? -std::bit_cast<double>(-k) : std::bit_cast<double>(k);
}

// Boundary j of the entries: the least height at which the entry is j or
// more (layers going upward) or j − 1 or less (downward). The entry only
// grows, or only shrinks, with the height, as every operation it is worked
// out with is monotonic; so the heights of each entry are one span, found
// by halving, and a ray inside it has the entry the division would give.
std::int64_t Boundary(MediumState::RayStepWork& w, std::size_t j) {
  std::int64_t& b = w.boundary[j];
  if (b != kUnknown) return b;
  const bool up = w.LT > 0;
  const auto t = static_cast<std::int64_t>(j);
  auto reached = [&](std::int64_t key) {
    const std::int64_t e = EntryAt(w, OfKey(key));
    return up ? e >= t : -e >= 1 - t;
  };
  std::int64_t lo = KeyOf(-HUGE_VAL);
  std::int64_t hi = KeyOf(HUGE_VAL) + 1;  // not reached at all
  while (lo < hi) {
    const std::uint64_t span = static_cast<std::uint64_t>(hi) - static_cast<std::uint64_t>(lo);
    const auto mid = static_cast<std::int64_t>(static_cast<std::uint64_t>(lo) + span / 2);
    if (reached(mid)) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return b = lo;
}

// The heights above the source of entry e: from low to high, both included;
// low above high where no height is in it.
void SpanOf(MediumState::RayStepWork& w, std::int32_t e, double& low, double& high) {
  const auto j = static_cast<std::size_t>(e);
  std::int64_t from = Boundary(w, j);
  std::int64_t to = Boundary(w, j + 1);
  if (w.LT < 0) std::swap(from, to);
  if (from < to) {
    low = OfKey(from);
    high = OfKey(to - 1);
  } else {
    low = HUGE_VAL;
    high = -HUGE_VAL;
  }
}

// The heights of the layers first met by the rays just found in them,
// worked out and kept for the rays' next steps.
void KeepSpans(MediumState::RayStepWork& w, int found) {
  for (int f = 0; f < found; ++f) {
    const int i = w.found[static_cast<std::size_t>(f)];
    double* const kept = w.rayLayer.data() + 4 * i;
    for (int lane = 0; lane < 4; ++lane) {
      const std::int32_t e = w.layer[static_cast<std::size_t>(i + lane)];
      double* const row = w.layerRow.data() + 4 * static_cast<std::size_t>(e);
      if (std::isnan(row[2])) SpanOf(w, e, row[2], row[3]);
      kept[lane] = row[2];
      kept[4 + lane] = row[3];
    }
  }
}

// Rays 0..n − 1 moved by the table where they can be, into the work arrays.
// Every four rays among which one is to be worked out alone or may be the
// first right of the receiver are listed in the work's events; their
// number, or −1 when a position is not finite: the straightforward step
// then takes the whole step. A ray mostly stays in the layer it was in the
// step before: a comparison with that layer's heights spares the division
// that finds its layer; four rays among which one entered a layer whose
// heights are not yet known are listed in the work's found. Written without
// calls, as the vectors of four cannot be passed to a function compiled for
// the processors without them, and going from one to the other costs
// dearly; where the processor has them, its own version runs.
#if defined(__x86_64__)
__attribute__((target_clones("avx2", "default")))
#endif
int MovePairs(MediumState& M, const StepConstants& k, double lowOne, bool& layerOne, int& found) {
  MediumState::RayStepWork& w = M.Work;
  const int n = M.Rays();
  const double* const X = M.RayX.data();
  const double* const Y = M.RayY.data();
  const double* const S = M.RaySin.data();
  const double* const C = M.RayCos.data();
  const double* const D = M.RayDensity.data();
  const double* const Dir = M.RayDirY.data();
  double* const NX = w.nextX.data();
  double* const NY = w.nextY.data();
  std::int64_t* const F = w.flags.data();
  std::int32_t* const Layer = w.layer.data();
  int* const Events = w.events.data();
  int* const Found = w.found.data();
  double* const Kept = w.rayLayer.data();
  const double* const TR = w.layerRow.data();
  // q = (y − Y2)/LT clamped to one below and one above the table, then
  // truncated: the layer number less one, offset to the table's entries.
  const double first = w.firstLayer - 2;
  const double last = w.firstLayer + static_cast<double>(w.layerStep.size()) - 3;
  const V4 lo = {first, first, first, first};
  const V4 hi = {last, last, last, last};
  const I4 offset = {w.firstLayer - 2, w.firstLayer - 2, w.firstLayer - 2, w.firstLayer - 2};
  const I4 one = {2 - w.firstLayer, 2 - w.firstLayer, 2 - w.firstLayer, 2 - w.firstLayer};
  I4 foundInLayerOne = {0, 0, 0, 0};
  const V4 LowOne = {lowOne, lowOne, lowOne, lowOne};
  Wide inLayerOne = {0, 0, 0, 0};
  const V4 Y2 = {k.Y2, k.Y2, k.Y2, k.Y2};
  const V4 LT = {k.LT, k.LT, k.LT, k.LT};
  const V4 X1 = {k.X1, k.X1, k.X1, k.X1};
  V4 sum = {0, 0, 0, 0};
  Wide left = {0, 0, 0, 0};  // lane 3: ray i − 1 stands left of the receiver
  int events = 0;
  found = 0;
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    double* const kept = Kept + 4 * i;
    V4 y, low, high;
    std::memcpy(&y, Y + i, sizeof y);
    std::memcpy(&low, kept, sizeof low);
    std::memcpy(&high, kept + 4, sizeof high);
    const V4 u = y - Y2;
    const Wide inside = (u >= low) & (u <= high);
    inLayerOne |= low == LowOne;
    const Wide both = inside & __builtin_shufflevector(inside, inside, 2, 3, 0, 1);
    if (!(both[0] & both[1])) {
      V4 q = u / LT;
      q = q < hi ? q : hi;  // NaN too: rays with no layer rest
      q = q > lo ? q : lo;
      const I4 e = __builtin_convertvector(q, I4) - offset;
      foundInLayerOne |= e == one;
      V4 r0, r1, r2, r3;
      std::memcpy(&r0, TR + 4 * static_cast<std::uint32_t>(e[0]), sizeof r0);
      std::memcpy(&r1, TR + 4 * static_cast<std::uint32_t>(e[1]), sizeof r1);
      std::memcpy(&r2, TR + 4 * static_cast<std::uint32_t>(e[2]), sizeof r2);
      std::memcpy(&r3, TR + 4 * static_cast<std::uint32_t>(e[3]), sizeof r3);
      const V4 t0 = __builtin_shufflevector(r0, r1, 0, 4, 2, 6);
      const V4 t1 = __builtin_shufflevector(r0, r1, 1, 5, 3, 7);
      const V4 t2 = __builtin_shufflevector(r2, r3, 0, 4, 2, 6);
      const V4 t3 = __builtin_shufflevector(r2, r3, 1, 5, 3, 7);
      low = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
      high = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
      const V4 density = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
      const V4 step = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
      std::memcpy(kept, &low, sizeof low);
      std::memcpy(kept + 4, &high, sizeof high);
      std::memcpy(kept + 8, &density, sizeof density);
      std::memcpy(kept + 12, &step, sizeof step);
      std::memcpy(Layer + i, &e, sizeof e);
      const Wide unknown = low != low;
      if ((unknown[0] | unknown[1]) | (unknown[2] | unknown[3])) Found[found++] = i;
    }
    V4 x, s, c, d, dir, density, step;
    std::memcpy(&x, X + i, sizeof x);
    std::memcpy(&s, S + i, sizeof s);
    std::memcpy(&c, C + i, sizeof c);
    std::memcpy(&d, D + i, sizeof d);
    std::memcpy(&dir, Dir + i, sizeof dir);
    std::memcpy(&density, kept + 8, sizeof density);
    std::memcpy(&step, kept + 12, sizeof step);
    const Wide moved = d == density;
    const V4 nx = moved ? x + step * s : x;
    const V4 ny = moved ? y + dir * step * c : y;
    sum += nx + ny;
    std::memcpy(NX + i, &nx, sizeof nx);
    std::memcpy(NY + i, &ny, sizeof ny);
    std::memcpy(F + i, &moved, sizeof moved);
    const Wide isLeft = nx < X1;
    // Not moved where the rays do not rest (the step is a number), or the
    // first right of the receiver.
    const Wide event =
        (~moved & (step == step)) | (__builtin_shufflevector(left, isLeft, 3, 4, 5, 6) & ~isLeft);
    left = isLeft;
    const Wide any = event | __builtin_shufflevector(event, event, 2, 3, 0, 1);
    if (any[0] | any[1]) Events[events++] = i;
  }
  for (int j = i; j < n; ++j) {
    NX[j] = X[j];
    NY[j] = Y[j];
    F[j] = 0;
    Layer[j] = 0;
  }
  if (i < n) Events[events++] = i;
  layerOne =
      ((inLayerOne[0] | inLayerOne[1]) | (inLayerOne[2] | inLayerOne[3])) ||
      ((foundInLayerOne[0] | foundInLayerOne[1]) | (foundInLayerOne[2] | foundInLayerOne[3]));
  // A sum of finite positions is finite (or so large that the plain step
  // is as good).
  return std::isfinite((sum[0] + sum[1]) + (sum[2] + sum[3])) ? events : -1;
}

// The segments of this step can be drawn without a fault: the picture
// refuses a segment only when its pixels lie beyond the numbers, far past
// these positions at any scale of fewer than 1e7 pixels a unit. A move is
// at most ten times Vs·dt (no ray moves where the density is below 0,1).
bool WithinDrawingReach(const MediumState& M, const StepConstants& k) {
  constexpr double kReach = 1e300;
  const double scale = std::fabs(k.scale);
  bool near = scale >= 1 && scale <= kReach && std::fabs(k.Vs * k.dt) <= kReach / 10;
  const int n = M.Rays();
  for (int i = 0; i < n; ++i) {
    near &= std::fabs(M.RayX[i]) <= kReach;
    near &= std::fabs(M.RayY[i]) <= kReach;
  }
  return near;
}

template <DensityLaw L, bool kDraw>
RayStepResult BundleStep(SharedPool& P, MediumState& M, Canvas* canvas) {
  const StepConstants k = ConstantsOf<true>(P, M);
  // A fault while drawing would come after rays were changed in place; the
  // straightforward step draws each move as it goes.
  const bool drawable = !kDraw || WithinDrawingReach(M, k);
  // Rays in layer 1 record Vs2 of the period, which must be there.
  const int p = P.PeriodNumber;
  if (k.LT == 0 || M.FrontState != 0 || !drawable || !M.Vs2.Contains(p)) {
    return Step<L, true, kDraw>(P, M, canvas);
  }
  MakeLayerTable<L>(M, k.Vs, k.dt, k.LT);
  MediumState::RayStepWork& w = M.Work;
  const int n = M.Rays();
  if (const auto kept = 16 * static_cast<std::size_t>(n / 4); w.rayLayer.size() != kept) {
    // No ray's layer known: every one is found at its first step.
    w.rayLayer.assign(kept, 0.0);
    for (std::size_t b = 0; b < w.rayLayer.size(); b += 16) {
      std::fill_n(w.rayLayer.begin() + static_cast<std::ptrdiff_t>(b), 4, HUGE_VAL);
      std::fill_n(w.rayLayer.begin() + static_cast<std::ptrdiff_t>(b) + 4, 4, -HUGE_VAL);
    }
  }
  for (auto* a : {&w.nextX, &w.nextY, &w.speed}) a->resize(static_cast<std::size_t>(n));
  w.flags.resize(static_cast<std::size_t>(n));
  w.layer.resize(static_cast<std::size_t>(n));
  w.events.resize(static_cast<std::size_t>(n / 4 + 1));
  w.found.resize(static_cast<std::size_t>(n / 4));
  double lowOne, highOne;
  SpanOf(w, 2 - w.firstLayer, lowOne, highOne);
  bool layerOne = false;
  int found = 0;
  const int events = MovePairs(M, k, lowOne, layerOne, found);
  KeepSpans(w, found);
  if (events < 0) return Step<L, true, kDraw>(P, M, canvas);
  const int entryOne = 2 - w.firstLayer;

  double* const X = M.RayX.data();
  double* const Y = M.RayY.data();
  double* const NX = w.nextX.data();
  double* const NY = w.nextY.data();
  std::int64_t* const F = w.flags.data();
  auto speedOf = [&](int i) { return F[i] == kAloneMoved ? w.speed[i] : w.layerSpeed[w.layer[i]]; };
  // Not moved by the table, in a layer where the rays do not rest.
  auto alone = [&](int i) {
    return F[i] == 0 && std::bit_cast<std::uint64_t>(w.layerRests[w.layer[i]]) == 0;
  };
  auto lastMovedBefore = [&](int i) {
    while (--i >= 0 && !Moved(F[i])) {
    }
    return i;
  };
  // Rays from `from` on stay where they were; the moved ones before it are
  // drawn, and the next positions become the rays'.
  auto finish = [&](int from) {
    std::copy(X + from, X + n, NX + from);
    std::copy(Y + from, Y + n, NY + from);
    if constexpr (kDraw) {
      // The picture's coordinates of the moved rays only, in order, one
      // segment each: four rays that all moved are divided at once.
      w.drawn.resize(4 * static_cast<std::size_t>(n));
      double* const segment = w.drawn.data();
      const V4 scale = {k.scale, k.scale, k.scale, k.scale};
      std::size_t moves = 0;
      auto one = [&](int j) {
        if (!Moved(F[j])) return;
        double* const to = segment + 4 * moves++;
        to[0] = X[j] / k.scale;
        to[1] = Y[j] / k.scale;
        to[2] = NX[j] / k.scale;
        to[3] = NY[j] / k.scale;
      };
      int i = 0;
      for (; i + 4 <= from; i += 4) {
        // Only the two moved flags, −1 and −3, are all ones with bit 1 set.
        if (((F[i] | 2) & (F[i + 1] | 2) & (F[i + 2] | 2) & (F[i + 3] | 2)) == -1) {
          V4 a, b, c, d;
          std::memcpy(&a, X + i, sizeof a);
          std::memcpy(&b, Y + i, sizeof b);
          std::memcpy(&c, NX + i, sizeof c);
          std::memcpy(&d, NY + i, sizeof d);
          a /= scale;
          b /= scale;
          c /= scale;
          d /= scale;
          double* const to = segment + 4 * moves;
          for (int j = 0; j < 4; ++j) {
            to[4 * j] = a[j];
            to[4 * j + 1] = b[j];
            to[4 * j + 2] = c[j];
            to[4 * j + 3] = d[j];
          }
          moves += 4;
          continue;
        }
        for (int j = i; j < i + 4; ++j) one(j);
      }
      for (; i < from; ++i) one(i);
      canvas->Segments(segment, moves, kBundleRay);
    }
    M.RayX.swap(w.nextX);
    M.RayY.swap(w.nextY);
  };

  RayStepResult r;
  int frontState = 0;
  int end = n;  // the rays the step went through
  // The front check of ray i, moved, against ray i − 1: when the two
  // straddle the receiver the front may have reached it, which ends the step.
  auto straddles = [&](int i) { return i > 0 && NX[i - 1] < k.X1 && k.X1 < NX[i]; };
  auto received = [&](int i) {
    if (!straddles(i)) return false;
    frontState = FrontAfter(frontState, k, NX[i - 1], NY[i - 1], NX[i], NY[i]);
    if (!Received(frontState)) return false;
    r.receivingRay = i;
    r.moveX = NX[i] - X[i];
    r.moveY = NY[i] - Y[i];
    const int j = lastMovedBefore(i);
    r.prevMoveX = j >= 0 ? NX[j] - X[j] : M.PrevMoveX;
    r.prevMoveY = j >= 0 ? NY[j] - Y[j] : M.PrevMoveY;
    r.prevLocalSpeed = j >= 0 ? speedOf(j) : M.LocalSpeed;
    end = i + 1;
    return true;
  };
  // A ray moved in layer 1 before `limit` records the layer's speed as Vs2,
  // as each one would.
  auto recordLayerOne = [&](int limit) {
    if (!layerOne) return;
    for (int i = 0; i < limit; ++i) {
      if (F[i] == kMoved && w.layer[i] == entryOne) {
        M.Vs2(p) = w.layerSpeed[entryOne];
        return;
      }
    }
  };
  const double* const TD = w.layerDensity.data();
  int next = 0;  // the rays before it are done
  int at = 0;    // the ray being worked out alone
  try {
    for (int event = 0; event < events && end == n; ++event) {
      const int e = w.events[event];
      for (int i = std::max(e, next); i < std::min(e + 4, n); ++i) {
        if (!alone(i)) {
          if (F[i] == kMoved && straddles(i) && received(i)) break;
          continue;
        }
        RayMove m;
        at = i;
        // In a layer of the table the ray only changes density.
        const int layer = w.layer[i];
        bool moves = true;
        if (!std::isnan(TD[layer])) {
          if (layer == entryOne) M.Vs2(p) = w.layerSpeed[layer];
          MoveInLayer<true>(M, k, i, TD[layer], w.layerSpeed[layer], w.layerStep[layer], m);
        } else {
          moves = MoveRay<L, true>(P, M, k, i, m);
        }
        if (moves) {
          M.RayDensity[i] = m.density;
          NX[i] = m.xn;
          NY[i] = m.yn;
          w.speed[i] = m.speed;
          F[i] = kAloneMoved;
          if (straddles(i) && received(i)) break;
        } else {
          F[i] = kAloneRested;
        }
        // The next ray's front check waited for this ray's position.
        next = i + 1;
        if (i + 1 < n && !alone(i + 1)) {
          next = i + 2;
          if (F[i + 1] == kMoved && straddles(i + 1) && received(i + 1)) break;
        }
      }
    }
  } catch (...) {
    // The ray that faulted and those after it did not move.
    recordLayerOne(at);
    finish(at);
    throw;
  }
  if (const int last = lastMovedBefore(end); last >= 0) {
    const int before = lastMovedBefore(last);
    M.PrevLocalSpeed = before >= 0 ? speedOf(before) : M.LocalSpeed;
    M.LocalSpeed = speedOf(last);
    M.PrevMoveX = NX[last] - X[last];
    M.PrevMoveY = NY[last] - Y[last];
  }
  M.FrontState = frontState;
  recordLayerOne(end);
  finish(end);
  return r;
}

template <DensityLaw L>
RayStepResult StepByRules(SharedPool& P, MediumState& M, const RayStepInput& in) {
  if (in.bundle && !in.straightforward) {
    return in.canvas ? BundleStep<L, true>(P, M, in.canvas) : BundleStep<L, false>(P, M, nullptr);
  }
  if (in.bundle) {
    return in.canvas ? Step<L, true, true>(P, M, in.canvas) : Step<L, true, false>(P, M, nullptr);
  }
  return in.canvas ? Step<L, false, true>(P, M, in.canvas) : Step<L, false, false>(P, M, nullptr);
}

}  // namespace

void ComputeBundleShape(SharedPool& P, MediumState& M) {
  if (M.RayCount < 1 || M.RayCount > kMaxRayCount) RaiseInputFault("ray count");
  if (M.Np < 1 || M.Np > kMaxLayers) RaiseInputFault("layer count");
  M.BundleStartAngle = Chk(P.Pi / 2 - M.MeanAngle - M.ConeAngle / 2);
  M.RayAngleStep = CheckedDiv(M.ConeAngle, M.RayCount);
  M.LayerThickness = CheckedDiv(Chk(P.Y(1) - P.Y(2)), M.Np);
  // Layers of no thickness (or thinner than any double) cannot be counted.
  if (M.LayerThickness == 0) RaiseInputFault("zero layer thickness");
}

void ConvertFrame(SharedPool& P, MediumState& M, bool relativistic) {
  P.CurrentTime = 0;
  M.T0 = 0;
  M.T1 = 0;
  M.kT1 = 1;
  M.kT2 = 1;
  M.kTiso = 1;
  M.SourceStartX = P.X(2);
  const double V = M.VXiso;
  if (!relativistic) {
    P.VX(1) = Chk(P.VX(1) - V);
    P.VX(2) = Chk(P.VX(2) - V);
    return;
  }
  const double c = P.Vs;
  const double c2 = Chk(c * c);
  // Lengths along X in the moving frame.
  M.kTiso = CheckedSqrt(Chk(1 - CheckedDiv(Chk(V * V), c2)));
  const double X10 = P.X(1);
  const double X20 = P.X(2);
  P.X(1) = CheckedDiv(P.X(1), M.kTiso);
  P.X(2) = CheckedDiv(P.X(2), M.kTiso);
  // Velocities, the Y components with the X speeds before the change.
  const double d1 = Chk(1 - CheckedDiv(Chk(V * P.VX(1)), c2));
  const double d2 = Chk(1 - CheckedDiv(Chk(V * P.VX(2)), c2));
  P.VY(1) = CheckedDiv(Chk(M.kTiso * P.VY(1)), d1);
  P.VY(2) = CheckedDiv(Chk(M.kTiso * P.VY(2)), d2);
  P.VX(1) = CheckedDiv(Chk(P.VX(1) - V), d1);
  P.VX(2) = CheckedDiv(Chk(P.VX(2) - V), d2);
  // Clocks.
  const double T1 = CheckedDiv(-CheckedDiv(Chk(V * X10), c2), M.kTiso);
  const double T2 = CheckedDiv(-CheckedDiv(Chk(V * X20), c2), M.kTiso);
  const double dT = Chk(T1 - T2);
  // The bodies' own clock rates.
  M.kT1 = CheckedSqrt(Chk(1 - CheckedDiv(Chk(P.VX(1) * P.VX(1)), c2)));
  M.kT2 = CheckedSqrt(Chk(1 - CheckedDiv(Chk(P.VX(2) * P.VX(2)), c2)));
  // The source moves on to the receiver's clock origin.
  P.X(2) = Chk(P.X(2) + Chk(dT * P.VX(2)));
  P.Y(2) = Chk(P.Y(2) + Chk(dT * P.VY(2)));
  P.CurrentTime = T1;
  M.T0 = T1;
  M.T1 = T1;
  M.SourceStartX = P.X(2);
}

void LaunchBundle(SharedPool& P, MediumState& M, DensityLaw law) {
  const double x2 = P.X(2);
  const double y2 = P.Y(2);
  const double density = LayerDensity(law, M.Kp, M.Np, 1);
  const int n = M.Rays();
  for (int i = 0; i < n; ++i) {
    const double a = Chk(M.BundleStartAngle + i * M.RayAngleStep);
    M.RayLaunchAngle[i] = a;
    M.RaySin[i] = std::sin(a);
    M.RayCos[i] = std::sqrt(1 - M.RaySin[i] * M.RaySin[i]);
    M.RayX[i] = x2;
    M.RayY[i] = y2;
    M.RayDirY[i] = 1;
    M.RayDensity[i] = density;
  }
}

RayStepResult PropagateRays(SharedPool& P, MediumState& M, const RayStepInput& in) {
  switch (in.law) {
    case DensityLaw::Linear:
      return StepByRules<DensityLaw::Linear>(P, M, in);
    case DensityLaw::Square:
      return StepByRules<DensityLaw::Square>(P, M, in);
    case DensityLaw::FromTop:
      return StepByRules<DensityLaw::FromTop>(P, M, in);
    case DensityLaw::FromTopSquare:
      break;
  }
  return StepByRules<DensityLaw::FromTopSquare>(P, M, in);
}

}  // namespace velmor
