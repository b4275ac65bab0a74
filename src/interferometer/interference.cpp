// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interference.h"

#include <algorithm>
#include <cmath>

#include "interferometer/interferometer_engine.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr double kAmplitude = 7.985;
constexpr Rgb kMarkBlue = RGB(0, 0, 250);

double Sign(double x) {
  return x > 0 ? 1 : x < 0 ? -1 : 0;
}

std::string Truncated6(double x) {
  return NumericPrintForm(Chk(Fix(Chk(x * 1e6)) / 1e6));
}

}  // namespace

MatchedCounts MatchArrivalTimes(Canvas& scheme, InterferometerEngine& e, const ArrivalCounts& in) {
  e.nu(1) = in.nu1;
  e.nu(2) = in.nu2;
  scheme.PrintAt(-12, 12, "N1 - N2=   " + Truncated6(in.N1 - in.N2));
  const double Tm = in.T2 < in.T1 ? in.T2 : in.T1;
  MatchedCounts out;
  out.N1 = Chk(in.N1 + (in.T2 - Tm) * e.nu(18));
  out.N2 = Chk(in.N2 + (in.T1 - Tm) * e.nu(28));
  return out;
}

void PrintArrivalComparison(Canvas& scheme, const InterferometerEngine& e, const ArrivalCounts& in,
                            const MatchedCounts& m) {
  scheme.PrintAt(-12, 11, "N1 - N2=   " + Truncated6(m.N1 - m.N2));
  scheme.PrintAt(-12, 10, "v19 / v29=    " + NumericPrintForm(CheckedDiv(in.nu1, in.nu2)));
  scheme.PrintAt(-12, 9, "v19 - v29=    " + NumericPrintForm(Chk((in.nu1 - in.nu2) / 1e6)));
  if (e.nu(19) > 0) {
    scheme.PrintAt(-12, 8, "v18 / v19=    " + NumericPrintForm(CheckedDiv(e.nu(18), e.nu(19))));
  }
  if (e.nu(29) > 0) {
    scheme.PrintAt(-12, 7, "v28 / v29=    " + NumericPrintForm(CheckedDiv(e.nu(28), e.nu(29))));
  }
}

InterferenceGeometry InterferenceGeometryOf(const SharedPool& pool, const InterferenceInputs& in) {
  InterferenceGeometry g;
  g.nu1 = in.nu1;
  g.nu2 = in.nu2;
  if (in.v2FromV1) {
    g.nu1 = 5e8 * 1e6;
    g.nu2 = Chk(g.nu1 + 1e6 * 65000 * std::sin(CheckedDiv(in.alfa - 135, pool.DegPerRad)));
  }
  g.A1 = CheckedDiv(in.A1, pool.DegPerRad);
  g.A2 = CheckedDiv(in.A2, pool.DegPerRad);
  if (in.twoMirror) {
    g.A1 = pool.Pi / 2 - g.A1;
    g.A2 = pool.Pi / 2 - g.A2;
  }
  g.lambda1 = CheckedDiv(in.V1, g.nu1);
  g.lambda2 = CheckedDiv(in.V2, g.nu2);
  g.omega1 = Chk(2 * pool.Pi * g.nu1);
  g.omega2 = Chk(2 * pool.Pi * g.nu2);
  const double mean = Chk((g.lambda1 + g.lambda2) / 2);
  g.w = CheckedDiv(CheckedDiv(mean, std::fabs(std::sin(g.A1) - std::sin(g.A2))),
                   std::cos((g.A1 + g.A2) / 2));
  if (in.halfWidth) g.w = g.w / 2;
  g.widthMm = Chk(Fix(Chk(1e6 * 1000 * g.w)) / 1e6);
  g.nf = CheckedDiv(in.D / 2, g.w);
  g.n = Fix(g.nf);
  g.N1 = Chk(in.N1 - Fix(in.N1));
  g.N2 = Chk(in.N2 - Fix(in.N2));
  return g;
}

void DrawInterferenceGraphGrid(Canvas& scheme, bool clear) {
  constexpr Rgb kGrey = RGB(200, 200, 200);
  if (clear) scheme.Cls();
  scheme.SetScale(-2, 2.1, 28, -0.2);
  for (int x = -2; x <= 28; x += 2) {
    scheme.Line(x, -0.2, x, 2.8, kGrey);
    scheme.PrintAt(x - 0.3, -0.12, NumericPrintForm(x));
  }
  for (int k = -2; k <= 28; k += 2) {
    scheme.Line(-2, k / 10.0, 28, k / 10.0, kGrey);
    scheme.PrintAt(-2, k / 10.0, NumericPrintForm(k / 10.0));
  }
  scheme.Line(-2, 0, 28, 0, kColour1);
  scheme.Line(0, -0.2, 0, 2.8, kColour1);
}

