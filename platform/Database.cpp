#include "Database.h"

#include "DbInternal.h"
#include "JetSql.h"
#include "QueryDef.h"
#include "Recordset.h"
#include "Runtime.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace dao {

using detail::StatementLease;

namespace {

const char kTooFewParameters[] = "Too few parameters. Expected 1.";
const char kQueryTable[] = "MSysQueries";
// Translations kept; beyond this they are dropped and kept anew.
constexpr int kMaxTranslations = 2048;

} // namespace

const QHash<QString, QVariant>& DatabaseAccess::params(const Database* db)
{
    return db->m_params;
}

void DatabaseAccess::schemaChanged(Database& db)
{
    db.schemaChanged();
}

namespace detail {

// ---------------------------------------------------------------------------
// Statements and values

Stmt::Stmt(sqlite3* db, const QString& sql)
    : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw sqliteError(db, rc);
    }
    if (!m_stmt)
        throw DbError(3000 + SQLITE_MISUSE, QStringLiteral("Empty statement."));
}

void Stmt::bind(int index, const QVariant& value)
{
    bindValue(m_db, m_stmt, index, value);
}

namespace {

// The SQLite storage class a value goes in as.
enum class SqlKind { Null, Integer, Real, Blob, Text };

SqlKind sqlKind(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return SqlKind::Null;
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return SqlKind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return SqlKind::Real;
    case QMetaType::QByteArray:
        return SqlKind::Blob;
    default:
        return SqlKind::Text;
    }
}

// A bool goes in as 1 or 0.
qint64 integerOf(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool ? (value.toBool() ? 1 : 0) : value.toLongLong();
}

} // namespace

void bindValue(sqlite3* db, sqlite3_stmt* m_stmt, int index, const QVariant& value)
{
    int rc = SQLITE_OK;
    switch (sqlKind(value)) {
    case SqlKind::Null:
        rc = sqlite3_bind_null(m_stmt, index);
        break;
    case SqlKind::Integer:
        rc = sqlite3_bind_int64(m_stmt, index, integerOf(value));
        break;
    case SqlKind::Real:
        rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
        break;
    case SqlKind::Blob: {
        const QByteArray b = value.toByteArray();
        rc = sqlite3_bind_blob64(m_stmt, index, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
        break;
    }
    case SqlKind::Text: {
        const QByteArray t = value.toString().toUtf8();
        rc = sqlite3_bind_text64(m_stmt, index, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
    }
    if (rc != SQLITE_OK)
        throw sqliteError(db, rc);
}

void Stmt::bindAll(const QVariantList& values, int first)
{
    const int n = sqlite3_bind_parameter_count(m_stmt);
    for (int i = 0; i < n; ++i)
        bind(i + 1, first + i < values.size() ? values[first + i] : QVariant());
}

void Stmt::bindAll(sqlite3_stmt* stmt, const QVariantList& values)
{
    sqlite3* db = sqlite3_db_handle(stmt);
    const int n = sqlite3_bind_parameter_count(stmt);
    for (int i = 0; i < n; ++i)
        bindValue(db, stmt, i + 1, i < values.size() ? values[i] : QVariant());
}

bool Stmt::step()
{
    return stepOnce(m_db, m_stmt);
}

bool Stmt::stepOnce(sqlite3* db, sqlite3_stmt* stmt)
{
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw sqliteError(db, rc);
}

QVariant Stmt::value(int column) const
{
    return columnValue(m_stmt, column);
}

QVariant columnValue(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        return QVariant(QByteArray(p, sqlite3_column_bytes(stmt, column)));
    }
    default:
        return QVariant();
    }
}

void resultValue(sqlite3_context* ctx, const QVariant& value)
{
    switch (sqlKind(value)) {
    case SqlKind::Null:
        sqlite3_result_null(ctx);
        break;
    case SqlKind::Integer:
        sqlite3_result_int64(ctx, integerOf(value));
        break;
    case SqlKind::Real:
        sqlite3_result_double(ctx, value.toDouble());
        break;
    case SqlKind::Blob:   // function results are texts
    case SqlKind::Text: {
        const QByteArray t = value.toString().toUtf8();
        sqlite3_result_text64(ctx, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
    }
}

DbError sqliteError(sqlite3* db, int rc, const QString& message)
{
    const QString msg = message.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(db)) : message;
    if (msg == QLatin1String(kTooFewParameters))
        return DbError(3061, msg);
    // jet_fit's refusal, raised as a function error.
    if (msg.startsWith(QLatin1String("The field '")) && msg.contains(QLatin1String("' is too small to accept")))
        return DbError(3163, msg);
    const int ext = db ? sqlite3_extended_errcode(db) : rc;
    if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY || rc == SQLITE_CONSTRAINT_UNIQUE
        || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        return DbError(3022, QStringLiteral("The changes you requested to the table were not successful because they "
                                            "would create duplicate values in the index, primary key, or relationship. "
                                            "Change the data in the field or fields that contain duplicate data, "
                                            "remove the index, or redefine the index to permit duplicate entries "
                                            "and try again."));
    return DbError(3000 + (rc & 0xff), msg);
}

void exec(sqlite3* db, const QString& sql)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : QString();
        sqlite3_free(err);
        throw sqliteError(db, rc, msg);
    }
}

