// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows offer beyond their described controls: tooltips from the
// help text, Esc for "Остановить", Ctrl+S for saving, context-menu exports.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "frames/frame_window.h"
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

TEST_F(ConveniencesTest, RightButtonOnlyOpensTheMenu) {
  form->Command14->click();
  ui::PictureBox* picture = form->Picture1;
  const QImage before = picture->Image();
  const auto press = [picture](Qt::MouseButton button) {
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(200, 100),
                      picture->mapToGlobal(QPointF(200, 100)), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(picture, &event);
  };
  const testing::Strings marked = testing::Texts({form->Text25, form->Text26});
  press(Qt::RightButton);
  EXPECT_EQ(picture->Image(), before);
  EXPECT_EQ(picture->Counts().circles, 0);
  EXPECT_EQ(testing::Texts({form->Text25, form->Text26}), marked);
  // The left button marks the point, as it always did.
  press(Qt::LeftButton);
  EXPECT_EQ(picture->Counts().circles, 1);
  EXPECT_NE(testing::Text(form->Text25), "0");
}

TEST_F(ConveniencesTest, RefusedFieldTakesTheFocusSelected) {
  form->Text3->setText(QStringLiteral("шесть"));
  form->Text6->setText(QStringLiteral("x"));
  form->Command13->click();
  EXPECT_EQ(testing::TakeMessage(), "Введите правильно данные");
  // X1n and Y1n parse; VX1 is the first that does not.
  EXPECT_EQ(form->focusWidget(), form->Text3);
  EXPECT_EQ(form->Text3->selectedText(), QStringLiteral("шесть"));
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

// The frame window: results beside the inputs, option frames beside field
// columns.
TEST(TabOrder, OnePanelAtATimePastTheResults) {
  auto* form = static_cast<Form6*>(ui::FormRegistry::Show(6));
  // It starts at the first of its coordinates, X1aso, then Y1aso beside it.
  EXPECT_EQ(form->focusWidget(), form->Text22);
  EXPECT_EQ(NextTabStop(form->Text22), form->Text24);
  // Once round: no result field on the way, and the synchronisation frame's
  // controls one after another, not between the rows of the field column.
  std::vector<bool> inFrame;
  QWidget* w = form->Text22;
  do {
    const auto* field = qobject_cast<QLineEdit*>(w);
    EXPECT_FALSE(field && field->isReadOnly()) << w->objectName().toStdString();
    inFrame.push_back(form->Frame2->isAncestorOf(w));
    w = NextTabStop(w);
  } while (w != form->Text22 && inFrame.size() < 500);
  const auto first = std::find(inFrame.begin(), inFrame.end(), true);
  const auto after = std::find(first, inFrame.end(), false);
  EXPECT_NE(first, inFrame.end());
  EXPECT_EQ(std::find(after, inFrame.end(), true), inFrame.end());
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
