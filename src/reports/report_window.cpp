// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/report_window.h"

#include <algorithm>

#include "ui/form_registry.h"

namespace velmor {

Form4::Form4() : ui::Form(4) {
  SetUp<Ui_Form4>(*this);
  picMain->SetScale(0, 600, 10, 0);
  picMain->SetReportPage(true);
  vsbScroll->setRange(0, std::max(0, picMain->height() - picBox->height()));
  vsbScroll->setPageStep(picBox->height() - 20);
  connect(vsbScroll, &QScrollBar::valueChanged, this, [this](int v) { picMain->move(0, -v); });
  ScrollPageWith(vsbScroll, picBox);
  // A new report is read from its top.
  connect(picMain, &ui::PictureBox::Cleared, vsbScroll, [this] { vsbScroll->setValue(0); });
}

Form4* Form4::Get() {
  return ui::FormRegistry::LoadAs<Form4>(4);
}

Form9::Form9() : ui::Form(9) {
  SetUp<Ui_Form9>(*this);
  picBox->SetReportPage(true);
  resize(900, picBox->height() + scrollArea->horizontalScrollBar()->sizeHint().height());
  QScrollBar* across = scrollArea->horizontalScrollBar();
  ScrollPageWith(across, scrollArea);
  connect(picBox, &ui::PictureBox::Cleared, across, [across] { across->setValue(0); });
}

Form9* Form9::Get() {
  return ui::FormRegistry::LoadAs<Form9>(9);
}

}  // namespace velmor
