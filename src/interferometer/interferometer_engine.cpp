// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interferometer_engine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/geometry.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

// Steps between two yields inside a long batch, so the window stays
// responsive whatever NC0 is; the stop flag is still honoured at refreshes.
constexpr long long kYieldEvery = 16384;

// h of SurfaceApproach from the join (dx, dy): L*sin(delta) is the cross
// product of the join with the surface direction, and the fold of delta into
// [0, Pi) makes it |cross| for every surface angle in [0, Pi]. Other angles
// keep the single fold, sign and all.
inline double FoldedDistance(const SharedPool& p, double dx, double dy, double alpha, double ca,
                             double sa, bool general) {
  const double cross = dy * ca - dx * sa;
  if (!general) return std::fabs(cross);
  const double delta = AngleRad(p, dx, dy) - alpha;
  return (delta > p.Pi || delta < 0) ? -cross : cross;
}

inline bool GeneralAngle(const SharedPool& p, double alpha) {
  return !(alpha >= 0 && alpha <= p.Pi);
}

}  // namespace

double DopplerShiftedFrequency(DopplerOption option, double nu, double q, double r, double c) {
  switch (option) {
    case DopplerOption::None:
      return nu;
    case DopplerOption::Classic:
      return CheckedDiv(Chk(nu * (1 - CheckedDiv(r, c))), Chk(1 - CheckedDiv(q, c)));
    case DopplerOption::Relativistic: {
      const double qc = CheckedDiv(q, c);
      const double rc = CheckedDiv(r, c);
      const double num = Chk(nu * (1 - rc) * CheckedSqrt(Chk(1 - qc * qc)));
      return CheckedDiv(CheckedDiv(num, 1 - qc), CheckedSqrt(Chk(1 - rc * rc)));
    }
  }
  return nu;
}

Approach SurfaceApproach(const SharedPool& pool, double VX, double VY, double px, double py,
                         double sx, double sy, double alpha) {
  const double dx = px - sx;
  const double dy = py - sy;
  const double ca = std::cos(alpha);
  const double sa = std::sin(alpha);
  Approach a;
  a.L = std::sqrt(dx * dx + dy * dy);
  a.theta = AngleRad(pool, dx, dy);
  a.h = FoldedDistance(pool, dx, dy, alpha, ca, sa, GeneralAngle(pool, alpha));
  a.u = std::fabs(VX * sa - VY * ca);
  return a;
}

std::string PaddedFixed(double x, int whole, int decimals) {
  // to_chars, not printf: the C library's locale (set from the machine's by
  // the toolkit) would put its own decimal separator in.
  std::vector<char> buf(400);
  const auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(x),
                                       std::chars_format::fixed, decimals);
  std::string s = ec == std::errc() ? std::string(buf.data(), end) : std::string("0");
  const std::size_t dot = s.find('.');
  const std::size_t intLen = dot == std::string::npos ? s.size() : dot;
  if (static_cast<int>(intLen) < whole) s.insert(0, static_cast<std::size_t>(whole) - intLen, '0');
  bool nonzero = false;
  for (char& ch : s) {
    if (ch == '.') ch = ',';
    if (ch >= '1' && ch <= '9') nonzero = true;
  }
  return x < 0 && nonzero ? "-" + s : s;
}

double ComputingMinutes(double seconds) {
  return Fix(seconds * 1000 / 60) / 1000;
}

// ---------------------------------------------------------------------------

struct InterferometerEngine::Test {
  enum Kind { None, Surface, ArriveX, ArriveY } kind = None;
  int slot = 0;
  double alpha = 0;
  double ca = 1, sa = 0;
  double udt = 0;
  bool general = false;
};

int ElementLayout::Slot(int element) {
  switch (element) {
    case 30:
      return kE30;
    case 40:
      return kE40;
    default:
      return element - 1;
  }
}

InterferometerEngine::InterferometerEngine(SharedPool& p) : pool(p) {}

