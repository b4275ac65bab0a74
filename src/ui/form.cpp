// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QShowEvent>
#include <algorithm>
#include <vector>

#include "reports/help_text.h"
#include "ui/form_registry.h"

namespace velmor::ui {

Form::Form(int number, const QString& caption) : number_(number) {
  setObjectName(QStringLiteral("Form%1").arg(number));
  if (!caption.isEmpty()) setWindowTitle(caption);
}

void Form::NoteDeclaredControls() {
  controls_ = ControlsOf(*this);
}

std::vector<Form::Control> Form::ControlsOf(const QWidget& root) {
  std::vector<Control> controls;
  for (QWidget* w : root.findChildren<QWidget*>()) {
    if (auto* field = qobject_cast<QLineEdit*>(w)) {
      if (!field->isReadOnly())
        controls.push_back({w->objectName(), ControlKind::Field, field->text()});
    } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
      controls.push_back({w->objectName(), ControlKind::Check, check->isChecked() ? "1" : "0"});
    } else if (auto* option = qobject_cast<QRadioButton*>(w)) {
      controls.push_back({w->objectName(), ControlKind::Option, option->isChecked() ? "1" : "0"});
    }
  }
  return controls;
}

namespace {
int loopsRunning = 0;
}  // namespace

bool Form::AnyBusy() {
  return loopsRunning > 0;
}

Form::Busy::Busy(Form* form) : form_(form) {
  ++form_->busy_;
  ++loopsRunning;
}

Form::Busy::~Busy() {
  --loopsRunning;
  if (--form_->busy_ == 0 && form_->closing_) form_->deleteLater();
}

void Form::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!closing_) {
    closing_ = true;
    OnClosing();
    FormRegistry::Forget(this);
    if (busy_ == 0) deleteLater();
  }
}

// Keyboard focus runs left to right along each row of controls, rows from
// top to bottom, whatever order the window created them in.
void Form::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (tabOrderSet_) return;
  tabOrderSet_ = true;
  struct Placed {
    QWidget* w;
    int row;
    int x;
  };
  std::vector<Placed> placed;
  for (QWidget* w : findChildren<QWidget*>()) {
    if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(this)) continue;
    const QRect r(w->mapTo(this, QPoint(0, 0)), w->size());
    placed.push_back({w, r.center().y() / 12, r.left()});
  }
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
    return a.row != b.row ? a.row < b.row : a.x < b.x;
  });
  for (std::size_t i = 1; i < placed.size(); ++i) {
    QWidget::setTabOrder(placed[i - 1].w, placed[i].w);
  }
}

bool Form::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate && !closing_) FormRegistry::Activated(this);
  return QWidget::event(e);
}

namespace {

QPushButton* ButtonStartingWith(QWidget* w, const QString& start) {
  for (QPushButton* b : w->findChildren<QPushButton*>()) {
    if (b->text().startsWith(start)) return b;
  }
  return nullptr;
}

}  // namespace

// The option buttons of one frame form one group, and only they: Qt's own
// exclusivity of siblings also reaches into a frame nested in the frame, so
// clicking the selected option there could leave no option selected.
void GroupOptionsByFrame(QWidget* window) {
  std::vector<std::pair<QWidget*, QButtonGroup*>> groups;
  for (QRadioButton* o : window->findChildren<QRadioButton*>()) {
    QWidget* frame = o->parentWidget();
    auto it = std::find_if(groups.begin(), groups.end(),
                           [frame](const auto& g) { return g.first == frame; });
    if (it == groups.end()) {
      auto* group = new QButtonGroup(frame);
      group->setExclusive(true);
      it = groups.insert(groups.end(), {frame, group});
    }
    o->setAutoExclusive(false);
    it->second->addButton(o);
  }
}

void Form::AddConveniences() {
  GroupOptionsByFrame(this);
  for (QPushButton* b : findChildren<QPushButton*>()) {
    const std::string help = HelpForCaption(number_, b->text().toStdString());
    if (!help.empty()) b->setToolTip(QString::fromStdString(help));
  }
  if (QPushButton* stop = ButtonStartingWith(this, QStringLiteral("Остановить"))) {
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, stop, &QPushButton::click);
  }
  if (QPushButton* save = ButtonStartingWith(this, QStringLiteral("Сохранить рисунок"))) {
    auto* ctrlS = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(ctrlS, &QShortcut::activated, save, &QPushButton::click);
  }
}

RunLock& EngineRunLock() {
  static RunLock lock;
  return lock;
}

}  // namespace velmor::ui
