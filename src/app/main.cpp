// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "app/register_forms.h"
#include "ui/form_registry.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(true);
  velmor::RegisterForms();
  velmor::ui::FormRegistry::Show(1);
  return app.exec();
}
