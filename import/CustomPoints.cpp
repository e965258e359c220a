#include "CustomPoints.h"

#include "Runtime.h"

#include <QFileInfo>

#include <limits>

namespace {

enum class Section { None, Qual, Race, LedLap, MostLed };

// A whole number that fits 16 bits, written alone in the field.
bool WholeNumber(const QString& field, int& out)
{
    const QString t = field.trimmed();
    if (!rt::IsNumeric(t))
        return false;
    const double v = rt::Val(t);
    // Range first: casting an out-of-range double is undefined.
    if (!(v >= std::numeric_limits<qint16>::min() && v <= std::numeric_limits<qint16>::max()) || v != double(int(v)))
        return false;
    out = int(v);
    return true;
}

} // namespace

bool CustomPoints::Load(const QString& path)
{
    QStringList lines;
    if (!QFileInfo(path).isFile() || !rt::ReadTextLines(path, lines))
        return false;
    Parse(lines);
    return true;
}

void CustomPoints::Parse(const QStringList& lines)
{
    Section section = Section::None;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            // Section names are exact; an unknown one leaves the section as it was.
            const QString name = rt::Trim(line);
            if (name == QLatin1String("[Qual]"))
                section = Section::Qual;
            else if (name == QLatin1String("[Race]"))
                section = Section::Race;
            else if (name == QLatin1String("[Led Lap]"))
                section = Section::LedLap;
            else if (name == QLatin1String("[Most Led]"))
                section = Section::MostLed;
            continue;
        }
        const int comma = int(line.indexOf(QLatin1Char(',')));
        const QString first = comma < 0 ? line : line.left(comma);
        const QString rest = comma < 0 ? QString() : line.mid(comma + 1);
        int a = 0, b = 0;
        switch (section) {
        case Section::None:
            break;
        case Section::Qual:
        case Section::Race:
            if (comma < 0 || !WholeNumber(first, a) || a < 0 || a > kLastPosition || !WholeNumber(rest, b))
                break;
            (section == Section::Qual ? nQual : nRace)[a] = b;
            break;
        case Section::LedLap:
            if (WholeNumber(first, a))
                nLedLap = a;
            break;
        case Section::MostLed:
            if (WholeNumber(first, a))
                nMostLed = a;
            break;
        }
    }
}

int CustomPoints::QualPoints(int position) const
{
    return position >= 0 && position <= kLastPosition ? nQual[position] : 0;
}

int CustomPoints::RacePoints(int position) const
{
    return position >= 0 && position <= kLastPosition ? nRace[position] : 0;
}
