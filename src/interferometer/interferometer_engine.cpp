// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interferometer_engine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <span>
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

struct EventTest {
  enum Kind { None, Surface, ArriveX, ArriveY } kind = None;
  int slot = 0;
  double alpha = 0;
  double ca = 1, sa = 0;
  double udt = 0;
  bool general = false;
};

// What happens at a surface, and when.
struct InterferometerEvent {
  enum class Kind {
    SplitterEntry,      // both beams refracted into the splitter at once
    RefractFront,       // into or out of a face seen from its front
    RefractLeft,        // out of the splitter to the left
    RefractRight,       // through the splitter to the right
    RefractDown,        // down through the plate
    Reflect,            // at a mirror or the splitter
    ReflectIntoGlass,   // and on at the glass speed, without the density step
    ReflectOutOfGlass,  // at the medium speed again, without the density step
    LeaveGlass,         // out of the glass at the medium speed, unrefracted
    Arrive,             // past the objective
    ArriveTwoMirror,
  };
  // Where the edge of the front lies for the moving-surface correction: a
  // right angle to the left (Plus) or right (Minus) of the beam; Sigma is the
  // right side, or the left one when the beam meets the surface from behind.
  enum class Edge { Plus, Minus, Sigma };
  enum class When {
    Surface,           // the front point reaches the surface
    PastObjectiveX,    // beyond the objective's x
    PastObjectiveY,    // beyond the lower edge of the objective
    PartnerReflected,  // beam 1 has been reflected at the splitter
  };
  int from = 0, to = 0;  // the beam's segment before and after
  int point = 0;         // the element whose point the surface passes through
  int angle = 0;         // the element whose inclination the surface has
  Kind kind = Kind::Reflect;
  Edge edge = Edge::Plus;
  bool turn = false;  // the corrected surface angle turned back by Pi
  When when = When::Surface;
  int setup = 0;    // only in this set-up, or 0 in every set-up of the table
  int through = 0;  // the beam carried on unchanged to this segment
};

