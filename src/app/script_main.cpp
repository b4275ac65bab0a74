// SPDX-License-Identifier: GPL-3.0-or-later
// velmor5-script: the program's windows without a screen, driven by a script
// from a file or standard input.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "app/app_setup.h"
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
  velmor::SetApplicationIdentity(QStringLiteral("velmor5-script"));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Runs the windows of velmor5 without a screen, driven by a script (one command a line)."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("script"),
                               QStringLiteral("The script to run; standard input when left out."),
                               QStringLiteral("[script]"));
  velmor::AnswerHelpAndVersion(parser, argc, argv);

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Read before Qt's texts turn Russian: the command line speaks English.
  if (!parser.parse(app.arguments()) || parser.positionalArguments().size() > 1) {
    if (!parser.errorText().isEmpty()) {
      std::cerr << "velmor5-script: " << parser.errorText().toStdString() << "\n";
    }
    std::cerr << "usage: velmor5-script [script]\n";
    return 2;
  }
  velmor::SetUpApplication();
  velmor::ui::Messages::SetScripted(true);
  velmor::RegisterForms();
  velmor::ui::ScriptDriver driver(std::cout, std::cerr);
  velmor::ui::FormRegistry::Show(1);
  if (parser.positionalArguments().size() == 1) {
    // The name as the shell gave it: a name that is not valid UTF-8 would not
    // survive the way through QString.
    const QString arg = parser.positionalArguments().front();
    const char* path = nullptr;
    for (int i = argc - 1; i > 0 && !path; --i) {
      if (QString::fromLocal8Bit(argv[i]) == arg) path = argv[i];
    }
    std::ifstream file(path ? path : "");
    if (!file) {
      std::cerr << "velmor5-script: cannot read " << arg.toStdString() << "\n";
      return 2;
    }
    return driver.Run(file);
  }
  return driver.Run(std::cin);
}
