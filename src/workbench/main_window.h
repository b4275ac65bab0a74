// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form1, the main window: the Doppler experiment's fields, engine controls,
// animation canvas and theory panel, and the buttons that open the other
// windows.
#include "shared/doppler_formulas.h"
#include "ui/fields.h"
#include "ui/form.h"
#include "ui/picture_box.h"
#include "workbench/experiment_engine.h"
#include "workbench/graph_panel.h"
#include "workbench/period_setup.h"

namespace velmor {

class Form1 : public ui::Form,
              private ExperimentHost,
              private PeriodSetupHost,
              private DopplerDisplay {
  Q_OBJECT

 public:
  Form1();

  ui::PictureBox* Picture1;
  // Experiment inputs.
  QLineEdit *Text1, *Text5, *Text3, *Text7, *Text2, *Text6, *Text4, *Text8;
  QLineEdit *Text12, *Text18, *Text19, *Text9, *Text10, *Text21;
  // Fields the engine writes.
  QLineEdit *Text13, *Text15, *Text14, *Text16, *Text11, *Text17, *Text20, *Text24;
  QCheckBox *Check5, *Check9, *Check1, *Check11;
  QPushButton *Command13, *Command1, *Command2, *Command3, *Command4, *Command5, *Command6;
  QPushButton *Command7, *Command19, *Command10, *Command11, *Command9, *Command8, *Command16;
  // Theory panel.
  QGroupBox *Frame1, *Frame3, *Frame4;
  QRadioButton *Option1, *Option2, *Option3, *Option4, *Option11, *Option12;
  QRadioButton *Option6, *Option7, *Option8;
  QCheckBox *Check3, *Check2, *Check6, *Check8, *Check13, *Check7;
  QLineEdit *Text29, *Text25, *Text26, *Text28, *Text27, *Text23;
  QPushButton *Command12, *Command14, *Command15, *Command17, *Command18;

  void OnActivate() override;

 protected:
  void OnClosing() override;

 private:
  void BuildControls();
  void LayOut();
  void Connect();

  void ReadBodyFields();
  void SetConventionalPeriodClick();  // Command13
  void StartExperimentClick();        // Command1
  void ContinueClick();               // Command3
  void SingleStepClick();             // Command4
  void ReportCheckClick();            // Check5
  void ReportWindowClosed();
  // Theory panel.
  DopplerChoice Choice() const;
  GraphAbscissa Abscissa() const;
  void VariantClick(QCheckBox* clicked);
  void EmptyGraphClick();  // Command14
  bool DrawEmptyGraphFromField();
  void TheoryCurveClick();  // Command12
  void TypedPointClick();   // Command15
  void PictureMouseDown(double x, double y);
  void ExperimentPointsClick();  // Command7
  void ByXClick();               // Command17
  void ByCoordinatesClick();     // Command18
  void PrintIntoReport(double y, const std::string& text);

  // DopplerDisplay.
  void ShowRatio(double ratio, double shift) override;
  void ShowPositions(double X1, double X2, double Y1, double Y2, double R) override;
  void ShowMessage(const std::string& text) override;
  Canvas& ClearedValuesPicture() override;

  // Runs the loop on the engine state and handles its return.
  void RunLoop();
  // Printed on every return of the loop when the report is on.
  void ReportPeriodsIfTicked();

  // ExperimentHost and PeriodSetupHost.
  bool AutoMode() const override;
  bool DelayInCoordinates() const override;
  bool Labels() const override;
  void ShowSightDistance(double R) override;
  void ShowPeriodNumber(int p) override;
  void ShowRefreshFields(double X1, double Y1, double X2, double Y2, double t) override;
  Canvas& Picture() override;
  bool AskYesNo(const std::string& text) override;
  bool Yield() override;
  void StartReport() override;
  void ShowTravelTime(double t) override;
  void ShowNv0(double nv0) override;
};

}  // namespace velmor
