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

// Writes a number in the general form; infinity or NaN is a ComputeFault and
// leaves the field as it was.
void ShowNumber(QLineEdit* field, double value);
void ShowText(QLineEdit* field, const std::string& text);

QString Q(const char* utf8);
QString Q(const std::string& utf8);

}  // namespace velmor::ui
