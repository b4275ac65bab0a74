// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/form.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <vector>

#include "reports/help_text.h"
#include "reports/help_window.h"
#include "ui/fields.h"
#include "ui/form_registry.h"
#include "ui/notice.h"
#include "ui/ui_yield.h"

namespace velmor::ui {

Form::Form(int number, const QString& caption) : number_(number) {
  setObjectName(QStringLiteral("Form%1").arg(number));
  if (!caption.isEmpty()) setWindowTitle(caption);
}

Form::~Form() {
  FormRegistry::Forget(this);
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
  if (loopsRunning++ == 0) LookOnlyAfterAWhile();
  if (form_->busy_++ == 0) form_->RunStarts();
}

Form::Busy::~Busy() {
  --loopsRunning;
  if (--form_->busy_ != 0) return;
  if (form_->closing_) {
    form_->deleteLater();
  } else {
    form_->RunEnds();
  }
}

namespace {

const QString kRunEnded = QStringLiteral("   — расчет закончен");

}  // namespace

void Form::RunStarts() {
  if (!caption_.isEmpty()) setWindowTitle(caption_);
  caption_.clear();
}

void Form::RunEnds() {
  const bool asked = endAsked_;
  endAsked_ = false;
  if (asked || !isVisible() || Quitting()) return;
  caption_ = windowTitle();
  setWindowTitle(caption_ + kRunEnded);
}

namespace {

// Who runs what, for the note on a refused click.
QString RunName(const Form* form) {
  switch (form ? form->Number() : 0) {
    case 1:
      return QStringLiteral("эксперимент главного окна (form1)");
    case 3:
      return QStringLiteral("эксперимент в среде (form3)");
    case 8:
      return QStringLiteral("эксперимент Майкельсона-Морли (form8)");
    default:
      return QStringLiteral("другой расчет");
  }
}

}  // namespace

RunLock::Hold::Hold(RunLock& lock, Form* form) : lock_(lock.busy_ ? nullptr : &lock) {
  if (lock_) {
    lock_->busy_ = true;
    lock_->owner_ = form;
    return;
  }
  Notify(form, QStringLiteral("Сейчас идет ") + RunName(lock.owner_) +
                   QStringLiteral(". Дождитесь его конца или нажмите «Остановить»."));
}

void Form::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!closing_) {
    closing_ = true;
    FormRegistry::Changed();
    OnClosing();
    FormRegistry::Forget(this);
    if (busy_ == 0) deleteLater();
  }
}

void Form::ScrollWhenSmall() {
  QLayout* declared = layout();
  if (!declared || scroll_) return;
  // The content grows at once when more of it is shown (the interferometer's
  // strips): squeezed into its old height until the scroll area caught up,
  // its rows would slide over one another.
  if (declared->count() == 1) {
    if (auto* own = qobject_cast<QScrollArea*>(declared->itemAt(0)->widget())) {
      if (own->widget() && own->widget()->layout()) {
        own->widget()->layout()->setSizeConstraint(QLayout::SetMinimumSize);
      }
      return;
    }
  }
  declared->setSizeConstraint(QLayout::SetMinimumSize);
  auto* content = new QWidget;
  // Takes the layout, and the widgets it manages, off the window; its
  // margins stay those of a window's layout.
  const QMargins margins = declared->contentsMargins();
  content->setLayout(declared);
  declared->setContentsMargins(margins);
  for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->isWindow()) continue;
    const QRect placed = w->geometry();
    const bool hidden = w->isHidden();
    w->setParent(content);
    w->setGeometry(placed);
    w->setHidden(hidden);
  }
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setFocusPolicy(Qt::NoFocus);
  scroll_->setWidgetResizable(true);
  scroll_->setWidget(content);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll_);
}

// The window opens showing all its content when the screen has room for it,
// and fills the screen's free area otherwise, with scroll bars.
void Form::OpenAtContentSize() {
  if (!scroll_ || testAttribute(Qt::WA_Resized)) return;
  // Measured as it will be shown: the style's fonts and margins applied.
  ensurePolished();
  const QWidget* content = scroll_->widget();
  content->layout()->activate();
  const QScreen* screen = this->screen();
  if (!screen) return;
  // The size a window of this layout would open at without the scroll area
  // (Qt gives a window at most two thirds of the screen, its minimum size
  // at least), within the room the screen has for it beside the title bar
  // and the frame a window manager adds.
  const QSize want = content->sizeHint()
                         .boundedTo(screen->geometry().size() * 2 / 3)
                         .expandedTo(content->minimumSizeHint());
  const QSize room = screen->availableGeometry().size() - QSize(8, 32);
  QSize size = want.boundedTo(room);
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  if (size.width() < want.width()) size.setHeight(std::min(room.height(), size.height() + bar));
  if (size.height() < want.height()) size.setWidth(std::min(room.width(), size.width() + bar));
  resize(size);
}

