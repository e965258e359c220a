#pragma once
// "Edit Incident": gives one result line a point penalty (or bonus) with a
// comment, changes it or removes it (0). The adjustment is kept in the
// line's Penalties row and applied to its Score.Points: each OK takes back
// the adjustment stored when the dialog opened and applies the new one.
// After OK the race result window reloads its grids.

#include "ResultDialog.h"

#include <QVariantList>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class frmEditIncident : public ResultDialog {
    Q_OBJECT
    Q_PROPERTY(qint64 nPos MEMBER nPos)
    Q_PROPERTY(qint64 nRace MEMBER nRace)
    Q_PROPERTY(QString sDivision MEMBER sDivision)
    Q_PROPERTY(QString sName MEMBER sName)
public:
    explicit frmEditIncident(QWidget* parent = nullptr);

    qint64 nPos = 0;       // Posi of the line
    qint64 nRace = 0;      // Races.ID
    QString sDivision;     // division of the race
    QString sName;         // driver name shown

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
    void LimitComment();

    QLineEdit* Text1_0 = nullptr;   // position
    QLineEdit* Text1_1 = nullptr;   // driver
    QLineEdit* Text1_2 = nullptr;   // points
    QPlainTextEdit* Text1_3 = nullptr;   // comment
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdCancel = nullptr;

    QVariantList m_saved;
    bool m_hasRow = false;      // the line had a Penalties row at load
    qint64 m_stored = 0;        // its points, as applied to Score.Points
    int m_commentLimit = kCommentLength;
};
