// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form8, the moving Michelson interferometer: set-up and accuracy presets,
// the ray-tracing runs, beam matching, the interference strips, the scheme
// picture and the segment report.
#include <chrono>

#include "interferometer/interference.h"
#include "interferometer/interferometer_engine.h"
#include "interferometer/interferometer_scheme.h"
#include "ui/fields.h"
#include "ui/form.h"
#include "ui/picture_box.h"
#include "ui_interferometer_window.h"

namespace velmor {

class Form8 : public ui::Form,
              public Ui_Form8,
              private InterferometerHost,
              private InterferenceHost {
  Q_OBJECT

 public:
  Form8();
  ~Form8() override;

  void StopAll() override;
  void RefreshFromControls() override;

  InterferometerEngine& Engine() { return engine_; }
  double DensityCoefficient() const { return K_; }
  int EngineKind() const { return kind_; }

 protected:
  void OnClosing() override;

 private:
  void Connect();

  // Presets.
  void SetupPreset(int variant);
  void ShowSchemeVariant(bool three);
  void AccuracyPreset(bool real);
  int SchemeVariant() const;

  // Actions.
  void StartClick();               // Command7
  void ContinueClick(bool batch);  // Command3, or Command4 for one batch
  void MatchClick();               // Command8
  void ComputeInterference();      // Command1
  void ClearPictureClick();        // Command5
  void SaveClick();                // Command6
  void ReportCheckClick();         // Check5
  void MouseOnScheme(double x, double y);

  // The fields of the set-up the scheme draws, then the rest of Start's; an
  // InputFault when one does not parse.
  void ReadPlacement(InterferometerSetup& s) const;
  InterferometerSetup ReadSetup() const;
  int ReadNC0() const;
  // The engine loop and what follows it.
  void RunEngine();
  void WriteReport();
  // The strip `s` (1..3) inside its frame picture, with the frame's scroll bar.
  struct StripView {
    ui::PictureBox*& strip;
    ui::PictureBox* frame;
    QScrollBar* bar;
  };
  StripView StripOf(int s);
  void ShowStrips(bool shown);
  void ShowStrip(int s, int widthPx);

  // InterferometerHost.
  EngineOptions Options() const override;
  Canvas& Scheme() override;
  bool Yield() override;
  void Refresh() override;
  // InterferenceHost.
  InterferenceOptions LiveOptions() const override;
  Canvas& Strip(int s) override;
  void ShowRefresh(double shift, double T, double energy, bool energyOn) override;

  double ElapsedMinutes() const;

  InterferometerEngine engine_;
  SchemeMemory memory_;
  ui::RunLock lock_;
  double K_ = 6e-5;
  int kind_ = 1;   // 1 beam splitter, 3 two mirrors, 4 interference
  int strip_ = 1;  // strip of the last interference
  std::chrono::steady_clock::time_point clock_{};
};

}  // namespace velmor