namespace {

using Event = InterferometerEvent;
using Kind = Event::Kind;
using Edge = Event::Edge;
using When = Event::When;

// Set-ups 1 and 2, in the order the events of one step are tried: beam 1
// along its segments, then beam 2.
// clang-format off
constexpr Event kBeamSplitterEvents[] = {
    {.from = 10, .to = 11, .point = 30, .angle = 3, .kind = Kind::SplitterEntry},
    {.from = 11, .to = 13, .point = 3,  .angle = 3, .kind = Kind::Reflect},
    // Beam 2 leaves the splitter in the step beam 1 is reflected there.
    {.from = 21, .to = 22,              .angle = 3, .kind = Kind::RefractFront,
     .when = When::PartnerReflected},
    {.from = 13, .to = 14, .point = 30, .angle = 3, .kind = Kind::RefractLeft,
     .edge = Edge::Minus},
    {.from = 14, .to = 15, .point = 1,  .angle = 1, .kind = Kind::Reflect,
     .edge = Edge::Sigma, .setup = 1},
    // Set-up 2 crosses the splitter on the way back without refraction.
    {.from = 14, .to = 15, .point = 1,  .angle = 1, .kind = Kind::ReflectIntoGlass,
     .edge = Edge::Sigma, .setup = 2, .through = 16},
    {.from = 15, .to = 16, .point = 30, .angle = 3, .kind = Kind::RefractRight,
     .edge = Edge::Minus, .turn = true},
    {.from = 16, .to = 18, .point = 3,  .angle = 3, .kind = Kind::RefractRight,
     .edge = Edge::Minus, .turn = true, .setup = 1},
    {.from = 16, .to = 18, .point = 3,  .angle = 3, .kind = Kind::LeaveGlass,
     .setup = 2},
    {.from = 18, .to = 19,                          .kind = Kind::Arrive,
     .when = When::PastObjectiveX},
    {.from = 22, .to = 23, .point = 40, .angle = 4, .kind = Kind::RefractFront},
    {.from = 23, .to = 24, .point = 4,  .angle = 4, .kind = Kind::RefractFront},
    {.from = 24, .to = 25, .point = 2,  .angle = 2, .kind = Kind::Reflect,
     .edge = Edge::Sigma, .setup = 1},
    // Set-up 2 goes back straight through the plate to the splitter.
    {.from = 24, .to = 25, .point = 2,  .angle = 2, .kind = Kind::ReflectIntoGlass,
     .edge = Edge::Sigma, .setup = 2, .through = 27},
    {.from = 25, .to = 26, .point = 4,  .angle = 4, .kind = Kind::RefractDown,
     .turn = true},
    {.from = 26, .to = 27, .point = 40, .angle = 4, .kind = Kind::RefractDown,
     .turn = true},
    {.from = 27, .to = 28, .point = 3,  .angle = 3, .kind = Kind::Reflect,
     .turn = true, .setup = 1},
    {.from = 27, .to = 28, .point = 3,  .angle = 3, .kind = Kind::ReflectOutOfGlass,
     .turn = true, .setup = 2},
    {.from = 28, .to = 29,                          .kind = Kind::Arrive,
     .when = When::PastObjectiveX},
};

// Set-up 3: each beam reflected by its own mirror to the objective. The
// mirror events are those of the left mirror of set-up 1, density step
// included.
constexpr Event kTwoMirrorEvents[] = {
    {.from = 10, .to = 11, .point = 1,  .angle = 1, .kind = Kind::Reflect,
     .edge = Edge::Sigma},
    {.from = 11, .to = 12,                          .kind = Kind::ArriveTwoMirror,
     .when = When::PastObjectiveY},
    {.from = 20, .to = 21, .point = 2,  .angle = 2, .kind = Kind::Reflect,
     .edge = Edge::Sigma},
    {.from = 21, .to = 22,                          .kind = Kind::ArriveTwoMirror,
     .when = When::PastObjectiveY},
};
// clang-format on

std::span<const Event> EventsOf(int scheme) {
  if (scheme == 3) return kTwoMirrorEvents;
  return kBeamSplitterEvents;
}

bool InSetup(const Event& e, int scheme) {
  return e.setup == 0 || e.setup == scheme;
}

// Segments 10..19 are beam 1's, 20..29 beam 2's.
int BeamOf(const Event& e) {
  return e.from / 10 - 1;
}

using Test = EventTest;

// Whether the test fires for the front point (x, y), the element points at
// (elx, ely) and the objective's half width halfD.
inline bool Fires(const SharedPool& p, const Test& t, double x, double y, const double* elx,
                  const double* ely, double halfD) {
  switch (t.kind) {
    case Test::Surface:
      return t.udt >
             FoldedDistance(p, x - elx[t.slot], y - ely[t.slot], t.alpha, t.ca, t.sa, t.general);
    case Test::ArriveX:
      return x > elx[ElementLayout::kE6];
    case Test::ArriveY:
      return y > ely[ElementLayout::kE6] - halfD;
    case Test::None:
      break;
  }
  return false;
}

}  // namespace

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
  } else {
    rho0(10) = rho0(20) = ng;
    rho0(11) = rho0(21) = n0;
    rho0(12) = rho0(22) = n0;
    nu(9) = nu(10) = nu(19) = nu(20) = nu0;
    if (o.doppler != DopplerOption::None) {
      nu(10) = DopplerShiftedFrequency(o.doppler, nu0, -Vx, 0, c);
      nu(20) = DopplerShiftedFrequency(o.doppler, nu0, Vx, 0, c);
    }
  }
  // The source segments: the density at the source frequency, and the speed.
  rho(10) = rho0(10);
  if (o.frequencyDensity) rho(10) = Chk((rho0(10) - 1) * (nu(10) - nu0) * K + rho0(10));
  double V = c;
  if (o.densitySpeed) V = CheckedDiv(c, rho(10));
  b1.V = b2.V = V;
  Vk1(10) = Vk2(20) = V;
  rho(20) = rho(10);
  if (scheme != 3) {
    An(0) = An(10) = An(20) = s.aim;
    picture.PrintAt(4, 23, "Alfa10=   " + PaddedFixed(Chk(s.aim * deg), 3, 6));
    picture.PrintAt(10, 23, "Alfa20=   " + PaddedFixed(Chk(s.aim * deg), 3, 6));
    b1.VX = b2.VX = Chk(V * std::cos(s.aim));
    b1.VY = b2.VY = Chk(V * std::sin(s.aim));
  } else {
    An(0) = s.aim;
    An(10) = pool.Pi;
    An(20) = 0;
    picture.PrintAt(4, 23, "Alfa10=   " + PaddedFixed(Chk(An(10) * deg), 3, 6));
    picture.PrintAt(10, 23, "Alfa20=   " + PaddedFixed(0, 3, 6));
    b1.VX = -V;
    b1.VY = 0;
    b2.VX = V;
    b2.VY = 0;
  }
  b1.x = b2.x = ex[kE5];
  b1.y = b2.y = ey[kE5];
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
EventTest InterferometerEngine::CurrentTest(int b) const {
  for (const Event& e : EventsOf(scheme)) {
    if (e.from == beam[b].seg && InSetup(e, scheme)) return TestOf(e, b);
  }
  return Test{};
}

