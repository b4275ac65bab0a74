// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window side of the medium experiments: the choices of its option
// buttons and check boxes, its output fields, its picture, questions and the
// yield. The engines are plain C++ and talk to the window only through this.
#include <string>

#include "medium/medium_model.h"

namespace velmor {

class Canvas;

// Output fields of the medium window, by their control names.
enum class Out {
  Text11,
  Text13,
  Text14,
  Text15,
  Text16,
  Text17,
  Text18,
  Text20,
  Text22,
  Text24,
  Text25,
  Text28,
  Text29,
  Text30,
  Text31,
  Text36,
  Text37,
  Text38,
  Text39,
  Text44,
};

// Frame2 "запаздывание Л-В": Option7, Option9, Option10.
enum class FieldDelay { Current, Real, None };

class MediumHost {
 public:
  virtual ~MediumHost() = default;
  virtual bool AutoMode() const = 0;      // Check1 "Auto"
  virtual bool Drawing() const = 0;       // Check6 "рисовать"
  virtual bool Relativistic() const = 0;  // Option6 "СТО" (else "классика")
  virtual DensityLaw Law() const = 0;     // Frame1
  virtual FieldDelay Delay() const = 0;   // Frame2
  virtual bool SignalOnly() const = 0;    // Check4 "Sin"
  // A number in the general form; an infinity or NaN is a compute fault.
  virtual void Show(Out field, double value) = 0;
  virtual void ShowWhole(Out field, long long value) = 0;
  virtual Canvas& Picture() = 0;
  // A Yes/No question; true for Yes.
  virtual bool Ask(const std::string& title, const std::string& text) = 0;
  // Lets the user interface run; false ends the loop at once.
  virtual bool Yield() = 0;
};

enum class MediumRunEnd {
  Stopped,  // a step ended with the stop flag set, or the work is done
  Fault,    // an arithmetic or index fault
  Closed,   // the window is closing or the program quits
};

}  // namespace velmor
