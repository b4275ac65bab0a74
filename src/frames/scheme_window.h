// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form7: the calculation scheme of the frame window, with its notation.
#include "ui/form.h"
#include "ui/picture_box.h"
#include "ui_scheme_window.h"

namespace velmor {

class Form7 : public ui::Form, public Ui_Form7 {
  Q_OBJECT

 public:
  Form7();
};

}  // namespace velmor
