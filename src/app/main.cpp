// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCommandLineParser>

#include "app/app_setup.h"
#include "app/register_forms.h"
#include "ui/form_registry.h"

int main(int argc, char** argv) {
  velmor::SetApplicationIdentity(QStringLiteral("velmor5"));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Computational experiments on the classical and relativistic Doppler effect."));
  parser.addHelpOption();
  parser.addVersionOption();
  velmor::AddExperimentArguments(parser);
  velmor::AnswerHelpAndVersion(parser, argc, argv);

  QApplication app(argc, argv);
  parser.process(app);
  velmor::SetUpApplication();
  app.setQuitOnLastWindowClosed(true);
  velmor::RegisterForms();
  velmor::ui::FormRegistry::Show(1);
  velmor::OpenExperimentArguments(parser);
  return app.exec();
}
