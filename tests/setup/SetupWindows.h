#pragma once
// The team, rookie and bonus windows over a league with one scored race:
// editors run through the exec hook with a script per opening, message
// boxes are answered by script.

#include "../results/RaceResultFixture.h"

#include "FormRegistry.h"
#include "Forms.h"
#include "QueryRows.h"
#include "RegisterResultsForms.h"
#include "ScriptedEditors.h"
#include "SetupForms.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>

#include <deque>
#include <functional>

namespace setupwindows {

inline void pressKey(QWidget* w, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class SetupWindowsTest : public raceresult::RaceResultTest, protected ScriptedEditors, protected QueryRows {
protected:
    void SetUp() override
    {
        RaceResultTest::SetUp();
        RegisterSetupForms();
        RegisterResultsForms();
        installExecHook();
    }
    void TearDown() override
    {
        UnloadAllForms();
        settle();
        RaceResultTest::TearDown();
    }

    // A registered window of its own, owned by the test.
    std::unique_ptr<QWidget> open(const char* name)
    {
        std::unique_ptr<QWidget> w(CreateForm(QString::fromLatin1(name)));
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        return w;
    }
    static void choose(QWidget* list, const QString& division)
    {
        auto* combo = list->findChild<QComboBox*>(QStringLiteral("Combo1"));
        const int index = combo->findText(division);
        ASSERT_GE(index, 0) << division.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static QAction* tool(QWidget* list, const char* key)
    {
        return list->findChild<QToolBar*>(QStringLiteral("Toolbar1"))->findChild<QAction*>(QString::fromLatin1(key));
    }
    static QAction* menu(QWidget* list, const char* name)
    {
        return list->findChild<QAction*>(QString::fromLatin1(name));
    }
    static QTableWidget* grid(QWidget* list) { return list->findChild<QTableWidget*>(QStringLiteral("List1")); }
    // Row texts of the grid, columns joined by "|".
    static QStringList rows(QWidget* list)
    {
        QStringList out;
        QTableWidget* g = grid(list);
        for (int r = 0; r < g->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < g->columnCount(); ++c)
                cells << (g->item(r, c) ? g->item(r, c)->text() : QString());
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    // The enabled state of New, Edit and Delete on the toolbar and the menu.
    static QList<bool> actions(QWidget* list)
    {
        return {tool(list, "new")->isEnabled(), tool(list, "edit")->isEnabled(), tool(list, "delete")->isEnabled(),
                menu(list, "mnuNew")->isEnabled(), menu(list, "mnuEdit")->isEnabled(), menu(list, "mnuDelete")->isEnabled()};
    }
    // Runs a toolbar command with a script for the editor it opens.
    void run(QWidget* list, const char* key, Script script = {})
    {
        if (script)
            scripts.push_back(std::move(script));
        tool(list, key)->trigger();
    }

    static void ok(QDialog* d) { d->findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click(); }
    static void cancel(QDialog* d) { d->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click(); }
    static void pick(QWidget* d, const QString& name, const QString& shown)
    {
        auto* c = d->findChild<QComboBox*>(name);
        ASSERT_NE(c, nullptr) << name.toStdString();
        const int index = c->findText(shown);
        ASSERT_TRUE(shown.isEmpty() || index >= 0) << shown.toStdString();
        c->setCurrentIndex(index);
    }
    static QStringList comboItems(QWidget* d, const QString& name)
    {
        QStringList out;
        auto* c = d->findChild<QComboBox*>(name);
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
};

} // namespace setupwindows
