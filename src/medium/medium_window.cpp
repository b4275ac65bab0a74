// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "medium/bundle_engine.h"
#include "medium/experiment_data.h"
#include "medium/medium_period_table.h"
#include "medium/medium_report.h"
#include "medium/medium_state.h"
#include "medium/period_search.h"
#include "medium/potential_engine.h"
#include "medium/ray_bundle.h"
#include "reports/report_window.h"
#include "shared/checked_math.h"
#include "shared/faults.h"
#include "shared/numbers.h"
#include "shared/safe_file.h"
#include "shared/shared_pool.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/picture_file.h"
#include "ui/ui_yield.h"

namespace velmor {

using ui::MakeButton;
using ui::MakeCheck;
using ui::MakeField;
using ui::MakeFrame;
using ui::MakeOption;
using ui::Messages;
using namespace ui::msg;

namespace {

// The parsing stage of an action: false, with the message, when a field does
// not parse or the arithmetic of the parsed values faults.
template <class Parse>
bool Parsed(Parse parse) {
  try {
    parse();
    return true;
  } catch (const InputFault&) {
  } catch (const ComputeFault&) {
  }
  Messages::Error(kBadInput);
  return false;
}

// The data file of the number typed beside the save button, in the
// program's working directory (where its pictures go too).
std::filesystem::path DataFilePath(int number) {
  return std::filesystem::current_path() / DataFileName(number);
}

}  // namespace

Form3::Form3()
    : ui::Form(3, ui::Q("Velmor5     form3     Распространение сигнала в среде переменной "
                        "оптической плотности ")) {
  BuildControls();
  LayOut();
  Connect();
  DrawMediumGrid(*Picture1);
}

void Form3::BuildControls() {
  // 41 × 18 picture units of the medium's grid.
  Picture1 = new ui::PictureBox(this, "Picture1", 11805, 5190);
  Picture1->AddMenuAction(ui::Q("Сохранить таблицу периодов (CSV)…"), true, ui::Q("CSV (*.csv)"),
                          [](const QString& path) {
                            return WriteFileReplacing(path.toStdString(),
                                                      MediumPeriodTableCsv(Pool(), Medium()));
                          });

  // Created in the order of the layout, left to right and top to bottom,
  // which is the keyboard focus order.
  Text1 = MakeField(this, "Text1", "100");
  Text5 = MakeField(this, "Text5", "50");
  Text3 = MakeField(this, "Text3", "5");
  Text7 = MakeField(this, "Text7", "0");
  Text2 = MakeField(this, "Text2", "0");
  Text6 = MakeField(this, "Text6", "0");
  Text4 = MakeField(this, "Text4", "9");
  Text8 = MakeField(this, "Text8", "0");
  Text12 = MakeField(this, "Text12", "20");
  Text50 = MakeField(this, "Text50", "0");
  Text19 = MakeField(this, "Text19", "5");
  Text9 = MakeField(this, "Text9", "1E-3");
  Command13 = MakeButton(this, "Command13", "Найти T00, с");
  Text18 = MakeField(this, "Text18", "5");
  Text22 = MakeField(this, "Text22", "0", 90);
  Text10 = MakeField(this, "Text10", "20");
  Text17 = MakeField(this, "Text17", "656,28", 90);
  Text13 = MakeField(this, "Text13", "0", 90);
  Text15 = MakeField(this, "Text15", "0", 90);
  Text14 = MakeField(this, "Text14", "0", 90);
  Text16 = MakeField(this, "Text16", "0", 90);
  Text11 = MakeField(this, "Text11", "1,000005", 90);
  Text25 = MakeField(this, "Text25", "0", 90);
  Text20 = MakeField(this, "Text20", "0", 50);
  Text24 = MakeField(this, "Text24", "0", 90);
  Text28 = MakeField(this, "Text28", "0", 90);
  Text30 = MakeField(this, "Text30", "0", 90);
  Text29 = MakeField(this, "Text29", "0", 90);
  Text31 = MakeField(this, "Text31", "0", 90);
  Text39 = MakeField(this, "Text39", "0", 90);
  Text36 = MakeField(this, "Text36", "0", 90);
  Text37 = MakeField(this, "Text37", "0", 90);
  Text38 = MakeField(this, "Text38", "0", 90);
  Text44 = MakeField(this, "Text44", "0", 90);
  for (QLineEdit* f :
       {Text22, Text17, Text13, Text15, Text14, Text16, Text11, Text25, Text20, Text24, Text28,
        Text30, Text29, Text31, Text36, Text39, Text37, Text38, Text44}) {
    f->setReadOnly(true);
  }

  Frame1 = MakeFrame(this, "Frame1", "изменение плотности по слоям");
  Option1 = MakeOption(Frame1, "Option1", "P=1+Kp*N", false);
  Option2 = MakeOption(Frame1, "Option2", "P=1+Kp*N^2", false);
  Option3 = MakeOption(Frame1, "Option3", "P=1+Kp*(Np-N)", true);
  Option4 = MakeOption(Frame1, "Option4", "P=1+Kp*(Np-N)^2", false);
  Text23 = MakeField(this, "Text23", "100", 60);
  Text33 = MakeField(this, "Text33", "0,00", 60);
  Text32 = MakeField(this, "Text32", "400", 60);
  Text34 = MakeField(this, "Text34", "160", 60);
  Text35 = MakeField(this, "Text35", "90", 60);
  Frame3 = MakeFrame(this, "Frame3", "эффект Доплера");
  Option5 = MakeOption(Frame3, "Option5", "классика", true);
  Option6 = MakeOption(Frame3, "Option6", "СТО", false);
  Frame2 = MakeFrame(this, "Frame2", "запаздывание Л-В");
  Option7 = MakeOption(Frame2, "Option7", "текущее", false);
  Option9 = MakeOption(Frame2, "Option9", "реальное", true);
  Option10 = MakeOption(Frame2, "Option10", "нет", false);

  Command1 = MakeButton(this, "Command1", "Начать эксперимент с изменением оптической плотности");
  Command9 = MakeButton(this, "Command9", "Начать эксперимент с потенциалами Лиенарда-Вихерта");
  Command8 = MakeButton(this, "Command8", "Показать изменение плотности");
  Check1 = MakeCheck(this, "Check1", "Auto", true);
  Check2 = MakeCheck(this, "Check2", "Stop", false);
  Check4 = MakeCheck(this, "Check4", "Sin", false);
  Check6 = MakeCheck(this, "Check6", "рисовать", true);
  Check5 = MakeCheck(this, "Check5", "+ Создать отчет", false);
  Command2 = MakeButton(this, "Command2", "Остановить");
  Command3 = MakeButton(this, "Command3", "Продолжить");
  Command4 = MakeButton(this, "Command4", "Сделать NC0 шагов");
  Command5 = MakeButton(this, "Command5", "Очистить рисунок");
  Command6 = MakeButton(this, "Command6", "Сохранить рисунок №");
  Text21 = MakeField(this, "Text21", "1", 40);
  Check3 = MakeCheck(this, "Check3", ".txt", false);
  Command14 = MakeButton(this, "Command14", "Очистить график v/v0, ед/см=");
  Text27 = MakeField(this, "Text27", "0,25", 50);
  Check11 = MakeCheck(this, "Check11", "по T с MT, с/см", false);
  Text43 = MakeField(this, "Text43", "5", 50);
  Frame4 = MakeFrame(this, "Frame4", "");
  Option11 = MakeOption(Frame4, "Option11", "Q3", true);
  Option12 = MakeOption(Frame4, "Option12", "Q1 Q2", false);
  Option13 = MakeOption(Frame4, "Option13", "Q2", false);
  Command7 = MakeButton(this, "Command7", "На график экспериментальные точки");
  Command18 = MakeButton(this, "Command18", "Расчетные точки");
  Command16 = MakeButton(this, "Command16", "Выход");
}

void Form3::LayOut() {
  // Bodies, clock and results under the picture.
  auto* g = new QGridLayout;
  g->setVerticalSpacing(2);
  ui::PutLabelled(g, 0, 0, this, "X10", Text1);
  ui::PutLabelled(g, 0, 2, this, "Y10", Text5);
  ui::PutLabelled(g, 0, 4, this, "VX1", Text3);
  ui::PutLabelled(g, 0, 6, this, "VY1", Text7);
  ui::PutLabelled(g, 1, 0, this, "X20", Text2);
  ui::PutLabelled(g, 1, 2, this, "Y20", Text6);
  ui::PutLabelled(g, 1, 4, this, "VX2", Text4);
  ui::PutLabelled(g, 1, 6, this, "VY2", Text8);
  ui::PutLabelled(g, 2, 0, this, "Vs, м/с ", Text12);
  ui::PutLabelled(g, 2, 2, this, "VXiso, м/с", Text50);
  ui::PutLabelled(g, 2, 4, this, "Масштаб, м/см", Text19);
  ui::PutLabelled(g, 2, 6, this, " шаг решения, с", Text9);
  g->addWidget(Command13, 3, 0);
  g->addWidget(Text18, 3, 1);
  ui::PutLabelled(g, 3, 2, this, "v0, 1/с =", Text22);
  ui::PutLabelled(g, 3, 4, this, "NC0", Text10);
  ui::PutLabelled(g, 3, 6, this, " T, с", Text17);
  ui::PutLabelled(g, 4, 0, this, "X1=", Text13);
  ui::PutLabelled(g, 4, 2, this, "Y1=", Text15);
  ui::PutLabelled(g, 4, 4, this, "X2=", Text14);
  ui::PutLabelled(g, 4, 6, this, "Y2=", Text16);
  ui::PutLabelled(g, 5, 0, this, "VX1iso", Text11);
  ui::PutLabelled(g, 5, 2, this, "VX2iso", Text25);
  ui::PutLabelled(g, 5, 4, this, " периода", Text20);
  ui::PutLabelled(g, 5, 6, this, "v=1/dt", Text24);
  ui::PutLabelled(g, 6, 0, this, "X1n", Text28);
  ui::PutLabelled(g, 6, 2, this, "Y1n", Text30);
  ui::PutLabelled(g, 6, 4, this, "X2n", Text29);
  ui::PutLabelled(g, 6, 6, this, "Y2n", Text31);
  ui::PutLabelled(g, 7, 0, this, "Q1n", Text39);
  ui::PutLabelled(g, 7, 2, this, "Q2n", Text36);
  ui::PutLabelled(g, 7, 4, this, "vn", Text37);
  ui::PutLabelled(g, 7, 6, this, "vk", Text38);
  ui::PutLabelled(g, 8, 6, this, "vsr", Text44);

  auto* left = new QVBoxLayout;
  left->setSpacing(3);
  left->addWidget(Picture1);
  left->addLayout(g);
  left->addStretch(1);

  // The medium, the options and the buttons on the right.
  auto* f1 = new QGridLayout(Frame1);
  f1->setVerticalSpacing(1);
  f1->addWidget(Option1, 0, 0);
  f1->addWidget(Option2, 0, 1);
  f1->addWidget(Option3, 1, 0);
  f1->addWidget(Option4, 1, 1);
  auto* medium = new QGridLayout;
  medium->setVerticalSpacing(2);
  ui::PutLabelled(medium, 0, 0, this, "количество слоев среды Np", Text23);
  ui::PutLabelled(medium, 1, 0, this, "коэффициент плотности Kp ", Text33);
  ui::PutLabelled(medium, 2, 0, this, "кол-во лучей", Text32);
  ui::PutLabelled(medium, 3, 0, this, "угол конуса", Text34);
  ui::PutLabelled(medium, 4, 0, this, "средний угол", Text35);
  medium->setColumnStretch(2, 1);

  auto* f3 = new QHBoxLayout(Frame3);
  f3->setContentsMargins(4, 0, 4, 0);
  f3->addWidget(Option5);
  f3->addWidget(Option6);
  auto* f2 = new QHBoxLayout(Frame2);
  f2->setContentsMargins(4, 0, 4, 0);
  f2->addWidget(Option7);
  f2->addWidget(Option9);
  f2->addWidget(Option10);
  auto* options = new QHBoxLayout;
  options->addWidget(Frame3);
  options->addWidget(Frame2);

  auto* checks = new QHBoxLayout;
  for (QCheckBox* c : {Check1, Check2, Check4, Check6, Check5}) checks->addWidget(c);
  checks->addStretch(1);

  auto* run = new QHBoxLayout;
  for (QPushButton* b : {Command2, Command3, Command4, Command5}) run->addWidget(b);
  run->addStretch(1);

  auto* save = new QHBoxLayout;
  save->addWidget(Command6);
  save->addWidget(Text21);
  save->addWidget(Check3);
  save->addStretch(1);

  auto* graph = new QGridLayout;
  graph->setVerticalSpacing(2);
  graph->addWidget(Command14, 0, 0);
  graph->addWidget(Text27, 0, 1);
  graph->addWidget(Check11, 1, 0);
  graph->addWidget(Text43, 1, 1);
  auto* f4 = new QHBoxLayout(Frame4);
  f4->setContentsMargins(4, 0, 4, 0);
  f4->addWidget(Option11);
  f4->addWidget(Option12);
  f4->addWidget(Option13);
  graph->addWidget(Frame4, 2, 0, 1, 2);
  graph->addWidget(Command7, 3, 0, 1, 2);
  graph->addWidget(Command18, 4, 0);
  graph->addWidget(Command16, 4, 1);

  auto* right = new QVBoxLayout;
  right->setSpacing(3);
  right->addWidget(Frame1);
  right->addLayout(medium);
  right->addLayout(options);
  right->addWidget(Command1);
  right->addWidget(Command9);
  right->addWidget(Command8);
  right->addLayout(checks);
  right->addLayout(run);
  right->addLayout(save);
  right->addLayout(graph);
  right->addStretch(1);

  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(6, 6, 6, 6);
  top->addLayout(left);
  top->addLayout(right);
}

void Form3::Connect() {
  connect(Command1, &QPushButton::clicked, this, [this] { StartBundleClick(); });
  connect(Command9, &QPushButton::clicked, this, [this] { StartPotentialClick(); });
  connect(Command13, &QPushButton::clicked, this, [this] { SearchPeriodClick(); });
  connect(Command8, &QPushButton::clicked, this, [this] { DensityProfileClick(); });
  connect(Command2, &QPushButton::clicked, this, [] { Pool().StopFlag = 1; });
  connect(Command3, &QPushButton::clicked, this, [this] { ContinueClick(false); });
  connect(Command4, &QPushButton::clicked, this, [this] { ContinueClick(true); });
  connect(Command5, &QPushButton::clicked, this, [this] { ClearPictureClick(); });
  connect(Command6, &QPushButton::clicked, this, [this] { SaveClick(); });
  connect(Command14, &QPushButton::clicked, this, [this] { GraphFrameClick(); });
  connect(Command7, &QPushButton::clicked, this, [this] { ObservedPointsClick(); });
  connect(Command18, &QPushButton::clicked, this, [this] { ComputedPointsClick(); });
  connect(Command16, &QPushButton::clicked, this, [] { ui::FormRegistry::CloseAll(); });
  connect(Check5, &QCheckBox::clicked, this, [this] { ReportCheckClick(); });
  connect(Picture1, &ui::PictureBox::MouseDown, this,
          [this](int, double x, double y) { PictureMouseDown(x, y); });
}

// --- Parsing --------------------------------------------------------------

void Form3::ParseBodies() {
  SharedPool& P = Pool();
  P.X(1) = ui::FieldNumber(Text1);
  P.Y(1) = ui::FieldNumber(Text5);
  P.VX(1) = ui::FieldNumber(Text3);
  P.VY(1) = ui::FieldNumber(Text7);
  P.X(2) = ui::FieldNumber(Text2);
  P.Y(2) = ui::FieldNumber(Text6);
  P.VX(2) = ui::FieldNumber(Text4);
  P.VY(2) = ui::FieldNumber(Text8);
  P.Vs = ui::FieldNumber(Text12);
  Medium().VXiso = ui::FieldNumber(Text50);
  P.PictureScale = ui::FieldNumber(Text19);
  P.TimeStep = ui::FieldNumber(Text9);
  P.NC0 = ui::FieldWhole(Text10);
}

void Form3::ParsePeriod() {
  SharedPool& P = Pool();
  P.T00 = ui::FieldNumber(Text18);
  P.v0 = CheckedDiv(1, P.T00);
  ui::ShowNumber(Text22, P.v0);
}

void Form3::ParseBundleShape() {
  SharedPool& P = Pool();
  MediumState& M = Medium();
  M.Np = ui::FieldWhole(Text23);
  M.Kp = ui::FieldNumber(Text33);
  M.RayCount = ui::FieldWhole(Text32);
  M.ConeAngle = CheckedDiv(ui::FieldNumber(Text34), P.DegPerRad);
  M.MeanAngle = CheckedDiv(ui::FieldNumber(Text35), P.DegPerRad);
  ComputeBundleShape(P, M);
}

GraphFrame Form3::ParseGraphFrame() const {
  GraphFrame f;
  f.timeMode = Check11->isChecked();
  f.s = ui::FieldNumber(Text27) / 2;
  f.ts = ui::FieldNumber(Text43) / 2;
  return f;
}

// --- Experiments ----------------------------------------------------------

void Form3::StartBundleClick() {
  ui::RunLock::Hold hold(ui::EngineRunLock());
  if (!hold) return;  // a run on the experiment state is going
  SharedPool& P = Pool();
  MediumState& M = Medium();
  M.Prepared = false;
  if (!Parsed([this] {
        ParseBodies();
        ParsePeriod();
        ParseBundleShape();
      })) {
    return;
  }
  BundleSetUp ready = BundleSetUp::Ready;
  try {
    ready = SetUpBundleExperiment(P, M, *this, Check2->isChecked());
  } catch (const ComputeFault&) {
    Messages::Error(kSolveFault);
    return;
  }
  if (ready == BundleSetUp::SourceNotMovingRight) {
    Messages::Error(kSourceDirectionMessage);
    return;
  }
  if (P.StopFlag != 0) return;  // prepared only: "Продолжить" starts it
  if (Check5->isChecked()) {
    try {
      PrintBundleHeader(*Form4::Get()->picMain, P, M);
    } catch (const ComputeFault&) {
      Messages::Error(kReportFault);
    }
  }
  RunBundle();
}

void Form3::StartPotentialClick() {
  ui::RunLock::Hold hold(ui::EngineRunLock());
  if (!hold) return;
  SharedPool& P = Pool();
  MediumState& M = Medium();
  M.Prepared = false;
  if (!Parsed([&] {
        ParseBodies();
        M.TimeScale = ui::FieldNumber(Text43);
        ParsePeriod();
      })) {
    return;
  }
  try {
    SetUpPotentialExperiment(P, M, *this, Check2->isChecked());
  } catch (const ComputeFault&) {
    Messages::Error(kSolveFault);
    return;
  }
  if (P.StopFlag != 0) return;
  if (Check5->isChecked()) {
    try {
      PrintPotentialHeader(*Form4::Get()->picMain, P, M);
    } catch (const ComputeFault&) {
      Messages::Error(kReportFault);
    }
  }
  RunPotential();
}

void Form3::SearchPeriodClick() {
  ui::RunLock::Hold hold(ui::EngineRunLock());
  if (!hold) return;
  SharedPool& P = Pool();
  MediumState& M = Medium();
  M.Prepared = false;
  if (!Parsed([this] {
        ParseBodies();
        ParseBundleShape();
      })) {
    return;
  }
  try {
    SetUpPeriodSearch(P, M, *this);
  } catch (const ComputeFault&) {
    Messages::Error(kComputeFault);
    return;
  }
  Busy busy(this);
  const MediumRunEnd end = RunPeriodSearch(P, M, *this);
  if (Closing() || ui::Quitting()) return;
  if (end == MediumRunEnd::Fault) Messages::Error(kComputeFault);
}

void Form3::ContinueClick(bool oneStep) {
  ui::RunLock::Hold hold(ui::EngineRunLock());
  if (!hold) return;
  SharedPool& P = Pool();
  const MediumState& M = Medium();
  // Nothing to continue before a start completed its set-up here.
  if (!M.Prepared) return;
  if (!Parsed([&] { P.NC0 = ui::FieldWhole(Text10); })) return;
  // A finished run has no period left to look for.
  if (M.ExperimentKind == kBundleKind && P.PeriodNumber > 20) return;
  if (M.ExperimentKind == kPotentialKind && P.PeriodNumber >= kLastMaximum) return;
  // With the flag already set the loop makes exactly one step.
  P.StopFlag = oneStep ? 1 : 0;
  if (M.ExperimentKind == kBundleKind) {
    RunBundle();
  } else {
    RunPotential();
  }
}

void Form3::RunBundle() {
  Busy busy(this);
  const MediumRunEnd end = RunBundleSteps(Pool(), Medium(), *this);
  // A window closed during the run, or "Выход": nothing more to show.
  if (Closing() || ui::Quitting() || end == MediumRunEnd::Closed) return;
  if (end == MediumRunEnd::Fault) Messages::Error(kSolveFault);
  ReportIfTicked(kBundleKind);
}

void Form3::RunPotential() {
  Busy busy(this);
  const MediumRunEnd end = RunPotentialSteps(Pool(), Medium(), *this);
  if (Closing() || ui::Quitting() || end == MediumRunEnd::Closed) return;
  if (end == MediumRunEnd::Fault) Messages::Error(kSolveFault);
  ReportIfTicked(kPotentialKind);
}

void Form3::ReportIfTicked(int kind) {
  if (!Check5->isChecked()) return;
  Canvas& page = *Form4::Get()->picMain;
  try {
    if (kind == kBundleKind) {
      PrintBundleReport(page, Pool(), Medium(), Relativistic());
    } else {
      PrintPotentialReport(page, Pool(), Medium(), Relativistic());
    }
  } catch (const ComputeFault&) {
    Messages::Error(kReportFault);
  }
}

// --- Picture, profile, files ----------------------------------------------

void Form3::DensityProfileClick() {
  double scale = 0, receiverY = 0, sourceY = 0, Kp = 0;
  int Np = 0;
  if (!Parsed([&] {
        scale = ui::FieldNumber(Text19);
        receiverY = ui::FieldNumber(Text5);
        sourceY = ui::FieldNumber(Text6);
        Np = ui::FieldWhole(Text23);
        Kp = ui::FieldNumber(Text33);
        if (Np > kMaxLayers) RaiseInputFault("layer count");
      })) {
    return;
  }
  try {
    DrawDensityProfile(*Picture1, Law(), scale, receiverY, sourceY, Np, Kp);
  } catch (const ComputeFault&) {
    Messages::Error(kComputeFault);
  }
}

void Form3::ClearPictureClick() {
  Picture1->Cls();
  DrawMediumGrid(*Picture1);
  frameDrawn_ = false;
}

void Form3::SaveClick() {
  if (!Check3->isChecked()) {
    if (!ui::SavePictureAsBmp(*Picture1, "Velmor", ui::FieldText(Text21))) {
      Messages::Error(kPictureSaveFault);
    }
    return;
  }
  int number = 0;
  if (!Parsed([&] { number = ui::FieldWhole(Text21); })) return;
  const auto text = ComposeDataFile(DataFromState(Pool(), Medium()));
  bool written = false;
  if (text) {
    try {
      written = WriteFileReplacing(DataFilePath(number).string(), *text);
    } catch (const std::exception&) {
      written = false;
    }
  }
  if (!written) Messages::Error(kFileWriteFault);
}

bool Form3::ExperimentToPlot(ExperimentData& out) {
  if (!Check3->isChecked()) {
    out = DataFromState(Pool(), Medium());
    return true;
  }
  int number = 0;
  if (!Parsed([&] { number = ui::FieldWhole(Text21); })) return false;
  const std::string name = DataFileName(number);
  std::string bytes;
  bool found = false;
  try {
    const std::filesystem::path path = DataFilePath(number);
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
      std::ifstream in(path, std::ios::binary);
      if (in) {
        found = true;
        // One byte past the limit is enough to know the file is too long.
        bytes.resize(kMaxDataFileBytes + 1);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
      }
    }
  } catch (const std::exception&) {
    found = false;
  }
  if (!found) {
    Messages::Error("Не могу найти файл " + name);
    return false;
  }
  const auto data = ParseDataFile(bytes);
  if (!data) {
    Messages::Error("Ошибка чтения файла " + name);
    return false;
  }
  out = *data;
  return true;
}

