// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form6: one instant of the two-body set-up recomputed from the absolute
// frame into an inertial frame moving along X, with its picture.
#include "frames/frame_transform.h"
#include "ui/fields.h"
#include "ui/form.h"
#include "ui/picture_box.h"
#include "ui_frame_window.h"

namespace velmor {

class Form6 : public ui::Form, public Ui_Form6, private FrameHost {
  Q_OBJECT

 public:
  Form6();

 private:
  void Connect();

  void CalculateClick();     // Command1
  void ClearPictureClick();  // Command3
  void SavePictureClick();   // Command5

  void Show(FrameOut field, double value) override;
};

}  // namespace velmor
