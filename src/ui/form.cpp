#include "ui/form.h"

#include <QCloseEvent>

#include "ui/form_registry.h"

namespace velmor::ui {

Form::Form(int number, const QString& caption) : number_(number) {
  setObjectName(QStringLiteral("Form%1").arg(number));
  setWindowTitle(caption);
}

Form::Busy::Busy(Form* form) : form_(form) {
  ++form_->busy_;
}

Form::Busy::~Busy() {
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

bool Form::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate && !closing_) FormRegistry::Activated(this);
  return QWidget::event(e);
}

RunLock& EngineRunLock() {
  static RunLock lock;
  return lock;
}

}  // namespace velmor::ui
