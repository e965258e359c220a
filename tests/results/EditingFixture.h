#pragma once
// The race result window on race 40000 of D1 with its editors registered;
// each editor it opens is shown and handed to the script set for its kind.

#include "RaceResultFixture.h"

#include "RegisterResultsForms.h"
#include "Runtime.h"
#include "frmAddDamage.h"
#include "frmBonusAdd.h"
#include "frmChangeDriver.h"
#include "frmEditIncident.h"
#include "frmEditRace.h"
#include "WindowDialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <sqlite3.h>

#include <functional>

namespace raceresult {

class EditingTest : public RaceResultTest {
protected:
    void SetUp() override
    {
        RaceResultTest::SetUp();
        RegisterResultsForms();
        dlg::SetExecHook([this](QWidget* dialog) {
            ++opened;
            dialog->show();
            QApplication::processEvents();   // a dialog whose line is gone closes here
            if (!dialog->isVisible())
                return 0;
            if (auto* d = qobject_cast<frmChangeDriver*>(dialog); d && onChange)
                onChange(*d);
            else if (auto* d = qobject_cast<frmEditRace*>(dialog); d && onEditRace)
                onEditRace(*d);
            else if (auto* d = qobject_cast<frmBonusAdd*>(dialog); d && onBonus)
                onBonus(*d);
            else if (auto* d = qobject_cast<frmEditIncident*>(dialog); d && onIncident)
                onIncident(*d);
            else if (auto* d = qobject_cast<frmAddDamage*>(dialog); d && onDamage)
                onDamage(*d);
            stillOpen = dialog->isVisible();
            return static_cast<QDialog*>(dialog)->result();
        });
        w = Open();
        ChooseDivision(*w, QStringLiteral("D1 Cup"));
        ASSERT_EQ(w->ShownRace(), kRaceId);
        msgs->clear();
    }
    void TearDown() override
    {
        w.reset();
        RaceResultTest::TearDown();
    }

    // Double-clicks row `row` of grid n.
    void DoubleClick(int n, int row)
    {
        w->Grid(n)->setRow(row);
        emit w->Grid(n)->DblClick();
    }
    static QLineEdit* Box(QWidget& d, const QString& name) { return d.findChild<QLineEdit*>(name); }
    static QLineEdit* Text1(QWidget& d, int i) { return Box(d, QStringLiteral("Text1(%1)").arg(i)); }
    static QPushButton* Button(QWidget& d, const char* name) { return d.findChild<QPushButton*>(QString::fromLatin1(name)); }
    static void PressEscape(QWidget* target)
    {
        target->setFocus();
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(target, &esc);
    }
    static QVariant Value(const QString& sql) { return dbMain->scalar(sql); }
    // Score.<column> of the race's line at posi.
    static QVariant Line(double posi, const char* column)
    {
        return dbMain->scalar(QStringLiteral("SELECT ") + QString::fromLatin1(column) + QStringLiteral(" FROM Score WHERE RaceID = 40000 AND Posi = ")
                              + QString::number(posi));
    }
    static int Count(const QString& sql) { return dbMain->scalar(QStringLiteral("SELECT Count(*) FROM ") + sql).toInt(); }
    // A database error on the next change of a table.
    static void FailOn(const char* event, const char* table)
    {
        const QByteArray sql = QByteArray("CREATE TRIGGER fail_once BEFORE ") + event + " ON " + table
            + " BEGIN SELECT RAISE(ABORT, 'disk I/O trouble'); END";
        ASSERT_EQ(sqlite3_exec(dbMain->handle(), sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    static void StopFailing() { sqlite3_exec(dbMain->handle(), "DROP TRIGGER fail_once", nullptr, nullptr, nullptr); }
    // The same error on every read of a table: a view of it in the
    // connection's temp schema, which names are looked up in first, fails.
    static void FailOnRead(const char* table)
    {
        const auto trouble = [](sqlite3_context* ctx, int, sqlite3_value**) { sqlite3_result_error(ctx, "disk I/O trouble", -1); };
        ASSERT_EQ(sqlite3_create_function_v2(dbMain->handle(), "trouble", 0, SQLITE_UTF8, nullptr, trouble, nullptr, nullptr, nullptr),
                  SQLITE_OK);
        const QByteArray sql = QByteArray("CREATE TEMP VIEW ") + table + " AS SELECT * FROM main." + table + " WHERE trouble()";
        ASSERT_EQ(sqlite3_exec(dbMain->handle(), sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }

    std::unique_ptr<frmRaceResult> w;
    int opened = 0;
    bool stillOpen = false;
    std::function<void(frmEditRace&)> onEditRace;
    std::function<void(frmChangeDriver&)> onChange;
    std::function<void(frmBonusAdd&)> onBonus;
    std::function<void(frmEditIncident&)> onIncident;
    std::function<void(frmAddDamage&)> onDamage;
};

} // namespace raceresult
