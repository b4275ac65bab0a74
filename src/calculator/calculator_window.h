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

namespace velmor {

class Form5 : public ui::Form, private CalculatorPictureHost {
  Q_OBJECT

 public:
  Form5();

  // The viewport and the picture scrolled inside it.
  QWidget* Picture2;
  ui::PictureBox* Picture4;
  QScrollBar *VScroll1, *HScroll1;

  // Centrifuge graph.
  QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5, *Text7, *Text8, *Text6;
  QGroupBox *Frame1, *Frame2;
  QRadioButton *Option1, *Option5, *Option2, *Option3, *Option4;
  QPushButton *Command1, *Command3, *Command16, *Command2;

  // Counter-propagating lasers.
  QLineEdit *Text9, *Text10, *Text11, *Text12;
  QCheckBox* Check2;
  QPushButton *Command4, *Command5;

  // Ion energy, mass and speed; speed from a measured shift.
  QLineEdit *Text14, *Text15, *Text16, *Text17, *Text18, *Text19, *Text20;
  QGroupBox *Frame3, *Frame4;
  QRadioButton *Option6, *Option7, *Option8, *Option9;
  QPushButton *Command6, *Command7, *Command8, *Command9, *Command10, *Command11;

  // The range of the last empty graph.
  const ShiftGraph& Graph() const { return graph_; }
  const IonValues& Ion() const { return ion_; }

 private:
  void BuildControls();
  void LayOut();
  void Connect();

  void DrawFrameClick();       // load and Command16
  void DrawCurveClick();       // Command1
  void PutPointClick();        // Command3
  void SavePictureClick();     // Command2
  void LaserFrequencyClick();  // Command4
  void BeamSearchClick();      // Command5
  void EnergyClick();          // Command6
  void MassClick();            // Command7
  void SpeedClick();           // Command8
  void ShiftSpeedClick();      // Command9

  // CalculatorPictureHost.
  Canvas& Picture() override;
  void ResizePicture(double width, double height) override;
  void PlacePicture() override;

  ShiftGraph graph_;
  IonValues ion_;
};

}  // namespace velmor
