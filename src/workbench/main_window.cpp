// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/main_window.h"

#include <utility>

#include "reports/report_window.h"
#include "shared/numbers.h"
#include "shared/safe_file.h"
#include "shared/shared_pool.h"
#include "ui/action.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/picture_file.h"
#include "ui/ui_yield.h"
#include "workbench/experiment_canvas.h"
#include "workbench/experiment_report.h"
#include "workbench/period_table.h"

namespace velmor {

using ui::FieldNumber;
using ui::Messages;
using namespace ui::msg;

Form1::Form1() : ui::Form(1) {
  SetUp<Ui_Form1>(*this);
  Connect();
  // Load: the process-wide constants, the empty canvas, the sight angles.
  SharedPool& P = Pool();
  SetStartupConstants(P);
  InitCanvas(*Picture1);
  P.An.Redim(1, 20);
}

void Form1::Connect() {
  const std::pair<QPushButton*, void (Form1::*)()> actions[] = {
      {Command13, &Form1::SetConventionalPeriodClick}, {Command1, &Form1::StartExperimentClick},
      {Command12, &Form1::TheoryCurveClick},           {Command15, &Form1::TypedPointClick},
      {Command7, &Form1::ExperimentPointsClick},       {Command17, &Form1::ByXClick},
      {Command18, &Form1::ByCoordinatesClick}};
  for (const auto& entry : actions) {
    connect(entry.first, &QPushButton::clicked, this,
            [this, action = entry.second] { (this->*action)(); });
  }
  connect(Command2, &QPushButton::clicked, this, [] { Pool().StopFlag = 1; });
  connect(Command3, &QPushButton::clicked, this, [this] { ResumeClick(0); });
  connect(Command4, &QPushButton::clicked, this, [this] { ResumeClick(1); });
  connect(Command5, &QPushButton::clicked, this, [this] { ClearedValuesPicture(); });
  connect(Command6, &QPushButton::clicked, this, [this] {
    if (!ui::SavePictureAsBmp(*Picture1, "Velmor", ui::FieldText(Text21))) {
      Messages::Error(kPictureSaveFault);
    }
  });
  connect(Command14, &QPushButton::clicked, this, [this] { DrawEmptyGraphFromField(); });
  connect(Check5, &QCheckBox::clicked, this, [this] { ReportCheckClick(); });
  for (QCheckBox* box : {Check3, Check2, Check6, Check8}) {
    connect(box, &QCheckBox::clicked, this, [this, box] { VariantClick(box); });
  }
  Picture1->AddMenuAction(ui::Q("Сохранить таблицу периодов (CSV)…"), true, ui::Q("CSV (*.csv)"),
                          [](const QString& path) {
                            return WriteFileReplacing(path.toStdString(), PeriodTableCsv(Pool()));
                          });
  connect(Picture1, &ui::PictureBox::MouseDown, this,
          [this](int, double x, double y) { PictureMouseDown(x, y); });
  const std::pair<QPushButton*, int> opens[] = {
      {Command19, 8}, {Command10, 3}, {Command11, 6}, {Command9, 5}, {Command8, 2}};
  for (const auto& entry : opens) {
    connect(entry.first, &QPushButton::clicked, this,
            [form = entry.second] { ui::FormRegistry::Show(form); });
  }
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
  P.X(1) = FieldNumber(Text1);
  P.Y(1) = FieldNumber(Text5);
  P.VX(1) = FieldNumber(Text3);
  P.VY(1) = FieldNumber(Text7);
  P.X(2) = FieldNumber(Text2);
  P.Y(2) = FieldNumber(Text6);
  P.VX(2) = FieldNumber(Text4);
  P.VY(2) = FieldNumber(Text8);
}

void Form1::SetConventionalPeriodClick() {
  SharedPool& P = Pool();
  bool warn = false;
  const bool done = ui::Act(
      kComputeFault,
      [&] {
        ReadBodyFields();
        P.PictureScale = FieldNumber(Text19);
        P.Vs = FieldNumber(Text12);
        P.T00 = FieldNumber(Text18);
      },
      [&] { warn = SetConventionalPeriod(P, *this); });
  if (done && warn) Messages::Error(kPeriodWarning);
}

void Form1::StartExperimentClick() {
  ui::RunLock::Hold hold(ui::EngineRunLock(), this);
  if (!hold) return;  // a run on the experiment state is going
  SharedPool& P = Pool();
  const bool started = ui::Act(
      kSolveFault,
      [&] {
        ReadBodyFields();
        P.Vs = FieldNumber(Text12);
        P.PictureScale = FieldNumber(Text19);
        P.TimeStep = FieldNumber(Text9);
        P.NC0 = ui::FieldWhole(Text10);
      },
      [&] {
        // What the setup shows is there before any message about it.
        struct Shown {
          Form1* form;
          ~Shown() { form->ShowPending(); }
        } shown{this};
        SetUpExperiment(P, *this);
      });
  if (started) RunLoop();
}

// "Продолжить" clears the stop flag; "Сделать NC0 шагов" sets it, and with
// the flag already set the loop makes exactly one step.
void Form1::ResumeClick(int stopFlag) {
  ui::RunLock::Hold hold(ui::EngineRunLock(), this);
  if (!hold || !ui::Parsed([this] { Pool().NC0 = ui::FieldWhole(Text10); })) return;
  Pool().StopFlag = stopFlag;
  RunLoop();
}

void Form1::RunLoop() {
  Busy busy(this);
  const RunEnd end = RunExperimentSteps(Pool(), *this);
  ShowPending();
  // A window closed during the run, or "Выход": nothing more to show.
  if (Closing() || ui::Quitting()) return;
  if (end == RunEnd::Fault) Messages::Error(kSolveFault);
  if (end == RunEnd::Closed || !Check5->isChecked()) return;
  // Every return of the loop prints the periods so far when the report is on.
  ui::Computed(kReportFault, [] { PrintPeriodReport(*Form4::Get()->picMain, Pool()); });
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
  pendingSight_ = R;
}

void Form1::ShowPeriodNumber(int p) {
  pendingPeriod_ = p;
}

void Form1::ShowBodies(double X1, double Y1, double X2, double Y2) {
  ui::ShowNumber(Text13, X1);
  ui::ShowNumber(Text15, Y1);
  ui::ShowNumber(Text14, X2);
  ui::ShowNumber(Text16, Y2);
}

void Form1::ShowRefreshFields(double X1, double Y1, double X2, double Y2, double t) {
  pendingRefresh_ = RefreshFields{X1, Y1, X2, Y2, t};
}

void Form1::ShowPending() {
  if (pendingPeriod_) ui::ShowText(Text20, WholeText(*pendingPeriod_));
  if (pendingSight_) ui::ShowNumber(Text11, *pendingSight_);
  if (pendingRefresh_) {
    const RefreshFields& f = *pendingRefresh_;
    ShowBodies(f.X1, f.Y1, f.X2, f.Y2);
    ShowTravelTime(f.t);
  }
  pendingPeriod_.reset();
  pendingSight_.reset();
  pendingRefresh_.reset();
}

Canvas& Form1::Picture() {
  return *Picture1;
}

bool Form1::AskYesNo(const std::string& text) {
  ShowPending();
  return Messages::Ask(text);
}

bool Form1::Yield() {
  return ui::UiYield([this] { ShowPending(); }) && !Closing();
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
