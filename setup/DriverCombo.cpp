#include "DriverCombo.h"

#include "Database.h"
#include "Lookups.h"
#include "Recordset.h"
#include "State.h"

DriverCombo::DriverCombo(bool withEmptyEntry, QWidget* parent)
    : QComboBox(parent)
    , m_withEmpty(withEmptyEntry)
{
    setMaxVisibleItems(20);
}

void DriverCombo::Fill()
{
    const qint64 chosen = BoundValue();
    clear();
    if (m_withEmpty)
        addItem(QString(), qint64(0));
    const QString shown = DriverShownNameSql();
    // Drivers of the same name come in the order they were added.
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT DriverID, ") + shown
                                    + QStringLiteral(" AS Shown FROM Drivers ORDER BY ") + shown
                                    + QStringLiteral(", DriverID"));
    for (; !rs->eof(); rs->moveNext())
        addItem(rs->text(QStringLiteral("Shown")), rs->integer(QStringLiteral("DriverID")));
    setBoundValue(chosen);
}

qint64 DriverCombo::BoundValue() const
{
    return currentIndex() < 0 ? 0 : currentData().toLongLong();
}

QString DriverCombo::BoundText() const
{
    const qint64 id = BoundValue();
    return id == 0 ? QString() : QString::number(id);
}

void DriverCombo::setBoundValue(qint64 driverId)
{
    if (driverId == 0) {
        setCurrentIndex(m_withEmpty ? 0 : -1);
        return;
    }
    int index = findData(driverId);
    if (index < 0) {
        addItem(QString::number(driverId), driverId);
        index = count() - 1;
    }
    setCurrentIndex(index);
}
