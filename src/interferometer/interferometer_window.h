// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form8, the moving Michelson interferometer: set-up and accuracy presets,
// the ray-tracing runs, beam matching, the interference strips, the scheme
// picture and the segment report.
#include <chrono>
#include <memory>

#include "interferometer/interference.h"
#include "interferometer/interferometer_engine.h"
#include "interferometer/interferometer_scheme.h"
#include "ui/fields.h"
#include "ui/form.h"
#include "ui/picture_box.h"

class QScrollArea;

namespace velmor {

class Form8 : public ui::Form, private InterferometerHost, private InterferenceHost {
  Q_OBJECT

 public:
  Form8();
  ~Form8() override;

  ui::PictureBox* Picture1;  // the scheme
  // Interference strips Picture5..7 inside the frame pictures Picture2..4.
  ui::PictureBox *Picture2, *Picture3, *Picture4;
  ui::PictureBox *Picture5, *Picture6, *Picture7;
  QScrollBar *HScroll1, *HScroll2, *HScroll3;

  // Set-up inputs.
  QLineEdit *Text12, *Text11, *Text22, *Text50, *Text44, *Text18, *Text1, *Text2, *Text66;
  QLineEdit *Text67, *Text3, *Text9, *Text8, *Text4, *Text5, *Text6, *Text7, *Text30;
  QLineEdit *Text27, *Text28, *Text65, *Text40, *Text10, *Text19, *Text21, *Text64, *Text69;
  // Outputs.
  QLineEdit *Text20, *Text13, *Text15, *Text14, *Text16, *Text23, *Text25, *Text24, *Text26;
  QLineEdit *Text17, *Text47, *Text48, *Text31, *Text32, *Text33, *Text34, *Text35, *Text36;
  QLineEdit *Text37, *Text38, *Text51, *Text52, *Text61, *Text62, *Text60, *Text58, *Text71;
  QLineEdit* Text68;
  QLabel *Label2, *Label8;

  QGroupBox *Frame1, *Frame2, *Frame3, *Frame4;
  QRadioButton *Option1, *Option2, *Option8;    // set-up
  QRadioButton *Option4, *Option7;              // "Test", "Real"
  QRadioButton *Option3, *Option5, *Option6;    // Doppler
  QRadioButton *Option9, *Option10, *Option11;  // intensity
  QCheckBox *Check2, *Check8, *Check7, *Check4, *Check9, *Check10, *Check11, *Check5;
  QCheckBox *Check14, *Check15, *Check12, *Check13, *Check16, *Check6, *Check3, *Check17;
  QCheckBox *Check18, *Check1;
  QPushButton *Command7, *Command2, *Command3, *Command4, *Command8, *Command1, *Command5;
  QPushButton *Command6, *Command16;

  void StopAll() override;

  InterferometerEngine& Engine() { return engine_; }
  double DensityCoefficient() const { return K_; }
  int EngineKind() const { return kind_; }

 protected:
  void OnClosing() override;

 private:
  void BuildControls();
  void LayOut();
  void Connect();

  // Presets.
  void SetupPreset(int variant);
  void AccuracyPreset(bool real);
  int SchemeVariant() const;

  // Actions.
  void StartClick();           // Command7
  void ContinueClick();        // Command3
  void NC0StepsClick();        // Command4
  void MatchClick();           // Command8
  void ComputeInterference();  // Command1
  void ClearPictureClick();    // Command5
  void SaveClick();            // Command6
  void ReportCheckClick();     // Check5
  void MouseOnScheme(double x, double y);

  // Parses the inputs of Start; an InputFault when one does not parse.
  InterferometerSetup ReadSetup() const;
  // The engine loop and what follows it.
  void RunEngine();
  void WriteReport();
  bool ReadNC0(int& nc0);
  ui::PictureBox*& StripBox(int s);
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
  QScrollArea* scroll_ = nullptr;
  double K_ = 6e-5;
  int kind_ = 1;   // 1 beam splitter, 3 two mirrors, 4 interference
  int strip_ = 1;  // strip of the last interference
  std::chrono::steady_clock::time_point clock_{};
};

}  // namespace velmor