ElementLayout PlacedElements(const InterferometerSetup& s) {
  ElementLayout l;
  using E = ElementLayout;
  l.scheme = s.scheme;
  l.mirrorWidth = s.mirrorWidth;
  l.thickness = s.thickness;
  l.alfa[1] = s.alfa1;
  l.alfa[2] = s.alfa2;
  l.alfa[3] = s.alfa3;
  l.alfa[4] = s.alfa4;
  l.scale = s.scale;
  l.D = s.D;
  l.ex[E::kE1] = s.X1;
  if (s.scheme == 3) {
    l.ex[E::kE2] = s.Y2;  // the right mirror's x
    l.ex[E::kE6] = -s.D / 2;
    l.ey[E::kE6] = Chk(s.X6 + s.D / 2);  // Y6 + D/2
    return l;
  }
  l.ey[E::kE2] = s.Y2;
  l.ex[E::kE3] = s.X3;
  l.ey[E::kE3] = s.Y3;
  l.ey[E::kE4] = s.Y4;
  l.ey[E::kE5] = s.Y5;
  l.ex[E::kE6] = s.X6;
  // Both coordinates of a back face are offset by d*sin(angle).
  const double d3 = Chk(s.thickness * std::sin(s.alfa3));
  const double d4 = Chk(s.thickness * std::sin(s.alfa4));
  l.ex[E::kE30] = Chk(s.X3 - d3);
  l.ey[E::kE30] = Chk(s.Y3 - d3);
  l.ex[E::kE40] = Chk(0 - d4);
  l.ey[E::kE40] = Chk(s.Y4 - d4);
  return l;
}

void InterferometerEngine::InitialiseBeams(const InterferometerSetup& s, const EngineOptions& o,
                                           Canvas& picture) {
  for (BoundedArray<double>* a : {&nu, &rho0, &rho, &An, &Tk1, &Tk2, &Sk1, &Sk2, &Vk1, &Vk2}) {
    a->Fill(0);
  }
  Vx = Chk(s.Vsys * std::cos(s.alfa));
  Vy = Chk(s.Vsys * std::sin(s.alfa));
  dt = s.dt;
  c = s.c;
  K = s.K;
  n0 = s.n0;
  ng = s.ng;
  NC0 = s.NC0;
  nu0 = CheckedDiv(s.c, s.lambda);
  static_cast<ElementLayout&>(*this) = PlacedElements(s);

  const double deg = pool.DegPerRad;
  Beam& b1 = beam[0];
  Beam& b2 = beam[1];
  b1 = Beam{};
  b2 = Beam{};
  if (scheme != 3) {
    for (int i : {10, 14, 15, 18, 20, 22, 24, 25, 27, 28}) rho0(i) = n0;
    for (int i : {11, 13, 16, 21, 23, 26}) rho0(i) = ng;
    if (scheme == 2) rho0(27) = ng;
    // The arrival segments have no glass: the medium.
    rho0(19) = n0;
    rho0(29) = n0;
    nu(9) = nu(19) = nu(10) = nu(20) = nu0;
    if (o.doppler != DopplerOption::None) {
      const double u = Chk(Vy * std::sin(s.aim) + Vx * std::cos(s.aim));
      nu(10) = nu(20) = DopplerShiftedFrequency(o.doppler, nu0, u, 0, c);
    }
    rho(10) = rho0(10);
    if (o.frequencyDensity) rho(10) = Chk((rho0(10) - 1) * (nu(10) - nu0) * K + rho0(10));
    double V = c;
    if (o.densitySpeed) V = CheckedDiv(c, rho(10));
    b1.V = b2.V = V;
    Vk1(10) = Vk2(20) = V;
    rho(20) = rho(10);
    An(0) = An(10) = An(20) = s.aim;
    picture.PrintAt(4, 23, "Alfa10=   " + PaddedFixed(Chk(s.aim * deg), 3, 6));
    picture.PrintAt(10, 23, "Alfa20=   " + PaddedFixed(Chk(s.aim * deg), 3, 6));
    b1.VX = b2.VX = Chk(V * std::cos(s.aim));
    b1.VY = b2.VY = Chk(V * std::sin(s.aim));
    b1.x = b2.x = ex[kE5];
    b1.y = b2.y = ey[kE5];
  } else {
    rho0(10) = rho0(20) = ng;
    rho0(11) = rho0(21) = n0;
    rho0(12) = rho0(22) = n0;
    nu(9) = nu(10) = nu(19) = nu(20) = nu0;
    if (o.doppler != DopplerOption::None) {
      nu(10) = DopplerShiftedFrequency(o.doppler, nu0, -Vx, 0, c);
      nu(20) = DopplerShiftedFrequency(o.doppler, nu0, Vx, 0, c);
    }
    rho(10) = rho0(10);
    if (o.frequencyDensity) rho(10) = Chk((rho0(10) - 1) * (nu(10) - nu0) * K + rho0(10));
    double V = c;
    if (o.densitySpeed) V = CheckedDiv(c, rho(10));
    b1.V = b2.V = V;
    Vk1(10) = Vk2(20) = V;
    rho(20) = rho(10);
    An(0) = s.aim;
    An(10) = pool.Pi;
    An(20) = 0;
    picture.PrintAt(4, 23, "Alfa10=   " + PaddedFixed(Chk(An(10) * deg), 3, 6));
    picture.PrintAt(10, 23, "Alfa20=   " + PaddedFixed(0, 3, 6));
    b1.VX = -V;
    b1.VY = 0;
    b2.VX = V;
    b2.VY = 0;
    b1.x = b2.x = ex[kE5];
    b1.y = b2.y = ey[kE5];
  }
  b1.seg = 10;
  b2.seg = 20;
  stopFlag = 0;
  T = 0;
  counter = 0;
  eventsPending = false;
}

