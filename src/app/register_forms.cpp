// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/register_forms.h"

#include "calculator/calculator_window.h"
#include "frames/frame_window.h"
#include "frames/scheme_window.h"
#include "interferometer/interferometer_window.h"
#include "medium/medium_window.h"
#include "reports/help_window.h"
#include "reports/report_window.h"
#include "ui/experiment_file.h"
#include "ui/form_registry.h"
#include "workbench/main_window.h"

namespace velmor {

void RegisterForms() {
  using ui::FormRegistry;
  FormRegistry::Register(1, [] { return new Form1; });
  FormRegistry::Register(2, [] { return new Form2; });
  FormRegistry::Register(3, [] { return new Form3; });
  FormRegistry::Register(4, [] { return new Form4; });
  FormRegistry::Register(5, [] { return new Form5; });
  FormRegistry::Register(6, [] { return new Form6; });
  FormRegistry::Register(7, [] { return new Form7; });
  FormRegistry::Register(8, [] { return new Form8; });
  FormRegistry::Register(9, [] { return new Form9; });
  // The windows with inputs keep their set-ups in experiment files.
  ui::DeclareExperimentWindow(1, ui::DeclarationOf<Ui_Form1>);
  ui::DeclareExperimentWindow(3, ui::DeclarationOf<Ui_Form3>);
  ui::DeclareExperimentWindow(5, ui::DeclarationOf<Ui_Form5>);
  ui::DeclareExperimentWindow(6, ui::DeclarationOf<Ui_Form6>);
  ui::DeclareExperimentWindow(8, ui::DeclarationOf<Ui_Form8>);
}

}  // namespace velmor
