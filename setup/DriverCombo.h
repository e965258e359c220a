#pragma once
// A driver chosen from every driver of the league: the list shows each
// driver's name (his online id when he has none) in name order, and the
// choice gives his DriverID.

#include <QComboBox>

class DriverCombo : public QComboBox {
    Q_OBJECT
public:
    // With an empty first entry, "no driver" can be chosen again.
    explicit DriverCombo(bool withEmptyEntry, QWidget* parent = nullptr);

    // Loads the drivers; what was chosen stays chosen when still listed.
    void Fill();
    // The chosen driver's DriverID, 0 when none.
    qint64 BoundValue() const;
    // The same as text: "" when no driver is chosen.
    QString BoundText() const;
    // Chooses the driver; an id not in the list is kept and shown as a
    // number, so saving does not lose it; 0 chooses none.
    void setBoundValue(qint64 driverId);

private:
    bool m_withEmpty;
};