void InterferometerEngine::RequestStop() {
  stopFlag = 1;
  ++stopRequests_;
}

int InterferometerEngine::FinalSegment(int b) const {
  if (scheme == 3) return b == 0 ? 12 : 22;
  return b == 0 ? 19 : 29;
}

bool InterferometerEngine::BothArrived() const {
  return beam[0].seg == FinalSegment(0) && beam[1].seg == FinalSegment(1);
}

void InterferometerEngine::ArrivalCheck() {
  if (BothArrived()) {
    counter = NC0;
    stopFlag = 1;
  }
}

// The surface each segment heads for.
InterferometerEngine::Test InterferometerEngine::CurrentTest(int b) const {
  Test t;
  const int seg = beam[b].seg;
  int element = 0;
  int angle = 0;
  if (scheme == 3) {
    if (seg == 10 || seg == 20) {
      element = angle = seg == 10 ? 1 : 2;
    } else if (seg == 11 || seg == 21) {
      t.kind = Test::ArriveY;
      return t;
    }
  } else {
    switch (seg) {
      case 10:
      case 13:
      case 15:
        element = 30;
        angle = 3;
        break;
      case 11:
      case 16:
      case 27:
        element = 3;
        angle = 3;
        break;
      case 14:
        element = angle = 1;
        break;
      case 22:
      case 26:
        element = 40;
        angle = 4;
        break;
      case 23:
      case 25:
        element = angle = 4;
        break;
      case 24:
        element = angle = 2;
        break;
      case 18:
      case 28:
        t.kind = Test::ArriveX;
        return t;
      default:
        break;
    }
  }
  if (element == 0) return t;
  t.kind = Test::Surface;
  t.slot = Slot(element);
  t.alpha = alfa[angle];
  t.ca = std::cos(t.alpha);
  t.sa = std::sin(t.alpha);
  t.general = GeneralAngle(pool, t.alpha);
  const Beam& be = beam[b];
  t.udt = std::fabs(be.VX * t.sa - be.VY * t.ca) * dt;
  return t;
}

bool InterferometerEngine::Fires(const Test& t, double px, double py) const {
  switch (t.kind) {
    case Test::Surface:
      return t.udt >
             FoldedDistance(pool, px - ex[t.slot], py - ey[t.slot], t.alpha, t.ca, t.sa, t.general);
    case Test::ArriveX:
      return px > ex[kE6];
    case Test::ArriveY:
      return py > ey[kE6] - D / 2;
    case Test::None:
      break;
  }
  return false;
}

void InterferometerEngine::Advance() {
  T = T + dt;
  ++counter;
  const double mx = Vx * dt;
  const double my = Vy * dt;
  for (int i = 0; i < kElements; ++i) {
    ex[i] += mx;
    ey[i] += my;
  }
  for (Beam& be : beam) {
    be.x += be.VX * dt;
    be.y += be.VY * dt;
    be.V = std::sqrt(be.VX * be.VX + be.VY * be.VY);
    be.S += be.V * dt;
  }
}

bool InterferometerEngine::FastSteps(long long budget) {
  const Test t0 = CurrentTest(0);
  const Test t1 = CurrentTest(1);
  // The loop works on local copies: nothing else runs until it returns.
  double px[kElements];
  double py[kElements];
  for (int i = 0; i < kElements; ++i) {
    px[i] = ex[i];
    py[i] = ey[i];
  }
  double x0 = beam[0].x, y0 = beam[0].y, x1 = beam[1].x, y1 = beam[1].y;
  double S0 = beam[0].S, S1 = beam[1].S;
  const double V0 = std::sqrt(beam[0].VX * beam[0].VX + beam[0].VY * beam[0].VY);
  const double V1 = std::sqrt(beam[1].VX * beam[1].VX + beam[1].VY * beam[1].VY);
  const double d0x = beam[0].VX * dt, d0y = beam[0].VY * dt;
  const double d1x = beam[1].VX * dt, d1y = beam[1].VY * dt;
  const double s0 = V0 * dt, s1 = V1 * dt;
  const double mx = Vx * dt, my = Vy * dt;
  const double step = dt;
  double t = T;
  const double halfD = D / 2;
  const SharedPool& P = pool;
  // The same tests as Fires, on the local copies.
  auto fire = [&](const Test& t, double x, double y) {
    switch (t.kind) {
      case Test::Surface:
        return t.udt >
               FoldedDistance(P, x - px[t.slot], y - py[t.slot], t.alpha, t.ca, t.sa, t.general);
      case Test::ArriveX:
        return x > px[kE6];
      case Test::ArriveY:
        return y > py[kE6] - halfD;
      case Test::None:
        break;
    }
    return false;
  };
  long long n = 0;
  bool fired = false;
  while (n < budget) {
    t = t + step;
    ++n;
    for (int i = 0; i < kElements; ++i) {
      px[i] += mx;
      py[i] += my;
    }
    x0 += d0x;
    y0 += d0y;
    x1 += d1x;
    y1 += d1y;
    S0 += s0;
    S1 += s1;
    if (fire(t0, x0, y0) || fire(t1, x1, y1)) {
      fired = true;
      break;
    }
  }
  for (int i = 0; i < kElements; ++i) {
    ex[i] = px[i];
    ey[i] = py[i];
  }
  beam[0].x = x0;
  beam[0].y = y0;
  beam[1].x = x1;
  beam[1].y = y1;
  beam[0].S = S0;
  beam[1].S = S1;
  beam[0].V = V0;
  beam[1].V = V1;
  T = t;
  counter += n;
  return fired;
}

