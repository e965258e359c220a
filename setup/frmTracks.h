#pragma once
// The track editor ("Tracks"): short name, full name, miles and type of
// one Tracks row, new or edited. Esc does nothing here.

#include "EditorDialog.h"

#include <QVariantList>

class QLineEdit;

class frmTracks : public EditorDialog {
    Q_OBJECT
public:
    explicit frmTracks(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool hasChanges() override { return TrackChanged(); }
    bool TrackChanged();
    void cmdUpdate_Click();

    QList<QWidget*> m_fields;
    QLineEdit* txtFields[4] = {};
    QVariantList m_snapshot;
};