// --- Graph ----------------------------------------------------------------

PointAbscissa Form3::Abscissa() const {
  if (Option12->isChecked()) return PointAbscissa::Q1Q2;
  if (Option13->isChecked()) return PointAbscissa::Q2;
  return PointAbscissa::Q3;
}

bool Form3::DrawFrameFromFields() {
  GraphFrame f;
  if (!Parsed([&] {
        f = ParseGraphFrame();
        // The labels are the largest values the frame prints.
        Chk(f.s * 18);
        Chk(f.ts * 36);
      })) {
    return false;
  }
  Pool().GraphScale = f.s;
  DrawGraphFrame(*Picture1, f);
  frame_ = f;
  frameDrawn_ = true;
  return true;
}

void Form3::GraphFrameClick() {
  DrawFrameFromFields();
}

void Form3::ObservedPointsClick() {
  ExperimentData data;
  if (!ExperimentToPlot(data)) return;
  if (!DrawFrameFromFields()) return;
  try {
    PlotObservedPoints(*Picture1, frame_, Abscissa(), data, Pool());
  } catch (const ComputeFault&) {
    Messages::Error(kComputeFault);
  }
}

void Form3::ComputedPointsClick() {
  ExperimentData data;
  if (!ExperimentToPlot(data)) return;
  // Over the frame on the picture when it is the frame of the chosen mode;
  // otherwise a frame is drawn first.
  const FrameScale fs = GraphFrameScale(Check11->isChecked());
  const bool onFrame = frameDrawn_ && frame_.timeMode == Check11->isChecked() &&
                       Picture1->ScaleLeft() == fs.left && Picture1->ScaleTop() == fs.top &&
                       Picture1->ScaleRight() == fs.right && Picture1->ScaleBottom() == fs.bottom;
  if (!onFrame && !DrawFrameFromFields()) return;
  try {
    PlotComputedPoints(*Picture1, frame_, Abscissa(), data, Pool(), Relativistic());
  } catch (const ComputeFault&) {
    Messages::Error(kComputeFault);
  }
}

