// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interferometer_window.h"

#include <QScreen>
#include <algorithm>
#include <memory>

#include "interferometer/interferometer_presets.h"
#include "interferometer/segment_report.h"
#include "reports/report_window.h"
#include "shared/checked_math.h"
#include "shared/faults.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"
#include "ui/action.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/picture_file.h"
#include "ui/ui_yield.h"

namespace velmor {

using ui::FieldNumber;
using ui::Messages;
using ui::ShowNumber;
using namespace ui::msg;

namespace {

constexpr const char* kObjectiveMessage = "Увеличьте ширину объектива\n(или углы падения лучей)";
constexpr const char* kWidthMessage = "Ширина картинки не может быть\n     больше 32767 пикселей";
// More fringes across the objective than pixels across the strip.
constexpr const char* kFinerThanPixelsMessage =
    "Полосы слишком узкие для картинки\n(увеличьте точность полос)";

// A strip is as high as its frame picture: 60 pixels.
constexpr int kStripTwipsH = 900;

// Degrees typed in the fields to the radians of the computation.
void ToRadians(const SharedPool& pool, InterferometerSetup& s) {
  for (double* a : {&s.alfa1, &s.alfa2, &s.alfa3, &s.alfa4, &s.aim, &s.alfa}) {
    *a = CheckedDiv(*a, pool.DegPerRad);
  }
}

// The frequencies, typed in MHz, and the oscillation counts of the beams.
template <class Counts>
void ReadBeamCounts(const Ui_Form8& f, Counts& in) {
  in.nu1 = Chk(FieldNumber(f.Text33) * 1e6);
  in.nu2 = Chk(FieldNumber(f.Text34) * 1e6);
  in.N1 = FieldNumber(f.Text51);
  in.N2 = FieldNumber(f.Text52);
}

// At most what a 1366 × 768 screen shows, and never more than the screen it
// opens on has room for beside a title bar and a frame: a smaller window
// scrolls its content.
QSize OpeningSize(QSize want, const QScreen* screen) {
  QSize size = want.boundedTo(QSize(1366, 740));
  if (screen) size = size.boundedTo(screen->availableGeometry().size() - QSize(8, 32));
  return size;
}

}  // namespace

Form8::Form8() : ui::Form(8), engine_(Pool()) {
  SetUp<Ui_Form8>(*this);
  // The strips show from the first interference on; the window opens at the
  // size of its content without them, within the screen. The captions came
  // after the layouts were built: their sizes are settled before measuring.
  ShowStrips(false);
  panel->layout()->invalidate();
  panel->layout()->activate();
  resize(OpeningSize(panel->sizeHint() + QSize(4, 4), screen()));
  Connect();
  // Load: one batch of the default run, stopped, and a clean scheme.
  K_ = 6e-5;
  engine_.loadMode = true;
  StartClick();
  engine_.RequestStop();
  ClearPictureClick();
  kind_ = 1;
}

Form8::~Form8() = default;

void Form8::Connect() {
  connect(Option1, &QRadioButton::clicked, this, [this] { SetupPreset(1); });
  connect(Option2, &QRadioButton::clicked, this, [this] { SetupPreset(2); });
  connect(Option8, &QRadioButton::clicked, this, [this] { SetupPreset(3); });
  connect(Option4, &QRadioButton::clicked, this, [this] { AccuracyPreset(false); });
  connect(Option7, &QRadioButton::clicked, this, [this] { AccuracyPreset(true); });
  connect(Command7, &QPushButton::clicked, this, [this] { StartClick(); });
  connect(Command2, &QPushButton::clicked, this, [this] { engine_.RequestStop(); });
  connect(Command3, &QPushButton::clicked, this, [this] { ContinueClick(false); });
  connect(Command4, &QPushButton::clicked, this, [this] { ContinueClick(true); });
  connect(Command8, &QPushButton::clicked, this, [this] { MatchClick(); });
  connect(Command1, &QPushButton::clicked, this, [this] { ComputeInterference(); });
  connect(Command5, &QPushButton::clicked, this, [this] { ClearPictureClick(); });
  connect(Command6, &QPushButton::clicked, this, [this] { SaveClick(); });
  connect(Command16, &QPushButton::clicked, this, [this] { close(); });
  connect(Check5, &QCheckBox::clicked, this, [this] { ReportCheckClick(); });
  connect(Picture1, &ui::PictureBox::MouseDown, this,
          [this](int, double x, double y) { MouseOnScheme(x, y); });
  for (int s = 1; s <= 3; ++s) {
    connect(StripOf(s).bar, &QScrollBar::valueChanged, this, [this, s](int v) {
      ui::PictureBox* strip = StripOf(s).strip;
      strip->move(-v, 0);
      strip->update();
    });
  }
}

void Form8::StopAll() {
  engine_.RequestStop();
}

void Form8::OnClosing() {
  engine_.RequestStop();
}

// ---------------------------------------------------------------------------
// Presets

int Form8::SchemeVariant() const {
  if (Option8->isChecked()) return 3;
  return Option2->isChecked() ? 2 : 1;
}

void Form8::ShowSchemeVariant(bool three) {
  Label2->setText(ui::Q(three ? "X2" : "Y2"));
  Label8->setText(ui::Q(three ? "Y6" : "X6"));
  if (three) Check8->setChecked(false);
  Check8->setEnabled(!three);
}

// Options set by an experiment file, without their clicks: the labels, the
// refraction box and the density coefficient follow them, the fields come
// from the file.
void Form8::RefreshFromControls() {
  ShowSchemeVariant(SchemeVariant() == 3);
  K_ = (Option7->isChecked() ? RealPreset() : TestPreset()).K;
}

void Form8::SetupPreset(int variant) {
  const bool three = variant == 3;
  ShowSchemeVariant(three);
  ShowNumber(Text19, 0.1);
  ShowNumber(Text1, -1);
  ShowNumber(Text2, 1);
  if (!three) {
    ShowNumber(Text3, 0.4);
    ShowNumber(Text66, 0);
    ShowNumber(Text67, 0);
    ShowNumber(Text6, 135);
    ShowNumber(Text7, 135);
  }
  ShowNumber(Text8, three ? 1.1918 : 0.5);
  ShowNumber(Text9, three ? 0 : -0.4);
  ShowNumber(Text4, three ? 115 : 90);
  ShowNumber(Text5, three ? 65 : 1);
  ShowNumber(Text65, 0.4);
  ShowNumber(Text30, three ? 0 : 90);
  ShowNumber(Text11, 1.000005);
  ShowNumber(Text22, 1.55);
}

void Form8::AccuracyPreset(bool real) {
  const velmor::AccuracyPreset& p = real ? RealPreset() : TestPreset();
  ShowNumber(Text27, p.mirrorWidth);
  ShowNumber(Text28, p.thickness);
  ShowNumber(Text3, p.Y4);
  ShowNumber(Text50, p.Vsys);
  ShowNumber(Text10, p.NC0);
  ShowNumber(Text4, p.alfa1);
  ShowNumber(Text5, p.alfa2);
  ShowNumber(Text18, p.lambda);
  ShowNumber(Text12, p.c);
  ui::ShowText(Text40, p.dt);
  K_ = p.K;
  for (QLineEdit* nu : {Text33, Text34}) ShowNumber(nu, p.nuMHz);
  for (QLineEdit* V : {Text37, Text38}) ShowNumber(V, p.V);
  ShowNumber(Text61, p.A1);
  ShowNumber(Text62, p.A2);
}

// ---------------------------------------------------------------------------
// The ray-tracing runs

void Form8::ReadPlacement(InterferometerSetup& s) const {
  s.scheme = SchemeVariant();
  s.X1 = FieldNumber(Text1);
  s.Y2 = FieldNumber(Text2);
  s.X3 = FieldNumber(Text66);
  s.Y3 = FieldNumber(Text67);
  s.Y4 = FieldNumber(Text3);
  s.X6 = FieldNumber(Text8);
  s.Y5 = FieldNumber(Text9);
  s.mirrorWidth = FieldNumber(Text27);
  s.thickness = FieldNumber(Text28);
  s.alfa1 = FieldNumber(Text4);
  s.alfa2 = FieldNumber(Text5);
  s.alfa3 = FieldNumber(Text6);
  s.alfa4 = FieldNumber(Text7);
  s.scale = FieldNumber(Text19);
  s.D = FieldNumber(Text65);
}

InterferometerSetup Form8::ReadSetup() const {
  InterferometerSetup s;
  ReadPlacement(s);
  s.aim = FieldNumber(Text30);
  s.c = FieldNumber(Text12);
  s.Vsys = FieldNumber(Text50);
  s.alfa = FieldNumber(Text44);
  s.dt = FieldNumber(Text40);
  s.NC0 = ReadNC0();
  s.lambda = FieldNumber(Text18);
  s.n0 = FieldNumber(Text11);
  s.ng = FieldNumber(Text22);
  s.K = K_;
  return s;
}

int Form8::ReadNC0() const {
  const int nc0 = ui::FieldWhole(Text10);
  if (nc0 < 1) RaiseInputFault("NC0 below 1");
  return nc0;
}

void Form8::StartClick() {
  ui::RunLock::Hold hold(lock_, this);
  if (!hold) return;  // a run of this window is going
  InterferometerSetup s;
  if (!ui::Parsed([&] { s = ReadSetup(); })) return;
  const bool started = ui::Computed(kSolveFault, [&] {
    SharedPool& P = Pool();
    ToRadians(P, s);
    const double nu0 = CheckedDiv(s.c, s.lambda);
    ShowNumber(Text20, nu0 / 1e6);
    P.Vs = s.c;
    P.v0 = nu0;
    if (Check5->isChecked()) {
      Form9* report = Form9::Get();
      report->picBox->Cls();
      ScaleReportPage(*report->picBox);
    }
    clock_ = std::chrono::steady_clock::now();
    engine_.InitialiseBeams(s, Options(), *Picture1);
    kind_ = s.scheme == 3 ? 3 : 1;
  });
  if (!started) {
    engine_.loadMode = false;
    return;
  }
  RunEngine();
}

// "Продолжить" runs on until a stop; "Сделать NC0 шагов" stops after one batch.
void Form8::ContinueClick(bool batch) {
  ui::RunLock::Hold hold(lock_, this);
  if (!hold) return;
  int nc0 = 0;
  if (!ui::Parsed([&] { nc0 = ReadNC0(); })) return;
  engine_.NC0 = nc0;
  if (batch) {
    engine_.SetStopFlag();
  } else {
    engine_.ClearStop();
  }
  if (kind_ == 4) return;  // the interference is not continued
  RunEngine();
}

void Form8::RunEngine() {
  Busy busy(this);
  const InterferometerEnd end = engine_.Run(*this);
  // The window closed during the run, or "Выход": nothing more to show.
  if (Closing() || ui::Quitting() || end == InterferometerEnd::Closed) return;
  if (end == InterferometerEnd::Fault) Messages::Error(kSolveFault);
  if (end == InterferometerEnd::LoadBatch && Check11->isChecked()) {
    ui::Computed(kSolveFault, [&] { DrawScheme(*Picture1, engine_, memory_); });
  }
  if (Check5->isChecked()) WriteReport();
}

void Form8::WriteReport() {
  ui::Computed(kReportFault, [&] {
    Form9* report = Form9::Get();
    const bool real = Option7->isChecked();
    if (engine_.scheme == 3) {
      WriteTwoMirrorReport(*report->picBox, engine_, real);
    } else {
      WriteSegmentReport(*report->picBox, engine_, real);
    }
  });
}

EngineOptions Form8::Options() const {
  EngineOptions o;
  o.doppler = Option5->isChecked()   ? DopplerOption::Classic
              : Option6->isChecked() ? DopplerOption::Relativistic
                                     : DopplerOption::None;
  o.reflectionCorrection = Check2->isChecked();
  o.refractionCorrection = Check8->isChecked();
  o.frequencyDensity = Check7->isChecked();
  o.densitySpeed = Check4->isChecked();
  o.frontLines = Check9->isChecked();
  return o;
}

Canvas& Form8::Scheme() {
  return *Picture1;
}

bool Form8::Yield() {
  return ui::UiYield() && !Closing();
}

double Form8::ElapsedMinutes() const {
  const std::chrono::duration<double> d = std::chrono::steady_clock::now() - clock_;
  return ComputingMinutes(d.count());
}

void Form8::Refresh() {
  const InterferometerEngine& e = engine_;
  const Beam& b1 = e.beam[0];
  const Beam& b2 = e.beam[1];
  const double deg = e.pool.DegPerRad;
  const std::pair<QLineEdit*, double> shown[] = {{Text13, b1.x},  {Text15, b1.y},  {Text14, b2.x},
                                                 {Text16, b2.y},  {Text23, b1.VX}, {Text25, b1.VY},
                                                 {Text24, b2.VX}, {Text26, b2.VY}, {Text17, e.T}};
  for (const auto& [field, value] : shown) ShowNumber(field, value);
  ui::ShowText(Text47, WholeText(b1.seg));
  ui::ShowText(Text48, WholeText(b2.seg));
  const std::pair<QLineEdit*, double> booked[] = {{Text31, b1.T},
                                                  {Text32, b2.T},
                                                  {Text33, e.nu(b1.seg) / 1e6},
                                                  {Text34, e.nu(b2.seg) / 1e6},
                                                  {Text35, b1.Sev},
                                                  {Text36, b2.Sev},
                                                  {Text37, b1.V},
                                                  {Text38, b2.V},
                                                  {Text51, b1.N},
                                                  {Text52, b2.N},
                                                  {Text61, e.An(b1.seg) * deg},
                                                  {Text62, e.An(b2.seg) * deg}};
  for (const auto& [field, value] : booked) ShowNumber(field, value);
  if (Check11->isChecked()) DrawScheme(*Picture1, engine_, memory_);
  DrawFrontMarkers(*Picture1, engine_, Check14->isChecked(), Check15->isChecked());
  ShowNumber(Text60, ElapsedMinutes());
}

// ---------------------------------------------------------------------------
// Beam matching and interference

void Form8::MatchClick() {
  ArrivalCounts in;
  // The window has one message for a field that does not parse and for a
  // matching that faults.
  ui::Act(
      kBadInput,
      [&] {
        ReadBeamCounts(*this, in);
        in.T1 = FieldNumber(Text31);
        in.T2 = FieldNumber(Text32);
      },
      [&] {
        const MatchedCounts m = MatchArrivalTimes(*Picture1, engine_, in);
        ui::ShowText(Text31, "0");
        ui::ShowText(Text32, "0");
        ShowNumber(Text51, m.N1);
        ShowNumber(Text52, m.N2);
        PrintArrivalComparison(*Picture1, engine_, in, m);
      });
}

Form8::StripView Form8::StripOf(int s) {
  if (s == 1) return {Picture5, Picture2, HScroll1};
  if (s == 2) return {Picture6, Picture3, HScroll2};
  return {Picture7, Picture4, HScroll3};
}

void Form8::ShowStrips(bool shown) {
  for (int s = 1; s <= 3; ++s) {
    StripOf(s).frame->setVisible(shown);
    StripOf(s).bar->setVisible(shown);
  }
}

// A strip `widthPx` wide in its frame, scrolled back to its left end.
void Form8::ShowStrip(int s, int widthPx) {
  const StripView v = StripOf(s);
  if (v.strip->width() != widthPx) {
    const QString name = v.strip->objectName();
    delete v.strip;
    v.strip = new ui::PictureBox(v.frame, name.toLatin1().constData(), widthPx * 15, kStripTwipsH);
    v.strip->show();
  }
  v.bar->setRange(0, std::max(0, widthPx - v.frame->width()));
  v.bar->setValue(0);
  v.strip->move(0, 0);
}

void Form8::ComputeInterference() {
  ui::RunLock::Hold hold(lock_, this);
  if (!hold) return;
  InterferenceInputs in;
  if (!ui::Parsed([&] {
        ReadBeamCounts(*this, in);
        in.V1 = FieldNumber(Text37);
        in.V2 = FieldNumber(Text38);
        in.A1 = FieldNumber(Text61);
        in.A2 = FieldNumber(Text62);
        in.Y1 = FieldNumber(Text15);
        in.Y2 = FieldNumber(Text16);
        in.D = FieldNumber(Text65);
        in.dt = FieldNumber(Text40);
        in.scale = FieldNumber(Text19);
        in.NC0 = ReadNC0();
        in.strip = ui::FieldWhole(Text64);
        in.P = ui::FieldWhole(Text69);
        in.alfa = FieldNumber(Text44);
        if (in.strip < 1 || in.strip > 3) RaiseInputFault("no such strip");
      })) {
    return;
  }
  in.halfWidth = Check12->isChecked();
  in.v2FromV1 = Check16->isChecked();
  in.twoMirror = SchemeVariant() == 3;
  clock_ = std::chrono::steady_clock::now();
  kind_ = 4;
  strip_ = in.strip;
  std::unique_ptr<InterferenceRun> run;
  ui::Computed(kSolveFault, [&] {
    const InterferenceGeometry g = InterferenceGeometryOf(Pool(), in);
    if (in.v2FromV1) {
      ShowNumber(Text33, g.nu1 / 1e6);
      ShowNumber(Text34, g.nu2 / 1e6);
    }
    ShowNumber(Text68, g.widthMm);
    if (g.n < 1) return Messages::Error(kObjectiveMessage);
    engine_.T = 0;
    engine_.counter = 0;
    engine_.ClearStop();
    if (Check6->isChecked()) DrawInterferenceGraphGrid(*Picture1, Check3->isChecked());
    ShowStrips(true);
    if (StripTooWide(in.P)) return Messages::Error(kWidthMessage);
    if (in.P < 1) RaiseComputeFault("division by zero");
    if (TooManyFringes(g.n, in.P)) return Messages::Error(kFinerThanPixelsMessage);
    const int width = 550 * in.P;
    if (in.strip != 3) {
      ShowStrip(in.strip, width);
      PrepareStrip(*StripOf(in.strip).strip, g.w, g.n);
    }
    if (in.strip == 3 || Check13->isChecked()) {
      ShowStrip(3, width);
      PrepareStrip(*Picture7, g.w, g.n);
    }
    run = std::make_unique<InterferenceRun>(Pool(), engine_, g, in);
  });
  if (!run) return;
  Busy busy(this);
  const InterferenceEnd end = run->Run(*this);
  if (Closing() || ui::Quitting() || end == InterferenceEnd::Closed) return;
  if (end == InterferenceEnd::Fault) Messages::Error(kSolveFault);
}

InterferenceOptions Form8::LiveOptions() const {
  InterferenceOptions o;
  o.mode = Option10->isChecked()   ? IntensityMode::Fields
           : Option11->isChecked() ? IntensityMode::Sum
                                   : IntensityMode::Amplitudes;
  o.twice = Check18->isChecked();
  o.energy = Check17->isChecked();
  o.singleStep = Check1->isChecked();
  o.sine = Check13->isChecked();
  o.graph = Check6->isChecked();
  return o;
}

Canvas& Form8::Strip(int s) {
  return *StripOf(s).strip;
}

void Form8::ShowRefresh(double shift, double T, double energy, bool energyOn) {
  ShowNumber(Text58, shift);
  ShowNumber(Text71, shift - 1);
  ShowNumber(Text17, T);
  ShowNumber(Text60, energyOn ? energy : ElapsedMinutes());
}

// ---------------------------------------------------------------------------
// Scheme picture, report window, saving

void Form8::ClearPictureClick() {
  InterferometerSetup s;
  // The typed set-up is only drawn: the engine, running or stopped, keeps
  // its elements where its own run has moved them.
  ui::Act(
      kSolveFault, [&] { ReadPlacement(s); },
      [&] {
        ToRadians(engine_.pool, s);
        const ElementLayout typed = PlacedElements(s);
        Picture1->Cls();
        DrawInterferometerGrid(*Picture1);
        memory_.Forget();
        DrawScheme(*Picture1, typed, memory_);
        if (Check10->isChecked()) DrawLegend(*Picture1, typed);
      });
}

void Form8::ReportCheckClick() {
  if (Check5->isChecked()) {
    Form9* report = static_cast<Form9*>(ui::FormRegistry::Show(9));
    if (report) ScaleReportPage(*report->picBox);
  } else if (ui::Form* f = ui::FormRegistry::Find(9)) {
    f->close();
  }
}

void Form8::SaveClick() {
  const std::string typed = ui::FieldText(Text21);
  bool ok = false;
  if (kind_ == 4) {
    const std::string prefix = "Velmor8_" + std::to_string(strip_) + "_";
    ok = ui::SavePictureAsBmp(*StripOf(strip_).strip, prefix, typed);
  } else {
    ok = ui::SavePictureAsBmp(*Picture1, "Velmor8_0_", typed);
  }
  if (!ok) Messages::Error(kFileWriteFault);
}

void Form8::MouseOnScheme(double x, double y) {
  ui::Computed(kPointFault, [&] { MarkPoint(*Picture1, x, y); });
}

}  // namespace velmor
