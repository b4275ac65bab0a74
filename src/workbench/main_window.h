// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form1, the main window: the Doppler experiment's fields, engine controls,
// animation canvas and theory panel, and the buttons that open the other
// windows.
#include <optional>

#include "shared/doppler_formulas.h"
#include "ui/fields.h"
#include "ui/form.h"
#include "ui/picture_box.h"
#include "ui_main_window.h"
#include "workbench/experiment_engine.h"
#include "workbench/graph_panel.h"
#include "workbench/period_setup.h"

namespace velmor {

class Form1 : public ui::Form,
              public Ui_Form1,
              private ExperimentHost,
              private PeriodSetupHost,
              private DopplerDisplay {
  Q_OBJECT

 public:
  Form1();

  void OnActivate() override;

 protected:
  void OnClosing() override;

 private:
  void Connect();

  void ReadBodyFields();
  void SetConventionalPeriodClick();  // Command13
  void StartExperimentClick();        // Command1
  void ResumeClick(int stopFlag);     // Command3, Command4
  void ReportCheckClick();            // Check5
  void ReportWindowClosed();
  // Theory panel.
  DopplerChoice Choice() const;
  GraphAbscissa Abscissa() const;
  void VariantClick(QCheckBox* clicked);
  bool DrawEmptyGraphFromField();  // Command14
  void TheoryCurveClick();         // Command12
  void TypedPointClick();          // Command15
  void PictureMouseDown(double x, double y);
  void ExperimentPointsClick();  // Command7
  void ByXClick();               // Command17
  void ByCoordinatesClick();     // Command18
  void PrintIntoReport(const std::string& text);

  // DopplerDisplay.
  void ShowRatio(double ratio, double shift) override;
  void ShowPositions(double X1, double X2, double Y1, double Y2, double R) override;
  void ShowMessage(const std::string& text) override;
  Canvas& ClearedValuesPicture() override;

  // The receiver's and the source's positions (never infinite: the engines
  // check them) in their read-only fields.
  void ShowBodies(double X1, double Y1, double X2, double Y2);
  // Runs the loop on the engine state and handles its return.
  void RunLoop();
  // The fields a run updates at every step or refresh are set only when
  // anybody can look at them (see ui::UiYield): setting a field lays its
  // text out, which costs more than the step.
  void ShowPending();
  struct RefreshFields {
    double X1, Y1, X2, Y2, t;
  };
  std::optional<int> pendingPeriod_;
  std::optional<double> pendingSight_;
  std::optional<RefreshFields> pendingRefresh_;

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
