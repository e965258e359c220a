#pragma once
// The division editor ("Division Data"): one Division row with its point
// system, team mode, switches, files, dropped races and points division.

#include "EditorDialog.h"

#include <QStringList>
#include <QVariantList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class frmDivision : public EditorDialog {
    Q_OBJECT
public:
    explicit frmDivision(QWidget* parent = nullptr);

    // Preset names by stored number (index = number - 1).
    static const QStringList& PointSystemNames();
    // The same presets in the order the list shows them.
    static const QStringList& PointSystemListOrder();

    void reject() override { cancelEdit(); }

private:
    bool hasChanges() override { return DivisionChanged(); }
    bool DivisionChanged();
    QVariantList currentValues() const;
    int PointSystemIndex() const;
    static QString TeamsModeText(qint64 mode);
    static int TeamsModeValue(const QString& text);

    void Form_Activate();
    void Check1_Click(bool checked);
    void DivName_Click(int index);
    void Points_Click();
    void cmdUpdate_Click();

    QLineEdit* txtFields[7] = {};
    QCheckBox* Check1[6] = {};   // 2 is unused
    QComboBox* TeamsP = nullptr;
    QComboBox* DivName = nullptr;
    QComboBox* Points = nullptr;
    QLabel* lblPointsFile = nullptr;
    QString m_key;
    QVariantList vOldValues;
};