namespace {

bool OutputField(const QWidget* w) {
  const auto* field = qobject_cast<const QLineEdit*>(w);
  return field && field->isReadOnly();
}

// The controls of a layout in the order it declares them: a row or column
// from its start, a grid row by row; a frame or any other container is read
// whole where it stands, so the keyboard finishes one panel before the next.
void CollectTabStops(const QLayout* layout, std::vector<QWidget*>& out);

void CollectTabStops(QWidget* w, std::vector<QWidget*>& out) {
  if (auto* area = qobject_cast<QScrollArea*>(w)) w = area->widget();
  if (!w) return;
  if (w->layout()) return CollectTabStops(w->layout(), out);
  if (w->focusPolicy() & Qt::TabFocus) out.push_back(w);
}

void CollectTabStops(const QLayout* layout, std::vector<QWidget*>& out) {
  struct Item {
    int row;
    int column;
    QLayoutItem* item;
  };
  std::vector<Item> items;
  const auto* grid = qobject_cast<const QGridLayout*>(layout);
  for (int i = 0; i < layout->count(); ++i) {
    int row = i, column = 0, rowSpan = 0, columnSpan = 0;
    if (grid) grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
    items.push_back({row, column, layout->itemAt(i)});
  }
  std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  for (const Item& i : items) {
    if (QLayout* inner = i.item->layout()) {
      CollectTabStops(inner, out);
    } else if (QWidget* w = i.item->widget()) {
      CollectTabStops(w, out);
    }
  }
}

}  // namespace

// Tab walks the controls in reading order, panel by panel; fields that only
// show results are left out (a click still selects their text for copying).
void Form::OrderTabStops() {
  for (QLineEdit* field : findChildren<QLineEdit*>()) {
    if (field->isReadOnly()) field->setFocusPolicy(Qt::ClickFocus);
  }
  std::vector<QWidget*> stops;
  if (layout()) CollectTabStops(layout(), stops);
  for (std::size_t i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1], stops[i]);
  // The window starts at its first input field, or at the one its form names
  // (where the picture's file number comes first in the layout).
  auto first = std::find_if(stops.begin(), stops.end(),
                            [](const QWidget* w) { return w->property("firstInput").toBool(); });
  if (first == stops.end()) {
    first = std::find_if(stops.begin(), stops.end(), [](const QWidget* w) {
      return qobject_cast<const QLineEdit*>(w) && !OutputField(w);
    });
  }
  if (first != stops.end()) (*first)->setFocus(Qt::TabFocusReason);
}

void Form::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (tabOrderSet_) return;
  tabOrderSet_ = true;
  OrderTabStops();
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
  OpenAtContentSize();
  GroupOptionsByFrame(this);
  ShowNumbersWhole(this);
  for (QPushButton* b : findChildren<QPushButton*>()) {
    const std::string help = HelpForCaption(number_, b->text().toStdString());
    if (!help.empty()) b->setToolTip(QString::fromStdString(help));
  }
  if (QPushButton* stop = ButtonStartingWith(this, QStringLiteral("Остановить"))) {
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, stop, &QPushButton::click);
    // Before the click's own handler, which may be the whole run.
    connect(stop, &QPushButton::pressed, this, [this] { endAsked_ = endAsked_ || busy_ > 0; });
  }
  if (QPushButton* batch = ButtonStartingWith(this, QStringLiteral("Сделать NC0"))) {
    connect(batch, &QPushButton::pressed, this, [this] { endAsked_ = endAsked_ || busy_ == 0; });
  }
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, [this] { Form2::ShowSection(number_); });
  if (QPushButton* save = ButtonStartingWith(this, QStringLiteral("Сохранить рисунок"))) {
    auto* ctrlS = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(ctrlS, &QShortcut::activated, save, &QPushButton::click);
  }
}

namespace {

// The wheel over a page moves its scroll bar as it would a scroll area's.
class WheelToBar : public QObject {
 public:
  WheelToBar(QScrollBar* bar, QObject* parent) : QObject(parent), bar_(bar) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Wheel) return false;
    const QPoint turn = static_cast<QWheelEvent*>(event)->angleDelta();
    const int delta = turn.y() != 0 ? turn.y() : turn.x();
    bar_->setValue(bar_->value() -
                   delta * QApplication::wheelScrollLines() * bar_->singleStep() / 120);
    return true;
  }

 private:
  QScrollBar* bar_;
};

}  // namespace

void Form::ScrollPageWith(QScrollBar* bar, QWidget* page) {
  auto* wheel = new WheelToBar(bar, this);
  page->installEventFilter(wheel);
  for (QWidget* inner : page->findChildren<QWidget*>()) inner->installEventFilter(wheel);
  const std::pair<Qt::Key, QAbstractSlider::SliderAction> keys[] = {
      {Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd},
      {Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub},
      {Qt::Key_Home, QAbstractSlider::SliderToMinimum},
      {Qt::Key_End, QAbstractSlider::SliderToMaximum}};
  for (const auto& entry : keys) {
    auto* shortcut = new QShortcut(QKeySequence(entry.first), this);
    connect(shortcut, &QShortcut::activated, bar,
            [bar, action = entry.second] { bar->triggerAction(action); });
  }
}

RunLock& EngineRunLock() {
  static RunLock lock;
  return lock;
}

}  // namespace velmor::ui
