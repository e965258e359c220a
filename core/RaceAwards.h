#pragma once
// The five awards of one race. The race result window and the result page
// written from the tables show each award's name with the same winner text
// after it, each in its own layout.

#include <QList>
#include <QString>

#include <optional>

struct RaceAward {
    QString name;                    // "Pole", "Front Runner", ...
    std::optional<QString> winner;   // the winner with his figure; none when no line qualifies

    bool operator==(const RaceAward&) const = default;
};

// The awards in the order shown. Names are as GetDriverInfo gives them,
// without surrounding blanks; figures are as stored. Equal figures go to
// the better finisher.
//   Pole                "name, speed mph (time s.)": the qualifier at Pos 1 with a result line
//   Front Runner        "name, N laps Lead": most laps led
//   Meet the Challenge  "name, N places improved": most places gained from the grid, of lines in both
//   Headache            "name, N places dropped": most places lost
//   Diehard Racer       "name": the running car with the fewest laps, the worse finisher among equals
QList<RaceAward> RaceAwards(qint64 raceId);
// The pole's winner text; each part without surrounding blanks, the speed
// without a unit of its own.
QString PoleAwardText(const QString& name, const QString& speed, const QString& time);
// A qualifying speed without the unit a result page writes after it:
// "192.103 mph" gives "192.103". Rows an earlier version imported still
// hold the unit. A text that is all unit is left as it is.
QString SpeedNumber(const QString& speed);
