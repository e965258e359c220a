#pragma once
// A division's custom points file: sections "[Qual]" and "[Race]" give
// points by position, "[Led Lap]" a bonus for every leader and
// "[Most Led]" one for the driver who led the most laps.

#include <QString>
#include <QStringList>

#include <array>

class CustomPoints {
public:
    static constexpr int kLastPosition = 50;

    std::array<int, kLastPosition + 1> nQual{};
    std::array<int, kLastPosition + 1> nRace{};
    int nLedLap = 0;
    int nMostLed = 0;

    // Reads the file; false when it cannot be read (the values stay 0).
    bool Load(const QString& path);
    // Fills the values from the file's lines; lines that do not fit the
    // format are skipped.
    void Parse(const QStringList& lines);

    // 0 for a position without a slot.
    int QualPoints(int position) const;
    int RacePoints(int position) const;
};
