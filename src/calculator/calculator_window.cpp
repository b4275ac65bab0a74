// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculator/calculator_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPalette>
#include <QVBoxLayout>
#include <cmath>

#include "calculator/laser_search.h"
#include "shared/faults.h"
#include "shared/shared_pool.h"
#include "ui/messages.h"
#include "ui/picture_file.h"

namespace velmor {

using ui::FieldNumber;
using ui::MakeButton;
using ui::MakeCheck;
using ui::MakeField;
using ui::MakeFrame;
using ui::MakeLabel;
using ui::MakeOption;
using ui::Messages;
using namespace ui::msg;

namespace {

constexpr double kTera = 1e12;

// The fields are valid numbers, so "Введите правильно данные" would not
// tell the user what to change.
constexpr const char* kGraphTooLarge =
    "Сетка графика не может быть больше 160 клеток по оси:\n"
    "уменьшите Vmax / MV или 2 * dv/v max / Mdv/v";
static_assert(kMaxCells == 160, "the message names the limit");

// The two stages of an action: a field that does not parse, or a value the
// calculation refuses, is bad input; an arithmetic fault shows the action's
// own text. Whatever was written before the fault stays.
template <class Body>
void RunAction(const char* fault, Body&& body) {
  try {
    body();
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
  } catch (const ComputeFault&) {
    Messages::Error(fault);
  }
}

}  // namespace

Form5::Form5()
    : ui::Form(
          5,
          ui::Q("Эксперименты с Мессбауэровскими центрифугами и встречными лазерами   Velmor5")) {
  BuildControls();
  LayOut();
  Connect();
  // Load: the empty centrifuge graph.
  DrawFrameClick();
}

void Form5::BuildControls() {
  Picture2 = new QWidget(this);
  Picture2->setObjectName(QStringLiteral("Picture2"));
  Picture2->setFixedSize(9135 / 15, 6015 / 15);
  Picture2->setAutoFillBackground(true);
  QPalette pal = Picture2->palette();
  pal.setColor(QPalette::Window, QColor(224, 224, 224));
  Picture2->setPalette(pal);
  Picture4 = new ui::PictureBox(Picture2, "Picture4", 9135, 6015);
  VScroll1 = ui::MakeScroll(this, "VScroll1", Qt::Vertical, 0, 100, 10);
  HScroll1 = ui::MakeScroll(this, "HScroll1", Qt::Horizontal, 0, 100, 10);
  VScroll1->setFixedHeight(Picture2->height());
  HScroll1->setFixedWidth(Picture2->width());

  Text1 = MakeField(this, "Text1", "3E2");
  Text2 = MakeField(this, "Text2", "1E-12");
  Text3 = MakeField(this, "Text3", "1,5E1");
  Text4 = MakeField(this, "Text4", "1E-13");
  Frame1 = MakeFrame(this, "Frame1", "теория");
  Option1 = MakeOption(Frame1, "Option1", "СТО=", true);
  Text5 = MakeField(Frame1, "Text5", "0,5", 50);
  Option5 = MakeOption(Frame1, "Option5", "СТО точно", false);
  Option2 = MakeOption(Frame1, "Option2", "Классика", false);
  Frame2 = MakeFrame(this, "Frame2", "движется");
  Option3 = MakeOption(Frame2, "Option3", "поглотитель", true);
  Option4 = MakeOption(Frame2, "Option4", "излучатель", false);
  Command1 = MakeButton(this, "Command1", "Построить график dv/v");
  Text7 = MakeField(this, "Text7", "150");
  Text8 = MakeField(this, "Text8", "1E-13");
  Command3 = MakeButton(this, "Command3", "Поставить на график точку");
  Command16 = MakeButton(this, "Command16", "Очистить рисунок");
  Command2 = MakeButton(this, "Command2", "Сохранить рисунок №");
  Text6 = MakeField(this, "Text6", "20", 40);

  Command4 = MakeButton(this, "Command4",
                        "Рассчитать по (4-1) частоты лазеров для скорости пучка ионов 7Li+=");
  Text10 = MakeField(this, "Text10", "0,338");
  Text9 = MakeField(this, "Text9", "546,467");
  Text11 = MakeField(this, "Text11", "", 110);
  Text12 = MakeField(this, "Text12", "", 110);
  Command5 = MakeButton(this, "Command5",
                        "Найти по частотам лазеров скорость пучка по формуле (2), когда "
                        "эффективные частоты совпадут");
  Check2 = MakeCheck(
      this, "Check2",
      "+ при поиске использовать экспериментальные va и vp задав скорости 0,03 , 0,064 или 0,338",
      false);

  Command6 = MakeButton(this, "Command6", "E, кэВ = m * V^2 / 2 =");
  Text14 = MakeField(this, "Text14", "150", 110);
  Command7 = MakeButton(this, "Command7", "m, кг = 2 * E / V^2 =");
  Text15 = MakeField(this, "Text15", "3,344556E-27", 110);
  Command8 = MakeButton(this, "Command8", "V = sqrt( 2 * E / m ) =");
  Text16 = MakeField(this, "Text16", "0,012645", 110);

  Text17 = MakeField(this, "Text17", "656,28");
  Text18 = MakeField(this, "Text18", "10");
  Text19 = MakeField(this, "Text19", "0");
  Frame3 = MakeFrame(this, "Frame3", "");
  Option6 = MakeOption(Frame3, "Option6", "L0, dL", true);
  Option7 = MakeOption(Frame3, "Option7", "v0, dv", false);
  Frame4 = MakeFrame(this, "Frame4", "движется");
  Option8 = MakeOption(Frame4, "Option8", "источник", true);
  Option9 = MakeOption(Frame4, "Option9", "приемник", false);
  Command9 =
      MakeButton(this, "Command9", "Рассчитать скорость по (2) при заданном угле наблюдения");
  Text20 = MakeField(this, "Text20", "", 110);
  Command10 = MakeButton(this, "Command10", "Закрыть");
  Command11 = MakeButton(this, "Command11", "Эксперименты Кауфмана");
}

void Form5::LayOut() {
  // The viewport with its scroll bars at the right and below.
  auto* view = new QGridLayout;
  view->setSpacing(0);
  view->addWidget(Picture2, 0, 0);
  view->addWidget(VScroll1, 0, 1);
  view->addWidget(HScroll1, 1, 0);

  auto* f1 = new QGridLayout(Frame1);
  f1->setVerticalSpacing(1);
  f1->addWidget(Option1, 0, 0);
  f1->addWidget(Text5, 0, 1);
  f1->addWidget(MakeLabel(Frame1, "", " * b^2"), 0, 2);
  f1->addWidget(Option5, 1, 0, 1, 3);
  f1->addWidget(Option2, 2, 0, 1, 3);
  auto* f2 = new QHBoxLayout(Frame2);
  f2->addWidget(Option3);
  f2->addWidget(Option4);

  auto* graph = new QGridLayout;
  graph->setVerticalSpacing(3);
  ui::PutLabelled(graph, 0, 0, this, "Vmax, м/с", Text1);
  ui::PutLabelled(graph, 1, 0, this, "dv/v max", Text2);
  ui::PutLabelled(graph, 2, 0, this, "MV, (м/с)/см", Text3);
  ui::PutLabelled(graph, 3, 0, this, "Mdv/v, ед/см", Text4);
  graph->addWidget(Frame1, 4, 0, 1, 2);
  graph->addWidget(Frame2, 5, 0, 1, 2);
  graph->addWidget(Command1, 6, 0, 1, 2);
  ui::PutLabelled(graph, 7, 0, this, "V, м/с", Text7);
  ui::PutLabelled(graph, 8, 0, this, "dv/v", Text8);
  graph->addWidget(Command3, 9, 0, 1, 2);
  graph->addWidget(Command16, 10, 0, 1, 2);
  graph->addWidget(Command2, 11, 0);
  graph->addWidget(Text6, 11, 1);
  graph->setRowStretch(12, 1);

  auto* top = new QHBoxLayout;
  top->addLayout(view);
  top->addLayout(graph);
  top->addStretch(1);

  // Lasers and ions at the left, the speed from a shift at the right.
  auto* lasers = new QGridLayout;
  lasers->setVerticalSpacing(3);
  lasers->addWidget(Command4, 0, 0, 1, 3);
  lasers->addWidget(Text10, 0, 3);
  ui::PutLabelled(lasers, 1, 0, this, "v0, ТГц", Text9);
  ui::PutLabelled(lasers, 2, 0, this, "vp, ТГц", Text11);
  ui::PutLabelled(lasers, 2, 2, this, "va, ТГц", Text12);
  lasers->addWidget(Command5, 3, 0, 1, 4);
  lasers->addWidget(Check2, 4, 0, 1, 4);
  lasers->addWidget(Command6, 5, 0, 1, 2);
  lasers->addWidget(Text14, 5, 2);
  lasers->addWidget(Command7, 6, 0, 1, 2);
  lasers->addWidget(Text15, 6, 2);
  lasers->addWidget(Command8, 7, 0, 1, 2);
  lasers->addWidget(Text16, 7, 2);

  auto* f3 = new QHBoxLayout(Frame3);
  f3->addWidget(Option6);
  f3->addWidget(Option7);
  auto* f4 = new QHBoxLayout(Frame4);
  f4->addWidget(Option8);
  f4->addWidget(Option9);

  auto* shift = new QGridLayout;
  shift->setVerticalSpacing(3);
  ui::PutLabelled(shift, 0, 0, this, "L0, нм / v0, ТГц", Text17);
  ui::PutLabelled(shift, 1, 0, this, "dL, нм / dv, ТГц", Text18);
  ui::PutLabelled(shift, 2, 0, this, "Alfa, град", Text19);
  shift->addWidget(Frame3, 3, 0, 1, 2);
  shift->addWidget(Frame4, 4, 0, 1, 2);
  shift->addWidget(Command9, 5, 0, 1, 2);
  ui::PutLabelled(shift, 6, 0, this, "скорость V / Vsv", Text20);
  auto* close = new QHBoxLayout;
  close->addWidget(Command11);
  close->addWidget(Command10);
  shift->addLayout(close, 7, 0, 1, 2);
  shift->setRowStretch(8, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addLayout(lasers);
  bottom->addSpacing(12);
  bottom->addLayout(shift);
  bottom->addStretch(1);

  auto* all = new QVBoxLayout(this);
  all->setContentsMargins(6, 6, 6, 6);
  all->addLayout(top);
  all->addLayout(bottom);
  all->addStretch(1);
}

void Form5::Connect() {
  connect(VScroll1, &QScrollBar::valueChanged, this, [this] { PlacePicture(); });
  connect(HScroll1, &QScrollBar::valueChanged, this, [this] { PlacePicture(); });
  connect(Command16, &QPushButton::clicked, this, [this] { DrawFrameClick(); });
  connect(Command1, &QPushButton::clicked, this, [this] { DrawCurveClick(); });
  connect(Command3, &QPushButton::clicked, this, [this] { PutPointClick(); });
  connect(Command2, &QPushButton::clicked, this, [this] { SavePictureClick(); });
  connect(Command4, &QPushButton::clicked, this, [this] { LaserFrequencyClick(); });
  connect(Command5, &QPushButton::clicked, this, [this] { BeamSearchClick(); });
  connect(Command6, &QPushButton::clicked, this, [this] { EnergyClick(); });
  connect(Command7, &QPushButton::clicked, this, [this] { MassClick(); });
  connect(Command8, &QPushButton::clicked, this, [this] { SpeedClick(); });
  connect(Command9, &QPushButton::clicked, this, [this] { ShiftSpeedClick(); });
  connect(Command10, &QPushButton::clicked, this, [this] { close(); });
  // Command11 has no action.
}

void Form5::DrawFrameClick() {
  // Everything is read and checked before the picture is cleared, so a
  // refused range leaves the old graph as it was.
  RunAction(kComputeFaultAlt, [this] {
    try {
      const ShiftGraph g = MakeShiftGraph(FieldNumber(Text1), FieldNumber(Text3),
                                          FieldNumber(Text2), FieldNumber(Text4));
      graph_ = g;
      DrawShiftGraphFrame(*this, g);
    } catch (const GraphTooLarge&) {
      Messages::Error(kGraphTooLarge);
    }
  });
}

void Form5::DrawCurveClick() {
  double k = 0;
  try {
    k = FieldNumber(Text5);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  const ShiftTheory theory = Option1->isChecked()   ? ShiftTheory::Approximate
                             : Option5->isChecked() ? ShiftTheory::Exact
                                                    : ShiftTheory::Classical;
  const MovingPart moving = Option3->isChecked() ? MovingPart::Absorber : MovingPart::Emitter;
  RunAction(kComputeFaultAlt,
            [&] { DrawShiftCurve(Pool(), *Picture4, graph_, k, theory, moving); });
}

void Form5::PutPointClick() {
  RunAction(kComputeFaultAlt, [this] {
    const double V = FieldNumber(Text7);
    const double d = FieldNumber(Text8);
    DrawShiftPoint(*Picture4, graph_, V, d);
  });
}

void Form5::SavePictureClick() {
  if (!ui::SavePictureAsBmp(*Picture4, "Velmor", ui::FieldText(Text6)))
    Messages::Error(kPictureSaveFault);
}

void Form5::LaserFrequencyClick() {
  RunAction(kSolveFault, [this] {
    const double v0 = FieldNumber(Text9);
    const double beta = FieldNumber(Text10);
    const LaserPair f = LaserFrequencies(Pool(), v0, beta);
    ui::ShowNumber(Text11, f.vp / kTera);
    ui::ShowNumber(Text12, f.va / kTera);
  });
}

void Form5::BeamSearchClick() {
  RunAction(kSolveFault, [this] {
    BeamSearch in;
    in.v0THz = FieldNumber(Text9);
    in.vpTHz = FieldNumber(Text11);
    in.vaTHz = FieldNumber(Text12);
    in.measured = Check2->isChecked();
    // The beam speed is read up front, so a bad one changes nothing.
    if (in.measured) in.beta = FieldNumber(Text10);
    SearchBeamSpeed(Pool(), *this, in);
  });
}

void Form5::EnergyClick() {
  RunAction(kSolveFault, [this] {
    const double m = FieldNumber(Text15);
    const double V = FieldNumber(Text16);
    ui::ShowNumber(Text14, IonEnergyKeV(Pool(), ion_, m, V));
  });
}

void Form5::MassClick() {
  RunAction(kSolveFault, [this] {
    const double E = FieldNumber(Text14);
    const double V = FieldNumber(Text16);
    ui::ShowNumber(Text15, IonMassKg(Pool(), ion_, E, V));
  });
}

void Form5::SpeedClick() {
  RunAction(kSolveFault, [this] {
    const double E = FieldNumber(Text14);
    const double m = FieldNumber(Text15);
    ui::ShowNumber(Text16, IonSpeed(Pool(), ion_, E, m));
  });
}

void Form5::ShiftSpeedClick() {
  RunAction(kSolveFault, [this] {
    const double X0 = FieldNumber(Text17);
    const double dX = FieldNumber(Text18);
    const double alpha = FieldNumber(Text19);
    const ShiftUnits units =
        Option6->isChecked() ? ShiftUnits::Wavelengths : ShiftUnits::Frequencies;
    const MovingBody moving = Option8->isChecked() ? MovingBody::Source : MovingBody::Receiver;
    ui::ShowNumber(Text20, SpeedFromShift(Pool(), X0, dX, alpha, units, moving));
  });
}

Canvas& Form5::Picture() {
  return *Picture4;
}

void Form5::ResizePicture(double width, double height) {
  Picture4->SetSizeTwips(static_cast<int>(std::lround(width * 15)),
                         static_cast<int>(std::lround(height * 15)));
}

void Form5::PlacePicture() {
  const double top = PictureTop(Picture2->height(), Picture4->height(), VScroll1->value());
  const double left = PictureLeft(Picture2->width(), Picture4->width(), HScroll1->value());
  Picture4->move(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
  Picture4->update();
}

}  // namespace velmor