QString ident(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

int typeFromDecl(const QString& declType)
{
    QString t = declType.toUpper();
    const int paren = t.indexOf(QLatin1Char('('));
    if (paren >= 0)
        t = t.left(paren);
    t = t.trimmed();
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
    static const QRegularExpression re(QStringLiteral("^\\s*(?:VAR)?CHAR\\w*\\s*\\(\\s*(\\d+)\\s*\\)"),
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

QVariant coerceToColumn(const QVariant& value, const QString& declType, const QString& column)
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
        const int width = declWidth(declType);
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

} // namespace detail

using namespace detail;

// ---------------------------------------------------------------------------
// Case-blind text comparison for every text column and comparison.

namespace {

bool isAscii(const unsigned char* s, int n)
{
    for (int i = 0; i < n; ++i)
        if (s[i] & 0x80)
            return false;
    return true;
}

int sign(int v)
{
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

QString stripMarks(const QString& folded)
{
    const QString d = folded.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(d.size());
    for (QChar c : d) {
        const auto cat = c.category();
        if (cat != QChar::Mark_NonSpacing && cat != QChar::Mark_SpacingCombining && cat != QChar::Mark_Enclosing)
            out.append(c);
    }
    return out;
}

// Equal when the case-folded texts are equal; ordered by the text without
// accents first so that accented names sort among their plain letters.
int nocaseCompare(void*, int na, const void* pa, int nb, const void* pb)
{
    // The same bytes are the same text however it is folded (a division id
    // against itself, mostly).
    if (na == nb && std::memcmp(pa, pb, size_t(na)) == 0)
        return 0;
    const auto* a = static_cast<const unsigned char*>(pa);
    const auto* b = static_cast<const unsigned char*>(pb);
    // One pass for the usual ASCII texts. Up to the first character beyond
    // ASCII both texts read the same however they are folded, so the first
    // difference between two ASCII characters decides for any texts.
    const int n = std::min(na, nb);
    int i = 0;
    // Eight characters at a time while both are ASCII and alike once folded.
    constexpr quint64 kHigh = 0x8080808080808080ULL;
    const auto fold8 = [](quint64 x) {
        // Bytes below 0x80 only: the high bit marks 'A' and above, and above 'Z'.
        const quint64 fromA = x + 0x3f3f3f3f3f3f3f3fULL;
        const quint64 pastZ = x + 0x2525252525252525ULL;
        return x | ((fromA & ~pastZ & kHigh) >> 2);
    };
    for (; i + 8 <= n; i += 8) {
        quint64 x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (((x | y) & kHigh) || fold8(x) != fold8(y))
            break;
    }
    for (; i < n && !((a[i] | b[i]) & 0x80); ++i) {
        const int ca = (a[i] >= 'A' && a[i] <= 'Z') ? a[i] + 32 : a[i];
        const int cb = (b[i] >= 'A' && b[i] <= 'Z') ? b[i] + 32 : b[i];
        if (ca != cb)
            return ca - cb;
    }
    if (i == n && isAscii(a + n, na - n) && isAscii(b + n, nb - n))
        return na - nb;
    const QString fa = QString::fromUtf8(reinterpret_cast<const char*>(a), na).toCaseFolded();
    const QString fb = QString::fromUtf8(reinterpret_cast<const char*>(b), nb).toCaseFolded();
    if (fa == fb)
        return 0;
    const int c = stripMarks(fa).compare(stripMarks(fb));
    if (c != 0)
        return sign(c);
    return sign(fa.compare(fb));
}

// ---------------------------------------------------------------------------
// SQL functions the translated statements call.

QString argText(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return rt::Str(sqlite3_value_double(v));
    default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        return QString::fromUtf8(p, sqlite3_value_bytes(v));
    }
    }
}

void resultNumber(sqlite3_context* ctx, double d)
{
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15)
        sqlite3_result_int64(ctx, sqlite3_int64(d));
    else
        sqlite3_result_double(ctx, d);
}

// Val(x): the leading number of a text. Jet raises an error for Null; here
// Null gives 0 so that a missing race number sorts first instead of failing.
void fnVal(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_int64(ctx, 0);
        return;
    case SQLITE_INTEGER:
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        return;
    case SQLITE_FLOAT:
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
        return;
    default: {
        // Digits alone, as race numbers are, read straight from the bytes.
        const auto* p = sqlite3_value_text(argv[0]);
        const int n = sqlite3_value_bytes(argv[0]);
        if (p && n > 0 && n <= 15 && std::all_of(p, p + n, [](unsigned char c) { return c >= '0' && c <= '9'; })) {
            sqlite3_int64 v = 0;
            for (int i = 0; i < n; ++i)
                v = v * 10 + (p[i] - '0');
            sqlite3_result_int64(ctx, v);
            return;
        }
        resultNumber(ctx, rt::Val(argText(argv[0])));
    }
    }
}

