// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The automation driver: the program's windows driven by a script of user
// actions, one command a line, for acceptance tests and headless examples.
#include <iosfwd>
#include <string>

namespace velmor::ui {

class ScriptDriver {
 public:
  explicit ScriptDriver(std::ostream& out, std::ostream& err);
  // Runs every line; returns the exit status (0, or 2 for a bad command).
  int Run(std::istream& script);
  // One command; false when it was malformed (the error is already printed).
  bool Execute(const std::string& line);

 private:
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace velmor::ui