void InterferometerEngine::StepOnce(InterferometerHost& host) {
  Advance();
  if (ProcessEvents(host) == Outcome::Aborted) eventsPending = true;
  ArrivalCheck();
}

InterferometerEnd InterferometerEngine::Run(InterferometerHost& host) {
  return scheme == 3 ? TraceTwoMirrorScheme(host) : TraceBeamsplitterScheme(host);
}

InterferometerEnd InterferometerEngine::TraceBeamsplitterScheme(InterferometerHost& host) {
  return StepLoop(host, &InterferometerEngine::BeamSplitterEvents);
}

InterferometerEnd InterferometerEngine::TraceTwoMirrorScheme(InterferometerHost& host) {
  return StepLoop(host, &InterferometerEngine::TwoMirrorEvents);
}

InterferometerEnd InterferometerEngine::StepLoop(InterferometerHost& host, Events events) {
  requestsAtRunStart_ = stopRequests_;
  correctionIterations = 0;
  closing_ = false;
  try {
    long long sinceYield = 0;
    for (;;) {
      bool abandoned = false;
      if (eventsPending) {
        eventsPending = false;
        if ((this->*events)(host) == Outcome::Aborted) {
          eventsPending = true;
          abandoned = true;
        } else {
          ArrivalCheck();
        }
      }
      while (!abandoned && counter < NC0) {
        if (BothArrived()) {
          Advance();
          ArrivalCheck();
          break;
        }
        long long budget = NC0 - counter;
        if (!loadMode) budget = std::min(budget, kYieldEvery - sinceYield);
        const long long before = counter;
        const bool candidate = FastSteps(budget);
        sinceYield += counter - before;
        if (candidate) {
          if ((this->*events)(host) == Outcome::Aborted) {
            eventsPending = true;
            abandoned = true;
            break;
          }
          ArrivalCheck();
        }
        if (!loadMode && sinceYield >= kYieldEvery && counter < NC0) {
          sinceYield = 0;
          if (!host.Yield()) return InterferometerEnd::Closed;
        }
      }
      if (abandoned && closing_) return InterferometerEnd::Closed;
      counter = 0;
      host.Refresh();
      if (stopFlag == 0 && !abandoned) {
        if (!loadMode) {
          sinceYield = 0;
          if (!host.Yield()) return InterferometerEnd::Closed;
          continue;
        }
        loadMode = false;
        return InterferometerEnd::LoadBatch;
      }
      loadMode = false;
      return InterferometerEnd::Stopped;
    }
  } catch (const ComputeFault&) {
    loadMode = false;
    return InterferometerEnd::Fault;
  }
}

// ---------------------------------------------------------------------------
// Events

InterferometerEngine::Outcome InterferometerEngine::ProcessEvents(InterferometerHost& host) {
  return scheme == 3 ? TwoMirrorEvents(host) : BeamSplitterEvents(host);
}