// CStr(x): the plain text of a value ("15", never "15.0").
void fnCStr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultValue(ctx, argText(argv[0]));
}

// Mid$(x, start[, length]), 1-based.
void fnMid(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    // Clamp before narrowing: a huge start or length must not wrap round.
    const auto toInt = [](sqlite3_value* v) {
        return int(std::clamp<sqlite3_int64>(sqlite3_value_int64(v), 0, std::numeric_limits<int>::max()));
    };
    const int start = toInt(argv[1]);
    int length = -1;
    if (argc > 2)
        length = toInt(argv[2]);
    // An ASCII text is cut from its bytes, one character each.
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const auto* p = sqlite3_value_text(argv[0]);
        const int n = sqlite3_value_bytes(argv[0]);
        if (p && isAscii(p, n)) {
            const int from = std::max(start, 1) - 1;
            const int rest = std::max(n - from, 0);
            const int take = length < 0 ? rest : std::min(length, rest);
            sqlite3_result_text(ctx, reinterpret_cast<const char*>(p) + std::min(from, n), take, SQLITE_TRANSIENT);
            return;
        }
    }
    resultValue(ctx, rt::Mid(argText(argv[0]), start, length));
}

std::optional<QDate> parseDatePart(const QString& text, bool& twoDigitYear)
{
    static const char* const fourDigit[] = {
        "M/d/yyyy", "d/M/yyyy", "yyyy-M-d", "yyyy/M/d", "M-d-yyyy", "d.M.yyyy",
        "MMM d, yyyy", "MMMM d, yyyy", "MMM d,yyyy", "MMMM d,yyyy", "MMM d yyyy", "MMMM d yyyy",
        "d MMM yyyy", "d MMMM yyyy", "d-MMM-yyyy", "d MMM, yyyy", "d MMMM, yyyy",
        "ddd MMM d yyyy", "ddd, MMM d, yyyy", "dddd, MMMM d, yyyy", "dddd MMMM d yyyy", "ddd, d MMM yyyy",
        "ddd MMM d, yyyy", "dddd, MMM d, yyyy",
    };
    static const char* const twoDigit[] = {"M/d/yy", "d/M/yy", "M-d-yy", "d-MMM-yy"};
    const QLocale c = QLocale::c();
    QString t = text.simplified();
    // Ordinal suffixes: "October 12th, 2003".
    static const QRegularExpression ordinal(QStringLiteral("(\\d)(st|nd|rd|th)\\b"), QRegularExpression::CaseInsensitiveOption);
    t.replace(ordinal, QStringLiteral("\\1"));
    // Month names written in any letter case.
    static const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
    QString norm;
    int last = 0;
    for (auto it = word.globalMatch(t); it.hasNext();) {
        const auto m = it.next();
        norm += t.mid(last, m.capturedStart() - last);
        QString w = m.captured().toLower();
        w[0] = w[0].toUpper();
        norm += w;
        last = m.capturedEnd();
    }
    norm += t.mid(last);
    twoDigitYear = false;
    for (const char* f : fourDigit) {
        const QDate d = c.toDate(norm, QLatin1String(f));
        if (d.isValid())
            return d;
    }
    for (const char* f : twoDigit) {
        QDate d = c.toDate(norm, QLatin1String(f));
        if (d.isValid()) {
            twoDigitYear = true;
            // 00-29 are 2000s, 30-99 the 1900s.
            const int yy = d.year() % 100;
            return QDate(yy < 30 ? 2000 + yy : 1900 + yy, d.month(), d.day());
        }
    }
    return std::nullopt;
}

