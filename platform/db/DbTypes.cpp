#include "DbTypes.h"

#include "Database.h"
#include "DbError.h"
#include "DbStatement.h"
#include "Runtime.h"

#include <QRegularExpression>

#include <cmath>

namespace dao::detail {

int typeFromDecl(const QString& declType)
{
    QString t = declType.toUpper();
    const int paren = t.indexOf(QLatin1Char('('));
    if (paren >= 0)
        t = t.left(paren);
    t = t.trimmed();
    // Jet's TEXT(n) is a text of that width; TEXT alone is a memo.
    if (t == QLatin1String("TEXT") && declWidth(declType) > 0)
        return dbText;
    auto has = [&](const char* s) { return t.contains(QLatin1String(s)); };
    if (t.isEmpty())
        return dbText;
    if (has("BOOL") || t == QLatin1String("BIT") || has("YESNO"))
        return dbBoolean;
    if (has("BYTE") && !has("BINARY"))
        return dbByte;
    if (has("TINYINT"))
        return dbByte;
    if (has("SMALLINT") || has("SHORT"))
        return dbInteger;
    if (has("CURRENCY") || has("MONEY"))
        return dbCurrency;
    if (has("SINGLE"))
        return dbSingle;
    if (has("DOUBLE") || has("REAL") || has("FLOAT") || has("NUMERIC") || has("DECIMAL"))
        return dbDouble;
    if (has("DATE") || has("TIME"))
        return dbDate;
    if (has("LONGBINARY") || has("BLOB"))
        return dbLongBinary;
    if (has("BINARY"))
        return dbBinary;
    if (has("GUID"))
        return dbGUID;
    if (has("CHAR"))
        return dbText;
    if (has("TEXT") || has("MEMO") || has("CLOB"))
        return dbMemo;
    if (has("INT") || has("LONG") || has("COUNTER"))
        return dbLong;
    return dbText;
}

int declWidth(const QString& declType)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(?:(?:VAR)?CHAR\\w*|TEXT)\\s*\\(\\s*(\\d+)\\s*\\)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(declType);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

void checkWidth(const QVariant& value, int width, const QString& column)
{
    if (width <= 0 || value.isNull() || !value.isValid() || value.typeId() == QMetaType::QByteArray)
        return;
    // A number or a truth value is stored as its text in a text column.
    const qsizetype length = value.typeId() == QMetaType::QString ? value.toString().size()
        : value.typeId() == QMetaType::Bool                       ? 1
                                                                   : rt::Str(value).size();
    if (length > width)
        throw fieldTooSmall(column);
}

static bool parseNumberText(const QString& text, double& out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    out = t.toDouble(&ok);
    if (ok)
        return std::isfinite(out);
    // Thousands separators and a leading currency sign, as a typed amount may have.
    QString s = t;
    if (s.startsWith(QLatin1Char('$')))
        s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-$")))
        s.remove(1, 1);
    static const QRegularExpression grouped(QStringLiteral("^[+-]?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
    if (grouped.match(s).hasMatch())
        s.remove(QLatin1Char(','));
    out = s.toDouble(&ok);
    return ok && std::isfinite(out);
}

QVariant coerceToColumn(const QVariant& value, const QString& declType, const QString& column, bool heldToWidth)
{
    if (value.isNull() || !value.isValid())
        return QVariant();
    const int type = typeFromDecl(declType);
    const bool isText = value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QChar;
    const bool isBool = value.typeId() == QMetaType::Bool;
    auto conversionError = [] {
        return DbError(3421, QStringLiteral("Data type conversion error."));
    };
    switch (type) {
    case dbText:
    case dbMemo: {
        QString s;
        if (isBool)
            s = value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        else if (isText)
            s = value.toString();
        else
            s = rt::Str(value);
        const int width = heldToWidth ? declWidth(declType) : 0;
        if (width > 0 && s.size() > width)
            throw fieldTooSmall(column);
        return s;
    }
    case dbBoolean:
    case dbByte:
    case dbInteger:
    case dbLong:
    case dbCurrency:
    case dbSingle:
    case dbDouble: {
        // A whole number goes into a Long column as it is: through a double
        // an id beyond 2^53 would lose its last digits.
        if (type == dbLong && !isBool && value.typeId() != QMetaType::ULongLong
            && (isText || sqlKind(value) == SqlKind::Integer)) {
            bool exact = false;
            const qlonglong n = isText ? value.toString().trimmed().toLongLong(&exact) : value.toLongLong(&exact);
            if (exact)
                return n;
        }
        double d = 0;
        if (isBool) {
            d = value.toBool() ? (type == dbBoolean ? 1 : -1) : 0;
        } else if (isText) {
            const QString t = value.toString().trimmed();
            if (type == dbBoolean) {
                const QString l = t.toLower();
                if (l == QLatin1String("true") || l == QLatin1String("yes") || l == QLatin1String("on"))
                    return qlonglong(1);
                if (l == QLatin1String("false") || l == QLatin1String("no") || l == QLatin1String("off"))
                    return qlonglong(0);
            }
            if (!parseNumberText(t, d))
                throw conversionError();
        } else if (value.canConvert<double>()) {
            bool ok = false;
            d = value.toDouble(&ok);
            if (!ok)
                throw conversionError();
        } else {
            throw conversionError();
        }
        switch (type) {
        case dbBoolean:
            return qlonglong(d != 0 ? 1 : 0);
        case dbByte:
        case dbInteger:
        case dbLong: {
            const double r = rt::RoundHalfEven(d, 0);
            const double lo = type == dbByte ? 0 : type == dbInteger ? -32768 : -9.2e18;
            const double hi = type == dbByte ? 255 : type == dbInteger ? 32767 : 9.2e18;
            if (r < lo || r > hi)
                throw DbError(3349, QStringLiteral("Numeric field overflow."));
            return qlonglong(r);
        }
        case dbCurrency:
            return rt::RoundHalfEven(d, 4);
        default:
            return d;
        }
    }
    default:
        return value;
    }
}

} // namespace dao::detail
