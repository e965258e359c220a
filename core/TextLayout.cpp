#include "TextLayout.h"

#include "Database.h"
#include "Recordset.h"
#include "Runtime.h"

#include <cmath>

QString PadRight(const QString& s, double w)
{
    const int width = static_cast<int>(rt::RoundHalfEven(w));
    return rt::LSet(rt::Trim(s), width);
}

QString AlignRight(double n, int w)
{
    // The shortest text of the single-precision value: 7 significant
    // digits, exponent form only for very large or small values.
    QString text = QString::number(static_cast<double>(static_cast<float>(n)), 'G', 7);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return rt::RSet(rt::Trim(text), w);
}

QString ZeroPad(const QString& s, int n)
{
    if (n <= 0)
        return QString();
    return (QStringLiteral("0000000000") + rt::Trim(s)).right(n);
}

QString HTMLColor(double c)
{
    const qint64 v = static_cast<qint64>(rt::RoundHalfEven(c));
    const int red = int(v & 0xFF);
    const int green = int((v >> 8) & 0xFF);
    const int blue = int((v >> 16) & 0xFF);
    auto hex = [](int part) { return QStringLiteral("%1").arg(part, 2, 16, QLatin1Char('0')).toUpper(); };
    return QLatin1Char('#') + hex(red) + hex(green) + hex(blue);
}

static bool textDiffers(const QVariant& a, const QVariant& b)
{
    // A value that is absent never counts as a change.
    if (a.isNull() || b.isNull())
        return false;
    return rt::Trim(a.toString()) != rt::Trim(b.toString());
}

bool ValuesChanged(const QVariantList& oldValues, const QVariantList& newValues, int n)
{
    for (int i = 0; i <= n && i < oldValues.size() && i < newValues.size(); ++i)
        if (textDiffers(oldValues[i], newValues[i]))
            return true;
    return false;
}

void ClearFields(dao::Recordset& rs)
{
    for (int i = 0; i < rs.fieldCount(); ++i) {
        if (rs.fieldAttributes(i) == dao::dbAutoNumberAttributes)
            continue;
        switch (rs.fieldType(i)) {
        case dao::dbBoolean:
            rs.setField(i, false);
            break;
        case dao::dbByte:
        case dao::dbInteger:
        case dao::dbLong:
        case dao::dbCurrency:
        case dao::dbSingle:
        case dao::dbDouble:
            rs.setField(i, 0);
            break;
        case dao::dbText:
        case dao::dbMemo:
            rs.setField(i, QStringLiteral(""));
            break;
        default:
            // Dates, binary data and identifiers keep what they hold.
            break;
        }
    }
}
