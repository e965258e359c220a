#pragma once
// "Edit Incident": gives one result line a point penalty (or bonus) with a
// comment, changes it or removes it (0). The adjustment is kept in the
// line's Penalties row and applied to its Score.Points: each OK takes back
// the adjustment stored when the dialog opened and applies the new one.
// After OK the race result window reloads its grids.

#include "ResultDialog.h"

#include <QVariantList>

class QLineEdit;
class HeldTextEdit;
class QPushButton;

class frmEditIncident : public ResultDialog {
    Q_OBJECT
public:
    explicit frmEditIncident(QWidget* parent = nullptr);

    // The line: Races.ID, its Posi, the division of the race and the driver
    // name shown.
    void setLine(qint64 raceId, qint64 posi, const QString& division, const QString& driverName)
    {
        nRace = raceId;
        nPos = posi;
        sDivision = division;
        sName = driverName;
    }
    qint64 raceId() const { return nRace; }
    qint64 posi() const { return nPos; }
    QString division() const { return sDivision; }

    static constexpr int kCommentLength = 100;

private slots:
    void cmdUpdate_Click();
    void cmdCancel_Click();

protected:
    bool Form_Load() override;
    void Cancel() override { cmdCancel_Click(); }

private:
    QList<QWidget*> Boxes() const;
    void Save(qint64 points, bool changed);
    bool CommentEdited() const;

    QLineEdit* Text1_0 = nullptr;   // position
    QLineEdit* Text1_1 = nullptr;   // driver
    QLineEdit* Text1_2 = nullptr;   // points
    HeldTextEdit* Text1_3 = nullptr;   // comment
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdCancel = nullptr;

    qint64 nPos = 0;
    qint64 nRace = 0;
    QString sDivision;
    QString sName;
    QVariantList m_saved;
    bool m_hasRow = false;      // the line had a Penalties row at load
    qint64 m_stored = 0;        // its points, as applied to Score.Points
    QString m_loadedComment;    // the row's comment as the box showed it at load
};