InterferometerEngine::Outcome InterferometerEngine::BeamSplitterEvents(InterferometerHost& host) {
  int& ii = beam[0].seg;
  int& jj = beam[1].seg;
  auto fires = [&](int b) { return Fires(CurrentTest(b), beam[b].x, beam[b].y); };
  const bool one = scheme == 1;
  auto ok = [](Outcome o) { return o == Outcome::Done; };
  // Beam 1, in the order of its segments.
  if (ii == 10 && fires(0) && !ok(SharedFirstEvent(host))) return Outcome::Aborted;
  if (ii == 11 && fires(0) && !ok(Reflection(host, 0, 11, 13, 3, Edge::Plus, false, {}))) {
    return Outcome::Aborted;
  }
  // Beam 2 leaves the splitter in the step beam 1 is reflected there.
  if (jj == 21 && ii >= 13 && !ok(Refraction(host, 1, 21, 22, 3, Edge::Plus, false, 1))) {
    return Outcome::Aborted;
  }
  if (ii == 13 && fires(0) && !ok(Refraction(host, 0, 13, 14, 30, Edge::Minus, false, 2))) {
    return Outcome::Aborted;
  }
  if (ii == 14 && fires(0)) {
    const Outcome o =
        one ? Reflection(host, 0, 14, 15, 1, Edge::Sigma, false, {}) : SetupTwoReturn(host);
    if (!ok(o)) return Outcome::Aborted;
  }
  if (ii == 15 && fires(0) && !ok(Refraction(host, 0, 15, 16, 30, Edge::Minus, true, 3))) {
    return Outcome::Aborted;
  }
  if (ii == 16 && fires(0)) {
    if (one) {
      if (!ok(Refraction(host, 0, 16, 18, 3, Edge::Minus, true, 3))) return Outcome::Aborted;
    } else {
      // The returning beam leaves the glass without refraction.
      beam[0].V = CheckedDiv(Chk(ng * beam[0].V), n0);
      rho(17) = rho(18) = n0;
      nu(18) = nu(16);
      An(18) = An(16);
      LogAngle(host, 0, 18, An(18));
      Direct(0, 18, An(18));
      Count(0, 16, 18);
    }
  }
  if (ii == 18 && fires(0)) Arrival(host, 0, 18, 19);
  // Beam 2.
  if (jj == 22 && fires(1) && !ok(Refraction(host, 1, 22, 23, 40, Edge::Plus, false, 1))) {
    return Outcome::Aborted;
  }
  if (jj == 23 && fires(1) && !ok(Refraction(host, 1, 23, 24, 4, Edge::Plus, false, 1))) {
    return Outcome::Aborted;
  }
  if (jj == 24 && fires(1)) {
    const Outcome o =
        one ? Reflection(host, 1, 24, 25, 2, Edge::Sigma, false, {}) : SetupTwoBeam2Mirror(host);
    if (!ok(o)) return Outcome::Aborted;
  }
  if (jj == 25 && fires(1) && !ok(Refraction(host, 1, 25, 26, 4, Edge::Plus, true, 4))) {
    return Outcome::Aborted;
  }
  if (jj == 26 && fires(1) && !ok(Refraction(host, 1, 26, 27, 40, Edge::Plus, true, 4))) {
    return Outcome::Aborted;
  }
  if (jj == 27 && fires(1)) {
    const Outcome o =
        one ? Reflection(host, 1, 27, 28, 3, Edge::Plus, true, {}) : SetupTwoLastMirror(host);
    if (!ok(o)) return Outcome::Aborted;
  }
  if (jj == 28 && fires(1)) Arrival(host, 1, 28, 29);
  return Outcome::Done;
}

InterferometerEngine::Outcome InterferometerEngine::TwoMirrorEvents(InterferometerHost& host) {
  auto fires = [&](int b) { return Fires(CurrentTest(b), beam[b].x, beam[b].y); };
  for (int b = 0; b < 2; ++b) {
    const int base = b == 0 ? 10 : 20;
    // The mirror events follow the left-mirror event of set-up 1, density
    // step included.
    if (beam[b].seg == base && fires(b) &&
        Reflection(host, b, base, base + 1, b + 1, Edge::Sigma, false, {}) == Outcome::Aborted) {
      return Outcome::Aborted;
    }
    if (beam[b].seg == base + 1 && fires(b)) TwoMirrorArrival(host, b);
  }
  return Outcome::Done;
}

