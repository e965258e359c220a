#pragma once
// The driver editor ("Driver Data"): online id, name, car number and make
// of one Drivers row, new or edited.

#include "EditorDialog.h"

#include <QVariantList>

class QComboBox;
class QLineEdit;

class frmDrivers : public EditorDialog {
    Q_OBJECT
public:
    explicit frmDrivers(QWidget* parent = nullptr);
    // True when a value differs from the snapshot after trimming.
    bool didChange();

    void reject() override { cancelEdit(); }

private:
    bool hasChanges() override { return didChange(); }
    void cmdUpdate_Click();
    QVariantList currentValues() const;

    QLineEdit* txtFields[3] = {};
    QComboBox* CarMake = nullptr;
    qint64 m_driverId = 0;
    QVariantList m_snapshot;
};
