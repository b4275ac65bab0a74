// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interferometer_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "interferometer/interferometer_presets.h"
#include "interferometer/segment_report.h"
#include "reports/report_window.h"
#include "shared/checked_math.h"
#include "shared/faults.h"
#include "shared/numbers.h"
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
using ui::MakeLabel;
using ui::MakeOption;
using ui::Messages;
using namespace ui::msg;

namespace {

constexpr const char* kObjectiveMessage = "Увеличьте ширину объектива\n(или углы падения лучей)";
constexpr const char* kWidthMessage = "Ширина картинки не может быть\n     больше 32767 пикселей";
// More fringes across the objective than pixels across the strip.
constexpr const char* kFinerThanPixelsMessage =
    "Полосы слишком узкие для картинки\n(увеличьте точность полос)";

// The frame pictures of the strips: 550 pixels wide, 60 high.
constexpr int kStripViewTwipsW = 8250;
constexpr int kStripTwipsH = 900;
constexpr int kStripViewPx = kStripViewTwipsW / 15;

void ShowWhole(QLineEdit* field, int value) {
  ui::ShowText(field, WholeText(value));
}

}  // namespace

Form8::Form8()
    : ui::Form(8, ui::Q("Velmor5     form8    Эксперимент Майкельсона-Морли ")), engine_(Pool()) {
  BuildControls();
  LayOut();
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

void Form8::BuildControls() {
  Picture1 = new ui::PictureBox(this, "Picture1", 9300, 9300);
  Picture2 = new ui::PictureBox(this, "Picture2", kStripViewTwipsW, kStripTwipsH);
  Picture3 = new ui::PictureBox(this, "Picture3", kStripViewTwipsW, kStripTwipsH);
  Picture4 = new ui::PictureBox(this, "Picture4", kStripViewTwipsW, kStripTwipsH);
  Picture5 = new ui::PictureBox(Picture2, "Picture5", kStripViewTwipsW, kStripTwipsH);
  Picture6 = new ui::PictureBox(Picture3, "Picture6", kStripViewTwipsW, kStripTwipsH);
  Picture7 = new ui::PictureBox(Picture4, "Picture7", kStripViewTwipsW, kStripTwipsH);
  HScroll1 = ui::MakeScroll(this, "HScroll1", Qt::Horizontal, 0, 0, kStripViewPx);
  HScroll2 = ui::MakeScroll(this, "HScroll2", Qt::Horizontal, 0, 0, kStripViewPx);
  HScroll3 = ui::MakeScroll(this, "HScroll3", Qt::Horizontal, 0, 0, kStripViewPx);
  for (QWidget* w : {static_cast<QWidget*>(Picture2), static_cast<QWidget*>(Picture3),
                     static_cast<QWidget*>(Picture4), static_cast<QWidget*>(HScroll1),
                     static_cast<QWidget*>(HScroll2), static_cast<QWidget*>(HScroll3)}) {
    w->setVisible(false);
  }

  Text12 = MakeField(this, "Text12", "20");
  Text11 = MakeField(this, "Text11", "1,000005");
  Text22 = MakeField(this, "Text22", "1,55");
  Text50 = MakeField(this, "Text50", "0");
  Text44 = MakeField(this, "Text44", "0");
  Text18 = MakeField(this, "Text18", "0,002");
  Text1 = MakeField(this, "Text1", "-1");
  Text2 = MakeField(this, "Text2", "1");
  Text66 = MakeField(this, "Text66", "0");
  Text67 = MakeField(this, "Text67", "0");
  Text3 = MakeField(this, "Text3", "0,4");
  Text9 = MakeField(this, "Text9", "-0,4");
  Text8 = MakeField(this, "Text8", "0,5");
  Text4 = MakeField(this, "Text4", "90");
  Text5 = MakeField(this, "Text5", "0");
  Text6 = MakeField(this, "Text6", "135");
  Text7 = MakeField(this, "Text7", "135");
  Text30 = MakeField(this, "Text30", "90");
  Text27 = MakeField(this, "Text27", "0,8");
  Text28 = MakeField(this, "Text28", "0,1");
  Text65 = MakeField(this, "Text65", "0,4");
  Text40 = MakeField(this, "Text40", "1E-7");
  Text10 = MakeField(this, "Text10", "200");
  Text19 = MakeField(this, "Text19", "0,1");
  Text21 = MakeField(this, "Text21", "1", 40);
  Text64 = MakeField(this, "Text64", "1", 40);
  Text69 = MakeField(this, "Text69", "1", 40);

  Text20 = MakeField(this, "Text20", "");
  Text13 = MakeField(this, "Text13", "");
  Text15 = MakeField(this, "Text15", "");
  Text14 = MakeField(this, "Text14", "");
  Text16 = MakeField(this, "Text16", "");
  Text23 = MakeField(this, "Text23", "");
  Text25 = MakeField(this, "Text25", "");
  Text24 = MakeField(this, "Text24", "");
  Text26 = MakeField(this, "Text26", "");
  Text17 = MakeField(this, "Text17", "");
  Text47 = MakeField(this, "Text47", "", 40);
  Text48 = MakeField(this, "Text48", "", 40);
  Text31 = MakeField(this, "Text31", "");
  Text32 = MakeField(this, "Text32", "");
  Text33 = MakeField(this, "Text33", "");
  Text34 = MakeField(this, "Text34", "");
  Text35 = MakeField(this, "Text35", "");
  Text36 = MakeField(this, "Text36", "");
  Text37 = MakeField(this, "Text37", "");
  Text38 = MakeField(this, "Text38", "");
  Text51 = MakeField(this, "Text51", "");
  Text52 = MakeField(this, "Text52", "");
  Text61 = MakeField(this, "Text61", "");
  Text62 = MakeField(this, "Text62", "");
  Text60 = MakeField(this, "Text60", "");
  Text58 = MakeField(this, "Text58", "");
  Text71 = MakeField(this, "Text71", "");
  Text68 = MakeField(this, "Text68", "");

  Frame1 = MakeFrame(this, "Frame1", "схема");
  Option1 = MakeOption(Frame1, "Option1", "1", true);
  Option2 = MakeOption(Frame1, "Option2", "2", false);
  Option8 = MakeOption(Frame1, "Option8", "3", false);
  Frame2 = MakeFrame(this, "Frame2", "");
  Option4 = MakeOption(Frame2, "Option4", "Test", true);
  Option7 = MakeOption(Frame2, "Option7", "Real", false);
  Frame3 = MakeFrame(this, "Frame3", "эффект Доплера");
  Option3 = MakeOption(Frame3, "Option3", "нет", true);
  Option5 = MakeOption(Frame3, "Option5", "классика", false);
  Option6 = MakeOption(Frame3, "Option6", "СТО", false);
  Frame4 = MakeFrame(this, "Frame4", "интенсивность");
  Option9 = MakeOption(Frame4, "Option9", "1", true);
  Option10 = MakeOption(Frame4, "Option10", "2", false);
  Option11 = MakeOption(Frame4, "Option11", "3", false);

  Check2 = MakeCheck(this, "Check2", "учесть отражение света от движущихся зеркал", false);
  Check8 = MakeCheck(this, "Check8", "учесть преломление в движущихся пластинах", false);
  Check7 = MakeCheck(this, "Check7", "учесть влияние частоты на реальную плотность", false);
  Check4 = MakeCheck(this, "Check4", "учесть влияние плотности на скорость света", false);
  Check9 = MakeCheck(this, "Check9", "+фронт", true);
  Check10 = MakeCheck(this, "Check10", "+ текст", true);
  Check11 = MakeCheck(this, "Check11", "+ схема", true);
  Check5 = MakeCheck(this, "Check5", "+ отчет", false);
  Check14 = MakeCheck(this, "Check14", "№1", true);
  Check15 = MakeCheck(this, "Check15", "№2", true);
  Check12 = MakeCheck(this, "Check12", "ширина полосы / 2", false);
  Check13 = MakeCheck(this, "Check13", "+№3 = sin", false);
  Check16 = MakeCheck(this, "Check16", "+v2=f(v1)", false);
  Check6 = MakeCheck(this, "Check6", "+график", false);
  Check3 = MakeCheck(this, "Check3", "+очистить", true);
  Check17 = MakeCheck(this, "Check17", "+E", false);
  Check18 = MakeCheck(this, "Check18", "*2", false);
  Check1 = MakeCheck(this, "Check1", "+stop", false);

  Command7 = MakeButton(this, "Command7", "1- Начать эксперимент");
  Command2 = MakeButton(this, "Command2", "Остановить");
  Command3 = MakeButton(this, "Command3", "Продолжить");
  Command4 = MakeButton(this, "Command4", "Сделать NC0 шагов");
  Command8 = MakeButton(this, "Command8", "2- T1=T2");
  Command1 = MakeButton(this, "Command1", "3- Интерференция №");
  Command5 = MakeButton(this, "Command5", "Очистить рисунок");
  Command6 = MakeButton(this, "Command6", "Сохранить рисунок №");
  Command16 = MakeButton(this, "Command16", "Выход");
}

void Form8::LayOut() {
  const auto Put = ui::PutLabelled;
  auto* content = new QWidget;
  // The controls were made with this window as parent; the layouts below
  // hand them to the scroll area's content.
  for (QLineEdit* out : {Text20, Text13, Text15, Text14, Text16, Text23, Text25, Text24, Text26,
                         Text17, Text31, Text32, Text33, Text34, Text35, Text36, Text37, Text38,
                         Text51, Text52, Text61, Text62, Text60, Text58, Text71, Text68}) {
    out->setFixedWidth(118);
  }
  for (QLineEdit* in : {Text12, Text11, Text22, Text50, Text44, Text18, Text30, Text27,
                        Text28, Text65, Text40, Text10, Text19, Text1,  Text2,  Text66,
                        Text67, Text3,  Text9,  Text8,  Text4,  Text5,  Text6,  Text7}) {
    in->setFixedWidth(62);
  }
  for (QLineEdit* small : {Text47, Text48, Text21, Text64, Text69}) small->setFixedWidth(40);
  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(1);
  grid->setHorizontalSpacing(4);
  Put(grid, 0, 0, this, "  Vsv,м/с", Text12);
  Put(grid, 1, 0, this, "плотность  среды", Text11);
  Put(grid, 2, 0, this, "плотность пластин", Text22);
  Put(grid, 3, 0, this, "Vsys", Text50);
  Put(grid, 4, 0, this, "Alfa", Text44);
  Put(grid, 5, 0, this, "длина волны, м", Text18);
  Put(grid, 6, 0, this, "прицельный угол, град", Text30);
  Put(grid, 7, 0, this, "ширина зеркал, м", Text27);
  Put(grid, 8, 0, this, "толщина пластин, м", Text28);
  Put(grid, 9, 0, this, "диаметр объектива, м", Text65);
  Put(grid, 10, 0, this, "шаг решения, с", Text40);
  Put(grid, 0, 2, this, "X1, м", Text1);
  Put(grid, 1, 2, this, "Y2, м", Text2);
  Put(grid, 2, 2, this, "X3, м", Text66);
  Put(grid, 3, 2, this, "Y3, м", Text67);
  Put(grid, 4, 2, this, "Y4, м", Text3);
  Put(grid, 5, 2, this, "Y5, м", Text9);
  Put(grid, 6, 2, this, "X6, м", Text8);
  Put(grid, 7, 2, this, " Alfa1", Text4);
  Put(grid, 8, 2, this, " Alfa2", Text5);
  Put(grid, 9, 2, this, " Alfa3", Text6);
  Put(grid, 10, 2, this, " Alfa4", Text7);
  Put(grid, 11, 2, this, "NC0", Text10);
  Put(grid, 12, 2, this, "Масштаб, м/см", Text19);
  // The two labels that set-up 3 renames.
  Label2 = static_cast<QLabel*>(grid->itemAtPosition(1, 2)->widget());
  Label8 = static_cast<QLabel*>(grid->itemAtPosition(6, 2)->widget());
  Label2->setObjectName(QStringLiteral("Label2"));
  Label8->setObjectName(QStringLiteral("Label8"));
  const std::pair<const char*, QLineEdit*> beam1[] = {
      {"X1", Text13}, {"Y1", Text15}, {"VX1", Text23}, {"VY1", Text25},
      {"№1", Text47}, {"T1", Text31}, {"v1", Text33},  {"S1", Text35},
      {"V1", Text37}, {"N1", Text51}, {"A1", Text61}};
  const std::pair<const char*, QLineEdit*> beam2[] = {
      {"X2", Text14}, {"Y2", Text16}, {"VX2", Text24}, {"VY2", Text26},
      {"№2", Text48}, {"T2", Text32}, {"v2", Text34},  {"S2", Text36},
      {"V2", Text38}, {"N2", Text52}, {"A2", Text62}};
  for (int r = 0; r < 11; ++r) {
    Put(grid, r, 4, this, beam1[r].first, beam1[r].second);
    Put(grid, r, 6, this, beam2[r].first, beam2[r].second);
  }
  auto* times = new QGridLayout;
  times->setVerticalSpacing(1);
  times->setHorizontalSpacing(4);
  Put(times, 0, 0, this, "частота света v, МГц", Text20);
  Put(times, 0, 2, this, "T, с", Text17);
  Put(times, 0, 4, this, "Tkomp, мин.", Text60);
  Put(times, 1, 0, this, "ширина полосы, мм", Text68);
  Put(times, 1, 2, this, "сдвиг полос", Text58);
  times->addWidget(Text71, 1, 5);
  times->setColumnStretch(6, 1);

  auto row = [](std::initializer_list<QWidget*> ws) {
    auto* h = new QHBoxLayout;
    h->setSpacing(4);
    for (QWidget* w : ws) h->addWidget(w);
    h->addStretch(1);
    return h;
  };
  auto options = [](QGroupBox* frame, std::initializer_list<QWidget*> ws) {
    auto* h = new QHBoxLayout(frame);
    h->setContentsMargins(4, 0, 4, 0);
    for (QWidget* w : ws) h->addWidget(w);
  };
  options(Frame1, {Option1, Option2, Option8});
  options(Frame2, {Option4, Option7});
  options(Frame3, {Option3, Option5, Option6});
  options(Frame4, {Option9, Option10, Option11});

  auto* checks = new QGridLayout;
  checks->setVerticalSpacing(0);
  checks->addWidget(Check2, 0, 0);
  checks->addWidget(Check8, 1, 0);
  checks->addWidget(Check7, 2, 0);
  checks->addWidget(Check4, 3, 0);
  checks->addLayout(row({Check9, Check10, Check11, Check5, Check14, Check15}), 4, 0);

  auto* strips = new QVBoxLayout;
  strips->setSpacing(0);
  for (auto [frame, bar] : {std::pair{Picture2, HScroll1}, std::pair{Picture3, HScroll2},
                            std::pair{Picture4, HScroll3}}) {
    bar->setFixedWidth(frame->width());
    strips->addWidget(frame);
    strips->addWidget(bar);
  }

  auto* right = new QVBoxLayout;
  right->setSpacing(2);
  right->addLayout(grid);
  right->addLayout(times);
  right->addLayout(row({Frame1, Frame2, Frame3}));
  right->addLayout(checks);
  right->addLayout(
      row({Command8, Command1, Text64, MakeLabel(this, "", "точность полос"), Text69, Frame4}));
  right->addLayout(row({Check12, Check13, Check16, Check6, Check3, Check17, Check18, Check1}));
  right->addLayout(strips);
  right->addStretch(1);

  auto* left = new QVBoxLayout;
  left->setSpacing(2);
  left->addWidget(Picture1);
  left->addLayout(row({Command7, Command2, Command3, Command4}));
  left->addLayout(row({Command5, Command6, Text21, Command16}));
  left->addStretch(1);

  auto* top = new QHBoxLayout(content);
  top->setContentsMargins(4, 4, 4, 4);
  top->setSpacing(6);
  top->addLayout(left);
  top->addLayout(right);

  scroll_ = new QScrollArea(this);
  scroll_->setWidget(content);
  scroll_->setWidgetResizable(true);
  scroll_->setFrameShape(QFrame::NoFrame);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll_);
  const QSize want = content->sizeHint();
  resize(std::min(want.width() + 4, 1366), std::min(want.height() + 4, 740));
}

