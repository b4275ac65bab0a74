// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows offer beyond their described controls: tooltips from the
// help text, Esc for "Остановить", Ctrl+S for saving, context-menu exports.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "reports/help_text.h"
#include "reports/report_window.h"
#include "shared/shared_pool.h"
#include "support/window_test_support.h"
#include "ui/form_registry.h"
#include "ui/ui_yield.h"
#include "workbench/main_window.h"

namespace velmor {
namespace {

using ConveniencesTest = testing::WindowTest<Form1, 1>;

TEST_F(ConveniencesTest, ButtonsDescribedInTheHelpTextHaveItAsTooltip) {
  EXPECT_EQ(form->Command13->toolTip().toStdString(), HelpForCaption(1, "Задать Т00, с"));
  EXPECT_TRUE(form->Command13->toolTip().startsWith(QStringLiteral("задаем условный период")));
  EXPECT_TRUE(form->Command18->toolTip().startsWith(QStringLiteral("расчет по одной из формул")));
  EXPECT_TRUE(form->Command16->toolTip().startsWith(QStringLiteral("выход из программы")));
  int described = 0;
  for (QPushButton* b : form->findChildren<QPushButton*>()) {
    if (!b->toolTip().isEmpty()) ++described;
  }
  // Every button but "Поставить точку по X Y", which the help text does not
  // describe.
  EXPECT_EQ(described, static_cast<int>(form->findChildren<QPushButton*>().size()) - 1);
  EXPECT_TRUE(form->Command15->toolTip().isEmpty());
}

TEST_F(ConveniencesTest, EscapeStopsARun) {
  form->Command13->click();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  long long yields = 0;
  ui::SetYieldHook([&] {
    if (++yields == 200) QTest::keyClick(form, Qt::Key_Escape);
  });
  form->Command1->click();
  EXPECT_GE(yields, 200);
  EXPECT_LT(yields, 400);
  EXPECT_EQ(Pool().StopFlag, 1);
}

TEST_F(ConveniencesTest, CtrlSSavesThePictureLikeItsButton) {
  testing::TemporaryWorkingFolder here;
  // Shortcuts work in the active window.
  ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  QTest::keyClick(form, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(std::filesystem::exists("Velmor1.bmp"));
}

TEST_F(ConveniencesTest, ReportPageAsTextTopToBottom) {
  form->Check5->click();
  form->Command13->click();
  form->Command1->click();
  const std::string text = Form4::Get()->picMain->PageText();
  const auto header = text.find("1- приемник  2- источник");
  const auto block1 = text.find("обрабатываем сигналы условного периода № 1\n");
  const auto block19 = text.find("обрабатываем сигналы условного периода № 19\n");
  const auto summary = text.find("№ периода      угол");
  EXPECT_LT(header, block1);
  EXPECT_LT(block1, block19);
  EXPECT_LT(block19, summary);
  // The last block has no end yet: its empty lines are one gap on the page.
  EXPECT_NE(text.find(" Yn2(19) = 0\n\n Tk1(18) = "), std::string::npos);
  // Printed again on a single step, the report is still there once.
  form->Command4->click();
  EXPECT_EQ(Form4::Get()->picMain->PageText(), text);
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

QWidget* NextTabStop(QWidget* w) {
  QWidget* n = w->nextInFocusChain();
  while (n != w && !(n->focusPolicy() & Qt::TabFocus && n->isVisible())) n = n->nextInFocusChain();
  return n;
}

TEST(TabOrder, LeftToRightThenDown) {
  auto* form = static_cast<Form1*>(ui::FormRegistry::Show(1));
  // The first row of the input grid: X1n, VX1, X1= …
  EXPECT_EQ(NextTabStop(form->Text1), form->Text3);
  EXPECT_EQ(NextTabStop(form->Text3), form->Text13);
  // … and the row below starts again on the left.
  QWidget* w = form->Text13;
  for (int i = 0; i < 20 && w != form->Text2; ++i) w = NextTabStop(w);
  EXPECT_EQ(w, form->Text2);
  ui::FormRegistry::CloseAll();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A copied picture is what the picture showed at the copy, whatever is drawn
// after it.
TEST_F(ConveniencesTest, CopiedPictureDoesNotChangeWithLaterDrawing) {
  ui::PictureBox* picture = form->Picture1;
  const QImage before = picture->Image();
  ASSERT_TRUE(picture->RunMenuAction(QStringLiteral("Копировать"), QString()));
  picture->Line(picture->ScaleLeft(), picture->ScaleTop(), picture->ScaleRight(),
                picture->ScaleBottom(), RGB(1, 0, 0));
  EXPECT_NE(picture->Image(), before);
  EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(before.format()), before);
}

}  // namespace
}  // namespace velmor
