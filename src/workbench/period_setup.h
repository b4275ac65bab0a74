// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "1-Задать T00, с": the conventional period, the transmitter quantities, the
// start entries of the first periods, the start picture and the travel time.
namespace velmor {

class Canvas;
struct SharedPool;

class PeriodSetupHost {
 public:
  virtual ~PeriodSetupHost() = default;
  virtual void ShowTravelTime(double t) = 0;  // Text17
  virtual void ShowNv0(double nv0) = 0;       // Text24
  virtual Canvas& Picture() = 0;
  virtual bool Labels() const = 0;  // "+ текст"
};

// After the fields are in the pool (X, Y, VX, VY, PictureScale, Vs, T00).
// Returns true when the period is shorter than the travel time of the first
// signal (the caller warns). Faults propagate
// ("Ошибка рассчета"); what was written before a fault stays.
bool SetConventionalPeriod(SharedPool& pool, PeriodSetupHost& host);

extern const char* const kPeriodWarning;

// The receiver from its typed position, the one at t = T00, back to t = 0,
// where its first entries start. Faults propagate.
void ReceiverBackToStart(SharedPool& pool);

}  // namespace velmor
