// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_window.h"

#include <chrono>
#include <filesystem>

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
#include "ui/action.h"
#include "ui/fields.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/notice.h"
#include "ui/picture_file.h"
#include "ui/ui_yield.h"

namespace velmor {

using ui::Messages;
using namespace ui::msg;

namespace {

// The data file of the number typed beside the save button, in the
// program's working directory (where its pictures go too).
std::string DataFilePath(int number) {
  return (std::filesystem::current_path() / DataFileName(number)).string();
}

}  // namespace

Form3::Form3() : ui::Form(3) {
  SetUp<Ui_Form3>(*this);
  outputs_ = {Text11, Text13, Text14, Text15, Text16, Text17, Text18, Text20, Text22, Text24,
              Text25, Text28, Text29, Text30, Text31, Text36, Text37, Text38, Text39, Text44};
  Picture1->AddMenuAction(ui::Q("Сохранить таблицу периодов (CSV)…"), true, ui::Q("CSV (*.csv)"),
                          [](const QString& path) {
                            return WriteFileReplacing(path.toStdString(),
                                                      MediumPeriodTableCsv(Pool(), Medium()));
                          });
  Connect();
  DrawMediumGrid(*Picture1);
}

void Form3::Connect() {
  connect(Command1, &QPushButton::clicked, this, [this] { StartClick(kBundleKind); });
  connect(Command9, &QPushButton::clicked, this, [this] { StartClick(kPotentialKind); });
  connect(Command13, &QPushButton::clicked, this, [this] { SearchPeriodClick(); });
  connect(Command8, &QPushButton::clicked, this, [this] { DensityProfileClick(); });
  connect(Command2, &QPushButton::clicked, this, [] { Pool().StopFlag = 1; });
  connect(Command3, &QPushButton::clicked, this, [this] { ContinueClick(false); });
  connect(Command4, &QPushButton::clicked, this, [this] { ContinueClick(true); });
  connect(Command5, &QPushButton::clicked, this, [this] { ClearPictureClick(); });
  connect(Command6, &QPushButton::clicked, this, [this] { SaveClick(); });
  connect(Command14, &QPushButton::clicked, this, [this] { DrawFrameFromFields(); });
  connect(Command7, &QPushButton::clicked, this, [this] { ObservedPointsClick(); });
  connect(Command18, &QPushButton::clicked, this, [this] { ComputedPointsClick(); });
  connect(Command16, &QPushButton::clicked, this, [] { ui::FormRegistry::CloseAll(); });
  connect(Check5, &QCheckBox::clicked, this, [this] { ReportCheckClick(); });
  connect(Picture1, &ui::PictureBox::MouseDown, this,
          [this](int, double x, double y) { PictureMouseDown(x, y); });
  drawing_ = Check6->isChecked();
  law_ = CheckedLaw();
  connect(Check6, &QCheckBox::toggled, this, [this](bool on) { drawing_ = on; });
  for (QRadioButton* law : {Option1, Option2, Option3, Option4}) {
    connect(law, &QRadioButton::toggled, this, [this] { law_ = CheckedLaw(); });
  }
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

// --- Experiments ----------------------------------------------------------

void Form3::StartClick(int kind) {
  ui::RunLock::Hold hold(ui::EngineRunLock(), this);
  if (!hold) return;  // a run on the experiment state is going
  SharedPool& P = Pool();
  MediumState& M = Medium();
  M.Prepared = false;
  const bool bundle = kind == kBundleKind;
  BundleSetUp ready = BundleSetUp::Ready;
  const bool set = ui::Act(
      kSolveFault,
      [&] {
        ParseBodies();
        if (!bundle) M.TimeScale = ui::FieldNumber(Text43);
        ParsePeriod();
        if (bundle) ParseBundleShape();
      },
      [&] {
        if (bundle) {
          ready = SetUpBundleExperiment(P, M, *this, Check2->isChecked());
        } else {
          SetUpPotentialExperiment(P, M, *this, Check2->isChecked());
        }
      });
  if (!set) return;
  if (ready == BundleSetUp::SourceNotMovingRight) {
    Messages::Error(kSourceDirectionMessage);
    return;
  }
  if (P.StopFlag != 0) return;  // prepared only: "Продолжить" starts it
  if (Check5->isChecked()) {
    Canvas& page = *Form4::Get()->picMain;
    ui::Computed(kReportFault, [&] {
      bundle ? PrintBundleHeader(page, P, M) : PrintPotentialHeader(page, P, M);
    });
  }
  Run(kind);
}

void Form3::SearchPeriodClick() {
  ui::RunLock::Hold hold(ui::EngineRunLock(), this);
  if (!hold) return;
  SharedPool& P = Pool();
  MediumState& M = Medium();
  M.Prepared = false;
  const bool set = ui::Act(
      kComputeFault,
      [this] {
        ParseBodies();
        ParseBundleShape();
      },
      [&] { SetUpPeriodSearch(P, M, *this); });
  if (!set) return;
  Busy busy(this);
  const MediumRunEnd end = RunPeriodSearch(P, M, *this);
  if (Closing() || ui::Quitting()) return;
  if (end == MediumRunEnd::Fault) Messages::Error(kComputeFault);
}

void Form3::ContinueClick(bool oneStep) {
  ui::RunLock::Hold hold(ui::EngineRunLock(), this);
  if (!hold) return;
  SharedPool& P = Pool();
  const MediumState& M = Medium();
  // Nothing to continue before a start completed its set-up here.
  if (!M.Prepared) return;
  if (!ui::Parsed([&] { P.NC0 = ui::FieldWhole(Text10); })) return;
  // A finished run has no period left to look for.
  if (M.ExperimentKind == kBundleKind && P.PeriodNumber > 20) return;
  if (M.ExperimentKind == kPotentialKind && P.PeriodNumber >= kLastMaximum) return;
  // With the flag already set the loop makes exactly one step.
  P.StopFlag = oneStep ? 1 : 0;
  Run(M.ExperimentKind);
}

void Form3::Run(int kind) {
  SharedPool& P = Pool();
  MediumState& M = Medium();
  const bool bundle = kind == kBundleKind;
  Busy busy(this);
  MediumRunEnd end;
  {
    struct Deferring {
      Form3* form;
      explicit Deferring(Form3* f) : form(f) { form->deferring_ = true; }
      ~Deferring() {
        form->deferring_ = false;
        form->ShowPending();
      }
    } deferring(this);
    end = bundle ? RunBundleSteps(P, M, *this) : RunPotentialSteps(P, M, *this);
  }
  // A window closed during the run, or "Выход": nothing more to show.
  if (Closing() || ui::Quitting() || end == MediumRunEnd::Closed) return;
  if (end == MediumRunEnd::Fault) Messages::Error(kSolveFault);
  if (!Check5->isChecked()) return;
  Canvas& page = *Form4::Get()->picMain;
  ui::Computed(kReportFault, [&] {
    bundle ? PrintBundleReport(page, P, M, Relativistic())
           : PrintPotentialReport(page, P, M, Relativistic());
  });
}

// --- Picture, profile, files ----------------------------------------------

void Form3::DensityProfileClick() {
  double scale = 0, receiverY = 0, sourceY = 0, Kp = 0;
  int Np = 0;
  ui::Act(
      kComputeFault,
      [&] {
        scale = ui::FieldNumber(Text19);
        receiverY = ui::FieldNumber(Text5);
        sourceY = ui::FieldNumber(Text6);
        Np = ui::FieldWhole(Text23);
        Kp = ui::FieldNumber(Text33);
        if (Np > kMaxLayers) RaiseInputFault("layer count");
      },
      [&] { DrawDensityProfile(*Picture1, Law(), scale, receiverY, sourceY, Np, Kp); });
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
  if (!ui::Parsed([&] { number = ui::FieldWhole(Text21); })) return;
  const auto text = ComposeDataFile(DataFromState(Pool(), Medium()));
  bool written = false;
  if (text) {
    try {
      written = WriteFileReplacing(DataFilePath(number), *text);
    } catch (const std::exception&) {
      written = false;
    }
  }
  if (!written) return Messages::Error(kFileWriteFault);
  ui::NotifySaved(this, ui::Q(DataFilePath(number)));
}

bool Form3::ExperimentToPlot(ExperimentData& out) {
  if (!Check3->isChecked()) {
    out = DataFromState(Pool(), Medium());
    return true;
  }
  int number = 0;
  if (!ui::Parsed([&] { number = ui::FieldWhole(Text21); })) return false;
  const std::string name = DataFileName(number);
  std::optional<std::string> bytes;
  try {
    bytes = ReadDataFileBytes(DataFilePath(number));
  } catch (const std::exception&) {
  }
  if (!bytes) {
    Messages::Error("Не могу найти файл " + name);
    return false;
  }
  const auto data = ParseDataFile(*bytes);
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
  if (!ui::Parsed([&] {
        f.timeMode = Check11->isChecked();
        f.s = ui::FieldNumber(Text27) / 2;
        f.ts = ui::FieldNumber(Text43) / 2;
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

void Form3::ObservedPointsClick() {
  ExperimentData data;
  if (!ExperimentToPlot(data) || !DrawFrameFromFields()) return;
  ui::Computed(kComputeFault,
               [&] { PlotObservedPoints(*Picture1, frame_, Abscissa(), data, Pool()); });
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
  ui::Computed(kComputeFault, [&] {
    PlotComputedPoints(*Picture1, frame_, Abscissa(), data, Pool(), Relativistic());
  });
}

void Form3::PictureMouseDown(double x, double y) {
  ui::Computed(kPointFault, [&] { Picture1->Circle(x, y, 0.2, kColour1); });
}

void Form3::ReportCheckClick() {
  if (Check5->isChecked()) {
    ui::FormRegistry::Show(4);
  } else if (ui::Form* f = ui::FormRegistry::Find(4)) {
    f->close();
  }
}

// --- MediumHost -----------------------------------------------------------

DensityLaw Form3::Law() const {
  return law_;
}

DensityLaw Form3::CheckedLaw() const {
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

void Form3::Show(Out field, double value) {
  const int i = static_cast<int>(field);
  if (!deferring_) {
    ui::ShowNumber(outputs_[i], value);
    return;
  }
  pending_[i] = Chk(value);
  pendingFields_ |= 1u << i;
  wholeFields_ &= ~(1u << i);
}

void Form3::ShowPending() {
  for (std::size_t i = 0; (pendingFields_ | wholeFields_) != 0;
       ++i, pendingFields_ >>= 1, wholeFields_ >>= 1) {
    if (pendingFields_ & 1) ui::ShowNumber(outputs_[i], pending_[i]);
    if (wholeFields_ & 1) ui::ShowText(outputs_[i], WholeText(pendingWhole_[i]));
  }
}

void Form3::ShowWhole(Out field, long long value) {
  const int i = static_cast<int>(field);
  pendingFields_ &= ~(1u << i);
  if (!deferring_) {
    ui::ShowText(outputs_[i], WholeText(value));
    return;
  }
  pendingWhole_[i] = value;
  wholeFields_ |= 1u << i;
}

bool Form3::Ask(const std::string& title, const std::string& text) {
  ShowPending();
  return Messages::Show(title, text, ui::MsgButtons::YesNo);
}

bool Form3::Yield() {
  return ui::UiYield([this] { ShowPending(); }) && !Closing();
}

}  // namespace velmor