// Step 1 of an event: the moving-surface correction, when its option is on.
// The edge of the front (the mirror width away from the front point) runs on
// with the beam while the surface moves with the apparatus; the line from
// the first contact to where the edge meets the moving surface is the
// surface the front actually sees.
InterferometerEngine::Outcome InterferometerEngine::CorrectedAngle(InterferometerHost& host, int b,
                                                                   int k, int m, Edge edge,
                                                                   bool turn, bool option,
                                                                   bool shared, double speedFactor,
                                                                   double& alpha) {
  if (!option) return Outcome::Done;
  const Beam& be = beam[b];
  const double halfPi = pool.Pi / 2;
  double sigma = 1;
  if (edge == Edge::Sigma && An(k) - alpha > halfPi) sigma = -1;
  const double dir = edge == Edge::Plus ? An(k) + halfPi : An(k) - halfPi;
  const double off = mirrorWidth * sigma;
  double a = 0;
  const Outcome o = EffectiveSurfaceAngle(host, Chk(be.VX * speedFactor), Chk(be.VY * speedFactor),
                                          Chk(be.x + off * std::cos(dir)),
                                          Chk(be.y + off * std::sin(dir)), be.x, be.y, alpha, a);
  if (o == Outcome::Aborted) return o;
  if (turn || sigma < 0) a = a - pool.Pi;
  alpha = a;
  const double deg = Chk(a * pool.DegPerRad);
  Canvas& pic = host.Scheme();
  if (b == 0 || shared) {
    pic.PrintAt(-12.5, 33 - beam[0].seg,
                "Alfa" + std::to_string(m) + "=   " + PaddedFixed(deg, 3, 6));
  }
  if (shared) {
    pic.PrintAt(-6.5, 33 - beam[0].seg,
                "Alfa" + std::to_string(m + 10) + "=   " + PaddedFixed(deg, 3, 6));
  } else if (b == 1) {
    pic.PrintAt(-6.5, 43 - beam[1].seg,
                "Alfa" + std::to_string(m) + "=   " + PaddedFixed(deg, 3, 6));
  }
  return Outcome::Done;
}

// The edge runs on with the beam (VX, VY) from (ex, ey); the contact point
// (cx, cy) moves with the apparatus. Ends when the edge is within one step
// of the surface line through the moving contact point, or no longer closes
// in; the result is the direction from the first contact to the edge.
InterferometerEngine::Outcome InterferometerEngine::EffectiveSurfaceAngle(
    InterferometerHost& host, double VX, double VY, double ex, double ey, double cx, double cy,
    double alpha, double& result) {
  const double c0x = cx, c0y = cy;
  const Approach start = SurfaceApproach(pool, VX, VY, ex, ey, cx, cy, alpha);
  const double h0 = start.h;
  const double udt = start.u * dt;
  const double ca = std::cos(alpha), sa = std::sin(alpha);
  const bool general = GeneralAngle(pool, alpha);
  const bool frontLines = host.Options().frontLines;
  const long long every = 2LL * std::max(NC0, 1);
  long long iter = 0;
  const double mx = Vx * dt, my = Vy * dt;
  const double ux = VX * dt, uy = VY * dt;
  for (;;) {
    ex += ux;
    ey += uy;
    cx += mx;
    cy += my;
    const double h = FoldedDistance(pool, ex - cx, ey - cy, alpha, ca, sa, general);
    ++iter;
    ++correctionIterations;
    if (frontLines && iter % every == 0) {
      host.Scheme().Line(CheckedDiv(ex, scale), CheckedDiv(ey, scale), CheckedDiv(c0x, scale),
                         CheckedDiv(c0y, scale), RGB(0, 250, 0));
    }
    if (!host.Yield()) {
      closing_ = true;
      return Outcome::Aborted;
    }
    // A stop asked for during this run abandons the event; the flag set by
    // "Сделать NC0 шагов" before the run does not.
    if (stopRequests_ != requestsAtRunStart_) return Outcome::Aborted;
    if (!std::isfinite(h)) RaiseComputeFault("overflow");
    if (h >= h0 || udt > h) break;
  }
  result = AngleRad(pool, Chk(ex - c0x), Chk(ey - c0y));
  return Outcome::Done;
}

void InterferometerEngine::Frequency(int b, int k, int m, bool mirror, double alpha,
                                     DopplerOption doppler) {
  nu(m) = nu(k);
  if (doppler == DopplerOption::None) return;
  const Beam& be = beam[b];
  if (mirror) {
    const double thetaN = alpha - pool.Pi / 2;
    const double beta = An(k) - thetaN;
    const double w = Chk(Vx * std::cos(thetaN) + Vy * std::sin(thetaN));
    const double q = -w * std::cos(beta);
    const double r = w * std::cos(beta);
    nu(m) = DopplerShiftedFrequency(doppler, nu(k), q, r, be.V);
  } else {
    const double r = Chk(Vx * std::cos(An(k)));
    nu(m) = DopplerShiftedFrequency(doppler, nu(k), 0, r, be.V);
  }
}

void InterferometerEngine::DensityAndSpeed(int b, int k, int m, const EngineOptions& o) {
  rho(m) = rho0(m);
  if (o.frequencyDensity) rho(m) = Chk((rho0(m) - 1) * (nu(m) - nu0) * K + rho0(m));
  if (o.densitySpeed) beam[b].V = CheckedDiv(Chk(rho(k) * beam[b].V), rho(m));
}

