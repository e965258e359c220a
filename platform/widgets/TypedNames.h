#pragma once
// A combo box whose text is a name typed or chosen from its list, then looked
// up exactly: its completion offers listed names but never turns a name
// typed whole into a longer one.

#include <Qt>

class QComboBox;

// Call once the box is editable; its items may be added before or after.
// A case-sensitive box takes a name typed in another letter case as a name
// of its own.
void CompleteWithoutReplacingNames(QComboBox* box, Qt::CaseSensitivity cs = Qt::CaseInsensitive);
