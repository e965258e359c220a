#include "SqlFunctions.h"

#include "Database.h"
#include "DbError.h"
#include "DbStatement.h"
#include "DbTypes.h"
#include "Runtime.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace dao {

const QHash<QString, QVariant>& SqlFunctionAccess::params(const Database* db)
{
    return db->m_params;
}

namespace detail {

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
    const auto& params = SqlFunctionAccess::params(db);
    const auto it = params.constFind(name);
    if (it == params.constEnd()) {
        sqlite3_result_error(ctx, kTooFewParameters, -1);
        return;
    }
    resultValue(ctx, it.value());
}

} // namespace

void registerSqlFunctions(sqlite3* db, Database* owner)
{
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, nocaseCompare, nullptr);
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "jet_val", 1, det, nullptr, fnVal, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_cstr", 1, det, nullptr, fnCStr, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_mid", 2, det, nullptr, fnMid, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_mid", 3, det, nullptr, fnMid, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_cdate", 1, det, nullptr, fnCDate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_param", 1, SQLITE_UTF8, owner, fnParam, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_fit", 3, det, nullptr, fnFit, nullptr, nullptr, nullptr);
}

} // namespace detail
} // namespace dao
