#pragma once
// The team editor: a team's name and its six driver seats, new or edited;
// on saving it can carry the seats into the division's races already
// scored (Score.Team).

#include "EditorDialog.h"

#include <QVariantList>

#include <array>

class DriverCombo;
class QLineEdit;

class frmTeams : public EditorDialog {
    Q_OBJECT
public:
    // In edit mode (bEditMode) edits team `teamId`, which keeps its own
    // division; otherwise adds a team to `division`.
    frmTeams(qint64 teamId, const QString& division, QWidget* parent = nullptr);

    // The team's TeamID: 0 for a new team until it is saved.
    qint64 TeamID() const { return m_teamId; }

    void reject() override { cancelEdit(); }

private:
    bool hasChanges() override { return TeamChanged(); }
    bool TeamChanged() const;
    QVariantList currentValues() const;
    static QString GetDivisionName(const QString& id);
    void UpdateScoredTeam(qint64 driverId);
    void cmdUpdate_Click();

    QLineEdit* Text2 = nullptr;
    QLineEdit* Text1 = nullptr;
    std::array<DriverCombo*, 6> Drivers{};
    qint64 m_teamId = 0;
    QString m_div;
    QVariantList m_snapshot;
    bool m_yesGiven = false;
};
