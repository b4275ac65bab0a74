// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two stages of every computing action: a field that does not parse is an
// InputFault; an arithmetic or index fault while computing is a ComputeFault.
// Actions catch them and show their own fixed message.
#include <stdexcept>
#include <string>

namespace velmor {

class InputFault : public std::runtime_error {
 public:
  explicit InputFault(const std::string& what) : std::runtime_error(what) {}
};

class ComputeFault : public std::runtime_error {
 public:
  explicit ComputeFault(const std::string& what) : std::runtime_error(what) {}
};

[[noreturn]] void RaiseComputeFault(const char* what);
[[noreturn]] void RaiseInputFault(const char* what);

}  // namespace velmor
