// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fields.h"

#include "shared/checked_math.h"
#include "shared/numbers.h"

namespace velmor::ui {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}
QString Q(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
}

QLineEdit* MakeField(QWidget* parent, const char* name, const char* text, int width) {
  auto* f = new QLineEdit(Q(text), parent);
  f->setObjectName(Q(name));
  f->setMinimumWidth(width);
  f->setMaximumWidth(width * 2);
  return f;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(Q(caption), parent);
  b->setObjectName(Q(name));
  b->setAutoDefault(false);
  return b;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, bool ticked) {
  auto* c = new QCheckBox(Q(caption), parent);
  c->setObjectName(Q(name));
  c->setChecked(ticked);
  return c;
}

QRadioButton* MakeOption(QWidget* parent, const char* name, const char* caption, bool selected) {
  auto* o = new QRadioButton(Q(caption), parent);
  o->setObjectName(Q(name));
  o->setChecked(selected);
  return o;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
  auto* l = new QLabel(Q(caption), parent);
  l->setObjectName(Q(name));
  return l;
}

QGroupBox* MakeFrame(QWidget* parent, const char* name, const char* caption) {
  auto* g = new QGroupBox(Q(caption), parent);
  g->setObjectName(Q(name));
  return g;
}

QScrollBar* MakeScroll(QWidget* parent, const char* name, Qt::Orientation orientation, int min,
                       int max, int page) {
  auto* s = new QScrollBar(orientation, parent);
  s->setObjectName(Q(name));
  s->setRange(min, max);
  s->setPageStep(page);
  return s;
}

void PutLabelled(QGridLayout* grid, int row, int col, QWidget* parent, const char* label,
                 QWidget* field) {
  auto* l = MakeLabel(parent, "", label);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(l, row, col);
  grid->addWidget(field, row, col + 1);
}

std::string FieldText(const QLineEdit* field) {
  return field->text().toStdString();
}

double FieldNumber(const QLineEdit* field) {
  const auto v = ParseNumber(FieldText(field));
  if (!v) throw InputFault("field " + field->objectName().toStdString());
  return *v;
}

int FieldWhole(const QLineEdit* field) {
  const auto v = ParseWhole(FieldText(field));
  if (!v) throw InputFault("field " + field->objectName().toStdString());
  return *v;
}

void ShowNumber(QLineEdit* field, double value) {
  ShowText(field, GeneralForm(Chk(value)));
}

void ShowText(QLineEdit* field, const std::string& text) {
  const QString s = Q(text);
  if (field->text() != s) {
    field->setText(s);
    // A number longer than the field shows from its first digits.
    field->setCursorPosition(0);
  }
}

}  // namespace velmor::ui
