// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form6: one instant of the two-body set-up recomputed from the absolute
// frame into an inertial frame moving along X, with its picture.
#include <map>

#include "frames/frame_transform.h"
#include "ui/fields.h"
#include "ui/form.h"
#include "ui/picture_box.h"

namespace velmor {

class Form6 : public ui::Form, private FrameHost {
  Q_OBJECT

 public:
  Form6();

  ui::PictureBox* Picture1;
  // Inputs.
  QLineEdit *Text22, *Text24, *Text23, *Text25, *Text14, *Text18, *Text15, *Text19, *Text65;
  QLineEdit *Text3, *Text47, *Text8, *Text6, *Text35, *Text60;
  // Results in АСО and in the final frame.
  QLineEdit *Text1, *Text2, *Text9, *Text10, *Text30;
  QLineEdit *Text26, *Text28, *Text27, *Text29, *Text16, *Text20, *Text17, *Text21;
  QLineEdit *Text4, *Text5, *Text34, *Text11, *Text12, *Text13, *Text31, *Text7;
  // Signal delay (Frame1), first step (Frame2), second step (Frame4).
  QLineEdit *Text32, *Text33, *Text36, *Text37;
  QLineEdit *Text40, *Text41, *Text42, *Text45, *Text46, *Text43, *Text44, *Text38, *Text39;
  QLineEdit *Text59, *Text50, *Text51, *Text52, *Text55, *Text56, *Text53, *Text54, *Text48,
      *Text49;
  QGroupBox *Frame1, *Frame2, *Frame3, *Frame4;
  QRadioButton *Option3, *Option5, *Option6;              // delay
  QRadioButton *Option8, *Option7, *Option11, *Option12;  // synchronisation
  QRadioButton *Option10, *Option9, *Option1, *Option2;   // formula
  QCheckBox *Check1, *Check2;
  QPushButton *Command1, *Command2, *Command3, *Command4, *Command5;

 private:
  void BuildControls();
  void LayOut();
  void Connect();
  QLineEdit* Output(const char* name, int number);

  void CalculateClick();     // Command1
  void ClearPictureClick();  // Command3
  void SavePictureClick();   // Command5

  void Show(FrameOut field, double value) override;

  std::map<int, QLineEdit*> outputs_;
};

}  // namespace velmor
