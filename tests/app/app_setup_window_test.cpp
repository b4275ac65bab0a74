// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/app_setup.h"

namespace velmor {
namespace {

// The set-up both programs make before their first window: Qt's own texts
// in Russian like the rest of the interface, the icon on every window.
TEST(ApplicationSetup, YesNoButtonsInRussianAndTheIconOnEveryWindow) {
  SetUpApplication();
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Да"));
  EXPECT_EQ(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Нет"));
  EXPECT_FALSE(QApplication::windowIcon().pixmap(32, 32).isNull());
  EXPECT_FALSE(box.windowIcon().pixmap(32, 32).isNull());
}

}  // namespace
}  // namespace velmor
