// SPDX-License-Identifier: GPL-3.0-or-later
// The theory panel of the main window: the formula choice, the graph, the
// points and the two instantaneous calculations.
#include "reports/report_window.h"
#include "shared/report_page.h"
#include "shared/shared_pool.h"
#include "ui/action.h"
#include "ui/messages.h"
#include "workbench/experiment_canvas.h"
#include "workbench/instant_calc.h"
#include "workbench/main_window.h"

namespace velmor {

using ui::FieldNumber;
using ui::Messages;
using namespace ui::msg;

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
  return ui::Act(
      kSolveFault, [&] { typed = FieldNumber(Text27); },
      [&] { DrawEmptyGraph(*Picture1, Pool(), typed, Abscissa()); });
}

// Tables go to the report page below its header line.
void Form1::PrintIntoReport(const std::string& text) {
  Form4::Get()->picMain->PrintAt(0, kReportTextY, text);
}

void Form1::TheoryCurveClick() {
  SweepInputs in;
  in.mode = Abscissa();
  if (!ui::Parsed([&] {
        in.Vs = FieldNumber(Text12);
        in.Q = FieldNumber(Text28);
        in.V1 = FieldNumber(Text3);
        in.V2 = FieldNumber(Text4);
        in.input = FieldNumber(Text29);
      })) {
    return;
  }
  if (Check5->isChecked()) Form4::Get()->picMain->Cls();
  // The table goes to the report page whether or not the report is on.
  if (ui::Computed(kSolveFault, [&] { DrawTheoryCurve(*Picture1, Pool(), Choice(), in, *this); }))
    PrintIntoReport(Pool().ReportText);
}

void Form1::TypedPointClick() {
  double X = 0, Y = 0;
  ui::Act(
      kSolveFault,
      [&] {
        X = FieldNumber(Text25);
        Y = FieldNumber(Text26);
      },
      [&] { DrawTypedPoint(*Picture1, Pool(), X, Y, Abscissa()); });
}

void Form1::PictureMouseDown(double x, double y) {
  ui::Computed(kPointFault, [&] {
    const ClickedPoint p = MarkClickedPoint(*Picture1, Pool(), x, y, Abscissa());
    ui::ShowText(Text25, p.x);
    ui::ShowText(Text26, p.y);
  });
}

void Form1::ExperimentPointsClick() {
  Pool().ReportText = "";
  Option8->setChecked(true);
  // The points drawn before a failing division stay.
  if (DrawEmptyGraphFromField() &&
      ui::Computed(kSolveFault,
                   [this] { DrawExperimentPoints(*Picture1, Pool(), Check11->isChecked()); }) &&
      Check5->isChecked()) {
    PrintIntoReport(Pool().ReportText);
  }
}

void Form1::ByXClick() {
  ByXInputs in;
  in.mode = Abscissa();
  ui::Act(
      kSolveFault,
      [&] {
        in.X = FieldNumber(Text25);
        in.input = FieldNumber(Text29);
        in.Vs = FieldNumber(Text12);
        in.Q = FieldNumber(Text28);
      },
      [&] { CalculateByX(Pool(), Choice(), in, *this); });
}

void Form1::ByCoordinatesClick() {
  ByCoordinatesInputs in;
  in.delay = Check11->isChecked();
  ui::Act(
      kSolveFault,
      [&] {
        in.Vs = FieldNumber(Text12);
        in.input = FieldNumber(Text29);
        in.X1 = FieldNumber(Text1);
        in.Y1 = FieldNumber(Text5);
        in.VX1 = FieldNumber(Text3);
        in.VY1 = FieldNumber(Text7);
        in.X2 = FieldNumber(Text2);
        in.Y2 = FieldNumber(Text6);
        in.VX2 = FieldNumber(Text4);
        in.VY2 = FieldNumber(Text8);
        in.ML = FieldNumber(Text19);
      },
      [&] { CalculateByCoordinates(*Picture1, Pool(), Choice(), in, *this); });
}

void Form1::ShowRatio(double ratio, double shift) {
  ui::ShowNumber(Text26, ratio);
  ui::ShowNumber(Text23, shift);
}

void Form1::ShowPositions(double X1, double X2, double Y1, double Y2, double R) {
  ShowBodies(X1, Y1, X2, Y2);
  // Not put off like a run's: no run shows it later.
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
