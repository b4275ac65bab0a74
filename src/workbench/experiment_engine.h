// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The signal-period experiment of the main window: a source and a receiver in
// uniform motion, a circular front per conventional period, and the step at
// which each front reaches the receiver. All state lives in the shared pool,
// so a stopped experiment can be continued and read by other windows.
#include <string>

namespace velmor {

class Canvas;
struct SharedPool;

// The window side of a run: fields, picture, questions and the yield.
class ExperimentHost {
 public:
  virtual ~ExperimentHost() = default;
  virtual bool AutoMode() const = 0;  // "Auto"
  virtual bool DelayInCoordinates() const = 0;  // "учесть запаздывание по координатам"
  virtual bool Labels() const = 0;  // "+ текст"
  virtual void ShowSightDistance(double R) = 0;
  virtual void ShowPeriodNumber(int p) = 0;
  virtual void ShowRefreshFields(double X1, double Y1, double X2, double Y2, double t) = 0;
  virtual Canvas& Picture() = 0;
  // A Yes/No question titled "Velmor5"; true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  // Lets the user interface run; false ends the loop at once.
  virtual bool Yield() = 0;
  // The start's report header, when the report is on.
  virtual void StartReport() {}
};

enum class RunEnd {
  Stopped,   // a step ended with the stop flag set
  Declined,  // the user answered No to the range warning
  Fault,     // an arithmetic or index fault: "Ошибка решения"
  Closed,    // the windows are closing or no window is left
};

// "2-Начать эксперимент" after the fields have been stored in the pool
// (X(1), Y(1), VX, VY, X(2), Y(2), Vs, PictureScale, TimeStep, NC0).
// Faults propagate to the caller ("Ошибка решения").
void SetUpExperiment(SharedPool& pool, ExperimentHost& host);

// The step loop. Returns how it ended; a fault has already stopped the loop
// where it happened and leaves the state reached so far in the pool.
RunEnd RunExperimentSteps(SharedPool& pool, ExperimentHost& host);

// One step; true when the loop must end after it (stop flag or decline).
// Exposed for benchmarks and tests; faults propagate.
bool ExperimentStep(SharedPool& pool, ExperimentHost& host, RunEnd& end);

extern const char* const kRangeWarning;      // the text of the range warning
extern const char* const kContinueQuestion;  // "ПРОДОЛЖИТЬ ЭКСПЕРИМЕНТ"

}  // namespace velmor
