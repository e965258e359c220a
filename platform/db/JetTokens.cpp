#include "JetSqlInternal.h"

#include "DbError.h"
#include "DbStatement.h"

namespace dao::jet::parse {

using dao::detail::ident;

[[noreturn]] void syntaxError(const QString& what, const QString& sql)
{
    throw DbError(3075, QStringLiteral("Syntax error (%1) in query expression '%2'.").arg(what, sql));
}

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Each scanner reads one token that starts at i and gives the index after it.
class Scanner {
public:
    explicit Scanner(const QString& s) : s(s), n(s.size()) {}

    QChar peek(qsizetype k) const { return k < n ? s[k] : QChar(); }

    qsizetype space(qsizetype i) const
    {
        while (i < n && s[i].isSpace())
            ++i;
        return i;
    }
    // '...', "..." or `...`, the quote doubled inside.
    qsizetype quoted(qsizetype i) const
    {
        const QChar q = s[i];
        for (++i;; ++i) {
            if (i >= n)
                syntaxError(QStringLiteral("missing closing quote"), s);
            if (s[i] != q)
                continue;
            if (peek(i + 1) != q)
                return i + 1;
            ++i;
        }
    }
    qsizetype bracket(qsizetype i) const
    {
        const qsizetype close = s.indexOf(u']', i);
        if (close < 0)
            syntaxError(QStringLiteral("missing ]"), s);
        return close + 1;
    }
    qsizetype comment(qsizetype i) const
    {
        if (s[i] == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
            return i;
        }
        const qsizetype close = s.indexOf(QStringLiteral("*/"), i + 2);
        return close < 0 ? n : close + 2;
    }
    qsizetype name(qsizetype i) const
    {
        while (i < n && isNameChar(s[i]))
            ++i;
        return i;
    }
    qsizetype digits(qsizetype i) const
    {
        while (i < n && s[i].isDigit())
            ++i;
        return i;
    }
    // Digits, a fraction and an exponent.
    qsizetype number(qsizetype i) const
    {
        i = digits(i);
        if (peek(i) == u'.')
            i = digits(i + 1);
        const bool signedExponent = (peek(i + 1) == u'+' || peek(i + 1) == u'-') && peek(i + 2).isDigit();
        if ((peek(i) == u'e' || peek(i) == u'E') && (peek(i + 1).isDigit() || signedExponent))
            i = digits(i + 2);
        return i;
    }
    // Punctuation and operators, two-character ones whole.
    qsizetype punctuation(qsizetype i, Tok& kind) const
    {
        const QChar c = s[i++];
        switch (c.unicode()) {
        case '(': kind = Tok::LParen; return i;
        case ')': kind = Tok::RParen; return i;
        case ',': kind = Tok::Comma; return i;
        case ';': kind = Tok::Semi; return i;
        case '.': kind = Tok::Dot; return i;
        case '*': kind = Tok::Star; return i;
        default: break;
        }
        kind = Tok::Op;
        static const char* twoChar[] = {"<=", ">=", "<>", "!=", "==", "||", "<<", ">>"};
        for (const char* op : twoChar)
            if (c == QLatin1Char(op[0]) && peek(i) == QLatin1Char(op[1]))
                return i + 1;
        return i;
    }

    const QString& s;
    const qsizetype n;
};

} // namespace

std::vector<Token> tokenize(const QString& s)
{
    refuseNul(s);
    std::vector<Token> v;
    v.reserve(s.size() / 3 + 4);
    const Scanner scan(s);
    for (qsizetype i = 0; i < scan.n;) {
        const qsizetype start = i;
        const QChar c = s[i];
        Tok kind = Tok::Op;
        QString lower;
        if (c.isSpace()) {
            i = scan.space(i);
            kind = Tok::Space;
        } else if (c == u'\'') {
            i = scan.quoted(i);
            kind = Tok::String;
        } else if (c == u'"' || c == u'`') {
            i = scan.quoted(i);
            kind = Tok::Quoted;
            lower = s.mid(start + 1, i - start - 2).replace(QString(2, c), QString(c)).toLower();
        } else if (c == u'[') {
            i = scan.bracket(i);
            kind = Tok::Bracket;
            lower = s.mid(start + 1, i - start - 2).toLower();
        } else if ((c == u'-' && scan.peek(i + 1) == u'-') || (c == u'/' && scan.peek(i + 1) == u'*')) {
            i = scan.comment(i);
            kind = Tok::Comment;
        } else if (c.isLetter() || c == u'_') {
            i = scan.name(i);
            kind = Tok::Ident;
            lower = s.mid(start, i - start).toLower();
        } else if (c.isDigit() || (c == u'.' && scan.peek(i + 1).isDigit())) {
            i = scan.number(i);
            kind = Tok::Number;
        } else {
            i = scan.punctuation(i, kind);
        }
        Token t;
        t.kind = kind;
        t.text = s.mid(start, i - start);
        t.lower = std::move(lower);
        t.out = t.text;
        v.push_back(std::move(t));
    }
    return v;
}

bool isName(const Token& t)
{
    return t.kind == Tok::Ident || t.kind == Tok::Bracket || t.kind == Tok::Quoted;
}

// Words that end a table reference or cannot be an alias.
bool isClauseWord(const QString& w)
{
    static const QSet<QString> words = {
        "select", "from", "where", "group", "order", "having", "union", "except", "intersect", "limit",
        "join", "inner", "left", "right", "outer", "full", "cross", "natural", "on", "using", "as",
        "into", "values", "set", "by", "and", "or", "not", "in", "is", "null", "distinct", "all",
    };
    return words.contains(w);
}

bool isAggregate(const QString& w)
{
    static const QSet<QString> words = {"count", "sum", "avg", "min", "max", "total", "group_concat",
                                        "first", "last", "stdev", "stdevp", "var", "varp"};
    return words.contains(w);
}

// The plain name of a name token.
QString nameOf(const Token& t)
{
    if (t.kind == Tok::Bracket)
        return t.text.mid(1, t.text.size() - 2);
    if (t.kind == Tok::Quoted)
        return t.text.mid(1, t.text.size() - 2).replace(QString(2, t.text[0]), QString(t.text[0]));
    return t.text;
}

QString renameCreateTable(const QString& createSql, const QString& newName)
{
    std::vector<Token> v = tokenize(createSql);
    bool seenTable = false;
    for (Token& k : v) {
        if (k.kind == Tok::Ident && !seenTable) {
            if (k.lower == u"table")
                seenTable = true;
            continue;
        }
        if (!seenTable || k.kind == Tok::Space || k.kind == Tok::Comment)
            continue;
        if (k.kind == Tok::Ident && (k.lower == u"if" || k.lower == u"not" || k.lower == u"exists"))
            continue;
        if (isName(k)) {
            k.out = ident(newName);
            break;
        }
    }
    QString r;
    for (const Token& k : v)
        r += k.out;
    return r;
}

} // namespace dao::jet::parse