// CDate(x) as a sortable number (Julian day with the time as a fraction);
// Null when the text is not a date.
void fnCDate(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int vt = sqlite3_value_type(argv[0]);
    if (vt == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    if (vt == SQLITE_INTEGER || vt == SQLITE_FLOAT) {
        // A number is a date serial counted from 1899-12-30.
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) + double(QDate(1899, 12, 30).toJulianDay()));
        return;
    }
    QString s = argText(argv[0]).trimmed();
    double fraction = 0;
    static const QRegularExpression timeRe(
        QStringLiteral("(?:^|[\\sT,])(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d+)?)?\\s*([AaPp]\\.?[Mm]\\.?)?\\s*$"));
    const auto tm = timeRe.match(s);
    if (tm.hasMatch()) {
        int h = tm.captured(1).toInt();
        const int m = tm.captured(2).toInt();
        const int sec = tm.captured(3).isEmpty() ? 0 : tm.captured(3).toInt();
        const QString ap = tm.captured(4).toUpper();
        if (!ap.isEmpty()) {
            if (h < 1 || h > 12) {
                sqlite3_result_null(ctx);
                return;
            }
            h = h % 12 + (ap.startsWith(QLatin1Char('P')) ? 12 : 0);
        }
        if (h > 23 || m > 59 || sec > 59) {
            sqlite3_result_null(ctx);
            return;
        }
        fraction = (h * 3600 + m * 60 + sec) / 86400.0;
        s = s.left(tm.capturedStart()).trimmed();
        if (s.endsWith(QLatin1Char(',')))
            s.chop(1);
        if (s.isEmpty()) {
            // A time alone is a time of day 0.
            sqlite3_result_double(ctx, double(QDate(1899, 12, 30).toJulianDay()) + fraction);
            return;
        }
    }
    bool twoDigit = false;
    const auto d = parseDatePart(s, twoDigit);
    if (!d) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_double(ctx, double(d->toJulianDay()) + fraction);
}

// jet_fit(x, width, 'column'): x, refused when its text is longer than
// width. A text within width bytes is within width characters.
void fnFit(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int type = sqlite3_value_type(argv[0]);
    const int width = sqlite3_value_int(argv[1]);
    if (type != SQLITE_NULL && type != SQLITE_BLOB && !(type == SQLITE_TEXT && sqlite3_value_bytes(argv[0]) <= width)) {
        try {
            checkWidth(argText(argv[0]), width, argText(argv[2]));
        } catch (const DbError& e) {
            const QByteArray message = e.description().toUtf8();
            sqlite3_result_error(ctx, message.constData(), int(message.size()));
            return;
        }
    }
    sqlite3_result_value(ctx, argv[0]);
}

void fnParam(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const auto* db = static_cast<const Database*>(sqlite3_user_data(ctx));
    const QString name = argText(argv[0]).toLower();
    const auto& params = DatabaseAccess::params(db);
    const auto it = params.constFind(name);
    if (it == params.constEnd()) {
        sqlite3_result_error(ctx, kTooFewParameters, -1);
        return;
    }
    resultValue(ctx, it.value());
}

