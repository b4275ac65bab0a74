// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/frame_window.h"

#include "shared/faults.h"
#include "shared/shared_pool.h"
#include "ui/action.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/picture_file.h"

namespace velmor {

using ui::Messages;
using namespace ui::msg;

Form6::Form6() : ui::Form(6) {
  SetUp<Ui_Form6>(*this);
  Connect();
  // Load: this window's constants replace the main window's for every window.
  SetFrameWindowConstants(Pool());
  Picture1->Cls();
  DrawTransformGrid(*Picture1);
}

void Form6::Connect() {
  connect(Command1, &QPushButton::clicked, this, [this] { CalculateClick(); });
  connect(Command3, &QPushButton::clicked, this, [this] { ClearPictureClick(); });
  connect(Command5, &QPushButton::clicked, this, [this] { SavePictureClick(); });
  connect(Command4, &QPushButton::clicked, this, [] { ui::FormRegistry::Show(7); });
  connect(Command2, &QPushButton::clicked, this, [this] { close(); });
}

void Form6::CalculateClick() {
  FrameInputs in;
  const auto number = ui::FieldNumber;
  if (!ui::Parsed([&] {
        in.X1aso = number(Text22);
        in.X2aso = number(Text23);
        in.Y1aso = number(Text24);
        in.Y2aso = number(Text25);
        in.VX1aso = number(Text14);
        in.VX2aso = number(Text15);
        in.VY1aso = number(Text18);
        in.VY2aso = number(Text19);
        in.VXiso = number(Text3);
        in.VXiso3 = number(Text47);
        in.Vs = number(Text8);
        in.ML = number(Text6);
        in.MV = number(Text35);
        in.taso = number(Text65);
      })) {
    return;
  }
  in.delay = Option3->isChecked()   ? DelayOption::InAso
             : Option5->isChecked() ? DelayOption::InFinalFrame
                                    : DelayOption::Ignore;
  in.sync = Option8->isChecked()    ? SyncOption::Receiver
            : Option7->isChecked()  ? SyncOption::Source
            : Option11->isChecked() ? SyncOption::Origin
                                    : SyncOption::None;
  in.formula = Option10->isChecked()  ? FrameFormula::F45
               : Option9->isChecked() ? FrameFormula::F41
               : Option1->isChecked() ? FrameFormula::F43
                                      : FrameFormula::Classical2;
  in.thirdFrame = Check1->isChecked();
  in.drawAso = Check2->isChecked();
  // The window has one message for a field that does not parse and for a
  // calculation that faults.
  ui::Computed(kBadInput, [&] { RecomputeToInertialFrame(Pool(), in, *this, *Picture1); });
}

void Form6::ClearPictureClick() {
  Picture1->Cls();
  DrawTransformGrid(*Picture1);
}

void Form6::SavePictureClick() {
  if (!ui::SavePictureAsBmp(*Picture1, "Velmor_", ui::FieldText(Text60))) {
    Messages::Error(kPictureSaveFault);
  }
}

// The outputs are named after their numbers.
void Form6::Show(FrameOut field, double value) {
  auto* out = findChild<QLineEdit*>(QStringLiteral("Text%1").arg(static_cast<int>(field)));
  if (out) ui::ShowNumber(out, value);
}

}  // namespace velmor
