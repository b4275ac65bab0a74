// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/frame_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <vector>

#include "shared/faults.h"
#include "shared/shared_pool.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/picture_file.h"

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

// The window has one message for a field that does not parse and for a
// calculation that faults.

// A long formula caption over its field.
void PutLong(QGridLayout* g, int row, QWidget* parent, const char* label, QWidget* field) {
  auto* l = MakeLabel(parent, "", label);
  l->setWordWrap(true);
  l->setMaximumWidth(250);
  g->addWidget(l, row, 0, 1, 3);
  g->addWidget(field, row, 3);
}

}  // namespace

Form6::Form6() : ui::Form(6, ui::Q("ASO_ISO   Velmor5    form6")) {
  BuildControls();
  LayOut();
  Connect();
  // Load: this window's constants replace the main window's for every window.
  SetFrameWindowConstants(Pool());
  Picture1->Cls();
  DrawTransformGrid(*Picture1);
}

QLineEdit* Form6::Output(const char* name, int number) {
  QLineEdit* f = MakeField(this, name, "", 105);
  f->setMaximumWidth(120);
  f->setReadOnly(true);
  outputs_[number] = f;
  return f;
}

void Form6::BuildControls() {
  Picture1 = new ui::PictureBox(this, "Picture1", 6300, 4455);

  Text22 = MakeField(this, "Text22", "6", 60);
  Text24 = MakeField(this, "Text24", "6", 60);
  Text23 = MakeField(this, "Text23", "1", 60);
  Text25 = MakeField(this, "Text25", "1", 60);
  Text14 = MakeField(this, "Text14", "16", 60);
  Text18 = MakeField(this, "Text18", "0", 60);
  Text15 = MakeField(this, "Text15", "12", 60);
  Text19 = MakeField(this, "Text19", "0", 60);
  Text65 = MakeField(this, "Text65", "0", 60);
  Text3 = MakeField(this, "Text3", "0", 60);
  Text47 = MakeField(this, "Text47", "0", 60);
  Text8 = MakeField(this, "Text8", "20", 60);
  Text6 = MakeField(this, "Text6", "2", 60);
  Text35 = MakeField(this, "Text35", "4", 60);
  Text60 = MakeField(this, "Text60", "1", 40);
  for (QLineEdit* f : {Text22, Text24, Text23, Text25, Text14, Text18, Text15, Text19, Text65,
                       Text3, Text47, Text8, Text6, Text35}) {
    f->setMaximumWidth(80);
  }

  Text1 = Output("Text1", 1);
  Text2 = Output("Text2", 2);
  Text9 = Output("Text9", 9);
  Text10 = Output("Text10", 10);
  Text30 = Output("Text30", 30);
  Text26 = Output("Text26", 26);
  Text28 = Output("Text28", 28);
  Text27 = Output("Text27", 27);
  Text29 = Output("Text29", 29);
  Text16 = Output("Text16", 16);
  Text20 = Output("Text20", 20);
  Text17 = Output("Text17", 17);
  Text21 = Output("Text21", 21);
  Text4 = Output("Text4", 4);
  Text5 = Output("Text5", 5);
  Text34 = Output("Text34", 34);
  Text11 = Output("Text11", 11);
  Text12 = Output("Text12", 12);
  Text13 = Output("Text13", 13);
  Text31 = Output("Text31", 31);
  Text7 = Output("Text7", 7);

  Frame1 = MakeFrame(this, "Frame1", "запаздывание сигнала источника по координатам ");
  Option3 = MakeOption(Frame1, "Option3", "в АСО", false);
  Option5 = MakeOption(Frame1, "Option5", "в конечной ИСО", true);
  Option6 = MakeOption(Frame1, "Option6", "не учитывать", false);
  Text32 = Output("Text32", 32);
  Text33 = Output("Text33", 33);
  Text36 = Output("Text36", 36);
  Text37 = Output("Text37", 37);

  Frame2 = MakeFrame(this, "Frame2", "согласовать в ИСО координаты по времени при t1aso=t2aso");
  Option8 = MakeOption(Frame2, "Option8", "приемника", true);
  Option7 = MakeOption(Frame2, "Option7", "источника", false);
  Option11 = MakeOption(Frame2, "Option11", "начала координат", false);
  Option12 = MakeOption(Frame2, "Option12", "не делать", false);
  Text40 = Output("Text40", 40);
  Text41 = Output("Text41", 41);
  Text42 = Output("Text42", 42);
  Text45 = Output("Text45", 45);
  Text46 = Output("Text46", 46);
  Text43 = Output("Text43", 43);
  Text44 = Output("Text44", 44);
  Text38 = Output("Text38", 38);
  Text39 = Output("Text39", 39);

  Frame3 = MakeFrame(this, "Frame3", "формула СТО");
  Option10 = MakeOption(Frame3, "Option10", "4-5", true);
  Option9 = MakeOption(Frame3, "Option9", "4-1", false);
  Option1 = MakeOption(Frame3, "Option1", "4-3", false);
  Option2 = MakeOption(Frame3, "Option2", "нет (классическая формула 2)", false);

  Frame4 = MakeFrame(this, "Frame4",
                     "+согласование координат по времени в ИСО1, 2 или 3 при T1iso и T2iso");
  Text59 = Output("Text59", 59);
  Text50 = Output("Text50", 50);
  Text51 = Output("Text51", 51);
  Text52 = Output("Text52", 52);
  Text55 = Output("Text55", 55);
  Text56 = Output("Text56", 56);
  Text53 = Output("Text53", 53);
  Text54 = Output("Text54", 54);
  Text48 = Output("Text48", 48);
  Text49 = Output("Text49", 49);

  Check1 =
      MakeCheck(this, "Check1", "2 или 4-5 в ИСО3 движущейся относительно ИСО с VXiso3 =", false);
  Check2 = MakeCheck(this, "Check2", "+ рисовать координаты и скорости в aso", false);

  Command1 = MakeButton(this, "Command1", "Выполнить расчет для VXiso=");
  Command2 = MakeButton(this, "Command2", "Закрыть форму");
  Command3 = MakeButton(this, "Command3", "Очистить рисунок");
  Command4 = MakeButton(this, "Command4", "Показать расчетную схему с обозначениями");
  Command5 = MakeButton(this, "Command5", "Сохранить рисунок №");
}

