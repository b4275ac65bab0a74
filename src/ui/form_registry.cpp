// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/form_registry.h"

#include <QApplication>
#include <QPointer>
#include <array>

#include "shared/shared_pool.h"
#include "ui/experiment_menu.h"
#include "ui/form.h"
#include "ui/ui_yield.h"

namespace velmor::ui {

namespace {

struct RegistryState {
  std::array<FormRegistry::Factory, FormRegistry::kForms + 1> factories;
  std::array<QPointer<Form>, FormRegistry::kForms + 1> forms;
  QPointer<Form> lastActive;
  bool closingAll = false;
};

// Not a function's static: every step of a run asks whether any form is
// open, and would test its guard at each.
RegistryState registry;

RegistryState& State() {
  return registry;
}

bool ValidNumber(int n) {
  return n >= 1 && n <= FormRegistry::kForms;
}

}  // namespace

void FormRegistry::Register(int number, Factory factory) {
  if (ValidNumber(number)) State().factories[number] = std::move(factory);
}

Form* FormRegistry::Find(int number) {
  if (!ValidNumber(number)) return nullptr;
  Form* f = State().forms[number];
  return f && !f->Closing() ? f : nullptr;
}

Form* FormRegistry::Load(int number) {
  if (!ValidNumber(number)) return nullptr;
  if (Form* f = Find(number)) return f;
  RegistryState& s = State();
  if (!s.factories[number]) return nullptr;
  // A window opened again after "Выход" starts a new session of the program.
  if (Quitting() && !AnyOpen()) SetQuitting(false);
  Form* f = s.factories[number]();
  f->AddConveniences();
  AddExperimentMenu(f);
  s.forms[number] = f;
  ++changes_;
  return f;
}

Form* FormRegistry::Show(int number) {
  Form* f = Load(number);
  if (!f) return nullptr;
  f->show();
  f->raise();
  f->activateWindow();
  Activated(f);
  return f;
}

void FormRegistry::Activated(Form* form) {
  RegistryState& s = State();
  if (s.lastActive == form) return;
  s.lastActive = form;
  form->OnActivate();
}

void FormRegistry::CloseAll() {
  RegistryState& s = State();
  if (s.closingAll) return;
  s.closingAll = true;
  SetQuitting(true);
  Pool().StopFlag = 1;
  for (int n = 1; n <= kForms; ++n) {
    if (Form* f = Find(n)) f->StopAll();
  }
  for (int n = 1; n <= kForms; ++n) {
    if (Form* f = Find(n)) f->close();
  }
  s.closingAll = false;
  QApplication::quit();
}

bool FormRegistry::CountOpen() {
  anyOpen_ = false;
  for (const QPointer<Form>& form : State().forms) {
    const Form* f = form.data();
    if (f && !f->Closing()) anyOpen_ = true;
  }
  countedAt_ = changes_;
  return anyOpen_;
}

void FormRegistry::Forget(Form* form) {
  RegistryState& s = State();
  for (auto& f : s.forms) {
    if (f == form) f = nullptr;
  }
  if (s.lastActive == form) s.lastActive = nullptr;
  ++changes_;
}

}  // namespace velmor::ui
