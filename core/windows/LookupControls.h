#pragma once
// The shared lookups that fill or answer a window's controls.

#include <QString>

class QComboBox;
class QLineEdit;
class QWidget;

// Appends the divisions' names, ordered by name; each item's data
// (Qt::UserRole) holds the division id.
void FillDivisionNames(QComboBox* combo);
// Appends "<Select Division>" and "ID - Name" per division; selects item 0.
// Each item's data (Qt::UserRole) holds the division id ("" for item 0).
void FillDivisionCombo(QComboBox* combo);
// The import window's "Browse": opens the file dialog on the box's text;
// on a choice puts the file name into the box and the full path into
// sStnPath. Returns false when cancelled.
bool BrowseStnFile(QWidget* parent, QLineEdit* stnFile, const QString& startFolder);
