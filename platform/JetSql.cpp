#include "JetSql.h"

#include "DbError.h"

#include <QHash>

#include <algorithm>
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
    QHash<QString, QList<int>> widthsCache;

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
    QList<int> widths(const QString& table)
    {
        const QString key = table.toLower();
        auto it = widthsCache.constFind(key);
        if (it != widthsCache.constEnd())
            return *it;
        QList<int> w = ctx.tableColumnWidths ? ctx.tableColumnWidths(table) : QList<int>();
        widthsCache.insert(key, w);
        return w;
    }
};

// The table an INSERT or UPDATE writes, with its columns' text widths.
struct Target {
    QString table;
    QStringList columns;
    QList<int> widths;   // 0: no limit
    int index(const QString& name) const
    {
        for (int c = 0; c < columns.size(); ++c)
            if (columns[c].compare(name, Qt::CaseInsensitive) == 0)
                return c;
        return -1;
    }
    int width(int column) const { return widths.value(column, 0); }
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
    // INSERT ... SELECT whose rows are held to the widths through a CTE:
    // the SELECT's first token, and the list that reads the CTE.
    int m_rowsFrom = -1;
    QString m_rowsNames;   // "jet_rows(c1, c2, ...)"
    QString m_rowsList;

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
    // Texts written to a column of limited width are held to it: bound
    // values by the caller, literals here, anything else by jet_fit.
    void holdToColumnWidths(Translation& tr);
    void holdInsert(Translation& tr, const Target& target, int nameTok);
    void holdUpdate(Translation& tr, const Target& target, int nameTok);
    void holdValue(Translation& tr, const Target& target, int column, int a, int b);
    bool literalFits(const Target& target, int column, int a, int b) const;
    bool selectFits(const Target& target, const QList<int>& targets, int selectTok) const;
    int columnWidth(const Select& s, int a, int b) const;
    bool onlySource(const Select& s) const;
    int parameterIndex(int tok) const;
    QList<QPair<QString, bool>> orderTerms(const Select& s) const;
    QString render(int from, int to, int guard = 0) const;
    QString render() const { return render(0, n); }
    QString withPrefix(const QString& extra = QString()) const;
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

QString Statement::withPrefix(const QString& extra) const
{
    if (m_sh.ctes.isEmpty() && extra.isEmpty())
        return {};
    QStringList parts;
    for (const auto& c : m_sh.ctes)
        parts << ident(c.first) + QStringLiteral(" AS (") + c.second + u')';
    if (!extra.isEmpty())
        parts << extra;
    return QStringLiteral("WITH ") + parts.join(QStringLiteral(", ")) + u' ';
}

void Statement::holdToColumnWidths(Translation& tr)
{
    if (kind != u"insert" && kind != u"update")
        return;
    int i = nextSig(first);
    if (kw(i, "or"))
        i = nextSig(nextSig(i));
    if (kind == u"insert") {
        if (!kw(i, "into"))
            return;
        i = nextSig(i);
    }
    if (i >= n || !isName(t[i]))
        return;
    Target target;
    target.table = nameOf(t[i]);
    target.columns = m_sh.columns(target.table);
    target.widths = m_sh.widths(target.table);
    if (std::none_of(target.widths.cbegin(), target.widths.cend(), [](int w) { return w > 0; }))
        return;
    if (kind == u"insert")
        holdInsert(tr, target, i);
    else
        holdUpdate(tr, target, i);
}

void Statement::holdInsert(Translation& tr, const Target& target, int nameTok)
{
    QList<int> targets;   // the column each value goes to, -1 unknown
    int j = nextSig(nameTok);
    const bool listed = j < n && t[j].kind == Tok::LParen && match[j] > j;
    if (listed) {
        for (int k = j + 1; k < match[j]; ++k)
            if (isName(t[k]))
                targets << target.index(nameOf(t[k]));
        j = nextSig(match[j]);
    } else {
        for (int c = 0; c < target.columns.size(); ++c)
            targets << c;
    }
    if (kw(j, "values")) {
        for (int l = nextSig(j); l < n && t[l].kind == Tok::LParen && match[l] > l;) {
            int pos = 0;
            int start = l + 1;
            for (int k = l + 1; k <= match[l]; ++k) {
                if (k == match[l] || (t[k].kind == Tok::Comma && depthOf[k] == depthOf[l] + 1)) {
                    holdValue(tr, target, targets.value(pos++, -1), start, k);
                    start = k + 1;
                }
            }
            l = nextSig(match[l]);
            if (l >= n || t[l].kind != Tok::Comma)
                break;
            l = nextSig(l);
        }
        return;
    }
    if (!kw(j, "select") || selectFits(target, targets, j))
        return;
    // The rows are read through a CTE whose columns are named by position,
    // so that every value can be held whatever the SELECT's items are.
    int count = int(targets.size());
    if (!listed) {
        for (const Select& s : sel)
            if (s.selectTok == j && std::none_of(s.items.cbegin(), s.items.cend(), [](const Item& it) { return it.outName == u"*"; }))
                count = std::min(count, int(s.items.size()));
    }
    QStringList names, values;
    for (int p = 0; p < count; ++p) {
        const QString name = QStringLiteral("c%1").arg(p + 1);
        names << name;
        const int column = targets[p];
        values << (target.width(column) > 0 ? QStringLiteral("jet_fit(%1, %2, '%3')")
                                                   .arg(name)
                                                   .arg(target.width(column))
                                                   .arg(QString(target.columns[column]).replace(u'\'', QStringLiteral("''")))
                                             : name);
    }
    m_rowsFrom = j;
    m_rowsNames = QStringLiteral("jet_rows(") + names.join(QStringLiteral(", ")) + u')';
    m_rowsList = values.join(QStringLiteral(", "));
}

void Statement::holdUpdate(Translation& tr, const Target& target, int nameTok)
{
    int k = nextSig(nameTok);
    if (kw(k, "as"))
        k = nextSig(k);
    if (k < n && isName(t[k]) && !kw(k, "set"))
        k = nextSig(k);
    if (!kw(k, "set"))
        return;   // a joined update: SQLite refuses it anyway
    const int depth = depthOf[k];
    for (k = nextSig(k); k < n;) {
        // column = expression, up to a comma or the next clause
        int eq = k;
        while (eq < n && !(t[eq].kind == Tok::Op && t[eq].text == u"=" && depthOf[eq] == depth))
            ++eq;
        const int nameTok = prevSig(eq);
        if (eq >= n || nameTok < k || !isName(t[nameTok]))
            return;
        int end = eq + 1;
        while (end < n && !(depthOf[end] == depth
                            && (t[end].kind == Tok::Comma || kw(end, "where") || kw(end, "from") || kw(end, "order")
                                || kw(end, "limit") || kw(end, "returning"))))
            ++end;
        const int column = target.index(nameOf(t[nameTok]));
        // A column of the same table that is no wider needs no check.
        const int a = nextSig(eq);
        const bool same = a + 1 == end && isName(t[a]) && target.index(nameOf(t[a])) >= 0
            && target.width(target.index(nameOf(t[a]))) > 0
            && target.width(target.index(nameOf(t[a]))) <= target.width(column);
        if (!same)
            holdValue(tr, target, column, eq + 1, end);
        if (end >= n || t[end].kind != Tok::Comma)
            return;
        k = nextSig(end);
    }
}

// True for a literal that fits (one that does not is held as any value is,
// so that it fails only when a row is written).
bool Statement::literalFits(const Target& target, int column, int a, int b) const
{
    if (a + 1 != b)
        return false;
    const Token& k = t[a];
    QString text;
    if (k.kind == Tok::String)
        text = k.text.mid(1, k.text.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    else if (k.kind == Tok::Number)
        text = k.text;
    else if (!(k.kind == Tok::Ident && k.lower == u"null"))
        return false;
    return text.size() <= target.width(column);
}

void Statement::holdValue(Translation& tr, const Target& target, int column, int a, int b)
{
    while (a < b && (t[a].kind == Tok::Space || t[a].kind == Tok::Comment))
        ++a;
    while (b > a && (t[b - 1].kind == Tok::Space || t[b - 1].kind == Tok::Comment))
        --b;
    const int width = target.width(column);
    if (width <= 0 || a >= b || literalFits(target, column, a, b))
        return;
    if (a + 1 == b && t[a].kind == Tok::Op && t[a].text == u"?") {
        const int index = parameterIndex(a);
        if (index >= 0) {
            tr.boundWidths.append({index, width, target.columns[column]});
            return;
        }
    }
    t[a].pre.prepend(QStringLiteral("jet_fit("));
    t[b - 1].post += QStringLiteral(", %1, '%2')").arg(width).arg(QString(target.columns[column]).replace(u'\'', QStringLiteral("''")));
}

// The place of a '?' among the values bound to the statement, -1 when the
// text may bind them in another order (numbered, or repeated by a rewrite).
int Statement::parameterIndex(int tok) const
{
    if (!m_sh.ctes.isEmpty() || !aliasRef.isEmpty())
        return -1;
    int index = -1;
    for (int i = 0; i < n; ++i) {
        if (t[i].kind != Tok::Op || t[i].text != u"?")
            continue;
        if (i + 1 < n && t[i + 1].kind == Tok::Number)
            return -1;
        if (i <= tok)
            ++index;
    }
    return index;
}

// True when every row the SELECT gives fits the columns it goes to:
// literals that fit, and columns of tables that are no wider.
bool Statement::selectFits(const Target& target, const QList<int>& targets, int selectTok) const
{
    for (const Select& s : sel) {
        if (s.selectTok < selectTok || s.depth != depthOf[selectTok])
            continue;
        int pos = 0;
        for (const Item& it : s.items) {
            if (it.outName != u"*") {
                const int column = targets.value(pos++, -1);
                const int width = target.width(column);
                if (width <= 0 || literalFits(target, column, it.start, it.end))
                    continue;
                const int from = columnWidth(s, it.start, it.end);
                if (from <= 0 || from > width)
                    return false;
                continue;
            }
            // T.* or a lone * over the only table of the FROM clause.
            const int q = it.end - it.start > 1 ? it.start : -1;
            const Source* src = nullptr;
            for (const Source& c : s.sources)
                if (q >= 0 ? (t[c.nameTok].lower == t[q].lower || (c.aliasTok >= 0 && t[c.aliasTok].lower == t[q].lower))
                           : onlySource(s))
                    src = &c;
            if (!src || src->saved)
                return false;
            for (int from : m_sh.widths(nameOf(t[src->nameTok]))) {
                const int width = target.width(targets.value(pos++, -1));
                if (width > 0 && (from <= 0 || from > width))
                    return false;
            }
        }
    }
    return true;
}

// Width of the table column an item names (T.c or c), 0 for none or no
// limit, -1 when the item is no column of a table of the FROM clause.
int Statement::columnWidth(const Select& s, int a, int b) const
{
    QList<int> sig;
    for (int i = a; i < b; ++i)
        if (t[i].kind != Tok::Space && t[i].kind != Tok::Comment)
            sig << i;
    if (!((sig.size() == 1 && isName(t[sig[0]])) || (sig.size() == 3 && isName(t[sig[0]]) && t[sig[1]].kind == Tok::Dot && isName(t[sig[2]]))))
        return -1;
    const QString column = nameOf(t[sig.back()]);
    int found = -1;
    for (const Source& src : s.sources) {
        if (sig.size() == 3 && t[src.nameTok].lower != t[sig[0]].lower
            && !(src.aliasTok >= 0 && t[src.aliasTok].lower == t[sig[0]].lower))
            continue;
        if (src.saved)
            return -1;
        const QString table = nameOf(t[src.nameTok]);
        const QStringList columns = m_sh.columns(table);
        const auto it = std::find_if(columns.cbegin(), columns.cend(),
                                     [&](const QString& c) { return c.compare(column, Qt::CaseInsensitive) == 0; });
        if (it == columns.cend())
            continue;
        const int c = int(it - columns.cbegin());
        if (found >= 0)
            return -1;   // ambiguous
        found = m_sh.widths(table).value(c, 0);
    }
    return found;
}

// True when the FROM clause of s reads one table and nothing else.
bool Statement::onlySource(const Select& s) const
{
    if (s.sources.size() != 1 || nextSig(s.fromTok) != s.sources[0].nameTok)
        return false;
    int k = nextSig(s.sources[0].aliasTok >= 0 ? s.sources[0].aliasTok : s.sources[0].nameTok);
    return k >= n || t[k].kind == Tok::RParen
        || (t[k].kind == Tok::Ident
            && (t[k].lower == u"where" || t[k].lower == u"group" || t[k].lower == u"order" || t[k].lower == u"having"
                || t[k].lower == u"limit" || t[k].lower == u"union" || t[k].lower == u"except" || t[k].lower == u"intersect"));
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
    holdToColumnWidths(tr);

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

    if (m_rowsFrom >= 0) {
        const QString rows = m_rowsNames + QStringLiteral(" AS (") + render(m_rowsFrom, n).trimmed() + u')';
        tr.statements << withPrefix(rows) + render(0, m_rowsFrom) + QStringLiteral("SELECT ") + m_rowsList
                + QStringLiteral(" FROM jet_rows");
        return tr;
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
