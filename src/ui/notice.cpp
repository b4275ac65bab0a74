// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/notice.h"

#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace velmor::ui {

namespace {

constexpr int kShownMs = 5000;

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// The window's note label, laid over the foot of the window: the window's
// own layout, and so every control's place, stays as it is.
QLabel* NoteLabel(QWidget* window) {
  auto* label = window->findChild<QLabel*>(QStringLiteral("notice"), Qt::FindDirectChildrenOnly);
  if (label) return label;
  label = new QLabel(window);
  label->setObjectName(QStringLiteral("notice"));
  label->setWordWrap(true);
  label->setMargin(4);
  label->setAutoFillBackground(true);
  label->setBackgroundRole(QPalette::ToolTipBase);
  label->setForegroundRole(QPalette::ToolTipText);
  label->setFrameShape(QFrame::Box);
  // Clicks go through to the controls under it.
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  auto* timer = new QTimer(label);
  timer->setObjectName(QStringLiteral("noticeTimer"));
  timer->setSingleShot(true);
  QObject::connect(timer, &QTimer::timeout, label, &QLabel::hide);
  return label;
}

}  // namespace

void Notify(const QWidget* widget, const QString& text) {
  if (!widget) return;
  QWidget* window = widget->window();
  Log().push_back(window->objectName().toStdString() + "|" + text.toStdString());
  if (Log().size() > 1000) Log().erase(Log().begin(), Log().begin() + 500);
  QLabel* label = NoteLabel(window);
  label->setText(text);
  // One line where the window is wide enough, wrapped where it is not.
  const int width = std::min(window->width(), label->fontMetrics().horizontalAdvance(text) +
                                                  2 * (label->margin() + label->frameWidth()) + 2);
  const int height = label->heightForWidth(width);
  label->setGeometry(0, window->height() - height, width, height);
  label->show();
  label->raise();
  label->findChild<QTimer*>(QStringLiteral("noticeTimer"))->start(kShownMs);
}

void NotifySaved(const QWidget* widget, const QString& path) {
  Notify(widget, QStringLiteral("Сохранено: ") + QFileInfo(path).absoluteFilePath());
}

std::vector<std::string> TakeNotices() {
  std::vector<std::string> out;
  out.swap(Log());
  return out;
}

}  // namespace velmor::ui
