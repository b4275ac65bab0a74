// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every Doppler formula of the program, in one place: the classical two-body
// formula (2), formula (3) with its variants and corrections, the
// relativistic (4-1) ... (4-5) and the classical (4-4). The pure functions
// below are the formulas themselves, with no speed check, floor or guard;
// EvaluateDopplerFormula is the main window's evaluation around them, with
// its check, floors, guards, display fields and printed values.
//
// Symbols: index 1 is the receiver, 2 the source; Q1, Q2, Q12 are the angles
// of the receiver's, the source's and the relative velocity to the line of
// sight (radians, not reduced). A positive V1*cos(Q1) (receiver moving away
// along the line of sight) lowers the frequency, a positive V2*cos(Q2)
// (source moving towards the receiver) raises it.
//
// Every function faults (ComputeFault) where the arithmetic does: division by
// zero, square root of a negative number, overflow.
#include <string>

namespace velmor {

class Canvas;
struct SharedPool;

// ---- The formulas ----

// (2): v0 * (1 - V1*cos(Q1)/Vs) / (1 - V2*cos(Q2)/Vs).
double Formula2(double v0, double V1, double Q1, double V2, double Q2, double Vs);
// (3): "3-1" adds both corrections to (2); "3-2" gives the source's correction
// to v0 before the factor, the receiver's after it.
double Formula31(double v0, double V1, double Q1, double V2, double Q2, double Vs, double dv1,
                 double dv2);
double Formula32(double v0, double V1, double Q1, double V2, double Q2, double Vs, double dv1,
                 double dv2);
// (4-1): v0 * (1 - V12*cos(Q12)/Vs) / G.
double Formula41(double v0, double V12, double Q12, double Vs, double G);
// (4-2): G * v0 / (1 - V12*cos(Q12)/Vs).
double Formula42(double v0, double V12, double Q12, double Vs, double G);
// (4-3): G * v0 / (1 + V12*cos(Q12)/Vs).
double Formula43(double v0, double V12, double Q12, double Vs, double G);
// (4-4): v0 * (1 - V12*cos(Q12)/Vs).
double Formula44(double v0, double V12, double Q12, double Vs);
// (4-5): v0 * G2 * (1 - V1*cos(Q1)/Vs) / (1 - V2*cos(Q2)/Vs) / G1, that is
// (2) times G2/G1.
double Formula45(double v0, double V1, double Q1, double V2, double Q2, double Vs, double G1,
                 double G2);

// sqrt(1 - (V/Vs)^2): G of the formula set, and every factor of the frame
// window.
double FactorOfRatio(double V, double Vs);
// sqrt(1 - V^2/Vs^2): G1 and G2 of the formula set (the rounding of the last
// digit differs from FactorOfRatio).
double FactorOfSquares(double V, double Vs);

// The angle formula (3) corrects with: |Q|, less pi when above pi (pi is
// subtracted, the angle is not reflected to 2*pi - |Q|).
double ReducedAngle(double Q, double Pi);

// Corrections of formula (3), with reduced angles a1, a2.
// Approximate: (sqrt(Vs^2 + V1^2)/Vs - 1) * v0 * sin(a1), note the plus;
// (sqrt(Vs^2 - V2^2)/Vs - 1) * v0 * sin(a2).
double ApproximateCorrectionReceiver(double a1, double V1, double Vs, double v0);
double ApproximateCorrectionSource(double a2, double V2, double Vs, double v0);
// Exact: from the signal's speed relative to the moving receiver, and the
// speed at which the source's signal leaves along the line of sight.
double ExactCorrectionReceiver(double a1, double V1, double Vs, double v0, double Pi);
double ExactCorrectionSource(double a2, double V2, double Vs, double v0, double Pi);

// ---- The main window's evaluation ----

// The formula options of the theory frame.
enum class DopplerFormula {
  Sto,      // "СТО", with one of its four variants
  Zevr,     // "Зевр (3)"
  Lorentz,  // "Лоренц (2)"
  Kto,      // "КТО (4-4) v=v0*( 1-V12/Vs)"
};

enum class StoVariant { None, V41, V42, V43, V45 };

// The choice as the theory frame's controls hold it.
struct DopplerChoice {
  DopplerFormula formula = DopplerFormula::Lorentz;
  // The variant boxes under "СТО": (4-1), (4-2), (4-3), v(4-5).
  bool variant41 = false;
  bool variant42 = false;
  bool variant43 = false;
  bool variant45 = false;
  bool zevr31 = false;           // "3-1" selected; otherwise "3-2"
  bool exactCorrections = true;  // "для (3) точный расчет поправок dv1 и dv2"
  bool wavelengths = false;      // "L/L0": the input value is the wavelength L0
};

// The variant that decides under "СТО": the first ticked one in the order
// (4-1), (4-2), (4-3), (4-5).
StoVariant DecidingVariant(const DopplerChoice& choice);

// The four variant boxes are exclusive by their click handlers: a click on
// one of them unticks every other one (all four may end unticked).
void UntickOtherVariants(DopplerChoice& choice, StoVariant clicked);

enum class DopplerMode {
  Sweep,   // theory curves: no message, no printing
  Single,  // instantaneous calculations: the refusal message, printed values
};

// The angles of one evaluation, in radians (Q3, the direction of the line of
// sight, only for the printed values).
struct DopplerAngles {
  double Q1 = 0;
  double Q2 = 0;
  double Q12 = 0;
  double Q3 = 0;
};

// Where an evaluation shows what it found.
class DopplerDisplay {
 public:
  virtual ~DopplerDisplay() = default;
  // Both modes: "Y, v/v0" gets v / input value, "dv (dL)" the shift.
  virtual void ShowRatio(double ratio, double shift) = 0;
  // Both modes: "X1=", "X2=", "Y1=", "Y2=" and " R=" from the pool's bodies.
  virtual void ShowPositions(double X1, double X2, double Y1, double Y2, double R) = 0;
  // Single mode: a message box titled "Velmor5" with an OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // Single mode: the main picture, cleared, in the experiment canvas'
  // coordinate system with its grid, ready for the printed values.
  virtual Canvas& ClearedValuesPicture() = 0;
};

// The text of the refusal in Single mode (two lines).
extern const char* const kSpeedRefusal;

// One evaluation of the chosen formula. Before the call the caller sets the
// pool's Vs, v0 (= the input value), V1, V2, V12 and, for the display, X and
// Y; the input value is the number typed as "v0(L0)".
//
// Leaves v, G, G1, G2, dv1, dv2, InputCopy (and v0 in the L/L0 mode) in the
// pool, writes the display and, in Single mode, prints the values. Returns
// true when it produced a new result: false when a speed is not below Vs
// (nothing else is touched then; Single mode says so), and under "СТО" when
// no variant is ticked or the ticked variant's denominator vanishes (v keeps
// its value and is not converted to a wavelength again).
// Faults propagate as ComputeFault, with what was written before staying.
bool EvaluateDopplerFormula(SharedPool& pool, DopplerMode mode, const DopplerChoice& choice,
                            double inputValue, const DopplerAngles& angles,
                            DopplerDisplay& display);

}  // namespace velmor
