// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two stages of every action of a window: reading its fields, then
// computing. A field that does not parse (or a value the reading refuses)
// shows "Введите правильно данные"; a computation that faults shows the
// action's own message. Whatever was written before the fault stays.
#include "shared/faults.h"
#include "ui/fields.h"
#include "ui/messages.h"

namespace velmor::ui {

// False, after the message, when a field did not parse.
template <class Read>
bool Parsed(Read&& read) {
  ForgetUnparsedField();
  try {
    read();
    return true;
  } catch (const InputFault&) {
  } catch (const ComputeFault&) {
  }
  Messages::Error(msg::kBadInput);
  FocusUnparsedField();
  return false;
}

// False, after the action's own message, when the computation faulted.
template <class Compute>
bool Computed(const char* fault, Compute&& compute) {
  ForgetUnparsedField();
  try {
    compute();
    return true;
  } catch (const InputFault&) {
    Messages::Error(msg::kBadInput);
  } catch (const ComputeFault&) {
    Messages::Error(fault);
  }
  FocusUnparsedField();
  return false;
}

// Both stages, the second only when the first succeeded.
template <class Read, class Compute>
bool Act(const char* fault, Read&& read, Compute&& compute) {
  return Parsed(read) && Computed(fault, compute);
}

}  // namespace velmor::ui
