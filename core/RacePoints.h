#pragma once
// The team, rookie and manufacturer points of one race, worked out from its
// result lines. The race result window and the result page written from the
// tables show these lines in the order given, each in its own layout.

#include <QList>
#include <QString>

#include <optional>

struct RacePointsLine {
    QString name;   // team name as stored, driver name as GetDriverInfo gives it, or make
    std::optional<qint64> points;   // none for a team whose lines hold no points

    bool operator==(const RacePointsLine&) const = default;
};

// How teams scoring by place are told apart and ordered at equal points.
// The two differ only for a name with letters beyond ASCII, or a team
// without a name beside one named ""; the window and the page have each
// always shown one of them.
enum class TeamNameOrder {
    Database,     // as the database compares names: case-blind, accents set aside first; no name apart from ""
    CaseFolded,   // by the case-folded name; no name counts as ""
};

// teams 2: each team's sum of its lines' points in the division's race, by
// sum, then name. Otherwise points by place: the race's team cars in
// finishing order score kTeamPlacePoints, later cars nothing; teams are
// summed by name, a name being that of the team's best placed car, and one
// that scored nothing is not listed.
QList<RacePointsLine> RaceTeamPoints(const QString& div, qint64 raceId, int teams, TeamNameOrder order);
// The race's ten best placed rookies (Rookies rows of the line's division)
// score 10 down to 1; only drivers that are on file are listed.
QList<RacePointsLine> RaceRookiePoints(qint64 raceId);
// The first five makes of the result lines in finishing order, with their
// MfgPoints; a line without a make takes no place.
QList<RacePointsLine> RaceMakePoints(qint64 raceId);
