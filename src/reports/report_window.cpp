// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/report_window.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "ui/fields.h"
#include "ui/form_registry.h"

namespace velmor {

Form4::Form4() : ui::Form(4, ui::Q("Отчет    Velmor5   form4")) {
  picBox = new ui::PictureBox(this, "picBox", 7995, 8355);
  // The page is 1.1 times as wide as the viewport and 245745 twips high.
  picMain = new ui::PictureBox(picBox, "picMain", 7995 * 11 / 10, 245745);
  picMain->move(0, 0);
  picMain->SetScale(0, 600, 10, 0);
  picMain->SetReportPage(true);
  const int travel = std::max(0, picMain->height() - picBox->height());
  vsbScroll = ui::MakeScroll(this, "vsbScroll", Qt::Vertical, 0, travel, picBox->height() - 20);
  vsbScroll->setSingleStep(13);
  vsbScroll->setFixedSize(14, picBox->height());
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(picBox);
  layout->addWidget(vsbScroll);
  connect(vsbScroll, &QScrollBar::valueChanged, this, [this](int v) { picMain->move(0, -v); });
}

Form4* Form4::Get() {
  return ui::FormRegistry::LoadAs<Form4>(4);
}

Form9::Form9() : ui::Form(9, ui::Q("Отчет   Velmor5      form9")) {
  // The interferometer's segment table is 30 columns of page wide: the
  // page is wider than a screen and scrolls sideways.
  picBox = new ui::PictureBox(this, "picBox", 20250, 7500);
  picBox->SetReportPage(true);
  auto* frame = new QScrollArea(this);
  frame->setWidget(picBox);
  frame->setFrameShape(QFrame::NoFrame);
  frame->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  frame->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(frame);
  resize(900, picBox->height() + frame->horizontalScrollBar()->sizeHint().height());
}

Form9* Form9::Get() {
  return ui::FormRegistry::LoadAs<Form9>(9);
}

}  // namespace velmor
