#pragma once
// A combo box whose text is a name typed or chosen from its list, then looked
// up exactly: its completion offers listed names but never turns a name
// typed whole into a longer one.

class QComboBox;

// Call once the box is editable; its items may be added before or after.
void CompleteWithoutReplacingNames(QComboBox* box);
