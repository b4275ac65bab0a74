// SPDX-License-Identifier: GPL-3.0-or-later
// velmor5-script: the program's windows without a screen, driven by a script
// from a file or standard input.
#include <QApplication>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "app/register_forms.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/script_driver.h"

namespace {

// The offscreen platform reports what it cannot do (raise a window, size
// hints) on every show; that is noise in a script's output.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& msg) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (msg.startsWith(QStringLiteral("This plugin does not support")) ||
      msg.startsWith(QStringLiteral("QStandardPaths:"))) {
    return;
  }
  std::cerr << msg.toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(QuietMessages);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  velmor::ui::Messages::SetScripted(true);
  velmor::RegisterForms();
  velmor::ui::ScriptDriver driver(std::cout, std::cerr);
  velmor::ui::FormRegistry::Show(1);
  if (argc > 2) {
    std::cerr << "usage: velmor5-script [script]\n";
    return 2;
  }
  if (argc == 2) {
    std::ifstream file(argv[1]);
    if (!file) {
      std::cerr << "velmor5-script: cannot read " << argv[1] << "\n";
      return 2;
    }
    return driver.Run(file);
  }
  return driver.Run(std::cin);
}
