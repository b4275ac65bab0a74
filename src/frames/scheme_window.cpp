// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/scheme_window.h"

#include <QVBoxLayout>

#include "frames/frame_scheme.h"
#include "ui/fields.h"

namespace velmor {

Form7::Form7() : ui::Form(7, ui::Q("ASO_ISO  Схема   Velmor5   Form7")) {
  Picture1 = new ui::PictureBox(this, "Picture1", kSchemeWidth * 15, kSchemeHeight * 15);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(Picture1);
  DrawFrameScheme(*Picture1);
}

}  // namespace velmor