void Form3::PictureMouseDown(double x, double y) {
  try {
    Picture1->Circle(x, y, 0.2, kColour1);
  } catch (const ComputeFault&) {
    Messages::Error(kPointFault);
  }
}

void Form3::ReportCheckClick() {
  if (Check5->isChecked()) {
    ui::FormRegistry::Show(4);
  } else if (ui::Form* f = ui::FormRegistry::Find(4)) {
    f->close();
  }
}

// --- MediumHost -----------------------------------------------------------

bool Form3::AutoMode() const {
  return Check1->isChecked();
}
bool Form3::Drawing() const {
  return Check6->isChecked();
}
bool Form3::Relativistic() const {
  return Option6->isChecked();
}
DensityLaw Form3::Law() const {
  if (Option1->isChecked()) return DensityLaw::Linear;
  if (Option2->isChecked()) return DensityLaw::Square;
  if (Option4->isChecked()) return DensityLaw::FromTopSquare;
  return DensityLaw::FromTop;
}
FieldDelay Form3::Delay() const {
  if (Option10->isChecked()) return FieldDelay::None;
  if (Option7->isChecked()) return FieldDelay::Current;
  return FieldDelay::Real;
}
bool Form3::SignalOnly() const {
  return Check4->isChecked();
}

QLineEdit* Form3::OutField(Out field) const {
  switch (field) {
    case Out::Text11:
      return Text11;
    case Out::Text13:
      return Text13;
    case Out::Text14:
      return Text14;
    case Out::Text15:
      return Text15;
    case Out::Text16:
      return Text16;
    case Out::Text17:
      return Text17;
    case Out::Text18:
      return Text18;
    case Out::Text20:
      return Text20;
    case Out::Text22:
      return Text22;
    case Out::Text24:
      return Text24;
    case Out::Text25:
      return Text25;
    case Out::Text28:
      return Text28;
    case Out::Text29:
      return Text29;
    case Out::Text30:
      return Text30;
    case Out::Text31:
      return Text31;
    case Out::Text36:
      return Text36;
    case Out::Text37:
      return Text37;
    case Out::Text38:
      return Text38;
    case Out::Text39:
      return Text39;
    case Out::Text44:
      return Text44;
  }
  return Text17;
}

void Form3::Show(Out field, double value) {
  ui::ShowNumber(OutField(field), value);
}

void Form3::ShowWhole(Out field, long long value) {
  ui::ShowText(OutField(field), WholeText(value));
}

Canvas& Form3::Picture() {
  return *Picture1;
}

bool Form3::Ask(const std::string& title, const std::string& text) {
  return Messages::Show(title, text, ui::MsgButtons::YesNo);
}

bool Form3::Yield() {
  return ui::UiYield() && !Closing();
}

}  // namespace velmor
