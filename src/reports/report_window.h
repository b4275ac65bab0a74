// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report windows: text printed at given positions on a tall page that
// the user scrolls (Form4), and the interferometer's report picture (Form9).
#include "ui/form.h"
#include "ui/picture_box.h"

class QScrollBar;

namespace velmor {

class Form4 : public ui::Form {
  Q_OBJECT

 public:
  Form4();
  ui::PictureBox* picBox;   // the viewport
  ui::PictureBox* picMain;  // the page inside it
  QScrollBar* vsbScroll;

  // The report window, created without being shown if it is not open.
  static Form4* Get();

 signals:
  // The window is closing (its page goes with it).
  void Closed();

 protected:
  void OnClosing() override { emit Closed(); }
};

class Form9 : public ui::Form {
  Q_OBJECT

 public:
  Form9();
  ui::PictureBox* picBox;
  static Form9* Get();
};

}  // namespace velmor
