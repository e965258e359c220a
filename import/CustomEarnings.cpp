#include "CustomEarnings.h"

#include "Runtime.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

// A data line is "position,value"; anything that does not fit is skipped.
bool ParseDataLine(const QString& line, int& position, double& value)
{
    const int comma = line.indexOf(QLatin1Char(','));
    if (comma < 0)
        return false;
    const QString first = line.left(comma).trimmed();
    const QString rest = line.mid(comma + 1).trimmed();
    // The value must start with a number: a stray text would pay 0 and
    // replace an earlier line for the position.
    static const QRegularExpression leadingNumber(QStringLiteral("^[+-]?\\.?[0-9]"));
    if (!rt::IsNumeric(first) || !leadingNumber.match(rest).hasMatch())
        return false;
    const double pos = rt::Val(first);
    if (pos != static_cast<int>(pos) || pos < 0 || pos > CustomEarnings::kLastPosition)
        return false;
    position = static_cast<int>(pos);
    value = rt::Val(rest);
    return true;
}

} // namespace

void CustomEarnings::Load()
{
    bRates = false;
    bMoney = false;

    const QString path = rt::AppFile(sFile);
    QStringList lines;
    QString error;
    if (sFile.trimmed().isEmpty() || QFileInfo(path).isDir() || !QFileInfo::exists(path)) {
        bError = true;
        sErrorMsg = sFile + QStringLiteral(": File not found");
        return;
    }
    if (!rt::ReadTextLines(path, lines, &error)) {
        bError = true;
        sErrorMsg = sFile + QStringLiteral(": ") + error;
        return;
    }

    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char(';')))
            continue;
        const QString flag = rt::Trim(line);
        if (flag == QLatin1String("[rates]")) {
            bRates = true;
        } else if (flag == QLatin1String("[money]")) {
            bMoney = true;
        } else {
            int position = 0;
            double value = 0;
            if (ParseDataLine(line, position, value))
                dPosValue[position] = value;
        }
    }
}

double CustomEarnings::GetEarnings(int position) const
{
    if (position < 0 || position > kLastPosition)
        return 0;
    return dPosValue[position];
}
