#pragma once
// Shared set-up of the import tests: divisions, tracks, drivers and teams
// written straight into the league database, pages taken from tests/data
// (or variants of them), and a dump of every row for before/after checks.

#include "TestSupport.h"

#include "ProcessClass.h"
#include "Runtime.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class ImportTest : public testsupport::LeagueTest {
protected:
    void SetUp() override;

    void AddDivision(const QString& id = QStringLiteral("CUP"), int pointSystem = 1, int teams = 0,
                     bool earnings = false, const QString& pointsFile = QString(),
                     const QString& earningsFile = QString());
    qint64 AddTrack(const QString& shortName, const QString& fullName, double miles);
    qint64 AddDriver(const QString& onlineId, const QString& brand = QStringLiteral(" "));
    qint64 AddTeam(const QString& div, const QString& name, const QList<qint64>& drivers);
    qint64 DriverId(const QString& onlineId);

    // The text of a page in tests/data, and a copy of it (changed or not) in
    // the program folder.
    static QString PageText(const QString& name);
    QString WritePage(const QString& name, const QString& text);

    // Runs one import the way the import window does.
    ProcessClass Run(const QString& div, const QString& raceNo, const QString& page, qint64 trackId,
                     bool moneyOnly = false, bool speed = false);

    // Every row of every table, one text per row, sorted.
    static QStringList Dump();
    // Rows of a query, each as "a|b|c".
    static QStringList Rows(const QString& sql);
    static QVariant Value(const QString& sql);

    qint64 pocono = 0;        // 2.5 miles
    qint64 martinsville = 0;  // 0.526 miles
};
