// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_setup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

#include "ui/experiment_menu.h"
#include "velmor_version.h"

namespace velmor {

void SetApplicationIdentity(const QString& name) {
  QCoreApplication::setApplicationName(name);
  QCoreApplication::setApplicationVersion(QStringLiteral(VELMOR_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.velmor.velmor5"));
}

void SetUpApplication() {
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/org.velmor.velmor5.svg")));
  // The interface is Russian whatever the machine's language, so Qt's own
  // texts are too; without the translations package they stay English.
  auto* qt = new QTranslator(qApp);
  if (qt->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qt);
  } else {
    delete qt;
  }
}

void AnswerHelpAndVersion(QCommandLineParser& parser, int argc, char** argv) {
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  // Qt's own options (-platform …) are unknown here; the full parse after
  // the application object exists reports what is really wrong.
  parser.parse(args);
  const bool version = parser.isSet(QStringLiteral("version"));
  if (!version && !parser.isSet(QStringLiteral("help"))) return;
  // The help names the program from an application object; a plain one
  // needs no display.
  QCoreApplication plain(argc, argv);
  if (version) parser.showVersion();
  parser.showHelp(0);
}

void AddExperimentArguments(QCommandLineParser& parser) {
  parser.addPositionalArgument(QStringLiteral("file"),
                               QStringLiteral("Experiment files (.velmor) to open."),
                               QStringLiteral("[file...]"));
}

void OpenExperimentArguments(const QCommandLineParser& parser) {
  for (const QString& path : parser.positionalArguments()) ui::OpenExperiment(path);
}

}  // namespace velmor