void Form6::LayOut() {
  // Left: the picture, its buttons, the formula and the delay.
  auto* pictureButtons = new QGridLayout;
  pictureButtons->addWidget(Command3, 0, 0);
  auto* save = new QHBoxLayout;
  save->addWidget(Command5);
  save->addWidget(Text60);
  pictureButtons->addLayout(save, 0, 1);
  pictureButtons->addWidget(Command4, 1, 0, 1, 2);
  pictureButtons->addWidget(Command2, 2, 0);

  auto* f3 = new QGridLayout(Frame3);
  f3->addWidget(Option10, 0, 0);
  f3->addWidget(Option9, 0, 1);
  f3->addWidget(Option1, 0, 2);
  f3->addWidget(Option2, 1, 0, 1, 3);

  auto* f1 = new QGridLayout(Frame1);
  f1->setVerticalSpacing(2);
  auto* delay = new QHBoxLayout;
  delay->addWidget(Option3);
  delay->addWidget(Option5);
  delay->addWidget(Option6);
  f1->addLayout(delay, 0, 0, 1, 4);
  ui::PutLabelled(f1, 1, 0, Frame1, "dT", Text32);
  ui::PutLabelled(f1, 1, 2, Frame1, "T2iso", Text37);
  ui::PutLabelled(f1, 2, 0, Frame1, "X2= X2z + VX2*dT", Text33);
  ui::PutLabelled(f1, 3, 0, Frame1, "Y2= Y2z + VY2*dT", Text36);

  auto* left = new QVBoxLayout;
  left->setSpacing(4);
  left->addWidget(Picture1);
  left->addLayout(pictureButtons);
  left->addWidget(Frame3);
  left->addWidget(Frame1);
  left->addStretch(1);

  // Middle: the АСО inputs, the calculation, the results.
  auto* g = new QGridLayout;
  g->setVerticalSpacing(2);
  int r = 0;
  ui::PutLabelled(g, r, 0, this, "X1aso", Text22);
  ui::PutLabelled(g, r++, 2, this, "Y1aso", Text24);
  ui::PutLabelled(g, r, 0, this, "X2aso", Text23);
  ui::PutLabelled(g, r++, 2, this, "Y2aso", Text25);
  ui::PutLabelled(g, r, 0, this, "VX1aso", Text14);
  ui::PutLabelled(g, r++, 2, this, "VY1aso", Text18);
  ui::PutLabelled(g, r, 0, this, "VX2aso", Text15);
  ui::PutLabelled(g, r++, 2, this, "VY2aso", Text19);
  ui::PutLabelled(g, r, 0, this, "и T=", Text65);
  ui::PutLabelled(g, r++, 2, this, "Vs", Text8);
  ui::PutLabelled(g, r, 0, this, " ML, м/см", Text6);
  ui::PutLabelled(g, r++, 2, this, " MV, (м/с)/см", Text35);
  g->addWidget(Command1, r, 0, 1, 3);
  g->addWidget(Text3, r++, 3);
  g->addWidget(Check1, r++, 0, 1, 4);
  ui::PutLabelled(g, r++, 2, this, "VXiso3", Text47);
  g->addWidget(Check2, r++, 0, 1, 4);
  ui::PutLabelled(g, r, 0, this, "V1aso", Text1);
  ui::PutLabelled(g, r++, 2, this, "V2aso", Text2);
  ui::PutLabelled(g, r, 0, this, "Q1aso", Text9);
  ui::PutLabelled(g, r++, 2, this, "Q2aso", Text10);
  auto* q3aso = MakeLabel(this, "", "угол луча зрения Q3aso");
  g->addWidget(q3aso, r, 0, 1, 3, Qt::AlignRight);
  g->addWidget(Text30, r++, 3);
  g->setRowMinimumHeight(r++, 8);
  ui::PutLabelled(g, r, 0, this, "X1iso", Text26);
  ui::PutLabelled(g, r++, 2, this, "Y1iso", Text28);
  ui::PutLabelled(g, r, 0, this, "X2iso", Text27);
  ui::PutLabelled(g, r++, 2, this, "Y2iso", Text29);
  ui::PutLabelled(g, r, 0, this, "VX1iso", Text16);
  ui::PutLabelled(g, r++, 2, this, "VY1iso", Text20);
  ui::PutLabelled(g, r, 0, this, "VX2iso", Text17);
  ui::PutLabelled(g, r++, 2, this, "VY2iso", Text21);
  ui::PutLabelled(g, r, 0, this, "V1iso", Text4);
  ui::PutLabelled(g, r++, 2, this, "V2iso", Text5);
  ui::PutLabelled(g, r++, 2, this, "V12iso", Text34);
  ui::PutLabelled(g, r, 0, this, "Q1iso", Text11);
  ui::PutLabelled(g, r++, 2, this, "Q2iso", Text12);
  ui::PutLabelled(g, r++, 2, this, "Q12iso", Text13);
  auto* q3iso = MakeLabel(this, "", "угол луча зрения Q3iso");
  g->addWidget(q3iso, r, 0, 1, 3, Qt::AlignRight);
  g->addWidget(Text31, r++, 3);
  ui::PutLabelled(g, r++, 2, this, "v= v0 *", Text7);
  g->setRowStretch(r, 1);

  // Right: the two transformation steps.
  auto* f2 = new QGridLayout(Frame2);
  f2->setVerticalSpacing(2);
  auto* sync = new QGridLayout;
  sync->addWidget(Option8, 0, 0);
  sync->addWidget(Option7, 0, 1);
  sync->addWidget(Option11, 1, 0);
  sync->addWidget(Option12, 1, 1);
  f2->addLayout(sync, 0, 0, 1, 4);
  PutLong(f2, 1, Frame2, "t1iso= (taso - VXiso * X1aso / Vs^2 ) / sqrt(1- VXiso^2/ Vs^2)=", Text40);
  PutLong(f2, 2, Frame2, "t2iso= (taso - VXiso * X2aso / Vs^2 ) / sqrt(1- VXiso^2/ Vs^2)=", Text41);
  PutLong(f2, 3, Frame2, "dt= t1iso - t2iso", Text42);
  ui::PutLabelled(f2, 4, 0, Frame2, "X1iso", Text45);
  ui::PutLabelled(f2, 4, 2, Frame2, "Y1iso", Text46);
  ui::PutLabelled(f2, 5, 0, Frame2, "X2iso", Text43);
  ui::PutLabelled(f2, 5, 2, Frame2, "Y2iso", Text44);
  ui::PutLabelled(f2, 6, 0, Frame2, "T1iso", Text38);
  ui::PutLabelled(f2, 6, 2, Frame2, "T2iso", Text39);

  auto* f4 = new QGridLayout(Frame4);
  f4->setVerticalSpacing(2);
  ui::PutLabelled(f4, 0, 2, Frame4, "VXiso", Text59);
  PutLong(f4, 1, Frame4, "t1iso123= (T1iso - VXiso * X1iso / Vs^2 ) / sqrt(1- VXiso^2/ Vs^2)",
          Text50);
  PutLong(f4, 2, Frame4, "t2iso123= (T2iso - VXiso * X2iso / Vs^2 ) / sqrt(1- VXiso^2/ Vs^2)",
          Text51);
  PutLong(f4, 3, Frame4, "dt= t1iso123 - t2iso123", Text52);
  ui::PutLabelled(f4, 4, 0, Frame4, "X1", Text55);
  ui::PutLabelled(f4, 4, 2, Frame4, "Y1", Text56);
  ui::PutLabelled(f4, 5, 0, Frame4, "X2", Text53);
  ui::PutLabelled(f4, 5, 2, Frame4, "Y2", Text54);
  ui::PutLabelled(f4, 6, 0, Frame4, "T1iso", Text48);
  ui::PutLabelled(f4, 6, 2, Frame4, "T2iso", Text49);

  auto* right = new QVBoxLayout;
  right->addWidget(Frame2);
  right->addWidget(Frame4);
  right->addStretch(1);

  // Focus runs down the left column, then the middle one, then the right one.
  const std::vector<QWidget*> order = {
      Command3, Command5, Text60,   Command4, Command2, Option10, Option9, Option1, Option2,
      Option3,  Option5,  Option6,  Text32,   Text37,   Text33,   Text36,  Text22,  Text24,
      Text23,   Text25,   Text14,   Text18,   Text15,   Text19,   Text65,  Text8,   Text6,
      Text35,   Command1, Text3,    Check1,   Text47,   Check2,   Text1,   Text2,   Text9,
      Text10,   Text30,   Text26,   Text28,   Text27,   Text29,   Text16,  Text20,  Text17,
      Text21,   Text4,    Text5,    Text34,   Text11,   Text12,   Text13,  Text31,  Text7,
      Option8,  Option7,  Option11, Option12, Text40,   Text41,   Text42,  Text45,  Text46,
      Text43,   Text44,   Text38,   Text39,   Text59,   Text50,   Text51,  Text52,  Text55,
      Text56,   Text53,   Text54,   Text48,   Text49};
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(4, 4, 4, 4);
  top->setSpacing(6);
  top->addLayout(left);
  top->addLayout(g);
  top->addLayout(right);
}

