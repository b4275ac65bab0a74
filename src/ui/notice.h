// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Short notes at the foot of a window that go away by themselves: what
// happened to a click that did nothing, where a file went. Unlike a message
// box nothing waits for them, and they are not part of the message log.
#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace velmor::ui {

void Notify(const QWidget* widget, const QString& text);
// "Сохранено: <full path>" for a file just written (a relative path is taken
// from the working folder).
void NotifySaved(const QWidget* widget, const QString& path);

// The notes shown since the last call, each as "FormN|text".
std::vector<std::string> TakeNotices();

}  // namespace velmor::ui
