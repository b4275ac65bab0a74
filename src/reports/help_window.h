// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form2: the description of every button of every window.
#include "ui/form.h"
#include "ui_help_window.h"

namespace velmor {

class Form2 : public ui::Form, public Ui_Form2 {
  Q_OBJECT

 public:
  Form2();

  // Opens the help window with the description of window `form` at its top.
  static void ShowSection(int form);
};

}  // namespace velmor