EventTest InterferometerEngine::TestOf(const Event& e, int b) const {
  Test t;
  switch (e.when) {
    case When::PastObjectiveX:
      t.kind = Test::ArriveX;
      return t;
    case When::PastObjectiveY:
      t.kind = Test::ArriveY;
      return t;
    case When::PartnerReflected:
      return t;
    case When::Surface:
      break;
  }
  t.kind = Test::Surface;
  t.slot = Slot(e.point);
  t.alpha = alfa[e.angle];
  t.ca = std::cos(t.alpha);
  t.sa = std::sin(t.alpha);
  t.general = GeneralAngle(pool, t.alpha);
  const Beam& be = beam[b];
  t.udt = std::fabs(be.VX * t.sa - be.VY * t.ca) * dt;
  return t;
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
    // The tests of ProcessEvents, on the local copies.
    if (Fires(P, t0, x0, y0, px, py, halfD) || Fires(P, t1, x1, y1, px, py, halfD)) {
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
  return StepLoop(host);
}

InterferometerEnd InterferometerEngine::StepLoop(InterferometerHost& host) {
  requestsAtRunStart_ = stopRequests_;
  correctionIterations = 0;
  closing_ = false;
  try {
    long long sinceYield = 0;
    for (;;) {
      bool abandoned = false;
      if (eventsPending) {
        eventsPending = false;
        if (ProcessEvents(host) == Outcome::Aborted) {
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
          if (ProcessEvents(host) == Outcome::Aborted) {
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
  for (const Event& e : EventsOf(scheme)) {
    const int b = BeamOf(e);
    if (beam[b].seg != e.from || !InSetup(e, scheme)) continue;
    const bool fires = e.when == When::PartnerReflected
                           ? beam[0].seg >= 13
                           : Fires(pool, TestOf(e, b), beam[b].x, beam[b].y, ex, ey, D / 2);
    if (fires && Fire(host, e) == Outcome::Aborted) return Outcome::Aborted;
  }
  return Outcome::Done;
}

InterferometerEngine::Outcome InterferometerEngine::Fire(InterferometerHost& host, const Event& e) {
  const int b = BeamOf(e);
  switch (e.kind) {
    case Kind::SplitterEntry:
      return SplitterEntry(host, e);
    case Kind::RefractFront:
    case Kind::RefractLeft:
    case Kind::RefractRight:
    case Kind::RefractDown:
      return Refraction(host, e);
    case Kind::Reflect:
    case Kind::ReflectIntoGlass:
    case Kind::ReflectOutOfGlass:
      return Reflection(host, e);
    case Kind::LeaveGlass:
      LeaveGlass(host, e);
      break;
    case Kind::Arrive:
      Arrival(host, b, e.from, e.to);
      break;
    case Kind::ArriveTwoMirror:
      TwoMirrorArrival(host, b);
      break;
  }
  return Outcome::Done;
}

// The moving-surface correction that opens an event, when its option is on.
// The edge of the front (the mirror width away from the front point) runs on
// with the beam while the surface moves with the apparatus; the line from
// the first contact to where the edge meets the moving surface is the
// surface the front actually sees.
InterferometerEngine::Outcome InterferometerEngine::CorrectedAngle(InterferometerHost& host,
                                                                   const Event& e, bool option,
                                                                   bool shared, double speedFactor,
                                                                   double& alpha) {
  if (!option) return Outcome::Done;
  const int b = BeamOf(e);
  const int k = e.from;
  const int m = e.to;
  const Edge edge = e.edge;
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
  if (e.turn || sigma < 0) a = a - pool.Pi;
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

void InterferometerEngine::Direct(int b, double angle) {
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

InterferometerEngine::Outcome InterferometerEngine::Refraction(InterferometerHost& host,
                                                               const Event& e) {
  const int b = BeamOf(e);
  const int k = e.from;
  const int m = e.to;
  double alpha = alfa[e.angle];
  const EngineOptions o = host.Options();
  if (CorrectedAngle(host, e, o.refractionCorrection, false, 1, alpha) == Outcome::Aborted) {
    return Outcome::Aborted;
  }
  const double halfPi = pool.Pi / 2;
  Frequency(b, k, m, false, alpha, DopplerOption::None);
  DensityAndSpeed(b, k, m, o);
  double i = 0;
  double angle = 0;
  switch (e.kind) {
    case Kind::RefractFront: {
      i = An(k) - alpha + halfPi;
      const double r = Refract(k, m, i);
      angle = r - halfPi + alpha;
      break;
    }
    case Kind::RefractLeft: {
      i = halfPi + alpha - An(k);
      const double r = Refract(k, m, i);
      angle = halfPi + alpha - r;
      break;
    }
    case Kind::RefractRight: {
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
  Direct(b, An(m));
  Count(b, k, m);
  return Outcome::Done;
}

// A reflection at a mirror (or the splitter). Set-up 2 changes the beam's
// speed around some of them: out of the glass it is sped up once the
// correction is done, so that an abandoned event leaves the beam as it was;
// into the glass it is slowed after the new direction, and carried on
// unchanged through the segments it crosses without refraction.
InterferometerEngine::Outcome InterferometerEngine::Reflection(InterferometerHost& host,
                                                               const Event& e) {
  const int b = BeamOf(e);
  const int k = e.from;
  const int m = e.to;
  const double before = e.kind == Kind::ReflectOutOfGlass ? CheckedDiv(ng, n0) : 1;
  double alpha = alfa[e.angle];
  const EngineOptions o = host.Options();
  if (CorrectedAngle(host, e, o.reflectionCorrection, false, before, alpha) == Outcome::Aborted) {
    return Outcome::Aborted;
  }
  Beam& be = beam[b];
  if (before != 1) {
    be.V = Chk(be.V * before);
    be.VX = Chk(be.VX * before);
    be.VY = Chk(be.VY * before);
  }
  Frequency(b, k, m, true, alpha, o.doppler);
  if (e.kind == Kind::Reflect) DensityAndSpeed(b, k, m, o);
  An(m) = Chk(2 * alpha - An(k));
  An(m + 20) = Chk(pool.Pi / 2 + alpha - An(k));
  LogAngle(host, b, m, An(m));
  if (e.kind == Kind::ReflectIntoGlass) be.V = CheckedDiv(Chk(n0 * be.V), ng);
  Direct(b, An(m));
  Count(b, k, m);
  BoundedArray<double>& Tk = b == 0 ? Tk1 : Tk2;
  BoundedArray<double>& Sk = b == 0 ? Sk1 : Sk2;
  BoundedArray<double>& Vk = b == 0 ? Vk1 : Vk2;
  for (int s = m + 1; s <= e.through; ++s) {
    An(s) = An(m);
    nu(s) = nu(m);
    Tk(s) = Tk(m);
    Sk(s) = Sk(m);
    Vk(s) = Vk(m);
    be.seg = s;
  }
  return Outcome::Done;
}

// Set-up 2, beam 1 back through the splitter: out of the glass without
// refraction.
void InterferometerEngine::LeaveGlass(InterferometerHost& host, const Event& e) {
  const int b = BeamOf(e);
  beam[b].V = CheckedDiv(Chk(ng * beam[b].V), n0);
  for (int s = e.from + 1; s <= e.to; ++s) rho(s) = n0;
  nu(e.to) = nu(e.from);
  An(e.to) = An(e.from);
  LogAngle(host, b, e.to, An(e.to));
  Direct(b, An(e.to));
  Count(b, e.from, e.to);
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
  Direct(b, An(m));
  Count(b, k, m);
}

// Both beams enter the splitter together: one refraction, one log line each.
InterferometerEngine::Outcome InterferometerEngine::SplitterEntry(InterferometerHost& host,
                                                                  const Event& e) {
  double alpha = alfa[e.angle];
  const EngineOptions o = host.Options();
  if (CorrectedAngle(host, e, o.refractionCorrection, true, 1, alpha) == Outcome::Aborted) {
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
  Direct(0, An(11));
  Direct(1, An(21));
  Count(0, 10, 11);
  Count(1, 20, 21);
  return Outcome::Done;
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
  Direct(b, An(m));
  Count(b, k, m);
}

}  // namespace velmor