void setUpConnection(sqlite3* db, Database* owner)
{
    sqlite3_busy_timeout(db, 5000);
    sqlite3_extended_result_codes(db, 0);
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, nocaseCompare, nullptr);
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "jet_val", 1, det, nullptr, fnVal, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_cstr", 1, det, nullptr, fnCStr, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_mid", 2, det, nullptr, fnMid, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_mid", 3, det, nullptr, fnMid, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_cdate", 1, det, nullptr, fnCDate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_param", 1, SQLITE_UTF8, owner, fnParam, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_fit", 3, det, nullptr, fnFit, nullptr, nullptr, nullptr);
    exec(db, QStringLiteral("PRAGMA foreign_keys = OFF; PRAGMA recursive_triggers = ON;"));
    // A season's results and their indexes stay in memory (64 MiB at most,
    // taken as pages are read), and so do the sorts of the standings and
    // statistics; the default of 2 MiB would read them from the file again
    // and again.
    exec(db, QStringLiteral("PRAGMA cache_size = -65536;"));
}

bool isDataChange(const QString& sql)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(INSERT|UPDATE|DELETE|REPLACE)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

} // namespace

// ---------------------------------------------------------------------------
// Opening

Database::Database(sqlite3* db, QString path)
    : m_db(db), m_path(std::move(path)), m_caches(std::make_unique<detail::Caches>(db))
{
}

Database::~Database()
{
    m_caches.reset();
    sqlite3_close_v2(m_db);
}

void Database::schemaChanged()
{
    m_caches->statements.clear();
    m_caches->translations.clear();
    m_caches->plainSelects.clear();
    m_caches->tables.clear();
    m_caches->queries.clear();
    m_caches->shapes.clear();
    ++m_schemaGeneration;
}

std::unique_ptr<Database> Database::open(const QString& path)
{
    const QFileInfo fi(path);
    if (!fi.exists())
        throw DbError(3024, QStringLiteral("Could not find file '%1'.").arg(path));
    const QString unrecognised = QStringLiteral("Unrecognized database format '%1'.").arg(path);
    const QString noAccess = QStringLiteral("Cannot open the file '%1'. It is already opened exclusively by another "
                                            "user, or you need permission to change its data.")
                                 .arg(path);
    // An empty file would pass for an empty database; it is no league file.
    if (!fi.isFile() || fi.size() == 0)
        throw DbError(3343, unrecognised);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(raw);
        throw DbError(rc == SQLITE_CANTOPEN || rc == SQLITE_PERM ? 3051 : 3343, rc == SQLITE_CANTOPEN || rc == SQLITE_PERM ? noAccess : unrecognised);
    }
    std::unique_ptr<Database> db(new Database(raw, path));
    // The open is lazy: read the schema to know the file is a database.
    sqlite3_busy_timeout(raw, 5000);
    sqlite3_stmt* st = nullptr;
    int vr = sqlite3_prepare_v2(raw, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr);
    if (vr == SQLITE_OK)
        vr = sqlite3_step(st);
    sqlite3_finalize(st);
    if (vr != SQLITE_ROW) {
        const int code = vr & 0xff;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED || code == SQLITE_PERM || code == SQLITE_CANTOPEN)
            throw DbError(3051, noAccess);
        throw DbError(3343, unrecognised);
    }
    if (sqlite3_db_readonly(raw, "main") == 1)
        throw DbError(3051, noAccess);
    setUpConnection(raw, db.get());
    return db;
}

std::unique_ptr<Database> Database::create(const QString& path)
{
    if (QFileInfo::exists(path))
        throw DbError(3204, QStringLiteral("Database already exists."));
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QStringLiteral("Cannot create '%1'.").arg(path);
        sqlite3_close_v2(raw);
        throw DbError(3000 + (rc & 0xff), msg);
    }
    std::unique_ptr<Database> db(new Database(raw, path));
    setUpConnection(raw, db.get());
    // Write the file header now so the new file is a database at once.
    exec(raw, QStringLiteral("CREATE TABLE __new(x); DROP TABLE __new;"));
    return db;
}

// ---------------------------------------------------------------------------
// Statements

