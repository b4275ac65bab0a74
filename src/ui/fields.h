// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Controls made under their program names, and the reading and writing of
// fields in the program's number conventions.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <string>

namespace velmor::ui {

QLineEdit* MakeField(QWidget* parent, const char* name, const char* text, int width = 80);
QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption);
QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, bool ticked);
QRadioButton* MakeOption(QWidget* parent, const char* name, const char* caption, bool selected);
QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption);
QGroupBox* MakeFrame(QWidget* parent, const char* name, const char* caption);
QScrollBar* MakeScroll(QWidget* parent, const char* name, Qt::Orientation orientation, int min,
                       int max, int page);

// A label, aligned to the right, and its field beside it in a grid.
void PutLabelled(QGridLayout* grid, int row, int col, QWidget* parent, const char* label,
                 QWidget* field);

// The field's number; an InputFault when it does not parse.
double FieldNumber(const QLineEdit* field);
// A whole-number field (32-bit); an InputFault when it does not parse.
int FieldWhole(const QLineEdit* field);
std::string FieldText(const QLineEdit* field);

// The first field that failed to parse since it was last forgotten: an
// action forgets it before reading, and after "Введите правильно данные" the
// user is taken there to mend it.
void ForgetUnparsedField();
void FocusUnparsedField();

// Writes a number in the general form; infinity or NaN is a ComputeFault and
// leaves the field as it was.
void ShowNumber(QLineEdit* field, double value);
void ShowText(QLineEdit* field, const std::string& text);

// What a field shows: its text, or, for a number too long for the field
// while the user is not editing it, the number rounded to fewer digits with
// its exponent kept ("3,231089E-14", never the cut "3,23108914886517"); the
// full text is then the field's tooltip. The text itself stays as it is.
QString ShownText(const QLineEdit* field);
// Every field of the window shows its number so.
void ShowNumbersWhole(QWidget* window);

QString Q(const char* utf8);
QString Q(const std::string& utf8);

}  // namespace velmor::ui
