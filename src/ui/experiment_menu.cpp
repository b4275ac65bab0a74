// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/experiment_menu.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <functional>

#include "shared/safe_file.h"
#include "ui/experiment_file.h"
#include "ui/form.h"
#include "ui/form_registry.h"
#include "ui/messages.h"

namespace velmor::ui {

namespace {

constexpr char kDuringRun[] =
    "Идет расчет. Остановите его, прежде чем открывать опыт или возвращать значения по "
    "умолчанию.";
constexpr char kFilter[] = "Опыты Velmor5 (*.velmor);;Все файлы (*)";
// Taller windows than this would not fit the smallest screen we support.
constexpr int kScreenHeight = 768;

bool RefusedDuringRun() {
  if (!Form::AnyBusy()) return false;
  Messages::Error(kDuringRun);
  return true;
}

QString WithExperimentSuffix(const QString& path) {
  return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".velmor") : path;
}

void Add(QMenu* menu, Form* form, const char* text, const QKeySequence& keys,
         std::function<void()> action) {
  QAction* a = menu->addAction(QString::fromUtf8(text));
  a->setShortcut(keys);
  QObject::connect(a, &QAction::triggered, form, std::move(action));
}

QString AskSavePath(Form* form, const char* title) {
  return QFileDialog::getSaveFileName(form, QString::fromUtf8(title), QString(),
                                      QString::fromUtf8(kFilter));
}

}  // namespace

bool OpenExperiment(const QString& path) {
  if (RefusedDuringRun()) return false;
  const Decoded d = ReadExperimentFile(path);
  if (!d.experiment) {
    Messages::Error(d.fault.toStdString());
    return false;
  }
  for (const WindowSetUp& s : d.experiment->windows) {
    if (Form* f = FormRegistry::Show(s.number)) ApplySetUp(*f, s);
  }
  return true;
}

bool SaveExperiment(const QString& typed, const std::vector<const Form*>& forms) {
  const QString path = WithExperimentSuffix(typed);
  const auto fail = [&](const QString& why) {
    Messages::Error(QStringLiteral("Не удалось сохранить опыт «%1»:\n%2")
                        .arg(ShownFileName(path), why)
                        .toStdString());
    return false;
  };
  if (HasHiddenCharacters(QFileInfo(path).fileName())) {
    return fail(QStringLiteral("в имени файла есть управляющие знаки"));
  }
  Experiment e;
  for (const Form* f : forms) {
    if (f && DeclaredInputs(f->Number())) e.windows.push_back(CurrentSetUp(*f));
  }
  if (e.windows.empty()) return fail(QStringLiteral("нет открытых окон с данными опыта"));
  const QByteArray bytes = EncodeExperiment(e);
  // A file that would be refused on opening is not written.
  const Decoded check = DecodeExperiment(bytes);
  if (!check.experiment) return fail(check.fault);
  if (!WriteFileReplacing(QFile::encodeName(path).toStdString(),
                          std::string_view(bytes.constData(), bytes.size()))) {
    return fail(QStringLiteral("файл не записан (нет доступа или места); прежний файл не изменен"));
  }
  return true;
}

bool SaveAllWindows(const QString& path) {
  std::vector<const Form*> forms;
  for (int n : ExperimentWindowNumbers()) forms.push_back(FormRegistry::Find(n));
  return SaveExperiment(path, forms);
}

bool RestoreDefaults(Form& form) {
  if (RefusedDuringRun()) return false;
  ApplySetUp(form, {form.Number(), {}});
  return true;
}

QString ExamplesFolder() {
  const QString installed =
      QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                          .filePath(QString::fromUtf8(VELMOR_EXAMPLES_FROM_BINARY)));
  if (QFileInfo(installed).isDir()) return installed;
#ifdef VELMOR_EXAMPLES_SOURCE_DIR
  if (QFileInfo(QString::fromUtf8(VELMOR_EXAMPLES_SOURCE_DIR)).isDir()) {
    return QString::fromUtf8(VELMOR_EXAMPLES_SOURCE_DIR);
  }
#endif
  return {};
}

std::vector<Example> Examples() {
  std::vector<Example> examples;
  const QString folder = ExamplesFolder();
  if (folder.isEmpty()) return examples;
  const QDir dir(folder);
  for (const QString& name :
       dir.entryList({QStringLiteral("*.velmor")}, QDir::Files | QDir::Readable, QDir::Name)) {
    const QString path = dir.filePath(name);
    const Decoded d = ReadExperimentHeader(path);
    if (!d.experiment) continue;
    Example e{path, d.experiment->description.isEmpty() ? name : d.experiment->description, {}};
    for (const WindowSetUp& s : d.experiment->windows) e.windows.push_back(s.number);
    examples.push_back(std::move(e));
  }
  return examples;
}

void AddExperimentMenu(Form* form) {
  if (!KeepsSetUp(form->Number()) || !form->layout()) return;
  auto* bar = new QMenuBar(form);
  bar->setObjectName(QStringLiteral("experimentMenu"));
  QMenu* menu = bar->addMenu(QStringLiteral("Опыт"));
  Add(menu, form, "Открыть опыт…", QKeySequence(Qt::CTRL | Qt::Key_O), [form] {
    const QString path = QFileDialog::getOpenFileName(form, QStringLiteral("Открыть опыт"),
                                                      QString(), QString::fromUtf8(kFilter));
    if (!path.isEmpty()) OpenExperiment(path);
  });
  Add(menu, form, "Сохранить опыт…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [form] {
    const QString path = AskSavePath(form, "Сохранить опыт");
    if (!path.isEmpty()) SaveExperiment(path, {form});
  });
  if (form->Number() == 1) {
    Add(menu, form, "Сохранить все окна…", {}, [form] {
      const QString path = AskSavePath(form, "Сохранить все окна");
      if (!path.isEmpty()) SaveAllWindows(path);
    });
  }
  Add(menu, form, "Значения по умолчанию", {}, [form] { RestoreDefaults(*form); });
  QMenu* examples = menu->addMenu(QStringLiteral("Примеры"));
  for (const Example& e : Examples()) {
    if (std::find(e.windows.begin(), e.windows.end(), form->Number()) == e.windows.end()) continue;
    QAction* a = examples->addAction(e.description);
    a->setToolTip(QFileInfo(e.path).fileName());
    QObject::connect(a, &QAction::triggered, form, [path = e.path] { OpenExperiment(path); });
  }
  examples->setToolTipsVisible(true);
  examples->setEnabled(!examples->isEmpty());
  // The content keeps its size: a window already sized grows by the bar.
  const bool sized = form->testAttribute(Qt::WA_Resized);
  form->layout()->setMenuBar(bar);
  if (sized) {
    const int h = form->height();
    form->resize(form->width(), std::min(h + bar->sizeHint().height(), std::max(h, kScreenHeight)));
  }
}

}  // namespace velmor::ui
