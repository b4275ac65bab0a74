// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculator/calculator_window.h"

#include <QPalette>
#include <array>
#include <cmath>
#include <tuple>

#include "calculator/laser_search.h"
#include "shared/faults.h"
#include "shared/shared_pool.h"
#include "ui/action.h"
#include "ui/messages.h"
#include "ui/picture_file.h"

namespace velmor {

using ui::FieldNumber;
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

// An action on the numbers of its fields, read in their order: a field that
// does not parse stops it before anything is computed.
template <class Compute, class... Field>
void WithNumbers(const char* fault, Compute&& compute, const Field*... fields) {
  std::array<double, sizeof...(Field)> x{};
  ui::Act(
      fault, [&] { x = {FieldNumber(fields)...}; }, [&] { std::apply(compute, x); });
}

}  // namespace

Form5::Form5() : ui::Form(5) {
  SetUp<Ui_Form5>(*this);
  // The viewport shows grey around a picture smaller than itself.
  QPalette grey = Picture2->palette();
  grey.setColor(QPalette::Window, QColor(224, 224, 224));
  Picture2->setPalette(grey);
  Connect();
  // Load: the empty centrifuge graph.
  DrawFrameClick();
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
  connect(Command6, &QPushButton::clicked, this,
          [this] { IonClick(Text14, Text15, Text16, IonEnergyKeV); });
  connect(Command7, &QPushButton::clicked, this,
          [this] { IonClick(Text15, Text14, Text16, IonMassKg); });
  connect(Command8, &QPushButton::clicked, this,
          [this] { IonClick(Text16, Text14, Text15, IonSpeed); });
  connect(Command9, &QPushButton::clicked, this, [this] { ShiftSpeedClick(); });
  connect(Command10, &QPushButton::clicked, this, [this] { close(); });
  // Command11 has no action.
}

void Form5::DrawFrameClick() {
  // Everything is read and checked before the picture is cleared, so a
  // refused range leaves the old graph as it was.
  WithNumbers(
      kComputeFaultAlt,
      [this](double Vmax, double dvmax, double MV, double Mdv) {
        try {
          graph_ = MakeShiftGraph(Vmax, MV, dvmax, Mdv);
        } catch (const GraphTooLarge&) {
          Messages::Error(kGraphTooLarge);
          return;
        }
        DrawShiftGraphFrame(*this, graph_);
      },
      Text1, Text2, Text3, Text4);
}

void Form5::DrawCurveClick() {
  const ShiftTheory theory = Option1->isChecked()   ? ShiftTheory::Approximate
                             : Option5->isChecked() ? ShiftTheory::Exact
                                                    : ShiftTheory::Classical;
  const MovingPart moving = Option3->isChecked() ? MovingPart::Absorber : MovingPart::Emitter;
  WithNumbers(
      kComputeFaultAlt,
      [&](double k) { DrawShiftCurve(Pool(), *Picture4, graph_, k, theory, moving); }, Text5);
}

void Form5::PutPointClick() {
  WithNumbers(
      kComputeFaultAlt, [this](double V, double d) { DrawShiftPoint(*Picture4, graph_, V, d); },
      Text7, Text8);
}

void Form5::SavePictureClick() {
  if (!ui::SavePictureAsBmp(*Picture4, "Velmor", ui::FieldText(Text6)))
    Messages::Error(kPictureSaveFault);
}

void Form5::LaserFrequencyClick() {
  WithNumbers(
      kSolveFault,
      [this](double v0, double beta) {
        const LaserPair f = LaserFrequencies(Pool(), v0, beta);
        ui::ShowNumber(Text11, f.vp / kTera);
        ui::ShowNumber(Text12, f.va / kTera);
      },
      Text9, Text10);
}

void Form5::BeamSearchClick() {
  BeamSearch in;
  in.measured = Check2->isChecked();
  ui::Act(
      kSolveFault,
      [&] {
        in.v0THz = FieldNumber(Text9);
        in.vpTHz = FieldNumber(Text11);
        in.vaTHz = FieldNumber(Text12);
        // The beam speed is read up front, so a bad one changes nothing.
        if (in.measured) in.beta = FieldNumber(Text10);
      },
      [&] { SearchBeamSpeed(Pool(), *this, in); });
}

void Form5::IonClick(QLineEdit* result, const QLineEdit* a, const QLineEdit* b, IonSolver solve) {
  WithNumbers(
      kSolveFault, [&](double x, double y) { ui::ShowNumber(result, solve(Pool(), ion_, x, y)); },
      a, b);
}

void Form5::ShiftSpeedClick() {
  const ShiftUnits units = Option6->isChecked() ? ShiftUnits::Wavelengths : ShiftUnits::Frequencies;
  const MovingBody moving = Option8->isChecked() ? MovingBody::Source : MovingBody::Receiver;
  WithNumbers(
      kSolveFault,
      [&](double X0, double dX, double alpha) {
        ui::ShowNumber(Text20, SpeedFromShift(Pool(), X0, dX, alpha, units, moving));
      },
      Text17, Text18, Text19);
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
