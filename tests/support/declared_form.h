// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a window's declaration (its Qt Designer form) gives its input
// controls, read from the .ui file without building the window: for tests
// and benchmarks that run an engine with the window's defaults.
#include <map>
#include <string>

namespace velmor::testing {

class DeclaredForm {
 public:
  // `form` is the path below src/, e.g. "workbench/main_window.ui".
  explicit DeclaredForm(const std::string& form);

  // A field's declared text; throws when the form declares no such field.
  const std::string& Text(const std::string& name) const;
  // A field's declared text as a number (throws when it does not parse).
  double Number(const std::string& name) const;
  // A whole-number field's declared text (throws when it does not parse).
  int Whole(const std::string& name) const;
  // A check box's or option button's declared state.
  bool Checked(const std::string& name) const;

 private:
  std::map<std::string, std::string> texts_;
  std::map<std::string, bool> checked_;
};

}  // namespace velmor::testing
