// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form3, the medium window: the Doppler experiment with the signal running
// through layers of different optical density (a bundle of rays), the variant
// with the field of retarded potentials, the search for the period as the
// propagation time, the graph of the results, the reports and the data file.
#include <array>
#include <cstdint>

#include "medium/medium_graph.h"
#include "medium/medium_host.h"
#include "ui/form.h"
#include "ui/picture_box.h"
#include "ui_medium_window.h"

namespace velmor {

struct ExperimentData;

class Form3 : public ui::Form, public Ui_Form3, private MediumHost {
  Q_OBJECT

 public:
  Form3();

 private:
  void Connect();

  // A start of the experiment of `kind` (Command1, Command9).
  void StartClick(int kind);
  void SearchPeriodClick();          // Command13
  void DensityProfileClick();        // Command8
  void ContinueClick(bool oneStep);  // Command3, Command4
  void ClearPictureClick();          // Command5
  void SaveClick();                  // Command6
  void ObservedPointsClick();        // Command7
  void ComputedPointsClick();        // Command18
  void ReportCheckClick();           // Check5
  void PictureMouseDown(double x, double y);

  // Parsing stages; an InputFault (or an arithmetic fault) means bad input.
  void ParseBodies();
  void ParsePeriod();
  void ParseBundleShape();

  // The loop of the experiment of `kind`, and its report when ticked.
  void Run(int kind);
  // Draws the frame of the fields' values (Command14); false (message
  // shown) on bad input.
  bool DrawFrameFromFields();
  // The experiment to plot: the data file when ".txt" is ticked, else the
  // present state; nothing (message shown) when the file cannot be used.
  bool ExperimentToPlot(ExperimentData& out);
  PointAbscissa Abscissa() const;

  // MediumHost.
  bool AutoMode() const override { return Check1->isChecked(); }
  bool Drawing() const override { return drawing_; }
  bool Relativistic() const override { return Option6->isChecked(); }
  DensityLaw Law() const override;
  FieldDelay Delay() const override;
  bool SignalOnly() const override { return Check4->isChecked(); }
  void Show(Out field, double value) override;
  void ShowWhole(Out field, long long value) override;
  Canvas& Picture() override { return *Picture1; }
  bool Ask(const std::string& title, const std::string& text) override;
  bool Yield() override;

  // Writes the values a run showed since its fields were last looked at.
  void ShowPending();

  // Asked at every step of a run: kept as the buttons change.
  bool drawing_ = true;
  DensityLaw law_ = DensityLaw::FromTop;
  DensityLaw CheckedLaw() const;

  // The output fields in the order of Out.
  std::array<QLineEdit*, static_cast<int>(Out::Text44) + 1> outputs_{};
  // During a run a value shown is written into its field when the
  // interface looks, not at every step (its fault is raised at once).
  bool deferring_ = false;
  std::array<double, static_cast<int>(Out::Text44) + 1> pending_{};
  std::uint32_t pendingFields_ = 0;
  // Whole numbers waiting likewise; a field waits for one kind at most.
  std::array<long long, static_cast<int>(Out::Text44) + 1> pendingWhole_{};
  std::uint32_t wholeFields_ = 0;
  // The graph frame drawn last on Picture1, for the computed points.
  bool frameDrawn_ = false;
  GraphFrame frame_;
};

}  // namespace velmor
