// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form5, the calculator of published high-speed Doppler experiments: the
// centrifuge shift graph, counter-propagating lasers on an ion beam, ion
// energy, mass and speed, and the speed from a measured shift.
#include "calculator/calculator.h"
#include "calculator/centrifuge_graph.h"
#include "ui/fields.h"
#include "ui/form.h"
#include "ui/picture_box.h"
#include "ui_calculator_window.h"

namespace velmor {

// Picture2 is the viewport of the picture Picture4, scrolled inside it by
// VScroll1 and HScroll1.
class Form5 : public ui::Form, public Ui_Form5, private CalculatorPictureHost {
  Q_OBJECT

 public:
  Form5();

  // The range of the last empty graph.
  const ShiftGraph& Graph() const { return graph_; }
  const IonValues& Ion() const { return ion_; }

 private:
  void Connect();

  void DrawFrameClick();       // load and Command16
  void DrawCurveClick();       // Command1
  void PutPointClick();        // Command3
  void SavePictureClick();     // Command2
  void LaserFrequencyClick();  // Command4
  void BeamSearchClick();      // Command5
  void ShiftSpeedClick();      // Command9
  // Command6, 7 and 8: two of the ion's energy, mass and speed give the third.
  using IonSolver = double (*)(SharedPool&, IonValues&, double, double);
  void IonClick(QLineEdit* result, const QLineEdit* a, const QLineEdit* b, IonSolver solve);

  // CalculatorPictureHost.
  Canvas& Picture() override;
  void ResizePicture(double width, double height) override;
  void PlacePicture() override;

  ShiftGraph graph_;
  IonValues ion_;
};

}  // namespace velmor
