// SPDX-License-Identifier: GPL-3.0-or-later
// Window tests run the real windows offscreen, with message boxes answered
// by the scripted message service.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/register_forms.h"
#include "ui/messages.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  velmor::ui::Messages::SetScripted(true);
  velmor::RegisterForms();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
