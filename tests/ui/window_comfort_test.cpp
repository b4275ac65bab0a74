// SPDX-License-Identifier: GPL-3.0-or-later
// The windows on a desk: smaller screens, pages that scroll, help at hand,
// numbers that are not cut, notes instead of silence.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QWheelEvent>
#include <cmath>

#include "interferometer/interferometer_window.h"
#include "medium/medium_window.h"
#include "reports/help_window.h"
#include "reports/report_window.h"
#include "shared/numbers.h"
#include "support/window_test_support.h"
#include "ui/fields.h"
#include "ui/form_registry.h"
#include "ui/notice.h"
#include "ui/picture_file.h"
#include "workbench/main_window.h"

namespace velmor {
namespace {

using ui::FormRegistry;

class WindowComfortTest : public testing::WindowTest<Form1, 1> {
 protected:
  void SetUp() override {
    testing::WindowTest<Form1, 1>::SetUp();
    ui::TakeNotices();
  }
  // A run of the main window that the stop button ends after a few yields.
  void ShortRun() {
    testing::AtYield(30, [this] { form->Command2->click(); });
    form->Command1->click();
  }
};

TEST_F(WindowComfortTest, ReportPageScrollsByWheelAndKeysAndEachRunStartsAtItsTop) {
  form->Check5->click();
  form->Command13->click();
  ShortRun();
  Form4* report = Form4::Get();
  QScrollBar* bar = report->vsbScroll;
  ASSERT_EQ(bar->value(), 0);
  QWheelEvent down(QPointF(100, 100), report->picMain->mapToGlobal(QPointF(100, 100)), QPoint(),
                   QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(report->picMain, &down);
  EXPECT_GT(bar->value(), 0);
  EXPECT_EQ(report->picMain->y(), -bar->value());
  report->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(report));
  const int wheeled = bar->value();
  QTest::keyClick(report, Qt::Key_PageDown);
  EXPECT_EQ(bar->value(), wheeled + bar->pageStep());
  QTest::keyClick(report, Qt::Key_End);
  EXPECT_EQ(bar->value(), bar->maximum());
  QTest::keyClick(report, Qt::Key_Home);
  EXPECT_EQ(bar->value(), 0);
  QTest::keyClick(report, Qt::Key_End);
  ShortRun();
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(report->picMain->y(), 0);
}

TEST_F(WindowComfortTest, HelpTextGrowsWithItsWindowAndRefusesTyping) {
  form->Command8->click();
  auto* help = static_cast<Form2*>(FormRegistry::Find(2));
  ASSERT_NE(help, nullptr);
  const QString text = help->Text1->toPlainText();
  const QSize before = help->Text1->size();
  help->resize(help->size() + QSize(300, 200));
  EXPECT_EQ(help->Text1->size(), before + QSize(300, 200));
  help->Text1->setFocus();
  QTest::keyClicks(help->Text1, "abc");
  QTest::keyClick(help->Text1, Qt::Key_Backspace);
  EXPECT_EQ(help->Text1->toPlainText(), text);
}

TEST_F(WindowComfortTest, F1OpensTheHelpAtTheWindowsOwnSection) {
  auto* medium = static_cast<Form3*>(FormRegistry::Show(3));
  ASSERT_TRUE(QTest::qWaitForWindowActive(medium));
  QTest::keyClick(medium, Qt::Key_F1);
  auto* help = static_cast<Form2*>(FormRegistry::Find(2));
  ASSERT_NE(help, nullptr);
  const QTextBlock top = help->Text1->cursorForPosition(QPoint(0, 0)).block();
  EXPECT_EQ(top.text().trimmed(), QStringLiteral("ФОРМА 3"));
}

// The window shrinks below its layout: scroll bars, and every picture as it was.
TEST_F(WindowComfortTest, WindowSmallerThanItsContentScrolls) {
  const QSize picture = form->Picture1->size();
  form->resize(640, 360);
  QCoreApplication::processEvents();
  EXPECT_EQ(form->size(), QSize(640, 360));
  auto* area = form->findChild<QScrollArea*>();
  ASSERT_NE(area, nullptr);
  EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
  EXPECT_TRUE(area->verticalScrollBar()->isVisible());
  EXPECT_EQ(form->Picture1->size(), picture);
  // The bottom row is reachable.
  area->ensureWidgetVisible(form->Command16);
  EXPECT_GT(area->verticalScrollBar()->value(), 0);
}

// The interference strips appear below the fields: the content grows at
// once, nothing squeezed under the strips' scroll bars.
TEST_F(WindowComfortTest, ContentGrowsAtOnceWhenMoreOfItIsShown) {
  auto* interferometer = static_cast<Form8*>(FormRegistry::Show(8));
  QCoreApplication::processEvents();
  const int row = interferometer->Text12->height();
  const int checks = interferometer->Check5->mapTo(interferometer->panel, QPoint()).y();
  interferometer->Option4->click();
  interferometer->Text10->setText("1");
  interferometer->Check1->setChecked(true);  // one step of the animation
  interferometer->Command1->click();
  ASSERT_TRUE(interferometer->Picture2->isVisibleTo(interferometer));
  EXPECT_EQ(interferometer->Text12->height(), row);
  EXPECT_EQ(interferometer->Check5->mapTo(interferometer->panel, QPoint()).y(), checks);
  EXPECT_GE(interferometer->panel->height(), interferometer->panel->minimumSizeHint().height());
}

TEST_F(WindowComfortTest, NumberTooLongForItsFieldKeepsItsExponent) {
  auto* interferometer = static_cast<Form8*>(FormRegistry::Show(8));
  const QLineEdit* vx1 = interferometer->Text23;
  const QString full = vx1->text();
  ASSERT_TRUE(full.contains(QStringLiteral("E-")));
  const QString shown = ui::ShownText(vx1);
  EXPECT_NE(shown, full);
  EXPECT_EQ(shown.mid(shown.indexOf('E')), full.mid(full.indexOf('E')));
  // Rounded, not cut: the same number to the digits shown.
  const auto value = ParseNumber(shown.toStdString());
  ASSERT_TRUE(value);
  EXPECT_NEAR(*value, testing::Number(vx1), std::abs(testing::Number(vx1)) * 1e-5);
  EXPECT_EQ(vx1->toolTip(), full);
  // A number that fits is shown as it is, with no tooltip.
  EXPECT_EQ(ui::ShownText(interferometer->Text12), interferometer->Text12->text());
  EXPECT_TRUE(interferometer->Text12->toolTip().isEmpty());
  // Given room, or another number, it shows what it now can, not what it
  // showed before.
  interferometer->Text23->setFixedWidth(interferometer->Text23->width() * 4);
  EXPECT_EQ(ui::ShownText(vx1), full);
  interferometer->Text23->setFixedWidth(interferometer->Text23->width() / 4);
  EXPECT_EQ(ui::ShownText(vx1), shown);
  interferometer->Text23->setText(QStringLiteral("1,5"));
  EXPECT_EQ(ui::ShownText(vx1), QStringLiteral("1,5"));
}

TEST_F(WindowComfortTest, SavedPictureSaysWhereItWent) {
  testing::TemporaryWorkingFolder here;
  form->Command6->click();
  const std::string path = QDir::current().absoluteFilePath("Velmor1.bmp").toStdString();
  EXPECT_EQ(ui::TakeNotices(), std::vector<std::string>{"Form1|Сохранено: " + path});
  EXPECT_EQ(testing::TakeMessage(), "");
}

TEST_F(WindowComfortTest, RunThatEndsByItselfMarksTheCaption) {
  auto* interferometer = static_cast<Form8*>(FormRegistry::Show(8));
  const QString caption = interferometer->windowTitle();
  interferometer->Option4->click();
  interferometer->Command7->click();
  EXPECT_EQ(interferometer->windowTitle(), caption + QStringLiteral("   — расчет закончен"));
  // The next run clears it; a run the user stops, or asked a stretch of
  // steps of, is not marked.
  testing::AtYield(20, [interferometer] { interferometer->Command2->click(); });
  interferometer->Command7->click();
  EXPECT_EQ(interferometer->windowTitle(), caption);
  interferometer->Command4->click();
  EXPECT_EQ(interferometer->windowTitle(), caption);
}

// A run goes on while any window is open, and the answer is kept between
// steps: a window deleted outright, never closed, must end it all the same.
TEST_F(WindowComfortTest, AWindowDeletedRatherThanClosedCountsAsGone) {
  EXPECT_TRUE(FormRegistry::AnyOpen());
  QWidget* second = FormRegistry::Show(2);
  delete FormRegistry::Find(1);
  EXPECT_TRUE(FormRegistry::AnyOpen());
  delete second;
  EXPECT_FALSE(FormRegistry::AnyOpen());
  EXPECT_EQ(FormRegistry::Find(2), nullptr);
}

TEST(SaveDialog, NameWithoutExtensionTakesTheFiltersOne) {
  const QString text = QStringLiteral("Текст (*.txt)");
  EXPECT_EQ(ui::WithFilterExtension("/tmp/отчет", text), "/tmp/отчет.txt");
  EXPECT_EQ(ui::WithFilterExtension("/tmp/a.b/table", "CSV (*.csv)"), "/tmp/a.b/table.csv");
  EXPECT_EQ(ui::WithFilterExtension("/tmp/отчет.log", text), "/tmp/отчет.log");
  EXPECT_EQ(ui::WithFilterExtension("", text), "");
}

}  // namespace
}  // namespace velmor
