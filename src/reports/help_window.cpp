// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/help_window.h"

#include <QTextCursor>
#include <QTextDocument>

#include "reports/help_text.h"
#include "shared/shared_pool.h"
#include "ui/fields.h"
#include "ui/form_registry.h"
#include "velmor_version.h"

namespace velmor {

Form2::Form2() : ui::Form(2) {
  SetUp<Ui_Form2>(*this);
  // The caption carries the version, so a user can tell which one is running.
  setWindowTitle(ui::Q("About  Velmor5 " VELMOR_VERSION "   form2"));
  connect(Command1, &QPushButton::clicked, this, [this] { close(); });
  // Load: the text is composed in the shared report text, then shown.
  Pool().ReportText = ComposeHelpText();
  Text1->setPlainText(ui::Q(Pool().ReportText));
}

void Form2::ShowSection(int form) {
  auto* help = static_cast<Form2*>(ui::FormRegistry::Show(2));
  if (!help) return;
  const QTextCursor heading = help->Text1->document()->find(QStringLiteral("ФОРМА %1").arg(form));
  if (heading.isNull()) return;
  // From the end of the text back up to the heading, which so comes to the
  // top of the field rather than to its bottom.
  help->Text1->moveCursor(QTextCursor::End);
  help->Text1->setTextCursor(heading);
}

}  // namespace velmor
