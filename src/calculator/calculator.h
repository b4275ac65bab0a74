// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculator's single-value calculations: kinetic energy, mass and speed
// of an ion, and the speed of a moving source or receiver from a measured
// shift by the classical two-body formula. Ion speeds are fractions of the
// pool's LightSpeed.

namespace velmor {

struct SharedPool;

// What the three ion buttons leave behind besides the receiver speed V1 of
// the pool: the energy in joules and the mass of the last calculation.
struct IonValues {
  double EnergyJ = 0.0;
  double Mass = 0.0;
};

// E = m·u²/2 in keV, u = speed·c. A negative mass is refused (InputFault).
double IonEnergyKeV(SharedPool& P, IonValues& ion, double mass, double speed);
// m = 2·E/u² in kg. A negative energy is refused; a zero speed faults.
double IonMassKg(SharedPool& P, IonValues& ion, double energyKeV, double speed);
// √(2·E/m)/c. A negative energy or mass is refused; a zero mass faults.
double IonSpeed(SharedPool& P, IonValues& ion, double energyKeV, double mass);

enum class ShiftUnits { Wavelengths, Frequencies };  // "L0, dL" / "v0, dv"
enum class MovingBody { Source, Receiver };

// Formula (2) for one moving body, the other at rest, solved for the speed
// (as a fraction of the signal speed) at the angle of observation alphaDeg:
// X0 is the emitted wavelength in nm or frequency in THz, dX the measured
// shift in the same unit. Resets the pool's VX(1), VX(2). A right angle
// (cos α vanishing) or a vanishing wavelength or frequency faults.
double SpeedFromShift(SharedPool& P, double X0, double dX, double alphaDeg, ShiftUnits units,
                      MovingBody moving);

}  // namespace velmor
