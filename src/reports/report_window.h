// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report windows: text printed at given positions on a tall page that
// the user scrolls (Form4), and the interferometer's report picture (Form9).
#include "ui/form.h"
#include "ui/picture_box.h"
#include "ui_report_window.h"
#include "ui_segment_report_window.h"

namespace velmor {

// picBox is the viewport, picMain the page inside it.
class Form4 : public ui::Form, public Ui_Form4 {
  Q_OBJECT

 public:
  Form4();

  // The report window, created without being shown if it is not open.
  static Form4* Get();

 signals:
  // The window is closing (its page goes with it).
  void Closed();

 protected:
  void OnClosing() override { emit Closed(); }
};

// The interferometer's segment table is 30 columns of page wide: the page
// is wider than a screen and scrolls sideways.
class Form9 : public ui::Form, public Ui_Form9 {
  Q_OBJECT

 public:
  Form9();
  static Form9* Get();
};

}  // namespace velmor
