// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/main_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <initializer_list>

#include "reports/report_window.h"
#include "shared/faults.h"
#include "shared/numbers.h"
#include "shared/safe_file.h"
#include "shared/shared_pool.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/picture_file.h"
#include "ui/ui_yield.h"
#include "workbench/experiment_canvas.h"
#include "workbench/experiment_report.h"
#include "workbench/instant_calc.h"
#include "workbench/period_table.h"

namespace velmor {

using ui::MakeButton;
using ui::MakeCheck;
using ui::MakeField;
using ui::MakeFrame;
using ui::MakeLabel;
using ui::MakeOption;
using ui::Messages;
using namespace ui::msg;

namespace {}  // namespace

Form1::Form1() : ui::Form(1, ui::Q("Velmor5         form1")) {
  BuildControls();
  LayOut();
  Connect();
  // Load: the process-wide constants, the empty canvas, the sight angles.
  SharedPool& P = Pool();
  SetStartupConstants(P);
  InitCanvas(*Picture1);
  P.An.Redim(1, 20);
}

void Form1::BuildControls() {
  Picture1 = new ui::PictureBox(this, "Picture1", 11805, 5130);

  Text1 = MakeField(this, "Text1", "86,60254");
  Text5 = MakeField(this, "Text5", "50");
  Text3 = MakeField(this, "Text3", "6");
  Text7 = MakeField(this, "Text7", "0");
  Text2 = MakeField(this, "Text2", "50");
  Text6 = MakeField(this, "Text6", "0");
  Text4 = MakeField(this, "Text4", "10");
  Text8 = MakeField(this, "Text8", "0");
  Text12 = MakeField(this, "Text12", "20");
  Text18 = MakeField(this, "Text18", "5");
  Text19 = MakeField(this, "Text19", "5");
  Text9 = MakeField(this, "Text9", "1E-3");
  Text10 = MakeField(this, "Text10", "20");
  Text21 = MakeField(this, "Text21", "1", 40);

  Text13 = MakeField(this, "Text13", "0", 110);
  Text15 = MakeField(this, "Text15", "0", 110);
  Text14 = MakeField(this, "Text14", "0", 110);
  Text16 = MakeField(this, "Text16", "0", 110);
  Text11 = MakeField(this, "Text11", "0", 110);
  Text17 = MakeField(this, "Text17", "0", 110);
  Text20 = MakeField(this, "Text20", "0", 50);
  Text24 = MakeField(this, "Text24", "0");
  for (QLineEdit* f : {Text13, Text15, Text14, Text16, Text11, Text17, Text20, Text24}) {
    f->setReadOnly(true);
  }

  Check5 = MakeCheck(this, "Check5", "+Создать отчет", false);
  Check9 = MakeCheck(this, "Check9", "+ текст", true);
  Check1 = MakeCheck(this, "Check1", "Auto", true);
  Check11 = MakeCheck(this, "Check11", "учесть запаздывание по координатам", true);

  Command13 = MakeButton(this, "Command13", "1-Задать T00, с");
  Command1 = MakeButton(this, "Command1", "2-Начать эксперимент");
  Command2 = MakeButton(this, "Command2", "Остановить");
  Command3 = MakeButton(this, "Command3", "Продолжить");
  Command4 = MakeButton(this, "Command4", "Сделать NC0 шагов");
  Command5 = MakeButton(this, "Command5", "Очистить рисунок");
  Command6 = MakeButton(this, "Command6", "Сохранить рисунок с №");
  Command7 = MakeButton(this, "Command7", "На график экспериментальные точки");
  Command19 = MakeButton(this, "Command19", "Майкельсон");
  Command10 = MakeButton(this, "Command10", "Среда");
  Command11 = MakeButton(this, "Command11", "АСО -> ИСО");
  Command9 = MakeButton(this, "Command9", "Калькулятор");
  Command8 = MakeButton(this, "Command8", "About");
  Command16 = MakeButton(this, "Command16", "Выход");

  Frame1 = MakeFrame(this, "Frame1",
                     "теоретические расчеты по выбранной формуле для частоты v или длины волны L");
  Option1 = MakeOption(Frame1, "Option1", "СТО", false);
  Option2 = MakeOption(Frame1, "Option2", "Зевр (3)", false);
  Option3 = MakeOption(Frame1, "Option3", "Лоренц (2)", true);
  Option4 = MakeOption(Frame1, "Option4", "КТО (4-4) v=v0*( 1-V12/Vs)", false);
  Check3 = MakeCheck(Frame1, "Check3", "(4-1) v=v0*(1-V12'/Vs)/G", false);
  Check2 = MakeCheck(Frame1, "Check2", "(4-2) v=v0*G/(1-V12'/Vs)", false);
  Check6 = MakeCheck(Frame1, "Check6", "(4-3) v=v0*G/(1+V12'/Vs)", false);
  Check8 = MakeCheck(Frame1, "Check8", "v(4-5)=v(2)*G2/G1", false);
  Frame4 = MakeFrame(Frame1, "Frame4", "Зевр");
  Option11 = MakeOption(Frame4, "Option11", "3-1", false);
  Option12 = MakeOption(Frame4, "Option12", "3-2", true);
  Check13 = MakeCheck(Frame1, "Check13", "для (3) точный расчет поправок dv1 и dv2", true);
  Check7 = MakeCheck(Frame1, "Check7", "L/L0", false);

  Frame3 = MakeFrame(this, "Frame3", "");
  Option6 = MakeOption(Frame3, "Option6", "VX1", true);
  Option7 = MakeOption(Frame3, "Option7", "VX2", false);
  Option8 = MakeOption(Frame3, "Option8", "Q при заданных VX1 и VX2", false);

  Text29 = MakeField(this, "Text29", "656,28", 60);
  Text25 = MakeField(this, "Text25", "0", 60);
  Text26 = MakeField(this, "Text26", "1", 90);
  Text28 = MakeField(this, "Text28", "0", 50);
  Text27 = MakeField(this, "Text27", "0,5", 50);
  Text23 = MakeField(this, "Text23", "0", 90);

  Command12 = MakeButton(this, "Command12", "Построить график в функции от");
  Command14 = MakeButton(this, "Command14", "Очистить график");
  Command15 = MakeButton(this, "Command15", "Поставить точку по X Y");
  Command17 = MakeButton(this, "Command17", "Расчет по V1, V2 или V12 = X при заданном Q=");
  Command18 = MakeButton(this, "Command18", "Расчет по координатам и скоростям с нахождением Q");
}

void Form1::LayOut() {
  // Theory frame: formula options with their variants.
  auto* f1 = new QGridLayout(Frame1);
  f1->setVerticalSpacing(1);
  f1->addWidget(Option3, 0, 0);
  f1->addWidget(Option2, 1, 0);
  auto* f4 = new QHBoxLayout(Frame4);
  f4->setContentsMargins(4, 0, 4, 0);
  f4->addWidget(Option11);
  f4->addWidget(Option12);
  f1->addWidget(Frame4, 1, 1);
  f1->addWidget(Check13, 2, 0, 1, 2);
  f1->addWidget(Option1, 3, 0);
  f1->addWidget(Check3, 4, 0);
  f1->addWidget(Check2, 4, 1);
  f1->addWidget(Check6, 5, 0);
  f1->addWidget(Check8, 5, 1);
  f1->addWidget(Option4, 6, 0, 1, 2);
  f1->addWidget(Check7, 7, 0);

  auto* f3 = new QHBoxLayout(Frame3);
  f3->setContentsMargins(4, 0, 4, 0);
  f3->addWidget(Option6);
  f3->addWidget(Option7);
  f3->addWidget(Option8);

  // Rows of the graph panel: each a label or button with its field.
  auto row = [this](std::initializer_list<QWidget*> widgets) {
    auto* r = new QHBoxLayout;
    r->setSpacing(4);
    for (QWidget* w : widgets) {
      if (w) {
        r->addWidget(w);
      } else {
        r->addStretch(1);
      }
    }
    return r;
  };
  auto* theory = new QVBoxLayout;
  theory->setSpacing(3);
  theory->addWidget(Frame1);
  theory->addLayout(row(
      {MakeLabel(this, "", "v0(L0)"), Text29, nullptr, MakeLabel(this, "", "dv (dL)"), Text23}));
  theory->addLayout(
      row({Command14, nullptr, MakeLabel(this, "", "Масштаб графика v/v0, ед/см"), Text27}));
  theory->addLayout(row({Command12, Frame3}));
  theory->addLayout(row({MakeLabel(this, "", "X, V/Vs"), Text25, MakeLabel(this, "", "Y, v/v0"),
                         Text26, nullptr, Command15}));
  theory->addLayout(row({Command17, Text28}));
  theory->addLayout(row({Command18}));
  theory->addStretch(1);

  // Experiment grid under the canvas.
  auto* g = new QGridLayout;
  g->setVerticalSpacing(2);
  ui::PutLabelled(g, 0, 0, this, "X1n", Text1);
  ui::PutLabelled(g, 1, 0, this, "X2n", Text2);
  ui::PutLabelled(g, 2, 0, this, "Y1n", Text5);
  ui::PutLabelled(g, 3, 0, this, "Y2n", Text6);
  ui::PutLabelled(g, 0, 2, this, "VX1", Text3);
  ui::PutLabelled(g, 1, 2, this, "VX2", Text4);
  ui::PutLabelled(g, 2, 2, this, "VY1", Text7);
  ui::PutLabelled(g, 3, 2, this, "VY2", Text8);
  ui::PutLabelled(g, 0, 4, this, "X1=", Text13);
  ui::PutLabelled(g, 1, 4, this, "X2=", Text14);
  ui::PutLabelled(g, 2, 4, this, "Y1=", Text15);
  ui::PutLabelled(g, 3, 4, this, "Y2=", Text16);
  ui::PutLabelled(g, 4, 4, this, " R=", Text11);
  g->addWidget(Command13, 4, 0);
  g->addWidget(Text18, 4, 1);
  ui::PutLabelled(g, 4, 2, this, " Nv0, шт=", Text24);
  ui::PutLabelled(g, 5, 0, this, "Vs, м/с ", Text12);
  g->addWidget(Command1, 5, 2, 1, 2);
  ui::PutLabelled(g, 5, 4, this, "№ периода Т00", Text20);
  ui::PutLabelled(g, 6, 0, this, "Масштаб рисунка, м/см", Text19);
  ui::PutLabelled(g, 6, 2, this, " шаг, с", Text9);
  ui::PutLabelled(g, 6, 4, this, " T, с", Text17);

  auto* run = new QHBoxLayout;
  run->addWidget(Command2);
  run->addWidget(Command3);
  run->addWidget(Command4);
  run->addWidget(MakeLabel(this, "", "NC0"));
  run->addWidget(Text10);
  run->addWidget(Command6);
  run->addWidget(Text21);
  run->addWidget(Command5);
  run->addStretch(1);

  auto* checks = new QHBoxLayout;
  checks->addWidget(Check5);
  checks->addWidget(Check9);
  checks->addWidget(Check1);
  checks->addWidget(Check11);
  checks->addWidget(Command7);
  checks->addStretch(1);

  auto* nav = new QHBoxLayout;
  for (QPushButton* b : {Command19, Command10, Command11, Command9, Command8, Command16}) {
    nav->addWidget(b);
  }
  nav->addStretch(1);

  auto* left = new QVBoxLayout;
  left->setSpacing(3);
  left->addWidget(Picture1);
  left->addLayout(g);
  left->addLayout(run);
  left->addLayout(checks);
  left->addLayout(nav);
  left->addStretch(1);

  // The theory panel keeps the window within a 1366-pixel screen.
  auto* theoryPanel = new QWidget(this);
  theoryPanel->setLayout(theory);
  theoryPanel->setMaximumWidth(540);
  theory->setContentsMargins(0, 0, 0, 0);
  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(6, 6, 6, 6);
  top->addLayout(left);
  top->addWidget(theoryPanel, 0, Qt::AlignTop);
}

void Form1::Connect() {
  connect(Command13, &QPushButton::clicked, this, [this] { SetConventionalPeriodClick(); });
  connect(Command1, &QPushButton::clicked, this, [this] { StartExperimentClick(); });
  connect(Command2, &QPushButton::clicked, this, [] { Pool().StopFlag = 1; });
  connect(Command3, &QPushButton::clicked, this, [this] { ContinueClick(); });
  connect(Command4, &QPushButton::clicked, this, [this] { SingleStepClick(); });
  connect(Command5, &QPushButton::clicked, this, [this] {
    Picture1->Cls();
    InitCanvas(*Picture1);
  });
  connect(Command6, &QPushButton::clicked, this, [this] {
    if (!ui::SavePictureAsBmp(*Picture1, "Velmor", ui::FieldText(Text21))) {
      Messages::Error(kPictureSaveFault);
    }
  });
  connect(Check5, &QCheckBox::clicked, this, [this] { ReportCheckClick(); });
  for (QCheckBox* box : {Check3, Check2, Check6, Check8}) {
    connect(box, &QCheckBox::clicked, this, [this, box] { VariantClick(box); });
  }
  connect(Command14, &QPushButton::clicked, this, [this] { EmptyGraphClick(); });
  connect(Command12, &QPushButton::clicked, this, [this] { TheoryCurveClick(); });
  connect(Command15, &QPushButton::clicked, this, [this] { TypedPointClick(); });
  connect(Command7, &QPushButton::clicked, this, [this] { ExperimentPointsClick(); });
  connect(Command17, &QPushButton::clicked, this, [this] { ByXClick(); });
  connect(Command18, &QPushButton::clicked, this, [this] { ByCoordinatesClick(); });
  Picture1->AddMenuAction(ui::Q("Сохранить таблицу периодов (CSV)…"), true, ui::Q("CSV (*.csv)"),
                          [](const QString& path) {
                            return WriteFileReplacing(path.toStdString(), PeriodTableCsv(Pool()));
                          });
  connect(Picture1, &ui::PictureBox::MouseDown, this,
          [this](int, double x, double y) { PictureMouseDown(x, y); });
  connect(Command19, &QPushButton::clicked, this, [] { ui::FormRegistry::Show(8); });
  connect(Command10, &QPushButton::clicked, this, [] { ui::FormRegistry::Show(3); });
  connect(Command11, &QPushButton::clicked, this, [] { ui::FormRegistry::Show(6); });
  connect(Command9, &QPushButton::clicked, this, [] { ui::FormRegistry::Show(5); });
  connect(Command8, &QPushButton::clicked, this, [] { ui::FormRegistry::Show(2); });
  connect(Command16, &QPushButton::clicked, this, [] { ui::FormRegistry::CloseAll(); });
}

void Form1::OnActivate() {
  Pool().v0 = 0.2;
}

// Closing the main window by its title bar ends the program as "Выход" does.
void Form1::OnClosing() {
  ui::FormRegistry::CloseAll();
}

void Form1::ReportCheckClick() {
  if (Check5->isChecked()) {
    auto* report = static_cast<Form4*>(ui::FormRegistry::Show(4));
    connect(report, &Form4::Closed, this, &Form1::ReportWindowClosed, Qt::UniqueConnection);
  } else if (ui::Form* f = ui::FormRegistry::Find(4)) {
    f->close();
  }
}

// Closing the report window by its title bar is unticking the box: no
// report goes on into a page nobody can see, and ticking again starts with
// an empty page as after unticking.
void Form1::ReportWindowClosed() {
  Check5->setChecked(false);
}

// The bodies' positions and velocities into the pool, field by field, so a
// field that does not parse leaves those before it stored.
void Form1::ReadBodyFields() {
  SharedPool& P = Pool();
  P.X(1) = ui::FieldNumber(Text1);
  P.Y(1) = ui::FieldNumber(Text5);
  P.VX(1) = ui::FieldNumber(Text3);
  P.VY(1) = ui::FieldNumber(Text7);
  P.X(2) = ui::FieldNumber(Text2);
  P.Y(2) = ui::FieldNumber(Text6);
  P.VX(2) = ui::FieldNumber(Text4);
  P.VY(2) = ui::FieldNumber(Text8);
}

void Form1::SetConventionalPeriodClick() {
  SharedPool& P = Pool();
  try {
    ReadBodyFields();
    P.PictureScale = ui::FieldNumber(Text19);
    P.Vs = ui::FieldNumber(Text12);
    P.T00 = ui::FieldNumber(Text18);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  bool warn = false;
  try {
    warn = SetConventionalPeriod(P, *this);
  } catch (const ComputeFault&) {
    Messages::Error(kComputeFault);
    return;
  }
  if (warn) Messages::Error(kPeriodWarning);
}

void Form1::StartExperimentClick() {
  ui::RunLock::Hold hold(ui::EngineRunLock());
  if (!hold) return;  // a run on the experiment state is going
  SharedPool& P = Pool();
  try {
    ReadBodyFields();
    P.Vs = ui::FieldNumber(Text12);
    P.PictureScale = ui::FieldNumber(Text19);
    P.TimeStep = ui::FieldNumber(Text9);
    P.NC0 = ui::FieldWhole(Text10);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  try {
    SetUpExperiment(P, *this);
  } catch (const ComputeFault&) {
    Messages::Error(kSolveFault);
    return;
  }
  RunLoop();
}

void Form1::ContinueClick() {
  ui::RunLock::Hold hold(ui::EngineRunLock());
  if (!hold) return;
  try {
    Pool().NC0 = ui::FieldWhole(Text10);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  Pool().StopFlag = 0;
  RunLoop();
}

void Form1::SingleStepClick() {
  ui::RunLock::Hold hold(ui::EngineRunLock());
  if (!hold) return;
  try {
    Pool().NC0 = ui::FieldWhole(Text10);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  // With the flag already set the loop makes exactly one step.
  Pool().StopFlag = 1;
  RunLoop();
}

void Form1::RunLoop() {
  Busy busy(this);
  const RunEnd end = RunExperimentSteps(Pool(), *this);
  // A window closed during the run, or "Выход": nothing more to show.
  if (Closing() || ui::Quitting()) return;
  if (end == RunEnd::Fault) Messages::Error(kSolveFault);
  if (end == RunEnd::Closed) return;
  ReportPeriodsIfTicked();
}

void Form1::ReportPeriodsIfTicked() {
  if (!Check5->isChecked()) return;
  try {
    PrintPeriodReport(*Form4::Get()->picMain, Pool());
  } catch (const ComputeFault&) {
    Messages::Error(kReportFault);
  }
}

bool Form1::AutoMode() const {
  return Check1->isChecked();
}
bool Form1::DelayInCoordinates() const {
  return Check11->isChecked();
}
bool Form1::Labels() const {
  return Check9->isChecked();
}

void Form1::ShowSightDistance(double R) {
  ui::ShowNumber(Text11, R);
}

void Form1::ShowPeriodNumber(int p) {
  ui::ShowText(Text20, WholeText(p));
}

void Form1::ShowRefreshFields(double X1, double Y1, double X2, double Y2, double t) {
  ui::ShowNumber(Text13, X1);
  ui::ShowNumber(Text15, Y1);
  ui::ShowNumber(Text14, X2);
  ui::ShowNumber(Text16, Y2);
  ui::ShowNumber(Text17, t);
}

Canvas& Form1::Picture() {
  return *Picture1;
}

bool Form1::AskYesNo(const std::string& text) {
  return Messages::Ask(text);
}

bool Form1::Yield() {
  return ui::UiYield() && !Closing();
}

void Form1::StartReport() {
  if (Check5->isChecked()) PrintReportHeader(*Form4::Get()->picMain, Pool());
}

void Form1::ShowTravelTime(double t) {
  ui::ShowNumber(Text17, t);
}

void Form1::ShowNv0(double nv0) {
  ui::ShowNumber(Text24, nv0);
}

}  // namespace velmor
