// SPDX-License-Identifier: GPL-3.0-or-later
// Experiment files: every kind of bad file refused whole with one message,
// what the windows derive from their options following an opened file, the
// defaults, a run in progress, the shipped examples, the command line.
#include "ui/experiment_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/app_setup.h"
#include "interferometer/interferometer_presets.h"
#include "interferometer/interferometer_window.h"
#include "medium/medium_window.h"
#include "support/window_test_support.h"
#include "ui/experiment_menu.h"
#include "ui/form_registry.h"
#include "workbench/main_window.h"

namespace velmor {
namespace {

using testing::TakeMessage;

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray File(const char* windows, const char* more = "") {
  return QByteArray(R"({"format": "velmor5-experiment", "formatVersion": 1, )") + more +
         R"("windows": {)" + windows + "}}";
}

// The set-up of every window that keeps one and is open.
std::vector<std::map<QString, QString>> EveryOpenSetUp() {
  std::vector<std::map<QString, QString>> all;
  for (int n : ui::ExperimentWindowNumbers()) {
    if (const ui::Form* f = ui::FormRegistry::Find(n)) all.push_back(ui::CurrentSetUp(*f).values);
  }
  return all;
}

class ExperimentFiles : public testing::WindowTest<Form3, 3> {
 protected:
  // The constants every window computes with come from the main window.
  void BeforeOpening() override { ui::FormRegistry::Show(1); }
  testing::TemporaryWorkingFolder here;
};

TEST_F(ExperimentFiles, EveryBadFileIsOneMessageNamingItAndChangesNothing) {
  form->Text33->setText(QStringLiteral("0,007"));
  form->Option2->click();
  const auto before = EveryOpenSetUp();
  const QByteArray good = File(R"("Form3": {"Text33": "0,005", "Option1": true})");
  struct Case {
    QString name;
    QByteArray bytes;
    const char* why;
  };
  const Case cases[] = {
      {"picture.velmor", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "не текст"},
      {"empty.velmor", "", "файл пуст"},
      {"other.velmor", R"({"name": "a scene", "bodies": [1, 2]})", "не файл опыта"},
      {"newer.velmor",
       R"({"format": "velmor5-experiment", "formatVersion": 2, "windows": {}, "layers": []})",
       "более новой версией"},
      {"window.velmor", File(R"("Form3": {"Text33": "0,005"}, "Form7": {})"),
       "неизвестное окно «Form7»"},
      {"control.velmor", File(R"("Form3": {"Text99": "1"})"), "«Form3.Text99»"},
      {"check.velmor", File(R"("Form3": {"Check1": "да"})"), "«Form3.Check1» — флажок"},
      {"field.velmor", File(R"("Form3": {"Text33": 0.005})"), "«Form3.Text33» — поле"},
      {"truncated.velmor", good.left(good.size() / 2), "обрезан"},
      {"long.velmor", File(QByteArray(R"("Form3": {"Text33": ")" + QByteArray(10000, '7') + "\"}")),
       "длиннее 200 знаков"},
      {"control-char.velmor", File(R"("Form3": {"Text33": "0,0\u00005"})"), "управляющие знаки"},
      {"key.velmor", File(R"("Form3": {})", R"("camera": "left", )"), "неизвестный ключ «camera»"},
      {"two-options.velmor", File(R"("Form3": {"Option1": true, "Option2": true})"),
       "выбраны сразу"},
      {"no-option.velmor", File(R"("Form3": {"Option3": false})"), "не выбран ни один"},
      {"no-window.velmor", File(""), "нет ни одного окна"},
      // The interferometer's part is good: it is not opened either.
      {"half.velmor", File(R"("Form8": {"Text33": "1"}, "Form3": {"Check1": 1})"), "флажок"},
  };
  for (const Case& c : cases) {
    Write(c.name, c.bytes);
    EXPECT_FALSE(ui::OpenExperiment(c.name)) << c.name.toStdString();
    const std::string message = TakeMessage();
    EXPECT_NE(message.find("«" + c.name.toStdString() + "»"), std::string::npos) << message;
    EXPECT_NE(message.find(c.why), std::string::npos) << message;
    EXPECT_EQ(EveryOpenSetUp(), before) << c.name.toStdString();
  }
  EXPECT_EQ(ui::FormRegistry::Find(8), nullptr);

