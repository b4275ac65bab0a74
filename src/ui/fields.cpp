// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fields.h"

#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>
#include <cstdio>
#include <unordered_map>

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

namespace {

QPointer<QLineEdit>& Unparsed() {
  static QPointer<QLineEdit> field;
  return field;
}

[[noreturn]] void Refuse(const QLineEdit* field) {
  if (!Unparsed()) Unparsed() = const_cast<QLineEdit*>(field);
  throw InputFault("field " + field->objectName().toStdString());
}

}  // namespace

double FieldNumber(const QLineEdit* field) {
  const auto v = ParseNumber(FieldText(field));
  if (!v) Refuse(field);
  return *v;
}

int FieldWhole(const QLineEdit* field) {
  const auto v = ParseWhole(FieldText(field));
  if (!v) Refuse(field);
  return *v;
}

void ForgetUnparsedField() {
  Unparsed() = nullptr;
}

void FocusUnparsedField() {
  QLineEdit* field = Unparsed();
  Unparsed() = nullptr;
  if (!field) return;
  field->setFocus(Qt::OtherFocusReason);
  field->selectAll();
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

namespace {

QStyleOptionFrame FrameOption(const QLineEdit* field) {
  QStyleOptionFrame option;
  option.initFrom(field);
  option.rect = field->contentsRect();
  option.lineWidth = field->hasFrame()
                         ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field)
                         : 0;
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  if (field->isReadOnly()) option.state |= QStyle::State_ReadOnly;
  option.features = QStyleOptionFrame::None;
  return option;
}

// Where the field draws its text, with the margins QLineEdit keeps.
QRect TextRoom(const QLineEdit* field, const QStyleOptionFrame& option) {
  const QRect contents =
      field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
  return contents.marginsRemoved(field->textMargins()).adjusted(2, 1, -2, -1);
}

QString Rounded(double value, int digits) {
  char text[40];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  return QString::fromLatin1(text).replace('.', ',').replace('e', 'E');
}

QString ShortenedNow(const QString& full, int room, const QFontMetrics& metrics) {
  // One pixel more for the cursor, as the field measures.
  const auto fits = [&](const QString& text) {
    return metrics.horizontalAdvance(text) + 1 <= room;
  };
  if (fits(full)) return full;
  const auto value = ParseNumber(full.toStdString());
  if (!value) return full;
  for (int digits = 14; digits > 1; --digits) {
    const QString s = Rounded(*value, digits);
    if (fits(s)) return s;
  }
  return Rounded(*value, 1);
}

// What each field showed last, and for what: a field is measured when its
// text changes and again when it is painted, and a number too long for it
// is measured in a dozen shorter forms.
struct LastShown {
  QString full;
  int room = -1;
  QFontMetrics metrics;
  QString shown;
};
// Never destroyed: a field may go after the program's statics have.
auto& lastShown = *new std::unordered_map<const QLineEdit*, LastShown>;

QString Shortened(const QLineEdit* field) {
  // The room and the font are asked for once: a run changes many fields many
  // times a second, and each may try a dozen shorter forms.
  const int room = TextRoom(field, FrameOption(field)).width();
  const QFontMetrics metrics = field->fontMetrics();
  const QString full = field->text();
  auto at = lastShown.find(field);
  if (at == lastShown.end()) {
    at = lastShown.emplace(field, LastShown{{}, -1, metrics, {}}).first;
    QObject::connect(field, &QObject::destroyed, [field] { lastShown.erase(field); });
  }
  LastShown& last = at->second;
  if (last.room != room || last.full != full || !(last.metrics == metrics)) {
    last = {full, room, metrics, ShortenedNow(full, room, metrics)};
  }
  return last.shown;
}

class WholeNumbers : public QObject {
 public:
  using QObject::QObject;

  void Watch(QLineEdit* field) {
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, [field] { UpdateTip(field); });
    UpdateTip(field);
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::Resize && event->type() != QEvent::Paint) return false;
    // A field being destroyed is no longer a line edit, and still sends events.
    auto* field = qobject_cast<QLineEdit*>(object);
    if (!field) return false;
    if (event->type() == QEvent::Resize) UpdateTip(field);
    if (event->type() != QEvent::Paint) return false;
    const QString shown = ShownText(field);
    if (shown == field->text()) return false;
    QPainter painter(field);
    const QStyleOptionFrame option = FrameOption(field);
    field->style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, field);
    painter.setPen(field->palette().color(
        field->isEnabled() ? QPalette::Normal : QPalette::Disabled, QPalette::Text));
    painter.drawText(TextRoom(field, option),
                     Qt::AlignVCenter | (field->alignment() & Qt::AlignHorizontal_Mask), shown);
    return true;
  }

 private:
  static void UpdateTip(QLineEdit* field) {
    field->setToolTip(Shortened(field) == field->text() ? QString() : field->text());
  }
};

}  // namespace

QString ShownText(const QLineEdit* field) {
  return field->hasFocus() ? field->text() : Shortened(field);
}

void ShowNumbersWhole(QWidget* window) {
  auto* numbers = new WholeNumbers(window);
  for (QLineEdit* field : window->findChildren<QLineEdit*>()) numbers->Watch(field);
}

}  // namespace velmor::ui