void PrepareStrip(Canvas& strip, double w, double n) {
  strip.Cls();
  const double half = Chk(n * w);
  strip.SetScale(-half, w, half, 0);
  for (double k = -n; k <= n; k += 1) {
    const double x = Chk(k * w);
    strip.Line(x, 0, x, w, kMarkBlue);
    strip.PrintAt(x, w, NumericPrintForm(k));
  }
}

bool StripTooWide(int P) {
  return 550.0 * P >= 32767;
}

bool TooManyFringes(double n, int P) {
  return n > 275.0 * P;
}

// ---------------------------------------------------------------------------

InterferencePixels::InterferencePixels(const SharedPool& pool, const InterferenceGeometry& g,
                                       const InterferenceInputs& in) {
  if (in.P < 1) RaiseComputeFault("division by zero");
  J_ = 275 * in.P;
  twoPi_ = 2 * pool.Pi;
  omega1_ = g.omega1;
  omega2_ = g.omega2;
  // phi = G*(x - Y) + omega*T + 2*Pi*N, G = |sin A|*sgn(A)*omega/V.
  const double G1 = Chk(std::fabs(std::sin(g.A1)) * Sign(g.A1) * CheckedDiv(g.omega1, in.V1));
  const double G2 = Chk(std::fabs(std::sin(g.A2)) * Sign(g.A2) * CheckedDiv(g.omega2, in.V2));
  phase1_ = Chk(-G1 * in.Y1 + twoPi_ * g.N1);
  phase2_ = Chk(-G2 * in.Y2 + twoPi_ * g.N2);
  const std::size_t count = static_cast<std::size_t>(2 * J_ + 1);
  for (auto* v : {&x_, &c1_, &s1_, &c2_, &s2_, &cd_, &sd_}) v->resize(count);
  const double denom = 275.0 * in.P;
  for (int j = -J_; j <= J_; ++j) {
    const std::size_t i = static_cast<std::size_t>(j + J_);
    const double x = Chk(j * g.n * g.w / denom);
    const double a1 = Chk(G1 * x), a2 = Chk(G2 * x);
    x_[i] = x;
    c1_[i] = std::cos(a1);
    s1_[i] = std::sin(a1);
    c2_[i] = std::cos(a2);
    s2_[i] = std::sin(a2);
    cd_[i] = std::cos(a2 - a1);
    sd_[i] = std::sin(a2 - a1);
  }
}

void InterferencePixels::Compute(double T, int from, int to, IntensityMode mode, double k,
                                 double* I, double* E1, double* E2) const {
  const double w1T = omega1_ * T, w2T = omega2_ * T;
  // The common parts: phi1, phi2 at x = 0, and the arguments of E1, E2.
  const double phi1 = w1T + phase1_, phi2 = w2T + phase2_;
  const double arg1 = w1T + phi1, arg2 = w2T + phi2;
  const double C1 = std::cos(arg1), S1 = std::sin(arg1);
  const double C2 = std::cos(arg2), S2 = std::sin(arg2);
  const double CD = std::cos(phi2 - phi1), SD = std::sin(phi2 - phi1);
  const std::size_t b = static_cast<std::size_t>(from + J_);
  const int n = to - from + 1;
  const double* c1 = c1_.data() + b;
  const double* s1 = s1_.data() + b;
  const double* c2 = c2_.data() + b;
  const double* s2 = s2_.data() + b;
  const double* cd = cd_.data() + b;
  const double* sd = sd_.data() + b;
  for (int i = 0; i < n; ++i) {
    const double e1 = kAmplitude * (c1[i] * C1 - s1[i] * S1);
    const double e2 = kAmplitude * (c2[i] * C2 - s2[i] * S2);
    const double sq = e1 * e1 + e2 * e2;
    double v;
    if (mode == IntensityMode::Amplitudes) {
      v = sq + 2 * std::fabs(e1 * e2) * (cd[i] * CD - sd[i] * SD);
    } else if (mode == IntensityMode::Fields) {
      v = sq + 2 * e1 * e2 * (cd[i] * CD - sd[i] * SD);
    } else {
      v = sq * k;
    }
    I[i] = v;
    if (E1) E1[i] = e1;
    if (E2) E2[i] = e2;
  }
}

double ReferenceIntensity(const SharedPool& pool, const InterferenceGeometry& g,
                          const InterferenceInputs& in, int j, double T, IntensityMode mode,
                          double k, double* E1, double* E2) {
  const double xj = j * g.n * g.w / (275.0 * in.P);
  const double y1 = (xj - in.Y1) * Sign(g.A1);
  const double y2 = (xj - in.Y2) * Sign(g.A2);
  const double twoPi = 2 * pool.Pi;
  const double phi1 =
      std::fabs(std::sin(g.A1)) * y1 * g.omega1 / in.V1 + g.omega1 * T + twoPi * g.N1;
  const double phi2 =
      std::fabs(std::sin(g.A2)) * y2 * g.omega2 / in.V2 + g.omega2 * T + twoPi * g.N2;
  const double e1 = kAmplitude * std::cos(g.omega1 * T + phi1);
  const double e2 = kAmplitude * std::cos(g.omega2 * T + phi2);
  if (E1) *E1 = e1;
  if (E2) *E2 = e2;
  switch (mode) {
    case IntensityMode::Amplitudes:
      return e1 * e1 + e2 * e2 + 2 * std::sqrt(e1 * e1 * e2 * e2) * std::cos(phi2 - phi1);
    case IntensityMode::Fields:
      return e1 * e1 + e2 * e2 + 2 * e1 * e2 * std::cos(phi2 - phi1);
    case IntensityMode::Sum:
      break;
  }
  return (e1 * e1 + e2 * e2) * k;
}