  // A sparse file over the bound is refused before it is read.
  QFile big(QStringLiteral("big.velmor"));
  ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(50 << 20));
  big.close();
  QDir().mkdir(QStringLiteral("folder.velmor"));
  Write(QStringLiteral("line\nbreak.velmor"), good);
  Write(QStringLiteral("locked.velmor"), good);
  QFile::setPermissions(QStringLiteral("locked.velmor"), QFileDevice::Permissions{});
  const std::pair<QString, const char*> places[] = {
      {"big.velmor", "больше 1024 КБ"},
      {"folder.velmor", "это папка"},
      {"missing.velmor", "не найден"},
      {"line\nbreak.velmor",
       "«line\xEF\xBF\xBD"
       "break.velmor»:\nв имени файла"},
      {"locked.velmor", "нет доступа"},
  };
  for (const auto& [name, why] : places) {
    // Permissions do not hold for the superuser.
    if (name == QStringLiteral("locked.velmor") && ::geteuid() == 0) continue;
    EXPECT_FALSE(ui::OpenExperiment(name));
    const std::string message = TakeMessage();
    EXPECT_NE(message.find(why), std::string::npos) << message;
    EXPECT_EQ(EveryOpenSetUp(), before);
  }
}

// The interferometer derives its labels, the refraction box and the density
// coefficient from its options; opened without their clicks, they follow.
TEST_F(ExperimentFiles, OpenedOptionsBringWhatTheWindowDerivesFromThem) {
  Write(QStringLiteral("real.velmor"), File(R"("Form8": {"Option8": true, "Option7": true})"));
  ASSERT_TRUE(ui::OpenExperiment(QStringLiteral("real.velmor")));
  EXPECT_EQ(TakeMessage(), "");
  auto* f8 = static_cast<Form8*>(ui::FormRegistry::Find(8));
  ASSERT_NE(f8, nullptr);
  EXPECT_TRUE(f8->Option8->isChecked() && !f8->Option1->isChecked());
  EXPECT_EQ(f8->Label2->text(), QStringLiteral("X2"));
  EXPECT_FALSE(f8->Check8->isEnabled());
  EXPECT_EQ(f8->DensityCoefficient(), RealPreset().K);
  // Back to the defaults: one option per frame again, as declared.
  ASSERT_TRUE(ui::RestoreDefaults(*f8));
  EXPECT_TRUE(f8->Option1->isChecked() && !f8->Option8->isChecked());
  EXPECT_EQ(f8->Label2->text(), QStringLiteral("Y2"));
  EXPECT_TRUE(f8->Check8->isEnabled());
  EXPECT_EQ(f8->DensityCoefficient(), TestPreset().K);
}

// The report box follows the file as a click would: its window opens.
TEST_F(ExperimentFiles, DefaultsAndFilesSetTheWholeWindowAndTheReportWindowFollows) {
  form->Text33->setText(QStringLiteral("0,007"));
  form->Option2->click();
  form->Check5->click();
  ASSERT_NE(ui::FormRegistry::Find(4), nullptr);
  ASSERT_TRUE(ui::RestoreDefaults(*form));
  EXPECT_EQ(ui::CurrentSetUp(*form).values.at("Text33"), QStringLiteral("0,00"));
  EXPECT_TRUE(form->Option3->isChecked() && !form->Option2->isChecked());
  EXPECT_EQ(ui::FormRegistry::Find(4), nullptr);
  // A file names only what differs; the rest is at its default.
  form->Text1->setText(QStringLiteral("7"));
  Write(QStringLiteral("report.velmor"), File(R"("Form3": {"Check5": true, "Text33": "0,005"})"));
  ASSERT_TRUE(ui::OpenExperiment(QStringLiteral("report.velmor")));
  EXPECT_EQ(form->Text1->text(), QStringLiteral("100"));
  EXPECT_EQ(form->Text33->text(), QStringLiteral("0,005"));
  EXPECT_NE(ui::FormRegistry::Find(4), nullptr);
  EXPECT_EQ(TakeMessage(), "");
}

TEST_F(ExperimentFiles, RefusedWhileARunGoesOn) {
  Write(QStringLiteral("kp.velmor"), File(R"("Form3": {"Text33": "0,005"})"));
  bool opened = true;
  bool reset = true;
  testing::AtYield(100, [&] {
    opened = ui::OpenExperiment(QStringLiteral("kp.velmor"));
    reset = ui::RestoreDefaults(*form);
    form->Command2->click();
  });
  form->Text1->setText(QStringLiteral("90"));
  form->Command1->click();
  EXPECT_FALSE(opened);
  EXPECT_FALSE(reset);
  const auto texts = testing::TakeMessageTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[0].find("Идет расчет"), std::string::npos);
  EXPECT_EQ(form->Text33->text(), QStringLiteral("0,00"));
  EXPECT_EQ(form->Text1->text(), QStringLiteral("90"));
}

