// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the medium window's experiments keep between button presses besides
// the shared pool: the medium, the ray bundle, the frame conversion and the
// values of the retarded-potential run. It lives for the whole process, like
// the pool, so a prepared or stopped experiment can be continued after the
// window was closed and opened again.
#include <cstdint>
#include <vector>

#include "medium/medium_model.h"
#include "shared/bounded_array.h"

namespace velmor {

// The most rays and layers a run takes; more is refused as bad input rather
// than tried (an allocation of that size, or a profile of billions of
// segments, would stall or fail).
constexpr int kMaxRayCount = 100000;
constexpr int kMaxLayers = 1000000;

// Which experiment Command3 and Command4 continue (the data file's "kod").
constexpr int kPotentialKind = 0;
constexpr int kBundleKind = 1;

// What the data file's header records of an experiment: the signal speed,
// frequency and velocities after the frame conversion, the start time and
// the frame's time rate, and the experiment's kind ("kod").
struct ExperimentHeader {
  double Vs = 0, v0 = 0, VX1 = 0, VX2 = 0, VY1 = 0, VY2 = 0, T0 = 0, kTiso = 0;
  int kod = 0;  // ExperimentKind: 1 ray bundle, 0 retarded potentials
};

struct MediumState {
  int ExperimentKind = 0;
  // Set only when a start (or search) completed its set-up; a refused or
  // failed start clears it, so Command3/Command4 do nothing then.
  bool Prepared = false;

  // Frame conversion.
  double VXiso = 0.0;
  double T0 = 0.0;
  double kT1 = 1.0;
  double kT2 = 1.0;
  double kTiso = 1.0;
  // Clock offset of the receiver after the relativistic conversion; the
  // period search measures its time from here.
  double T1 = 0.0;

  // Medium and bundle shape.
  int Np = 0;
  double Kp = 0.0;
  double LayerThickness = 0.0;
  int RayCount = 0;
  double ConeAngle = 0.0;  // radians
  double MeanAngle = 0.0;  // radians
  double BundleStartAngle = 0.0;
  double RayAngleStep = 0.0;

  // Propagation.
  double LocalSpeed = 0.0;
  double PrevLocalSpeed = 0.0;
  // The move of the last ray committed: its direction is PrevSightAngle.
  // Kept as the move itself, so the angle is worked out only when a
  // reception needs it.
  double PrevMoveX = 0.0;
  double PrevMoveY = 0.0;
  int FrontState = 0;
  // The experiment whose periods the pool holds, as its start set it up.
  // The pool's v0 is rewritten by other windows (the main window sets it
  // whenever it is activated), and its speeds and velocities by the period
  // search: a run's formulas, report, graph and data file keep their own.
  ExperimentHeader Run;
  int WarnArmed = 0;
  double SineOmega = 0.0;

  // Drawing: where the source's signal curve starts, the receiver's start,
  // and the body markers drawn last (erased at the next refresh).
  double SourceStartX = 0.0;
  double ReceiverStartX = 0.0;
  double ReceiverStartY = 0.0;
  double PrevX1 = 0.0, PrevY1 = 0.0, PrevX2 = 0.0, PrevY2 = 0.0;

  // Per-ray arrays, indices 0..RayCount. RayCos is √(1 − RaySin²), kept with
  // the sine so the move does not take a square root per ray and step;
  // RayDirY (1 up, −1 down) is a double to be multiplied in as it is.
  std::vector<double> RayLaunchAngle;
  std::vector<double> RaySin;
  std::vector<double> RayCos;
  std::vector<double> RayX;
  std::vector<double> RayY;
  std::vector<double> RayDensity;
  std::vector<double> RayDirY;

  // The ray step's working storage (ray_bundle.cpp), kept between steps so
  // that a step allocates nothing: the constants of every layer for the
  // medium, signal speed and time step they were worked out for, and what a
  // step found for each ray.
  struct RayStepWork {
    DensityLaw law = DensityLaw::FromTop;
    double Kp = 0, Vs = 0, dt = 0, LT = 0;
    int Np = 0;
    int firstLayer = 0;  // the layer of entry 1; entry 0 stands for those below
    std::vector<double> layerDensity, layerStep, layerSpeed, layerRests, layerRow;
    // Heights above the source where the entries begin, as ordered keys,
    // worked out when first needed; and per four rays the heights, density
    // and step of the entry each was last found in.
    std::vector<std::int64_t> boundary;
    std::vector<double> rayLayer;
    std::vector<double> nextX, nextY, speed, drawn;
    std::vector<std::int64_t> flags;
    std::vector<std::int32_t> layer;
    std::vector<int> events, found;
  } Work;
  // The points of the signal curve's unfinished piece worked out so far,
  // from point `first` of the curve `version` (bundle_canvas.cpp): the piece
  // grows by a point or so between refreshes.
  struct SignalPoints {
    std::uint64_t version = 0;
    long long first = 0;
    std::vector<double> x, y;
  } Signal;

  // Per-period arrays of the medium only.
  BoundedArray<double> Vs1{0, 20};
  BoundedArray<double> Vs2{0, 20};
  // Entry i: RecvAngle(i); i + 20: EmitAngle(i); i + 40: dT(i).
  BoundedArray<double> AngleTable{0, 100};

  // Retarded-potential run.
  double FieldScale = 2000.0;
  double FieldE = 0.0;
  double PrevFieldE = 0.0;
  double Delay = 0.0;
  double FieldPointX = 0.0;
  double FieldPointY = 0.0;
  double FieldDistance = 0.0;
  double SightAngle = 0.0;
  double VelocityAngle = 0.0;
  double TimeScale = 0.0;

  double RecvAngle(int i) const { return AngleTable(i); }
  double EmitAngle(int i) const { return AngleTable(i + 20); }
  double& RecvAngle(int i) { return AngleTable(i); }
  double& EmitAngle(int i) { return AngleTable(i + 20); }
  double& StoredDT(int i) { return AngleTable(i + 40); }

  // Allocates the per-ray arrays 0..RayCount (RayCount already checked).
  void AllocateRays();
  int Rays() const { return static_cast<int>(RaySin.size()); }
};

// The one medium state of the process.
MediumState& Medium();

}  // namespace velmor
