// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Experiment files (.velmor): the set-up of one or more windows, the text of
// every input field as typed and the state of every check box and option
// button, as a JSON document (docs/experiment-file.md). Everything read is
// checked against the windows' declarations before anything is applied.
#include <QByteArray>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "ui/form.h"

namespace velmor::ui {

// One window's inputs by control name: a field's text, or "1"/"0".
struct WindowSetUp {
  int number = 0;
  std::map<QString, QString> values;
};

struct Experiment {
  QString description;
  std::vector<WindowSetUp> windows;  // by window number, each once
};

// An input as its window declares it; an option button also names its frame,
// in which exactly one option is selected.
struct DeclaredInput {
  Form::Control control;
  QString frame;
};

std::vector<DeclaredInput> DeclaredInputsOf(const QWidget& root);

// The inputs of a window's declaration, built from its uic class on a bare
// widget: the window itself is not loaded, so nothing of it runs.
template <class Ui>
std::vector<DeclaredInput> DeclarationOf() {
  QWidget root;
  Ui declaration;
  declaration.setupUi(&root);
  return DeclaredInputsOf(root);
}

// The windows whose set-ups experiment files keep; each declaration is built
// once, on first use.
void DeclareExperimentWindow(int number, std::function<std::vector<DeclaredInput>()> declare);
// Null for a window that keeps no set-up.
const std::vector<DeclaredInput>* DeclaredInputs(int number);
std::vector<int> ExperimentWindowNumbers();
// Whether a window keeps a set-up, without building its declaration.
bool KeepsSetUp(int number);

inline constexpr qint64 kMaxExperimentBytes = 1 << 20;
inline constexpr int kMaxExperimentText = 200;
inline constexpr int kExperimentFormatVersion = 1;

QByteArray EncodeExperiment(const Experiment& experiment);

// The experiment, or why it is refused: a Russian phrase for the message.
struct Decoded {
  std::optional<Experiment> experiment;
  QString fault;
};
Decoded DecodeExperiment(const QByteArray& bytes);
// The same from a file (bounded in size before it is read); the fault is the
// whole message and names the file.
Decoded ReadExperimentFile(const QString& path);
// Only its description and the windows it names, the values unchecked and
// left out: what a list of files needs, without building every declaration.
Decoded ReadExperimentHeader(const QString& path);

// The file name as a message shows it, every hidden character made visible.
QString ShownFileName(const QString& path);
// Whether a name holds a control, format or line-separating character.
bool HasHiddenCharacters(const QString& text);

WindowSetUp CurrentSetUp(const Form& form);
// Every declared input back at its declared state, then those the set-up
// names: fields typed in, options selected, then check boxes clicked where
// they differ, so that what a click keeps in step (the report window) follows.
// Nothing starts a run.
void ApplySetUp(Form& form, const WindowSetUp& setUp);

}  // namespace velmor::ui