TEST_F(ExperimentFiles, SavingRefusesWhatCouldNotBeOpenedAndKeepsTheOldFile) {
  Write(QStringLiteral("kept.velmor"), "old");
  form->Text33->setText(QString(300, QChar('5')));
  EXPECT_FALSE(ui::SaveExperiment(QStringLiteral("kept.velmor"), {form}));
  EXPECT_NE(TakeMessage().find("длиннее 200 знаков"), std::string::npos);
  QFile kept(QStringLiteral("kept.velmor"));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("old"));
  form->Text33->setText(QStringLiteral("0,005"));
  EXPECT_FALSE(ui::SaveExperiment(QStringLiteral("a\nb"), {form}));
  EXPECT_NE(TakeMessage().find("управляющие знаки"), std::string::npos);
  QDir().mkdir(QStringLiteral("folder.velmor"));
  EXPECT_FALSE(ui::SaveExperiment(QStringLiteral("folder.velmor"), {form}));
  EXPECT_NE(TakeMessage().find("не записан"), std::string::npos);
  EXPECT_EQ(QDir().entryList(QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("kept.velmor")});
}

// Every file shipped in examples/ opens without a word and lists a window.
TEST_F(ExperimentFiles, EveryShippedExampleOpens) {
  const QString folder = ui::ExamplesFolder();
  ASSERT_FALSE(folder.isEmpty());
  const auto shipped = QDir(folder).entryList({QStringLiteral("*.velmor")}, QDir::Files);
  const auto examples = ui::Examples();
  ASSERT_GE(examples.size(), 5u);
  ASSERT_EQ(examples.size(), static_cast<std::size_t>(shipped.size()));
  for (const ui::Example& e : examples) {
    EXPECT_FALSE(e.description.endsWith(QStringLiteral(".velmor"))) << e.path.toStdString();
    EXPECT_TRUE(ui::OpenExperiment(e.path));
    EXPECT_EQ(TakeMessage(), "") << e.path.toStdString();
  }
  // The medium window's "Примеры" lists its own, and one opens from there.
  testing::CloseWindows({3});
  auto* f3 = static_cast<Form3*>(ui::FormRegistry::Show(3));
  QMenu* listed = nullptr;
  for (QMenu* m : f3->findChildren<QMenu*>()) {
    if (m->title() == QStringLiteral("Примеры")) listed = m;
  }
  ASSERT_NE(listed, nullptr);
  QAction* layered = nullptr;
  for (QAction* a : listed->actions()) {
    if (a->text() == QStringLiteral("лучи в слоистой среде (Kp = 0,005)")) layered = a;
  }
  ASSERT_NE(layered, nullptr);
  EXPECT_LT(listed->actions().size(), static_cast<int>(examples.size()));
  layered->trigger();
  EXPECT_EQ(f3->Text33->text(), QStringLiteral("0,005"));
}

// Ctrl+O and Ctrl+Shift+S reach the menu of the active window: each asks for
// a file (the dialog is dismissed) and nothing else happens.
TEST_F(ExperimentFiles, KeysOfTheMenuAskForAFile) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* title;
  } keys[] = {{Qt::Key_O, Qt::ControlModifier, "Открыть опыт"},
              {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, "Сохранить опыт"}};
  for (const auto& k : keys) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QString asked;
    QTimer::singleShot(0, [&] {
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        asked = dialog->windowTitle();
        dialog->reject();
      }
    });
    QTest::keyClick(form, k.key, k.modifiers);
    EXPECT_EQ(asked, QString::fromUtf8(k.title));
  }
  EXPECT_EQ(TakeMessage(), "");
  EXPECT_TRUE(QDir().entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ExperimentFiles, TheCommandLineOpensItsFiles) {
  Write(QStringLiteral("kp.velmor"), File(R"("Form3": {"Text33": "0,005"})"));
  testing::CloseWindows({3});
  QCommandLineParser parser;
  AddExperimentArguments(parser);
  ASSERT_TRUE(parser.parse({QStringLiteral("velmor5"), QStringLiteral("kp.velmor")}));
  OpenExperimentArguments(parser);
  auto* f3 = static_cast<Form3*>(ui::FormRegistry::Find(3));
  ASSERT_NE(f3, nullptr);
  EXPECT_EQ(f3->Text33->text(), QStringLiteral("0,005"));
}

}  // namespace
}  // namespace velmor
