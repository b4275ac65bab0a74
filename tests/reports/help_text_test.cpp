// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/help_text.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

TEST(HelpText, TitleHeadingsAndSpacing) {
  const std::string t = ComposeHelpText();
  EXPECT_EQ(HelpEntries().size(), 68u);
  // Title, an empty line, the first heading followed directly by the first
  // description.
  EXPECT_EQ(t.substr(0, t.find(" <")),
            "                 ОПИСАНИЕ ДЕЙСТВИЙ КНОПОК ПРОГРАММЫ VELMOR5\n\n"
            "                                               ФОРМА 1\n");
  for (int form = 1; form <= 9; ++form) {
    EXPECT_NE(t.find("ФОРМА " + std::to_string(form) + "\n"), std::string::npos) << form;
  }
  // The stop button is described once under each window that has one.
  std::size_t count = 0;
  const std::string stop = " <Остановить> - остановить вычислительный эксперимент.\n\n";
  for (auto pos = t.find(stop); pos != std::string::npos; pos = t.find(stop, pos + 1)) ++count;
  EXPECT_EQ(count, 3u);
  EXPECT_TRUE(t.ends_with("на форме 8.\n\n"));
}

TEST(HelpText, DescriptionOfAButtonInItsWindow) {
  EXPECT_EQ(HelpForButton(2, "Закрыть"), "закрыть данную форму программы.");
  EXPECT_EQ(HelpForButton(1, "Выход"), "выход из программы (закрытие всех форм проекта).");
  EXPECT_EQ(HelpForButton(4, "Выход"), "");
  EXPECT_TRUE(HelpForButton(8, "2- T1=T2").starts_with("произвести согласование"));
}

}  // namespace
}  // namespace velmor