void InterferometerEngine::Direct(int b, int m, double angle) {
  (void)m;
  Beam& be = beam[b];
  be.VX = Chk(be.V * std::cos(angle));
  be.VY = Chk(be.V * std::sin(angle));
}

void InterferometerEngine::LogAngle(InterferometerHost& host, int b, int m, double angle) {
  const std::string text =
      "Alfa" + std::to_string(m) + "=   " + PaddedFixed(Chk(angle * pool.DegPerRad), 3, 6);
  if (b == 0) {
    host.Scheme().PrintAt(4, 32 - beam[0].seg, text);
  } else {
    host.Scheme().PrintAt(10, 42 - beam[1].seg, text);
  }
}

void InterferometerEngine::Count(int b, int k, int m) {
  Beam& be = beam[b];
  be.N = Chk(be.N + (T - be.T) * nu(k));
  be.T = T;
  be.Sev = be.S;
  if (b == 0) {
    Tk1(m) = T;
    Sk1(m) = be.S;
    Vk1(m) = be.V;
  } else {
    Tk2(m) = T;
    Sk2(m) = be.S;
    Vk2(m) = be.V;
  }
  be.seg = m;
}

double InterferometerEngine::Refract(int k, int m, double i) {
  // A sine beyond 1 (total internal reflection) is a fault of ArcSin.
  return ArcSin(CheckedDiv(Chk(std::sin(i) * rho(k)), rho(m)));
}

// Refraction forms: 1 into/out of a face seen from its front, 2 out of the
// splitter to the left, 3 through the splitter to the right, 4 down through
// the plate.
InterferometerEngine::Outcome InterferometerEngine::Refraction(InterferometerHost& host, int b,
                                                               int k, int m, int element, Edge edge,
                                                               bool turn, int form) {
  const int angleOf = element == 30 ? 3 : element == 40 ? 4 : element;
  double alpha = alfa[angleOf];
  const EngineOptions o = host.Options();
  if (CorrectedAngle(host, b, k, m, edge, turn, o.refractionCorrection, false, 1, alpha) ==
      Outcome::Aborted) {
    return Outcome::Aborted;
  }
  const double halfPi = pool.Pi / 2;
  Frequency(b, k, m, false, alpha, DopplerOption::None);
  DensityAndSpeed(b, k, m, o);
  double i = 0;
  double angle = 0;
  switch (form) {
    case 1: {
      i = An(k) - alpha + halfPi;
      const double r = Refract(k, m, i);
      angle = r - halfPi + alpha;
      break;
    }
    case 2: {
      i = halfPi + alpha - An(k);
      const double r = Refract(k, m, i);
      angle = halfPi + alpha - r;
      break;
    }
    case 3: {
      i = alpha - halfPi - An(k);
      const double r = Refract(k, m, i);
      angle = alpha - halfPi - r;
      break;
    }
    default: {
      i = An(k) - alpha - halfPi;
      const double r = Refract(k, m, i);
      angle = halfPi + alpha + r;
      break;
    }
  }
  An(m) = Chk(angle);
  An(m + 20) = Chk(i);
  LogAngle(host, b, m, An(m));
  Direct(b, m, An(m));
  Count(b, k, m);
  return Outcome::Done;
}

// A reflection at a mirror (or the splitter). Set-up 2 changes the beam's
// speed around some of them: `before` multiplies it once the correction is
// done, `toGlass` slows it to the glass speed after the new direction.
InterferometerEngine::Outcome InterferometerEngine::Reflection(InterferometerHost& host, int b,
                                                               int k, int m, int element, Edge edge,
                                                               bool turn,
                                                               const ReflectionSteps& steps) {
  double alpha = alfa[element];
  const EngineOptions o = host.Options();
  if (CorrectedAngle(host, b, k, m, edge, turn, o.reflectionCorrection, false, steps.before,
                     alpha) == Outcome::Aborted) {
    return Outcome::Aborted;
  }
  Beam& be = beam[b];
  if (steps.before != 1) {
    be.V = Chk(be.V * steps.before);
    be.VX = Chk(be.VX * steps.before);
    be.VY = Chk(be.VY * steps.before);
  }
  Frequency(b, k, m, true, alpha, o.doppler);
  if (steps.densityStep) DensityAndSpeed(b, k, m, o);
  An(m) = Chk(2 * alpha - An(k));
  An(m + 20) = Chk(pool.Pi / 2 + alpha - An(k));
  LogAngle(host, b, m, An(m));
  if (steps.toGlass) be.V = CheckedDiv(Chk(n0 * be.V), ng);
  Direct(b, m, An(m));
  Count(b, k, m);
  return Outcome::Done;
}

