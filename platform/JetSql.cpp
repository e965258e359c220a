#include "JetSql.h"

#include "DbError.h"

#include <QHash>

#include <functional>
#include <memory>
#include <vector>

namespace dao::jet {
namespace {

// ---------------------------------------------------------------- tokens

enum class Tok { Space, Comment, String, Bracket, Quoted, Ident, Number, Op, LParen, RParen, Comma, Semi, Dot, Star };

struct Token {
    Tok kind;
    QString text;   // as written
    QString lower;  // names: the name in lower case (brackets and quotes removed)
    // Output: pre + out + post. out starts as text; rewrites change these
    // three only, so token positions found by the analysis stay valid.
    QString pre, out, post;
};

[[noreturn]] void syntaxError(const QString& what, const QString& sql)
{
    throw DbError(3075, QStringLiteral("Syntax error (%1) in query expression '%2'.").arg(what, sql));
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

std::vector<Token> tokenize(const QString& s)
{
    std::vector<Token> v;
    v.reserve(s.size() / 3 + 4);
    const qsizetype n = s.size();
    qsizetype i = 0;
    auto peek = [&](qsizetype k) { return k < n ? s[k] : QChar(); };
    while (i < n) {
        const qsizetype start = i;
        const QChar c = s[i];
        Tok kind;
        QString lower;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            kind = Tok::Space;
        } else if (c == u'\'' || c == u'"' || c == u'`') {
            ++i;
            for (;;) {
                if (i >= n)
                    syntaxError(QStringLiteral("missing closing quote"), s);
                if (s[i] == c) {
                    if (peek(i + 1) == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            if (c == u'\'') {
                kind = Tok::String;
            } else {
                kind = Tok::Quoted;
                lower = s.mid(start + 1, i - start - 2).replace(QString(2, c), QString(c)).toLower();
            }
        } else if (c == u'[') {
            const qsizetype close = s.indexOf(u']', i);
            if (close < 0)
                syntaxError(QStringLiteral("missing ]"), s);
            i = close + 1;
            kind = Tok::Bracket;
            lower = s.mid(start + 1, close - start - 1).toLower();
        } else if (c == u'-' && peek(i + 1) == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
            kind = Tok::Comment;
        } else if (c == u'/' && peek(i + 1) == u'*') {
            const qsizetype close = s.indexOf(QStringLiteral("*/"), i + 2);
            i = close < 0 ? n : close + 2;
            kind = Tok::Comment;
        } else if (c.isLetter() || c == u'_') {
            while (i < n && isNameChar(s[i]))
                ++i;
            kind = Tok::Ident;
            lower = s.mid(start, i - start).toLower();
        } else if (c.isDigit() || (c == u'.' && peek(i + 1).isDigit())) {
            while (i < n && s[i].isDigit())
                ++i;
            if (peek(i) == u'.') {
                ++i;
                while (i < n && s[i].isDigit())
                    ++i;
            }
            if ((peek(i) == u'e' || peek(i) == u'E')
                && (peek(i + 1).isDigit() || ((peek(i + 1) == u'+' || peek(i + 1) == u'-') && peek(i + 2).isDigit()))) {
                i += 2;
                while (i < n && s[i].isDigit())
                    ++i;
            }
            kind = Tok::Number;
        } else {
            ++i;
            switch (c.unicode()) {
            case '(': kind = Tok::LParen; break;
            case ')': kind = Tok::RParen; break;
            case ',': kind = Tok::Comma; break;
            case ';': kind = Tok::Semi; break;
            case '.': kind = Tok::Dot; break;
            case '*': kind = Tok::Star; break;
            default: {
                kind = Tok::Op;
                static const char* twoChar[] = {"<=", ">=", "<>", "!=", "==", "||", "<<", ">>"};
                for (const char* op : twoChar) {
                    if (c == QLatin1Char(op[0]) && peek(i) == QLatin1Char(op[1])) {
                        ++i;
                        break;
                    }
                }
            }
            }
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

// A name as SQLite should read it: plain when it is a simple identifier,
// bracketed otherwise ([..] never falls back to a string literal).
QString ident(const QString& name)
{
    static const QSet<QString> reserved = {"drop", "select", "from", "where", "group", "order", "table",
                                           "index", "by", "on", "as", "in", "is", "to", "join", "set",
                                           "values", "into", "default", "check", "references", "unique",
                                           "primary", "foreign", "constraint", "and", "or", "not", "null"};
    bool plain = !name.isEmpty() && !name[0].isDigit() && !reserved.contains(name.toLower());
    for (QChar c : name) {
        if (!(c.isLetterOrNumber() || c == u'_') || c.unicode() > 127) {
            plain = false;
            break;
        }
    }
    if (plain)
        return name;
    if (!name.contains(u']'))
        return u'[' + name + u']';
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
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

// ---------------------------------------------------------------- analysis

struct Item {
    int start = 0, end = 0;   // expression tokens [start, end)
    QString alias;            // lower case, empty when none
    QString outName;          // lower case output column name; "*" for a star
    QString outText;          // the output name as written
};

struct Source {
    int nameTok = -1;
    int aliasTok = -1;
    bool saved = false;
};

struct Select {
    int selectTok = -1;
    int parent = -1;
    int depth = 0;
    int listStart = -1, listEnd = -1;
    int intoTok = -1, intoName = -1;
    int fromTok = -1;
    int orderTok = -1;
    bool distinct = false;
    bool grouped = false;
    bool compound = false;
    bool aggregate = false;
    std::vector<Item> items;
    std::vector<Source> sources;
    QHash<QString, int> aliases;   // lower alias -> item index
};

// What the outer query needs to know of an expanded saved query.
struct SavedInfo {
    QSet<QString> outNames;   // "*" when a star leaves them open
    QList<QPair<QString, bool>> order;   // output column, descending
};

struct Shared {
    const Context& ctx;
    QList<QPair<QString, QString>> ctes;   // name, body; dependencies first
    QHash<QString, SavedInfo> saved;       // lower name -> info, once expanded
    QSet<QString> expanding;
    QHash<QString, QString> savedSqlCache;   // lower name -> text ("" = none)
    QHash<QString, QStringList> columnsCache;

    explicit Shared(const Context& c) : ctx(c) {}

    QString savedSql(const QString& name)
    {
        const QString key = name.toLower();
        auto it = savedSqlCache.constFind(key);
        if (it != savedSqlCache.constEnd())
            return *it;
        QString sql = ctx.savedQuerySql ? ctx.savedQuerySql(name) : QString();
        if (sql.isNull())
            sql = QLatin1String("");
        savedSqlCache.insert(key, sql);
        return sql;
    }
    QStringList columns(const QString& table)
    {
        const QString key = table.toLower();
        auto it = columnsCache.constFind(key);
        if (it != columnsCache.constEnd())
            return *it;
        QStringList cols = ctx.tableColumns ? ctx.tableColumns(table) : QStringList();
        columnsCache.insert(key, cols);
        return cols;
    }
};

class Statement {
public:
    Statement(const QString& sql, Shared& shared) : m_sql(sql), m_sh(shared), t(tokenize(sql))
    {
        stripTrailingSemicolons();
        n = int(t.size());
        first = nextSig(-1);
        kind = first < n && t[first].kind == Tok::Ident ? t[first].lower : QString();
        refuseSeveralStatements();
    }

    Translation translate();
    // The single SELECT text of a saved query, for a CTE body.
    QString translateBody(SavedInfo& info);

private:
    QString m_sql;
    Shared& m_sh;
    std::vector<Token> t;
    int n = 0;
    int first = 0;
    QString kind;
    std::vector<int> match;      // matching parenthesis, -1 for others
    std::vector<int> depthOf;    // parenthesis depth of each token
    std::vector<int> owner;      // innermost SELECT owning each token, -1 none
    std::vector<char> tableTok;  // token is a table name or table alias
    std::vector<Select> sel;
    // Unresolved-name decisions: token -> item index of the inlined alias.
    QHash<int, int> aliasRef;

    int nextSig(int i) const
    {
        for (++i; i < int(t.size()); ++i)
            if (t[i].kind != Tok::Space && t[i].kind != Tok::Comment)
                return i;
        return int(t.size());
    }
    int prevSig(int i) const
    {
        for (--i; i >= 0; --i)
            if (t[i].kind != Tok::Space && t[i].kind != Tok::Comment)
                return i;
        return -1;
    }
    bool kw(int i, const char* word) const
    {
        return i >= 0 && i < n && t[i].kind == Tok::Ident && t[i].lower == QLatin1String(word);
    }
    bool isDml() const
    {
        return kind == u"select" || kind == u"insert" || kind == u"update" || kind == u"delete";
    }

    void stripTrailingSemicolons();
    void refuseSeveralStatements() const;
    void analyse();
    void recordSource(int sOwner, int i);
    void splitItems(Select& s);
    void rewriteDrop();
    void rewriteExpressions();
    void resolveUnresolved();
    bool isColumnInScope(int s, const QString& name);
    void expandSavedQueries();
    void completeInsertColumns();
    QList<QPair<QString, bool>> orderTerms(const Select& s) const;
    QString render(int from, int to, int guard = 0) const;
    QString render() const { return render(0, n); }
    QString withPrefix() const;
};

void Statement::stripTrailingSemicolons()
{
    for (;;) {
        int last = int(t.size()) - 1;
        while (last >= 0 && (t[last].kind == Tok::Space || t[last].kind == Tok::Comment))
            --last;
        if (last < 0 || t[last].kind != Tok::Semi)
            return;
        t.resize(last);
    }
}

// A text runs as one statement: were a later one to fail, the earlier ones
// would have run already (and again when the text is retried). Only a
// trigger's body holds ';' of its own.
void Statement::refuseSeveralStatements() const
{
    if (kind == u"create") {
        int i = nextSig(first);
        if (kw(i, "temp") || kw(i, "temporary"))
            i = nextSig(i);
        if (kw(i, "trigger"))
            return;
    }
    for (const Token& k : t)
        if (k.kind == Tok::Semi)
            throw DbError(3142, QStringLiteral("Characters found after end of SQL statement."));
}

QString Statement::render(int from, int to, int guard) const
{
    QString r;
    for (int i = from; i < to; ++i) {
        const Token& k = t[i];
        r += k.pre;
        auto a = aliasRef.constFind(i);
        if (a != aliasRef.constEnd() && guard < 16) {
            const Item& it = sel[owner[i]].items[*a];
            r += u'(' + render(it.start, it.end, guard + 1).trimmed() + u')';
        } else {
            r += k.out;
        }
        r += k.post;
    }
    return r;
}

// One walk over the tokens: parentheses, SELECT scopes, select lists and
// the table references of every FROM clause.
void Statement::analyse()
{
    match.assign(n, -1);
    depthOf.assign(n, 0);
    owner.assign(n, -1);
    tableTok.assign(n, 0);

    struct Frame {
        int owner = -1;
        int listSel = -1;   // SELECT whose list is being read at this level
        bool inFrom = false;
        bool expectTable = false;
    };
    std::vector<Frame> frames(1);
    std::vector<int> open;

    for (int i = 0; i < n; ++i) {
        Token& k = t[i];
        Frame& f = frames.back();
        owner[i] = f.owner;
        depthOf[i] = int(frames.size()) - 1;
        if (k.kind == Tok::Space || k.kind == Tok::Comment)
            continue;
        if (k.kind == Tok::LParen) {
            Frame child;
            child.owner = f.owner;
            if (f.expectTable) {
                child.inFrom = true;
                child.expectTable = true;
                f.expectTable = false;
            }
            open.push_back(i);
            frames.push_back(child);
            continue;
        }
        if (k.kind == Tok::RParen) {
            if (frames.size() > 1) {
                if (frames.back().listSel >= 0 && sel[frames.back().listSel].listEnd < 0)
                    sel[frames.back().listSel].listEnd = i;
                frames.pop_back();
                match[i] = open.back();
                match[open.back()] = i;
                open.pop_back();
                depthOf[i] = int(frames.size()) - 1;
            }
            continue;
        }
        if (k.kind == Tok::Comma) {
            if (f.inFrom)
                f.expectTable = true;
            continue;
        }
        if (k.kind == Tok::Ident && isClauseWord(k.lower)) {
            const QString& w = k.lower;
            auto endList = [&] {
                if (f.listSel >= 0) {
                    sel[f.listSel].listEnd = i;
                    f.listSel = -1;
                }
            };
            if (w == u"select") {
                Select s;
                s.selectTok = i;
                s.depth = depthOf[i];
                s.parent = frames.size() > 1 ? frames[frames.size() - 2].owner : -1;
                if (f.owner >= 0 && sel[f.owner].depth == s.depth) {
                    s.parent = sel[f.owner].parent;   // a UNION branch
                    sel[f.owner].compound = true;
                    s.compound = true;
                }
                int j = nextSig(i);
                if (kw(j, "distinct")) {
                    s.distinct = true;
                    j = nextSig(j);
                } else if (kw(j, "all")) {
                    j = nextSig(j);
                }
                s.listStart = j;
                sel.push_back(s);
                f.owner = int(sel.size()) - 1;
                owner[i] = f.owner;
                f.listSel = f.owner;
                f.inFrom = f.expectTable = false;
            } else if (w == u"into") {
                if (f.listSel >= 0) {
                    Select& s = sel[f.listSel];
                    endList();
                    s.intoTok = i;
                    s.intoName = nextSig(i);
                }
            } else if (w == u"from") {
                endList();
                if (f.owner >= 0 && sel[f.owner].fromTok < 0 && sel[f.owner].depth == depthOf[i])
                    sel[f.owner].fromTok = i;
                f.inFrom = true;
                f.expectTable = true;
            } else if (w == u"join") {
                if (f.inFrom)
                    f.expectTable = true;
            } else if (w == u"on" || w == u"using") {
                f.expectTable = false;
            } else if (w == u"where" || w == u"group" || w == u"order" || w == u"having" || w == u"limit"
                       || w == u"union" || w == u"except" || w == u"intersect") {
                endList();
                f.inFrom = f.expectTable = false;
                if (f.owner >= 0 && sel[f.owner].depth == depthOf[i]) {
                    if (w == u"group")
                        sel[f.owner].grouped = true;
                    if (w == u"order" && sel[f.owner].orderTok < 0)
                        sel[f.owner].orderTok = i;
                }
            } else if (w == u"set" || w == u"values") {
                f.inFrom = f.expectTable = false;
            }
            continue;
        }
        if (f.expectTable && isName(k)) {
            recordSource(f.owner, i);
            f.expectTable = false;
            continue;
        }
        if (k.kind == Tok::Ident && f.owner >= 0 && isAggregate(k.lower) && nextSig(i) < n
            && t[nextSig(i)].kind == Tok::LParen)
            sel[f.owner].aggregate = true;
    }
    for (Select& s : sel) {
        if (s.listEnd < 0)
            s.listEnd = n;
        splitItems(s);
    }
}

void Statement::recordSource(int sOwner, int i)
{
    tableTok[i] = 1;
    Source src;
    src.nameTok = i;
    int j = nextSig(i);
    if (j < n && t[j].kind == Tok::Dot) {
        // schema.table: the table is the last part
        int k = nextSig(j);
        if (k < n && isName(t[k])) {
            tableTok[k] = 1;
            src.nameTok = k;
            j = nextSig(k);
        }
    }
    if (kw(j, "as"))
        j = nextSig(j);
    if (j < n && isName(t[j]) && !(t[j].kind == Tok::Ident && isClauseWord(t[j].lower))) {
        src.aliasTok = j;
        tableTok[j] = 1;
    }
    if (t[src.nameTok].kind == Tok::Ident || t[src.nameTok].kind == Tok::Bracket)
        src.saved = !m_sh.savedSql(nameOf(t[src.nameTok])).isEmpty();
    if (sOwner >= 0)
        sel[sOwner].sources.push_back(src);
}

void Statement::splitItems(Select& s)
{
    if (s.listStart < 0 || s.listStart >= s.listEnd)
        return;
    auto addItem = [&](int a, int b) {
        while (a < b && (t[a].kind == Tok::Space || t[a].kind == Tok::Comment))
            ++a;
        while (b > a && (t[b - 1].kind == Tok::Space || t[b - 1].kind == Tok::Comment))
            --b;
        if (a >= b)
            return;
        Item it;
        it.start = a;
        it.end = b;
        const int last = b - 1;
        const int before = prevSig(last);
        if (isName(t[last]) && before >= a && kw(before, "as")) {
            it.alias = t[last].lower;
            it.outName = it.alias;
            it.outText = nameOf(t[last]);
            it.end = before;
            while (it.end > a && t[it.end - 1].kind == Tok::Space)
                --it.end;
            s.aliases.insert(it.alias, int(s.items.size()));
        } else if (t[last].kind == Tok::Star) {
            it.outName = QStringLiteral("*");
        } else if (isName(t[last]) && (last == a || t[before].kind == Tok::Dot)) {
            it.outName = t[last].lower;
            it.outText = nameOf(t[last]);
        }
        s.items.push_back(it);
    };
    int start = s.listStart;
    for (int i = s.listStart; i < s.listEnd; ++i) {
        if (t[i].kind == Tok::Comma && depthOf[i] == s.depth) {
            addItem(start, i);
            start = i + 1;
        }
    }
    addItem(start, s.listEnd);
}

// Drop is a keyword to SQLite but a column of Division here.
void Statement::rewriteDrop()
{
    for (int i = 0; i < n; ++i) {
        if (!(t[i].kind == Tok::Ident && t[i].lower == u"drop"))
            continue;
        const int next = nextSig(i);
        if (next < n && t[next].kind == Tok::Ident) {
            const QString& w = t[next].lower;
            if (w == u"table" || w == u"index" || w == u"view" || w == u"trigger" || w == u"column")
                continue;
            if (kind == u"alter" && t[prevSig(i)].kind != Tok::Comma && !kw(prevSig(i), "column"))
                continue;   // ALTER TABLE t DROP name
        }
        t[i].out = QStringLiteral("[") + t[i].text + u']';
    }
}

void Statement::rewriteExpressions()
{
    // DELETE * FROM / DELETE T.* FROM: everything between DELETE and FROM goes.
    if (kind == u"delete") {
        for (int i = first + 1; i < n && !kw(i, "from"); ++i)
            if (t[i].kind != Tok::Space)
                t[i].out.clear();
    }
    const QString collate = QStringLiteral(" COLLATE NOCASE)");
    for (int i = 0; i < n; ++i) {
        Token& k = t[i];
        if (k.kind == Tok::Op && k.text == u"/") {
            k.out = QStringLiteral(" * 1.0 / ");   // real division, as Jet's /
            continue;
        }
        if (k.kind != Tok::Ident)
            continue;
        const int prev = prevSig(i);
        if (prev >= 0 && t[prev].kind == Tok::Dot)
            continue;
        const int next = nextSig(i);
        const bool call = next < n && t[next].kind == Tok::LParen && match[next] >= 0;
        const QString& w = k.lower;
        if (!call) {
            if ((w == u"true" || w == u"false") && !(next < n && t[next].kind == Tok::Dot) && !kw(prev, "as"))
                k.out = w == u"true" ? QStringLiteral("1") : QStringLiteral("0");
            continue;
        }
        Token& close = t[match[next]];
        if (w == u"val") {
            k.out = QStringLiteral("jet_val");
        } else if (w == u"cdate") {
            k.out = QStringLiteral("jet_cdate");
        } else if (w == u"cstr" || w == u"mid" || w == u"mid$") {
            // Function results carry no collation: compare them case-blind.
            k.pre += u'(';
            k.out = w == u"cstr" ? QStringLiteral("jet_cstr") : QStringLiteral("jet_mid");
            close.post += collate;
        } else if (w == u"trim" || w == u"ltrim" || w == u"rtrim" || w == u"trim$" || w == u"ltrim$"
                   || w == u"rtrim$") {
            k.pre += u'(';
            k.out = QString(w).remove(u'$');
            close.post += collate;
        } else if (w == u"isnull") {
            // ISNULL is a postfix operator to SQLite, a function to Jet.
            k.out = QStringLiteral("(");
            close.post += QStringLiteral(" IS NULL)");
        }
    }
}

bool Statement::isColumnInScope(int s, const QString& name)
{
    for (; s >= 0; s = sel[s].parent) {
        for (const Source& src : sel[s].sources) {
            const QString table = nameOf(t[src.nameTok]);
            if (src.saved) {
                auto it = m_sh.saved.constFind(table.toLower());
                if (it != m_sh.saved.constEnd() && (it->outNames.contains(name) || it->outNames.contains("*")))
                    return true;
            } else {
                for (const QString& c : m_sh.columns(table))
                    if (c.compare(name, Qt::CaseInsensitive) == 0)
                        return true;
            }
        }
    }
    return false;
}

// Names SQLite did not know: an alias of the same select list is replaced
// by its expression, anything else is a parameter.
void Statement::resolveUnresolved()
{
    const QSet<QString>& names = m_sh.ctx.unresolved;
    if (names.isEmpty())
        return;
    for (int i = 0; i < n; ++i) {
        Token& k = t[i];
        if (!(k.kind == Tok::Ident || k.kind == Tok::Bracket) || tableTok[i] || !names.contains(k.lower))
            continue;
        if (k.kind == Tok::Ident && isClauseWord(k.lower))
            continue;
        const int prev = prevSig(i);
        const int next = nextSig(i);
        if ((prev >= 0 && t[prev].kind == Tok::Dot) || (next < n && t[next].kind == Tok::Dot))
            continue;
        if (k.kind == Tok::Ident && next < n && t[next].kind == Tok::LParen)
            continue;
        if (kw(prev, "as"))
            continue;
        const int s = owner[i];
        if (s >= 0) {
            auto a = sel[s].aliases.constFind(k.lower);
            if (a != sel[s].aliases.constEnd()) {
                const Item& it = sel[s].items[*a];
                if (i < it.start || i >= it.end) {
                    aliasRef.insert(i, *a);
                    continue;
                }
            }
            if (isColumnInScope(s, k.lower))
                continue;
        }
        k.out = QStringLiteral("jet_param('") + QString(k.lower).replace(u'\'', QStringLiteral("''"))
            + QStringLiteral("')");
    }
}

// ORDER BY terms of a select, as output columns of that select, up to the
// first term that is no output column.
QList<QPair<QString, bool>> Statement::orderTerms(const Select& s) const
{
    QList<QPair<QString, bool>> terms;
    if (s.orderTok < 0)
        return terms;
    auto key = [&](int a, int b) {
        QString r;
        for (int i = a; i < b; ++i) {
            const Token& k = t[i];
            if (k.kind == Tok::Space || k.kind == Tok::Comment)
                continue;
            if (isName(k) && nextSig(i) < b && t[nextSig(i)].kind == Tok::Dot) {
                i = nextSig(i);   // drop the qualifier
                continue;
            }
            r += isName(k) ? k.lower : k.text.toLower();
        }
        return r;
    };
    int i = nextSig(s.orderTok);
    if (!kw(i, "by"))
        return terms;
    int start = i + 1;
    auto addTerm = [&](int a, int b) {
        int last = b - 1;
        while (last >= a && (t[last].kind == Tok::Space || t[last].kind == Tok::Comment))
            --last;
        bool desc = false;
        if (kw(last, "desc") || kw(last, "asc")) {
            desc = kw(last, "desc");
            b = last;
        }
        const QString k = key(a, b);
        for (const Item& it : s.items) {
            if (it.outName.isEmpty() || it.outName == u"*")
                continue;
            if (key(it.start, it.end) == k || it.outName == k) {
                terms.append({it.outText, desc});
                return true;
            }
        }
        return false;
    };
    for (int j = start; j <= n; ++j) {
        const bool endHere = j == n || (depthOf[j] < s.depth) || (t[j].kind == Tok::RParen && depthOf[j] <= s.depth)
            || kw(j, "limit") || kw(j, "union");
        if (endHere || (t[j].kind == Tok::Comma && depthOf[j] == s.depth)) {
            if (!addTerm(start, j) || endHere)
                break;
            start = j + 1;
        }
    }
    return terms;
}

void Statement::expandSavedQueries()
{
    for (const Select& s : sel) {
        for (const Source& src : s.sources) {
            if (!src.saved)
                continue;
            const QString name = nameOf(t[src.nameTok]);
            const QString key = name.toLower();
            if (m_sh.saved.contains(key) || m_sh.expanding.contains(key))
                continue;
            m_sh.expanding.insert(key);
            Statement inner(m_sh.savedSql(name), m_sh);
            SavedInfo info;
            const QString body = inner.translateBody(info);
            m_sh.expanding.remove(key);
            m_sh.saved.insert(key, info);
            m_sh.ctes.append({name, body});
        }
    }
}

QString Statement::withPrefix() const
{
    if (m_sh.ctes.isEmpty())
        return {};
    QStringList parts;
    for (const auto& c : m_sh.ctes)
        parts << ident(c.first) + QStringLiteral(" AS (") + c.second + u')';
    return QStringLiteral("WITH ") + parts.join(QStringLiteral(", ")) + u' ';
}

// INSERT INTO T SELECT/VALUES with fewer values than T has columns: Jet
// fills T's first columns.
void Statement::completeInsertColumns()
{
    int i = nextSig(first);
    if (!kw(i, "into"))
        return;
    const int nameTok = nextSig(i);
    if (nameTok >= n || !isName(t[nameTok]))
        return;
    const int k = nextSig(nameTok);
    int count = 0;
    if (kw(k, "select")) {
        for (const Select& s : sel) {
            if (s.selectTok != k)
                continue;
            if (s.compound)
                return;
            for (const Item& it : s.items)
                if (it.outName == u"*")
                    return;
            count = int(s.items.size());
        }
    } else if (kw(k, "values")) {
        const int l = nextSig(k);
        if (l >= n || t[l].kind != Tok::LParen || match[l] < 0)
            return;
        count = 1;
        for (int j = l + 1; j < match[l]; ++j)
            if (t[j].kind == Tok::Comma && depthOf[j] == depthOf[l] + 1)
                ++count;
    } else {
        return;
    }
    const QStringList cols = m_sh.columns(nameOf(t[nameTok]));
    if (count <= 0 || count >= cols.size())
        return;
    QStringList names;
    for (int c = 0; c < count; ++c)
        names << ident(cols[c]);
    t[nameTok].post += QStringLiteral(" (") + names.join(QStringLiteral(", ")) + u')';
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

QString Statement::translateBody(SavedInfo& info)
{
    analyse();
    rewriteDrop();
    rewriteExpressions();
    expandSavedQueries();
    resolveUnresolved();
    if (!sel.empty()) {
        const Select& top = sel.front();
        for (const Item& it : top.items)
            if (!it.outName.isEmpty())
                info.outNames.insert(it.outName);
        info.order = orderTerms(top);
    }
    return render().trimmed();
}

Translation Statement::translate()
{
    Translation tr;
    analyse();
    rewriteDrop();
    if (!isDml()) {
        tr.statements << render();
        return tr;
    }
    rewriteExpressions();
    expandSavedQueries();
    resolveUnresolved();
    if (kind == u"insert")
        completeInsertColumns();

    const Select* top = nullptr;
    for (const Select& s : sel)
        if (s.selectTok == first)
            top = &s;

    if (top && top->intoTok >= 0 && top->intoName < n) {
        // SELECT ... INTO New FROM ...: declare New, then fill it.
        const QString newName = nameOf(t[top->intoName]);
        for (int i = top->intoTok; i <= top->intoName; ++i) {
            t[i].out.clear();
            t[i].pre.clear();
            t[i].post.clear();
        }
        const QString body = render().trimmed();
        QString createSql;
        if (top->items.size() == 1 && top->items[0].outName == u"*" && top->items[0].end == top->items[0].start + 1
            && top->sources.size() == 1 && !top->sources[0].saved && m_sh.ctx.tableCreateSql)
            createSql = m_sh.ctx.tableCreateSql(nameOf(t[top->sources[0].nameTok]));
        if (!createSql.isEmpty()) {
            tr.statements << renameCreateTable(createSql, newName);
            tr.statements << withPrefix() + QStringLiteral("INSERT INTO ") + ident(newName) + u' ' + body;
        } else {
            tr.statements << QStringLiteral("CREATE TABLE ") + ident(newName) + QStringLiteral(" AS ") + withPrefix()
                    + body;
        }
        return tr;
    }

    if (top && kind == u"select" && top->orderTok < 0 && !top->compound && !top->grouped && !top->aggregate
        && top->sources.size() == 1 && top->sources[0].saved) {
        // The rows of a saved query keep its order when the outer query
        // gives none (SQLite does not promise it).
        const Source& src = top->sources[0];
        const SavedInfo info = m_sh.saved.value(nameOf(t[src.nameTok]).toLower());
        if (!info.order.isEmpty()) {
            const QString q = src.aliasTok >= 0 ? t[src.aliasTok].text : t[src.nameTok].text;
            QStringList terms;
            for (const auto& o : info.order)
                terms << q + u'.' + ident(o.first) + (o.second ? QStringLiteral(" DESC") : QString());
            t[n - 1].post += QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
        }
    }

    const QString prefix = withPrefix();
    tr.statements << prefix + render().trimmed();

    if (top && kind == u"select" && !top->distinct && !top->grouped && !top->aggregate && !top->compound
        && !top->sources.empty() && top->fromTok >= 0) {
        const Source& src = top->sources.front();
        int firstItem = nextSig(top->fromTok);
        while (firstItem < n && t[firstItem].kind == Tok::LParen)
            firstItem = nextSig(firstItem);
        if (!src.saved && firstItem == src.nameTok && owner[src.nameTok] == int(top - sel.data())) {
            tr.baseTable = nameOf(t[src.nameTok]);
            const QString q = src.aliasTok >= 0 ? t[src.aliasTok].text : t[src.nameTok].text;
            Token& s = t[top->selectTok];
            const QString keep = s.post;
            s.post += u' ' + q + QStringLiteral(".rowid AS __rowid__,");
            tr.selectWithRowid = prefix + render().trimmed();
            s.post = keep;
        }
    }
    return tr;
}

} // namespace

Translation translate(const QString& jetSql, const Context& ctx)
{
    Shared shared(ctx);
    Statement st(jetSql, shared);
    return st.translate();
}

} // namespace dao::jet
