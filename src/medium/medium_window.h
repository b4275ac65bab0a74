// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form3, the medium window: the Doppler experiment with the signal running
// through layers of different optical density (a bundle of rays), the variant
// with the field of retarded potentials, the search for the period as the
// propagation time, the graph of the results, the reports and the data file.

#include "medium/medium_graph.h"
#include "medium/medium_host.h"
#include "ui/fields.h"
#include "ui/form.h"
#include "ui/picture_box.h"

namespace velmor {

struct ExperimentData;

class Form3 : public ui::Form, private MediumHost {
  Q_OBJECT

 public:
  Form3();

  ui::PictureBox* Picture1;
  // Bodies and the signal.
  QLineEdit *Text1, *Text5, *Text3, *Text7, *Text2, *Text6, *Text4, *Text8;
  QLineEdit *Text12, *Text50, *Text19, *Text9, *Text10, *Text18;
  // Medium and bundle.
  QLineEdit *Text23, *Text33, *Text32, *Text34, *Text35;
  // Graph and files.
  QLineEdit *Text43, *Text27, *Text21;
  // Fields the experiments write.
  QLineEdit *Text22, *Text17, *Text13, *Text15, *Text14, *Text16, *Text11, *Text25, *Text20;
  QLineEdit *Text24, *Text28, *Text30, *Text29, *Text31, *Text36, *Text39, *Text37, *Text38;
  QLineEdit* Text44;
  QGroupBox *Frame1, *Frame3, *Frame2, *Frame4;
  QRadioButton *Option1, *Option2, *Option3, *Option4, *Option5, *Option6;
  QRadioButton *Option7, *Option9, *Option10, *Option11, *Option12, *Option13;
  QCheckBox *Check1, *Check2, *Check3, *Check4, *Check5, *Check6, *Check11;
  QPushButton *Command1, *Command9, *Command13, *Command8, *Command2, *Command3, *Command4;
  QPushButton *Command5, *Command6, *Command14, *Command7, *Command18, *Command16;

 private:
  void BuildControls();
  void LayOut();
  void Connect();

  void StartBundleClick();           // Command1
  void StartPotentialClick();        // Command9
  void SearchPeriodClick();          // Command13
  void DensityProfileClick();        // Command8
  void ContinueClick(bool oneStep);  // Command3, Command4
  void ClearPictureClick();          // Command5
  void SaveClick();                  // Command6
  void GraphFrameClick();            // Command14
  void ObservedPointsClick();        // Command7
  void ComputedPointsClick();        // Command18
  void ReportCheckClick();           // Check5
  void PictureMouseDown(double x, double y);

  // Parsing stages; an InputFault (or an arithmetic fault) means bad input.
  void ParseBodies();
  void ParsePeriod();
  void ParseBundleShape();
  GraphFrame ParseGraphFrame() const;

  // The loops and what follows them.
  void RunBundle();
  void RunPotential();
  void ReportIfTicked(int kind);
  // Draws the frame of the fields' values; false (message shown) on bad input.
  bool DrawFrameFromFields();
  // The experiment to plot: the data file when ".txt" is ticked, else the
  // present state; nothing (message shown) when the file cannot be used.
  bool ExperimentToPlot(ExperimentData& out);
  PointAbscissa Abscissa() const;

  // MediumHost.
  bool AutoMode() const override;
  bool Drawing() const override;
  bool Relativistic() const override;
  DensityLaw Law() const override;
  FieldDelay Delay() const override;
  bool SignalOnly() const override;
  void Show(Out field, double value) override;
  void ShowWhole(Out field, long long value) override;
  Canvas& Picture() override;
  bool Ask(const std::string& title, const std::string& text) override;
  bool Yield() override;

  QLineEdit* OutField(Out field) const;

  // The graph frame drawn last on Picture1, for the computed points.
  bool frameDrawn_ = false;
  GraphFrame frame_;
};

}  // namespace velmor