void InterferometerEngine::Arrival(InterferometerHost& host, int b, int k, int m) {
  const EngineOptions o = host.Options();
  Frequency(b, k, m, false, 0, DopplerOption::None);
  if (o.doppler != DopplerOption::None) {
    const double r = Chk(Vx * std::cos(An(k)));
    nu(m) = DopplerShiftedFrequency(o.doppler, nu(k), 0, r, beam[b].V);
  }
  DensityAndSpeed(b, k, m, o);
  An(m) = An(k);
  Direct(b, m, An(m));
  Count(b, k, m);
}

InterferometerEngine::Outcome InterferometerEngine::SharedFirstEvent(InterferometerHost& host) {
  double alpha = alfa[3];
  const EngineOptions o = host.Options();
  if (CorrectedAngle(host, 0, 10, 11, Edge::Plus, false, o.refractionCorrection, true, 1, alpha) ==
      Outcome::Aborted) {
    return Outcome::Aborted;
  }
  const double halfPi = pool.Pi / 2;
  nu(11) = nu(10);
  nu(21) = nu(20);
  DensityAndSpeed(0, 10, 11, o);
  rho(21) = rho(11);
  beam[1].V = beam[0].V;
  const double i = An(10) - alpha + halfPi;
  const double r = Refract(10, 11, i);
  An(11) = Chk(alpha - halfPi + r);
  An(21) = An(11);
  An(31) = An(41) = Chk(i);
  const int row = 32 - beam[0].seg;
  const double deg = pool.DegPerRad;
  host.Scheme().PrintAt(4, row, "Alfa11=   " + PaddedFixed(Chk(An(11) * deg), 3, 6));
  host.Scheme().PrintAt(10, row, "Alfa21=   " + PaddedFixed(Chk(An(21) * deg), 3, 6));
  Direct(0, 11, An(11));
  Direct(1, 21, An(21));
  Count(0, 10, 11);
  Count(1, 20, 21);
  return Outcome::Done;
}

// Set-up 2, beam 1 at the left mirror: it returns at the glass speed and
// crosses the splitter without refraction, so segment 15 is skipped.
InterferometerEngine::Outcome InterferometerEngine::SetupTwoReturn(InterferometerHost& host) {
  ReflectionSteps steps;
  steps.densityStep = false;
  steps.toGlass = true;
  if (Reflection(host, 0, 14, 15, 1, Edge::Sigma, false, steps) == Outcome::Aborted) {
    return Outcome::Aborted;
  }
  An(16) = An(15);
  nu(16) = nu(15);
  Tk1(16) = Tk1(15);
  Sk1(16) = Sk1(15);
  Vk1(16) = Vk1(15);
  beam[0].seg = 16;
  return Outcome::Done;
}

// Set-up 2, beam 2 at the upper mirror: back at the glass speed, straight
// through the plate to the splitter.
InterferometerEngine::Outcome InterferometerEngine::SetupTwoBeam2Mirror(InterferometerHost& host) {
  ReflectionSteps steps;
  steps.densityStep = false;
  steps.toGlass = true;
  if (Reflection(host, 1, 24, 25, 2, Edge::Sigma, false, steps) == Outcome::Aborted) {
    return Outcome::Aborted;
  }
  for (int s : {26, 27}) {
    An(s) = An(25);
    nu(s) = nu(25);
    Tk2(s) = Tk2(25);
    Sk2(s) = Sk2(25);
    Vk2(s) = Vk2(25);
  }
  beam[1].seg = 27;
  return Outcome::Done;
}

// Set-up 2, beam 2 at the splitter: back to the medium speed, then
// reflected. The speed-up is applied only once the correction has finished,
// so an abandoned event leaves the beam as it was.
InterferometerEngine::Outcome InterferometerEngine::SetupTwoLastMirror(InterferometerHost& host) {
  ReflectionSteps steps;
  steps.densityStep = false;
  steps.before = CheckedDiv(ng, n0);
  return Reflection(host, 1, 27, 28, 3, Edge::Plus, true, steps);
}

void InterferometerEngine::TwoMirrorArrival(InterferometerHost& host, int b) {
  const int k = b == 0 ? 11 : 21;
  const int m = k + 1;
  const int last = b == 0 ? 18 : 28;
  const EngineOptions o = host.Options();
  nu(m) = nu(last) = nu(last + 1) = nu(k);
  if (o.doppler != DopplerOption::None) {
    nu(m) = DopplerShiftedFrequency(o.doppler, nu(k), 0, Chk(Vy * std::cos(An(k))), beam[b].V);
    nu(last + 1) = nu(m);
  }
  DensityAndSpeed(b, k, m, o);
  An(m) = An(k);
  Direct(b, m, An(m));
  Count(b, k, m);
}

}  // namespace velmor
