// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/scheme_window.h"

#include "frames/frame_scheme.h"

namespace velmor {

Form7::Form7() : ui::Form(7) {
  SetUp<Ui_Form7>(*this);
  DrawFrameScheme(*Picture1);
}

}  // namespace velmor