jet::Context Database::translationContext()
{
    jet::Context ctx;
    ctx.savedQuerySql = [this](const QString& name) -> QString {
        const auto query = findQueryDef(name);
        if (!query)
            return QString();
        QString sql = query->second.toString();
        if (sql.isNull())
            sql = QLatin1String("");
        return sql;
    };
    // Kept per table until the schema changes: the widths are read for
    // every write that is translated.
    const auto shape = [this](const QString& table) -> const std::pair<QStringList, QList<int>>& {
        const QString key = table.toLower();
        auto it = m_caches->shapes.find(key);
        if (it == m_caches->shapes.end()) {
            std::pair<QStringList, QList<int>> made;
            for (const ColumnInfo& c : columns(table)) {
                made.first << c.name;
                made.second << (c.type == dbText ? declWidth(c.declType) : 0);
            }
            it = m_caches->shapes.insert(key, made);
        }
        return *it;
    };
    ctx.tableColumns = [shape](const QString& table) { return shape(table).first; };
    ctx.tableColumnWidths = [shape](const QString& table) { return shape(table).second; };
    ctx.tableCreateSql = [this](const QString& table) -> QString {
        Stmt s(m_db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
        s.bind(1, table);
        return s.step() ? s.value(0).toString() : QString();
    };
    return ctx;
}

bool detail::unresolvedColumn(const DbError& e, QString& name)
{
    static const QLatin1String prefix("no such column: ");
    if (!e.description().startsWith(prefix))
        return false;
    name = e.description().mid(prefix.size()).trimmed();
    return !name.isEmpty() && !name.contains(QLatin1Char('.'));
}

void Database::withTranslation(const QString& jetSql, const std::function<void(const jet::Translation&)>& body)
{
    if (m_caches->statements.stale())
        schemaChanged();
    // A text translates the same way until the schema or the saved queries
    // change, names found to be aliases or parameters included.
    auto& translations = m_caches->translations;
    const auto cached = translations.constFind(jetSql);
    if (cached != translations.constEnd()) {
        const jet::Translation t = *cached;   // the body may drop the caches
        try {
            body(t);
            return;
        } catch (const DbError& e) {
            QString name;
            if (!unresolvedColumn(e, name))
                throw;
            // Changed behind the layer's back: translate afresh.
            schemaChanged();
        }
    }
    jet::Context ctx = translationContext();
    for (int attempt = 0;; ++attempt) {
        const jet::Translation t = jet::translate(jetSql, ctx);
        try {
            const quint64 generation = m_schemaGeneration;
            body(t);
            // A statement that changed the schema translates anew next time.
            if (generation == m_schemaGeneration) {
                if (translations.size() >= kMaxTranslations)
                    translations.clear();
                translations.insert(jetSql, t);
            }
            return;
        } catch (const DbError& e) {
            QString name;
            if (attempt >= 32 || !unresolvedColumn(e, name) || ctx.unresolved.contains(name.toLower()))
                throw;
            // An alias reused in the same list, or a parameter: translate again.
            ctx.unresolved.insert(name.toLower());
        }
    }
}

int Database::execute(const QString& sql)
{
    return execute(sql, QVariantList());
}

int Database::execute(const QString& sql, const QVariantList& values)
{
    int changes = 0;
    withTranslation(sql, [&](const jet::Translation& t) {
        for (const auto& bound : t.boundWidths)
            checkWidth(values.value(bound.parameter), bound.width, bound.column);
        changes = runStatements(t.statements, values);
    });
    return changes;
}

int Database::runStatements(const QStringList& statements, const QVariantList& values)
{
    checkTransaction();
    // Several statements (SELECT ... INTO) stand or fall together.
    const bool guarded = statements.size() > 1;
    if (guarded)
        exec(m_db, QStringLiteral("SAVEPOINT jet_statement"));
    int changes = 0;
    try {
        int used = 0;
        auto run = [&](sqlite3_stmt* raw, bool changesRows) {
            const int n = sqlite3_bind_parameter_count(raw);
            for (int i = 0; i < n; ++i) {
                const QVariant v = used + i < values.size() ? values[used + i] : QVariant();
                bindValue(m_db, raw, i + 1, v);
            }
            used += n;
            int src;
            while ((src = sqlite3_step(raw)) == SQLITE_ROW) {
            }
            if (src != SQLITE_DONE)
                throw sqliteError(m_db, src);
            if (changesRows)
                changes += sqlite3_changes(m_db);
        };
        for (const QString& text : statements) {
            // One statement: prepared once and kept.
            if (StatementLease lease = m_caches->statements.acquire(text)) {
                const bool schema = lease.changesSchema();
                try {
                    run(lease.get(), lease.changesRows());
                } catch (...) {
                    if (schema)
                        schemaChanged();
                    throw;
                }
                if (schema)
                    schemaChanged();
                continue;
            }
            const QByteArray utf8 = text.toUtf8();
            const char* tail = utf8.constData();
            const char* end = tail + utf8.size();
            while (tail < end) {
                sqlite3_stmt* raw = nullptr;
                const char* next = nullptr;
                const int rc = sqlite3_prepare_v2(m_db, tail, int(end - tail), &raw, &next);
                if (rc != SQLITE_OK) {
                    sqlite3_finalize(raw);
                    throw sqliteError(m_db, rc);
                }
                const QString piece = QString::fromUtf8(tail, int(next - tail));
                tail = next;
                if (!raw)
                    continue;   // blanks or a lone ';'
                struct Finaliser {
                    sqlite3_stmt* s;
                    ~Finaliser() { sqlite3_finalize(s); }
                } fin{raw};
                // Any of several statements may change the schema.
                const SchemaChange changed{*this};
                run(raw, isDataChange(piece));
            }
        }
        if (guarded)
            exec(m_db, QStringLiteral("RELEASE jet_statement"));
    } catch (...) {
        if (guarded && !sqlite3_get_autocommit(m_db)) {
            sqlite3_exec(m_db, "ROLLBACK TO jet_statement; RELEASE jet_statement;", nullptr, nullptr, nullptr);
            schemaChanged();
        }
        throw;
    }
    return changes;
}

QVariant Database::scalar(const QString& sql)
{
    // Only the first row is read.
    auto rs = openRecordset(sql, {}, dbOpenForwardOnly);
    if (rs->eof() || rs->fieldCount() == 0)
        return QVariant();
    return rs->field(0);
}

QString Database::translate(const QString& jetSql)
{
    return jet::translate(jetSql, translationContext()).statements.join(QStringLiteral(";\n"));
}

qint64 Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

void Database::setParameters(const QHash<QString, QVariant>& params)
{
    m_params.clear();
    for (auto it = params.constBegin(); it != params.constEnd(); ++it)
        m_params.insert(normaliseParameterName(it.key()), it.value());
}

void Database::clearParameters()
{
    m_params.clear();
}

QString Database::normaliseParameterName(const QString& name)
{
    QString n = name.trimmed();
    if (n.startsWith(QLatin1Char('[')) && n.endsWith(QLatin1Char(']')))
        n = n.mid(1, n.size() - 2);
    return n.toLower();
}

// ---------------------------------------------------------------------------
// Saved queries

std::optional<std::pair<QString, QVariant>> Database::findQueryDef(const QString& name) const
{
    // Names compare as the database compares them: case-blind.
    const QString key = name.toCaseFolded();
    const auto cached = m_caches->queries.constFind(key);
    if (cached != m_caches->queries.constEnd())
        return *cached;
    std::optional<std::pair<QString, QVariant>> found;
    if (hasTable(QLatin1String(kQueryTable))) {
        Stmt s(m_db, QStringLiteral("SELECT Name, SQL FROM MSysQueries WHERE Name = ? COLLATE NOCASE"));
        s.bind(1, name);
        if (s.step())
            found = std::make_pair(s.value(0).toString(), s.value(1));
    }
    m_caches->queries.insert(key, found);
    return found;
}

bool Database::hasQueryDef(const QString& name) const
{
    return findQueryDef(name).has_value();
}

QueryDef Database::createQueryDef(const QString& name, const QString& sql)
{
    if (name.trimmed().isEmpty())
        throw DbError(3125, QStringLiteral("'%1' isn't a valid name.").arg(name));
    if (hasQueryDef(name) || hasTable(name))
        throw DbError(3012, QStringLiteral("Object '%1' already exists.").arg(name));
    const SchemaChange changed{*this};
    exec(m_db, QStringLiteral("CREATE TABLE IF NOT EXISTS MSysQueries ("
                              "Name TEXT PRIMARY KEY COLLATE NOCASE, SQL TEXT, Seq INTEGER)"));
    Stmt s(m_db, QStringLiteral("INSERT INTO MSysQueries (Name, SQL, Seq) "
                                "VALUES (?, ?, (SELECT coalesce(max(Seq), 0) + 1 FROM MSysQueries))"));
    s.bind(1, name);
    s.bind(2, sql);
    s.step();
    return QueryDef(this, name, sql);
}

QueryDef Database::queryDef(const QString& name)
{
    if (const auto query = findQueryDef(name))
        return QueryDef(this, query->first, query->second.toString());
    throw DbError(3265, QStringLiteral("Item not found in this collection."));
}

QStringList Database::queryDefNames() const
{
    QStringList names;
    if (!hasTable(QLatin1String(kQueryTable)))
        return names;
    Stmt s(m_db, QStringLiteral("SELECT Name FROM MSysQueries ORDER BY Seq, rowid"));
    while (s.step())
        names << s.value(0).toString();
    return names;
}

void Database::deleteQueryDef(const QString& name)
{
    if (!hasQueryDef(name))
        throw DbError(3265, QStringLiteral("Item not found in this collection."));
    Stmt s(m_db, QStringLiteral("DELETE FROM MSysQueries WHERE Name = ? COLLATE NOCASE"));
    s.bind(1, name);
    schemaChanged();
    s.step();
}

// ---------------------------------------------------------------------------
// Transactions

void Database::checkTransaction() const
{
    // SQLite rolls a whole transaction back by itself after some errors
    // (disk full, I/O error) while the caller still counts it open: what
    // follows must not run on its own, outside any transaction.
    if (m_transDepth > 0 && sqlite3_get_autocommit(m_db))
        throw DbError(3000 + SQLITE_ABORT, QStringLiteral("The transaction was ended by the database after an earlier "
                                                          "error; nothing of it was saved."));
}

void Database::beginTrans()
{
    checkTransaction();
    if (m_transDepth == 0)
        exec(m_db, QStringLiteral("BEGIN IMMEDIATE"));
    else
        exec(m_db, QStringLiteral("SAVEPOINT trans_%1").arg(m_transDepth));
    ++m_transDepth;
}

void Database::commitTrans()
{
    checkTransaction();
    if (m_transDepth == 0)
        throw DbError(3034, QStringLiteral("You tried to commit or rollback a transaction without first beginning a transaction."));
    const int level = m_transDepth - 1;
    if (level == 0)
        exec(m_db, QStringLiteral("COMMIT"));
    else
        exec(m_db, QStringLiteral("RELEASE trans_%1").arg(level));
    m_transDepth = level;
}

void Database::rollback()
{
    if (m_transDepth == 0)
        throw DbError(3034, QStringLiteral("You tried to commit or rollback a transaction without first beginning a transaction."));
    // What is rolled back may have been schema or saved queries.
    schemaChanged();
    const int level = m_transDepth - 1;
    m_transDepth = level;
    // When SQLite has rolled everything back already, each level only
    // unwinds; the outer levels stay refused until they roll back too.
    if (sqlite3_get_autocommit(m_db))
        return;
    if (level == 0)
        exec(m_db, QStringLiteral("ROLLBACK"));
    else
        exec(m_db, QStringLiteral("ROLLBACK TO trans_%1; RELEASE trans_%1").arg(level));
}

Transaction::Transaction(Database& db)
    : m_db(db)
{
    m_db.beginTrans();
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        m_db.rollback();
    } catch (...) {
        // Nothing more can be done while unwinding.
    }
}

void Transaction::commit()
{
    if (m_done)
        return;
    m_db.commitTrans();
    m_done = true;
}

void Transaction::rollback()
{
    if (m_done)
        return;
    m_done = true;
    m_db.rollback();
}

// ---------------------------------------------------------------------------

QString quote(const QString& text)
{
    return QLatin1Char('\'') + escape(text) + QLatin1Char('\'');
}

QString escape(const QString& text)
{
    QString s = text;
    s.replace(QLatin1Char('\''), QStringLiteral("''"));
    return s;
}

} // namespace dao
