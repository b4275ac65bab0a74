// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What both programs set up before their first window.
#include <QString>

class QCommandLineParser;

namespace velmor {

// Name and version as --version prints them and the window system sees them
// (the desktop file's StartupWMClass is this name). Works before the
// application object exists.
void SetApplicationIdentity(const QString& name);

// The window icon of every window and Qt's own texts (message-box buttons,
// context menus of text fields) in Russian, like the rest of the interface.
// Needs the application object.
void SetUpApplication();

// --help and --version, answered before the application object exists so
// that they work without a display; they print and end the program.
void AnswerHelpAndVersion(QCommandLineParser& parser, int argc, char** argv);

// velmor5 FILE…: experiment files to open once the main window is there.
void AddExperimentArguments(QCommandLineParser& parser);
// Opens each in turn; a refused one is a message and the program goes on.
void OpenExperimentArguments(const QCommandLineParser& parser);

}  // namespace velmor
