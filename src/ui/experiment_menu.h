// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the user does with experiment files: open one, save a window's set-up
// or every open window's, go back to the defaults, open a shipped example —
// from the menu "Опыт" of each window with inputs, the command line and the
// driver alike.
#include <QString>
#include <vector>

namespace velmor::ui {

class Form;

// Shows every window the file holds with its set-up. A file that is refused,
// or a run going on, gives one message and changes nothing.
bool OpenExperiment(const QString& path);
// Writes the set-ups of the windows given; a name without an extension gets
// ".velmor". A failure gives one message and leaves any file there as it was.
bool SaveExperiment(const QString& path, const std::vector<const Form*>& forms);
// The same with every open window that keeps a set-up.
bool SaveAllWindows(const QString& path);
// "Значения по умолчанию": the window's declared state (refused during a run).
bool RestoreDefaults(Form& form);

struct Example {
  QString path;
  QString description;
  std::vector<int> windows;
};
// Where the shipped examples are: installed beside the program, or else in
// the source tree a development build was made from; "" when neither is.
QString ExamplesFolder();
// Every experiment file there whose header reads, by file name. Listing
// stays cheap for the windows' menus; opening one checks its set-ups.
std::vector<Example> Examples();

// The menu "Опыт" above the window's content (the window grows by its
// height); nothing for a window that keeps no set-up.
void AddExperimentMenu(Form* form);

}  // namespace velmor::ui
