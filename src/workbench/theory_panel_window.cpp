// SPDX-License-Identifier: GPL-3.0-or-later
// The theory panel of the main window: the formula choice, the graph, the
// points and the two instantaneous calculations.
#include "reports/report_window.h"
#include "shared/faults.h"
#include "shared/report_page.h"
#include "shared/shared_pool.h"
#include "ui/messages.h"
#include "workbench/experiment_canvas.h"
#include "workbench/instant_calc.h"
#include "workbench/main_window.h"

namespace velmor {

using ui::Messages;
using namespace ui::msg;

namespace {}  // namespace

DopplerChoice Form1::Choice() const {
  DopplerChoice c;
  if (Option1->isChecked()) c.formula = DopplerFormula::Sto;
  if (Option2->isChecked()) c.formula = DopplerFormula::Zevr;
  if (Option3->isChecked()) c.formula = DopplerFormula::Lorentz;
  if (Option4->isChecked()) c.formula = DopplerFormula::Kto;
  c.variant41 = Check3->isChecked();
  c.variant42 = Check2->isChecked();
  c.variant43 = Check6->isChecked();
  c.variant45 = Check8->isChecked();
  c.zevr31 = Option11->isChecked();
  c.exactCorrections = Check13->isChecked();
  c.wavelengths = Check7->isChecked();
  return c;
}

GraphAbscissa Form1::Abscissa() const {
  if (Option8->isChecked()) return GraphAbscissa::Angle;
  if (Option7->isChecked()) return GraphAbscissa::VX2;
  return GraphAbscissa::VX1;
}

// The four variants are exclusive by their click handlers; all four may end
// unticked.
void Form1::VariantClick(QCheckBox* clicked) {
  for (QCheckBox* box : {Check3, Check2, Check6, Check8}) {
    if (box != clicked) box->setChecked(false);
  }
}

bool Form1::DrawEmptyGraphFromField() {
  double typed = 0;
  try {
    typed = ui::FieldNumber(Text27);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return false;
  }
  try {
    DrawEmptyGraph(*Picture1, Pool(), typed, Abscissa());
  } catch (const ComputeFault&) {
    Messages::Error(kSolveFault);
    return false;
  }
  return true;
}

void Form1::EmptyGraphClick() {
  DrawEmptyGraphFromField();
}

void Form1::PrintIntoReport(double y, const std::string& text) {
  Form4::Get()->picMain->PrintAt(0, y, text);
}

void Form1::TheoryCurveClick() {
  SweepInputs in;
  try {
    in.Vs = ui::FieldNumber(Text12);
    in.Q = ui::FieldNumber(Text28);
    in.V1 = ui::FieldNumber(Text3);
    in.V2 = ui::FieldNumber(Text4);
    in.input = ui::FieldNumber(Text29);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  in.mode = Abscissa();
  if (Check5->isChecked()) Form4::Get()->picMain->Cls();
  try {
    DrawTheoryCurve(*Picture1, Pool(), Choice(), in, *this);
  } catch (const ComputeFault&) {
    Messages::Error(kSolveFault);
    return;
  }
  // The table goes to the report page whether or not the report is on.
  PrintIntoReport(kReportTextY, Pool().ReportText);
}

void Form1::TypedPointClick() {
  double X = 0, Y = 0;
  try {
    X = ui::FieldNumber(Text25);
    Y = ui::FieldNumber(Text26);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  try {
    DrawTypedPoint(*Picture1, Pool(), X, Y, Abscissa());
  } catch (const ComputeFault&) {
    Messages::Error(kSolveFault);
  }
}

void Form1::PictureMouseDown(double x, double y) {
  try {
    const ClickedPoint p = MarkClickedPoint(*Picture1, Pool(), x, y, Abscissa());
    ui::ShowText(Text25, p.x);
    ui::ShowText(Text26, p.y);
  } catch (const ComputeFault&) {
    Messages::Error(kPointFault);
  }
}

void Form1::ExperimentPointsClick() {
  Pool().ReportText = "";
  Option8->setChecked(true);
  if (!DrawEmptyGraphFromField()) return;
  try {
    DrawExperimentPoints(*Picture1, Pool(), Check11->isChecked());
  } catch (const ComputeFault&) {
    // The points drawn before the failing division stay.
    Messages::Error(kSolveFault);
    return;
  }
  if (Check5->isChecked()) PrintIntoReport(kReportTextY, Pool().ReportText);
}

void Form1::ByXClick() {
  ByXInputs in;
  try {
    in.X = ui::FieldNumber(Text25);
    in.input = ui::FieldNumber(Text29);
    in.Vs = ui::FieldNumber(Text12);
    in.Q = ui::FieldNumber(Text28);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  in.mode = Abscissa();
  try {
    CalculateByX(Pool(), Choice(), in, *this);
  } catch (const ComputeFault&) {
    Messages::Error(kSolveFault);
  }
}

void Form1::ByCoordinatesClick() {
  ByCoordinatesInputs in;
  try {
    in.Vs = ui::FieldNumber(Text12);
    in.input = ui::FieldNumber(Text29);
    in.X1 = ui::FieldNumber(Text1);
    in.Y1 = ui::FieldNumber(Text5);
    in.VX1 = ui::FieldNumber(Text3);
    in.VY1 = ui::FieldNumber(Text7);
    in.X2 = ui::FieldNumber(Text2);
    in.Y2 = ui::FieldNumber(Text6);
    in.VX2 = ui::FieldNumber(Text4);
    in.VY2 = ui::FieldNumber(Text8);
    in.ML = ui::FieldNumber(Text19);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  in.delay = Check11->isChecked();
  try {
    CalculateByCoordinates(*Picture1, Pool(), Choice(), in, *this);
  } catch (const ComputeFault&) {
    Messages::Error(kSolveFault);
  }
}

void Form1::ShowRatio(double ratio, double shift) {
  ui::ShowNumber(Text26, ratio);
  ui::ShowNumber(Text23, shift);
}

void Form1::ShowPositions(double X1, double X2, double Y1, double Y2, double R) {
  ui::ShowNumber(Text13, X1);
  ui::ShowNumber(Text14, X2);
  ui::ShowNumber(Text15, Y1);
  ui::ShowNumber(Text16, Y2);
  ui::ShowNumber(Text11, R);
}

void Form1::ShowMessage(const std::string& text) {
  Messages::Error(text);
}

Canvas& Form1::ClearedValuesPicture() {
  Picture1->Cls();
  InitCanvas(*Picture1);
  return *Picture1;
}

}  // namespace velmor