// ---------------------------------------------------------------------------

InterferenceRun::InterferenceRun(const SharedPool& pool, InterferometerEngine& engine,
                                 const InterferenceGeometry& g, const InterferenceInputs& in)
    : engine_(engine), g_(g), in_(in), pixels_(pool, g, in) {
  const std::size_t count = static_cast<std::size_t>(2 * pixels_.HalfWidth() + 1);
  I_.resize(count);
  E1_.resize(count);
  E2_.resize(count);
}

void InterferenceRun::Draw(InterferenceHost& host, const InterferenceOptions& o) {
  const int J = pixels_.HalfWidth();
  const double top = g_.w / 1.25;
  auto lines = [&](Canvas& strip) {
    for (int j = -J; j <= J; ++j) {
      const double I = I_[static_cast<std::size_t>(j + J)];
      const int green = std::clamp(static_cast<int>(std::nearbyint(I)), 0, 255);
      const double x = pixels_.X(j);
      strip.Line(x, 0, x, top, RGB(0, green, 0));
    }
  };
  if (in_.strip == 1 || in_.strip == 2) lines(host.Strip(in_.strip));
  if (o.sine) {
    Canvas& strip = host.Strip(3);
    for (int j = -J; j <= J; ++j) {
      const std::size_t i = static_cast<std::size_t>(j + J);
      const double x = pixels_.X(j);
      strip.PSet(x, Chk(g_.w * E1_[i] / 25 + g_.w / 2), RGB(250, 0, 0));
      strip.PSet(x, Chk(g_.w * E2_[i] / 25 + g_.w / 2), RGB(0, 0, 250));
    }
  } else if (in_.strip == 3) {
    lines(host.Strip(3));
  }
}

InterferenceEnd InterferenceRun::Run(InterferenceHost& host) {
  InterferometerEngine& e = engine_;
  const int J = pixels_.HalfWidth();
  // The bright-fringe search looks at 0 <= j < 275*P/n.
  const double limit = 275.0 * in_.P / g_.n;
  const int windowEnd = static_cast<int>(std::min<double>(J, std::ceil(limit) - 1));
  try {
    for (;;) {
      e.T = e.T + in_.dt;
      ++e.counter;
      const InterferenceOptions o = host.LiveOptions();
      double Imax = 100;
      const double k = o.twice ? 2 : 1;
      const bool refresh = e.counter >= in_.NC0;
      const bool last = (o.energy && e.T >= 0.1) || o.singleStep || e.stopFlag != 0;
      // Strip 3 is cleared at every step with "+№3 = sin"; only the clears
      // before a picture or at the end can be seen.
      if (o.sine && (refresh || last)) PrepareStrip(host.Strip(3), g_.w, g_.n);
      // Pixels whose intensity nothing uses in this step are skipped.
      const bool all = refresh || o.energy;
      const int from = all ? -J : 0;
      const int to = all ? J : windowEnd;
      if (to >= from) {
        const std::size_t at = static_cast<std::size_t>(from + J);
        const bool fields = refresh && o.sine;
        pixels_.Compute(e.T, from, to, o.mode, k, I_.data() + at,
                        fields ? E1_.data() + at : nullptr, fields ? E2_.data() + at : nullptr);
        pixelsComputed += to - from + 1;
        for (int j = from; j <= to; ++j) {
          const double I = I_[static_cast<std::size_t>(j + J)];
          if (j >= 0 && j < limit && I > Imax) {
            Imax = I;
            jmax = j;
          }
          if (o.energy) energy = energy + I * in_.dt;
        }
        if (!std::isfinite(energy)) RaiseComputeFault("overflow");
      }
      if (refresh) {
        Draw(host, o);
        e.counter = 0;
        const double shift = Chk(Fix(Chk(1e6 * g_.n * jmax / 275 / in_.P)) / 1e6);
        if (o.graph) {
          host.Scheme().Circle(CheckedDiv(e.T, in_.scale), Chk(g_.n * jmax / (275.0 * in_.P)), 0.02,
                               kMarkBlue);
        }
        host.ShowRefresh(shift, e.T, energy, o.energy);
      }
      if (last) return InterferenceEnd::Stopped;
      if (!host.Yield()) return InterferenceEnd::Closed;
    }
  } catch (const ComputeFault&) {
    return InterferenceEnd::Fault;
  }
}

}  // namespace velmor
