#include "ResultDialog.h"

#include "ControlTexts.h"
#include "Database.h"
#include "Dialogs.h"
#include "EnterOnButtons.h"
#include "Forms.h"
#include "Lookups.h"
#include "Recordset.h"
#include "State.h"
#include "frmRaceResult.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <limits>

ResultDialog::ResultDialog(QWidget* parent)
    : QDialog(parent)
{
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSizeF(8.25);
    setFont(f);
    setModal(true);
}

bool ResultDialog::EnsureLoaded()
{
    if (m_load == LoadState::NotYet) {
        bool shown = false;
        try {
            shown = Form_Load();
        } catch (const dao::DbError& e) {
            dlg::MsgBox(e.description());
        }
        m_load = shown ? LoadState::Shown : LoadState::Gone;
    }
    return m_load == LoadState::Shown;
}

int ResultDialog::exec()
{
    if (!EnsureLoaded()) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void ResultDialog::showEvent(QShowEvent* event)
{
    if (!m_boxesWatched) {
        m_boxesWatched = true;
        for (QLineEdit* box : findChildren<QLineEdit*>())
            box->installEventFilter(this);
    }
    QDialog::showEvent(event);
    // Shown without exec (as the tests do): close once the show is over.
    if (!EnsureLoaded())
        QMetaObject::invokeMethod(this, [this] { Close(); }, Qt::QueuedConnection);
}

bool ResultDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Tabbing into a line edit selects its text; these dialogs leave it as it is.
    if (FocusInWithoutSelecting(watched, event))
        return true;
    return QDialog::eventFilter(watched, event);
}

void ResultDialog::Close(int result)
{
    m_closing = true;
    done(result);
}

void ResultDialog::reject()
{
    if (m_closing || m_load != LoadState::Shown) {
        m_closing = true;
        QDialog::reject();
        return;
    }
    Cancel();
}

frmRaceResult* ResultDialog::RaceResultWindow() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* window = qobject_cast<frmRaceResult*>(w))
            return window;
    return qobject_cast<frmRaceResult*>(FindLoadedForm(QStringLiteral("frmRaceResult")));
}

void ResultDialog::RefreshRaceResult(const std::function<void(frmRaceResult&)>& refresh) const
{
    frmRaceResult* window = RaceResultWindow();
    if (!window)
        return;
    QString reason;
    try {
        refresh(*window);
        return;
    } catch (const dao::DbError& e) {
        reason = e.description();
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    }
    dlg::MsgBox(QStringLiteral("The change has been saved, but the Race Result window could not be refreshed:\n\n") + reason,
                dlg::vbExclamation);
}

bool ResultDialog::Commit(const std::function<void()>& changes)
{
    try {
        dao::Transaction trans(*dbMain);
        changes();
        trans.commit();
        return true;
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description());
        return false;
    }
}

void ResultDialog::Refuse(const QString& message, const QString& title, QWidget* focus)
{
    dlg::MsgBox(message, dlg::vbCritical | dlg::vbOKOnly, title);
    if (focus)
        focus->setFocus();
}

bool ResultDialog::ConfirmLoseChanges()
{
    nAnswer = dlg::MsgBox(QStringLiteral("All changes will be lost, do you want to continue"),
                          dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2, QStringLiteral("Verify"));
    return nAnswer == dlg::vbYes;
}

bool ResultDialog::ReadWhole(const QString& text, qint64& value)
{
    static const QRegularExpression re(QStringLiteral("^[+-]?[0-9]+$"));
    const QString t = text.trimmed();
    if (!re.match(t).hasMatch())
        return false;
    bool ok = false;
    value = t.toLongLong(&ok);
    return ok && value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

QPushButton* ResultDialog::MakeButton(const QString& caption, const QString& name)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setDefault(false);
    PressOnEnter(b);
    return b;
}

void ResultDialog::AddDriversOutsideRace(QComboBox* list, qint64 raceId)
{
    auto rs = dbMain->openRecordset(
        QStringLiteral("SELECT Drivers.DriverID, Drivers.Name, Drivers.OnlineID ") + QStringLiteral("FROM Drivers ")
            + QStringLiteral("WHERE Drivers.DriverID NOT IN (SELECT Score.DriverID FROM Score WHERE RaceID = ? "
                             "AND Score.DriverID Is Not Null) ")
            + QStringLiteral("ORDER BY ") + DriverShownNameSql() + QStringLiteral(", Drivers.DriverID"),
        {raceId});
    for (; !rs->eof(); rs->moveNext())
        list->addItem(DriverShownName(rs->text(QStringLiteral("Name")), rs->text(QStringLiteral("OnlineID"))),
                      rs->integer(QStringLiteral("DriverID")));
}
