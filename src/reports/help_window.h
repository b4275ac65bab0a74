// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form2: the description of every button of every window.
#include "ui/form.h"

class QPlainTextEdit;
class QPushButton;

namespace velmor {

class Form2 : public ui::Form {
  Q_OBJECT

 public:
  Form2();
  QPlainTextEdit* Text1;
  QPushButton* Command1;
};

}  // namespace velmor
