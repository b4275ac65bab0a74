// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form7: the calculation scheme of the frame window, with its notation.
#include "ui/form.h"
#include "ui/picture_box.h"

namespace velmor {

class Form7 : public ui::Form {
  Q_OBJECT

 public:
  Form7();

  ui::PictureBox* Picture1;
};

}  // namespace velmor