void Form8::Connect() {
  connect(Option1, &QRadioButton::clicked, this, [this] { SetupPreset(1); });
  connect(Option2, &QRadioButton::clicked, this, [this] { SetupPreset(2); });
  connect(Option8, &QRadioButton::clicked, this, [this] { SetupPreset(3); });
  connect(Option4, &QRadioButton::clicked, this, [this] { AccuracyPreset(false); });
  connect(Option7, &QRadioButton::clicked, this, [this] { AccuracyPreset(true); });
  connect(Command7, &QPushButton::clicked, this, [this] { StartClick(); });
  connect(Command2, &QPushButton::clicked, this, [this] { engine_.RequestStop(); });
  connect(Command3, &QPushButton::clicked, this, [this] { ContinueClick(); });
  connect(Command4, &QPushButton::clicked, this, [this] { NC0StepsClick(); });
  connect(Command8, &QPushButton::clicked, this, [this] { MatchClick(); });
  connect(Command1, &QPushButton::clicked, this, [this] { ComputeInterference(); });
  connect(Command5, &QPushButton::clicked, this, [this] { ClearPictureClick(); });
  connect(Command6, &QPushButton::clicked, this, [this] { SaveClick(); });
  connect(Command16, &QPushButton::clicked, this, [this] { close(); });
  connect(Check5, &QCheckBox::clicked, this, [this] { ReportCheckClick(); });
  connect(Picture1, &ui::PictureBox::MouseDown, this,
          [this](int, double x, double y) { MouseOnScheme(x, y); });
  for (int s = 1; s <= 3; ++s) {
    QScrollBar* bar = s == 1 ? HScroll1 : s == 2 ? HScroll2 : HScroll3;
    connect(bar, &QScrollBar::valueChanged, this, [this, s](int v) {
      ui::PictureBox* strip = StripBox(s);
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

void Form8::SetupPreset(int variant) {
  auto set = [](QLineEdit* f, double v) { ui::ShowText(f, GeneralForm(v)); };
  const bool three = variant == 3;
  Label2->setText(ui::Q(three ? "X2" : "Y2"));
  Label8->setText(ui::Q(three ? "Y6" : "X6"));
  if (three) Check8->setChecked(false);
  Check8->setEnabled(!three);
  set(Text19, 0.1);
  set(Text1, -1);
  set(Text2, 1);
  if (!three) {
    set(Text3, 0.4);
    set(Text66, 0);
    set(Text67, 0);
    set(Text6, 135);
    set(Text7, 135);
  }
  set(Text8, three ? 1.1918 : 0.5);
  set(Text9, three ? 0 : -0.4);
  set(Text4, three ? 115 : 90);
  set(Text5, three ? 65 : 1);
  set(Text65, 0.4);
  set(Text30, three ? 0 : 90);
  set(Text11, 1.000005);
  set(Text22, 1.55);
}

void Form8::AccuracyPreset(bool real) {
  auto set = [](QLineEdit* f, double v) { ui::ShowText(f, GeneralForm(v)); };
  const velmor::AccuracyPreset& p = real ? RealPreset() : TestPreset();
  set(Text27, p.mirrorWidth);
  set(Text28, p.thickness);
  set(Text3, p.Y4);
  set(Text50, p.Vsys);
  set(Text10, p.NC0);
  set(Text4, p.alfa1);
  set(Text5, p.alfa2);
  set(Text18, p.lambda);
  set(Text12, p.c);
  ui::ShowText(Text40, p.dt);
  K_ = p.K;
  set(Text33, p.nuMHz);
  set(Text34, p.nuMHz);
  set(Text37, p.V);
  set(Text38, p.V);
  set(Text61, p.A1);
  set(Text62, p.A2);
}

// ---------------------------------------------------------------------------
// The ray-tracing runs

InterferometerSetup Form8::ReadSetup() const {
  using ui::FieldNumber;
  InterferometerSetup s;
  s.scheme = SchemeVariant();
  s.X1 = FieldNumber(Text1);
  s.Y2 = FieldNumber(Text2);
  s.X3 = FieldNumber(Text66);
  s.Y3 = FieldNumber(Text67);
  s.Y4 = FieldNumber(Text3);
  s.X6 = FieldNumber(Text8);
  s.mirrorWidth = FieldNumber(Text27);
  s.thickness = FieldNumber(Text28);
  s.alfa1 = FieldNumber(Text4);
  s.alfa2 = FieldNumber(Text5);
  s.alfa3 = FieldNumber(Text6);
  s.alfa4 = FieldNumber(Text7);
  s.Y5 = FieldNumber(Text9);
  s.aim = FieldNumber(Text30);
  s.c = FieldNumber(Text12);
  s.Vsys = FieldNumber(Text50);
  s.alfa = FieldNumber(Text44);
  s.scale = FieldNumber(Text19);
  s.dt = FieldNumber(Text40);
  s.NC0 = ui::FieldWhole(Text10);
  if (s.NC0 < 1) RaiseInputFault("NC0 below 1");
  s.lambda = FieldNumber(Text18);
  s.D = FieldNumber(Text65);
  s.n0 = FieldNumber(Text11);
  s.ng = FieldNumber(Text22);
  s.K = K_;
  return s;
}

// Degrees typed in the fields to the radians of the computation.
static void ToRadians(const SharedPool& pool, InterferometerSetup& s) {
  for (double* a : {&s.alfa1, &s.alfa2, &s.alfa3, &s.alfa4, &s.aim, &s.alfa}) {
    *a = CheckedDiv(*a, pool.DegPerRad);
  }
}

void Form8::StartClick() {
  ui::RunLock::Hold hold(lock_);
  if (!hold) return;  // a run of this window is going
  InterferometerSetup s;
  try {
    s = ReadSetup();
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  SharedPool& P = Pool();
  try {
    ToRadians(P, s);
    const double nu0 = CheckedDiv(s.c, s.lambda);
    ui::ShowNumber(Text20, nu0 / 1e6);
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
  } catch (const ComputeFault&) {
    engine_.loadMode = false;
    Messages::Error(kSolveFault);
    return;
  }
  RunEngine();
}

bool Form8::ReadNC0(int& nc0) {
  try {
    nc0 = ui::FieldWhole(Text10);
    if (nc0 < 1) RaiseInputFault("NC0 below 1");
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return false;
  }
  return true;
}

void Form8::ContinueClick() {
  ui::RunLock::Hold hold(lock_);
  if (!hold) return;
  int nc0 = 0;
  if (!ReadNC0(nc0)) return;
  engine_.NC0 = nc0;
  engine_.ClearStop();
  if (kind_ == 4) return;  // the interference is not continued
  RunEngine();
}

void Form8::NC0StepsClick() {
  ui::RunLock::Hold hold(lock_);
  if (!hold) return;
  int nc0 = 0;
  if (!ReadNC0(nc0)) return;
  engine_.NC0 = nc0;
  engine_.SetStopFlag();
  if (kind_ == 4) return;
  RunEngine();
}

void Form8::RunEngine() {
  Busy busy(this);
  const InterferometerEnd end = engine_.Run(*this);
  // The window closed during the run, or "Выход": nothing more to show.
  if (Closing() || ui::Quitting() || end == InterferometerEnd::Closed) return;
  if (end == InterferometerEnd::Fault) Messages::Error(kSolveFault);
  if (end == InterferometerEnd::LoadBatch && Check11->isChecked()) {
    try {
      DrawScheme(*Picture1, engine_, memory_);
    } catch (const ComputeFault&) {
      Messages::Error(kSolveFault);
    }
  }
  if (Check5->isChecked()) WriteReport();
}

void Form8::WriteReport() {
  try {
    Form9* report = Form9::Get();
    const bool real = Option7->isChecked();
    if (engine_.scheme == 3) {
      WriteTwoMirrorReport(*report->picBox, engine_, real);
    } else {
      WriteSegmentReport(*report->picBox, engine_, real);
    }
  } catch (const ComputeFault&) {
    Messages::Error(kReportFault);
  }
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
  ui::ShowNumber(Text13, b1.x);
  ui::ShowNumber(Text15, b1.y);
  ui::ShowNumber(Text14, b2.x);
  ui::ShowNumber(Text16, b2.y);
  ui::ShowNumber(Text23, b1.VX);
  ui::ShowNumber(Text25, b1.VY);
  ui::ShowNumber(Text24, b2.VX);
  ui::ShowNumber(Text26, b2.VY);
  ui::ShowNumber(Text17, e.T);
  ShowWhole(Text47, b1.seg);
  ShowWhole(Text48, b2.seg);
  ui::ShowNumber(Text31, b1.T);
  ui::ShowNumber(Text32, b2.T);
  ui::ShowNumber(Text33, e.nu(b1.seg) / 1e6);
  ui::ShowNumber(Text34, e.nu(b2.seg) / 1e6);
  ui::ShowNumber(Text35, b1.Sev);
  ui::ShowNumber(Text36, b2.Sev);
  ui::ShowNumber(Text37, b1.V);
  ui::ShowNumber(Text38, b2.V);
  ui::ShowNumber(Text51, b1.N);
  ui::ShowNumber(Text52, b2.N);
  ui::ShowNumber(Text61, e.An(b1.seg) * deg);
  ui::ShowNumber(Text62, e.An(b2.seg) * deg);
  if (Check11->isChecked()) DrawScheme(*Picture1, engine_, memory_);
  DrawFrontMarkers(*Picture1, engine_, Check14->isChecked(), Check15->isChecked());
  ui::ShowNumber(Text60, ElapsedMinutes());
}

// ---------------------------------------------------------------------------
// Beam matching and interference

void Form8::MatchClick() {
  ArrivalCounts in;
  try {
    in.nu1 = Chk(ui::FieldNumber(Text33) * 1e6);
    in.nu2 = Chk(ui::FieldNumber(Text34) * 1e6);
    in.N1 = ui::FieldNumber(Text51);
    in.N2 = ui::FieldNumber(Text52);
    in.T1 = ui::FieldNumber(Text31);
    in.T2 = ui::FieldNumber(Text32);
    const MatchedCounts m = MatchArrivalTimes(*Picture1, engine_, in);
    ui::ShowText(Text31, "0");
    ui::ShowText(Text32, "0");
    ui::ShowNumber(Text51, m.N1);
    ui::ShowNumber(Text52, m.N2);
    PrintArrivalComparison(*Picture1, engine_, in, m);
  } catch (const std::runtime_error&) {
    Messages::Error(kBadInput);
  }
}

ui::PictureBox*& Form8::StripBox(int s) {
  return s == 1 ? Picture5 : s == 2 ? Picture6 : Picture7;
}

// A strip `widthPx` wide in its frame, scrolled back to its left end.
void Form8::ShowStrip(int s, int widthPx) {
  ui::PictureBox*& strip = StripBox(s);
  ui::PictureBox* frame = s == 1 ? Picture2 : s == 2 ? Picture3 : Picture4;
  QScrollBar* bar = s == 1 ? HScroll1 : s == 2 ? HScroll2 : HScroll3;
  if (strip->width() != widthPx) {
    const QString name = strip->objectName();
    delete strip;
    strip = new ui::PictureBox(frame, name.toLatin1().constData(), widthPx * 15, kStripTwipsH);
    strip->show();
  }
  bar->setRange(0, std::max(0, widthPx - frame->width()));
  bar->setValue(0);
  strip->move(0, 0);
}

void Form8::ComputeInterference() {
  ui::RunLock::Hold hold(lock_);
  if (!hold) return;
  InterferenceInputs in;
  try {
    using ui::FieldNumber;
    in.nu1 = Chk(FieldNumber(Text33) * 1e6);
    in.nu2 = Chk(FieldNumber(Text34) * 1e6);
    in.V1 = FieldNumber(Text37);
    in.V2 = FieldNumber(Text38);
    in.N1 = FieldNumber(Text51);
    in.N2 = FieldNumber(Text52);
    in.A1 = FieldNumber(Text61);
    in.A2 = FieldNumber(Text62);
    in.Y1 = FieldNumber(Text15);
    in.Y2 = FieldNumber(Text16);
    in.D = FieldNumber(Text65);
    in.dt = FieldNumber(Text40);
    in.scale = FieldNumber(Text19);
    in.NC0 = ui::FieldWhole(Text10);
    in.strip = ui::FieldWhole(Text64);
    in.P = ui::FieldWhole(Text69);
    in.alfa = FieldNumber(Text44);
    if (in.NC0 < 1) RaiseInputFault("NC0 below 1");
    if (in.strip < 1 || in.strip > 3) RaiseInputFault("no such strip");
  } catch (const std::runtime_error&) {
    Messages::Error(kBadInput);
    return;
  }
  in.halfWidth = Check12->isChecked();
  in.v2FromV1 = Check16->isChecked();
  in.twoMirror = SchemeVariant() == 3;
  clock_ = std::chrono::steady_clock::now();
  kind_ = 4;
  strip_ = in.strip;
  std::unique_ptr<InterferenceRun> run;
  try {
    const InterferenceGeometry g = InterferenceGeometryOf(Pool(), in);
    if (in.v2FromV1) {
      ui::ShowNumber(Text33, g.nu1 / 1e6);
      ui::ShowNumber(Text34, g.nu2 / 1e6);
    }
    ui::ShowNumber(Text68, g.widthMm);
    if (g.n < 1) {
      Messages::Error(kObjectiveMessage);
      return;
    }
    engine_.T = 0;
    engine_.counter = 0;
    engine_.ClearStop();
    if (Check6->isChecked()) DrawInterferenceGraphGrid(*Picture1, Check3->isChecked());
    for (QWidget* w : {static_cast<QWidget*>(Picture2), static_cast<QWidget*>(Picture3),
                       static_cast<QWidget*>(Picture4), static_cast<QWidget*>(HScroll1),
                       static_cast<QWidget*>(HScroll2), static_cast<QWidget*>(HScroll3)}) {
      w->setVisible(true);
    }
    if (StripTooWide(in.P)) {
      Messages::Error(kWidthMessage);
      return;
    }
    if (in.P < 1) RaiseComputeFault("division by zero");
    if (TooManyFringes(g.n, in.P)) {
      Messages::Error(kFinerThanPixelsMessage);
      return;
    }
    const int width = 550 * in.P;
    if (in.strip != 3) {
      ShowStrip(in.strip, width);
      PrepareStrip(*StripBox(in.strip), g.w, g.n);
    }
    if (in.strip == 3 || Check13->isChecked()) {
      ShowStrip(3, width);
      PrepareStrip(*Picture7, g.w, g.n);
    }
    run = std::make_unique<InterferenceRun>(Pool(), engine_, g, in);
  } catch (const ComputeFault&) {
    Messages::Error(kSolveFault);
    return;
  }
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
  return *StripBox(s);
}

void Form8::ShowRefresh(double shift, double T, double energy, bool energyOn) {
  ui::ShowNumber(Text58, shift);
  ui::ShowNumber(Text71, shift - 1);
  ui::ShowNumber(Text17, T);
  ui::ShowNumber(Text60, energyOn ? energy : ElapsedMinutes());
}

// ---------------------------------------------------------------------------
// Scheme picture, report window, saving

void Form8::ClearPictureClick() {
  InterferometerSetup s;
  try {
    using ui::FieldNumber;
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
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  // The typed set-up is only drawn: the engine, running or stopped, keeps
  // its elements where its own run has moved them.
  try {
    ToRadians(engine_.pool, s);
    const ElementLayout typed = PlacedElements(s);
    Picture1->Cls();
    DrawInterferometerGrid(*Picture1);
    memory_.Forget();
    DrawScheme(*Picture1, typed, memory_);
    if (Check10->isChecked()) DrawLegend(*Picture1, typed);
  } catch (const ComputeFault&) {
    Messages::Error(kSolveFault);
  }
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
    ok = ui::SavePictureAsBmp(*StripBox(strip_), prefix, typed);
  } else {
    ok = ui::SavePictureAsBmp(*Picture1, "Velmor8_0_", typed);
  }
  if (!ok) Messages::Error(kFileWriteFault);
}

void Form8::MouseOnScheme(double x, double y) {
  try {
    MarkPoint(*Picture1, x, y);
  } catch (const ComputeFault&) {
    Messages::Error(kPointFault);
  }
}

}  // namespace velmor