void Form6::Connect() {
  connect(Command1, &QPushButton::clicked, this, [this] { CalculateClick(); });
  connect(Command3, &QPushButton::clicked, this, [this] { ClearPictureClick(); });
  connect(Command5, &QPushButton::clicked, this, [this] { SavePictureClick(); });
  connect(Command4, &QPushButton::clicked, this, [] { ui::FormRegistry::Show(7); });
  connect(Command2, &QPushButton::clicked, this, [this] { close(); });
}

void Form6::CalculateClick() {
  FrameInputs in;
  try {
    in.X1aso = ui::FieldNumber(Text22);
    in.X2aso = ui::FieldNumber(Text23);
    in.Y1aso = ui::FieldNumber(Text24);
    in.Y2aso = ui::FieldNumber(Text25);
    in.VX1aso = ui::FieldNumber(Text14);
    in.VX2aso = ui::FieldNumber(Text15);
    in.VY1aso = ui::FieldNumber(Text18);
    in.VY2aso = ui::FieldNumber(Text19);
    in.VXiso = ui::FieldNumber(Text3);
    in.VXiso3 = ui::FieldNumber(Text47);
    in.Vs = ui::FieldNumber(Text8);
    in.ML = ui::FieldNumber(Text6);
    in.MV = ui::FieldNumber(Text35);
    in.taso = ui::FieldNumber(Text65);
  } catch (const InputFault&) {
    Messages::Error(kBadInput);
    return;
  }
  in.delay = Option3->isChecked()   ? DelayOption::InAso
             : Option5->isChecked() ? DelayOption::InFinalFrame
                                    : DelayOption::Ignore;
  in.sync = Option8->isChecked()    ? SyncOption::Receiver
            : Option7->isChecked()  ? SyncOption::Source
            : Option11->isChecked() ? SyncOption::Origin
                                    : SyncOption::None;
  in.formula = Option10->isChecked()  ? FrameFormula::F45
               : Option9->isChecked() ? FrameFormula::F41
               : Option1->isChecked() ? FrameFormula::F43
                                      : FrameFormula::Classical2;
  in.thirdFrame = Check1->isChecked();
  in.drawAso = Check2->isChecked();
  try {
    RecomputeToInertialFrame(Pool(), in, *this, *Picture1);
  } catch (const ComputeFault&) {
    Messages::Error(kBadInput);
  }
}

void Form6::ClearPictureClick() {
  Picture1->Cls();
  DrawTransformGrid(*Picture1);
}

void Form6::SavePictureClick() {
  if (!ui::SavePictureAsBmp(*Picture1, "Velmor_", ui::FieldText(Text60))) {
    Messages::Error(kPictureSaveFault);
  }
}

void Form6::Show(FrameOut field, double value) {
  ui::ShowNumber(outputs_.at(static_cast<int>(field)), value);
}

}  // namespace velmor
