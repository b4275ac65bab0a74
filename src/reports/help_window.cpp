// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/help_window.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "reports/help_text.h"
#include "shared/shared_pool.h"
#include "ui/fields.h"
#include "velmor_version.h"

namespace velmor {

// The caption carries the version, so a user can tell which one is running.
Form2::Form2() : ui::Form(2, ui::Q("About  Velmor5 " VELMOR_VERSION "   form2")) {
  Text1 = new QPlainTextEdit(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setFixedSize(6315 / 15, 3375 / 15);
  Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Command1 = ui::MakeButton(this, "Command1", "Закрыть");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Text1);
  layout->addWidget(Command1, 0, Qt::AlignLeft);
  connect(Command1, &QPushButton::clicked, this, [this] { close(); });
  // Load: the text is composed in the shared report text, then shown.
  Pool().ReportText = ComposeHelpText();
  Text1->setPlainText(ui::Q(Pool().ReportText));
}

}  // namespace velmor
