#pragma once
// The parts of the Jet SQL translation: tokens, the analysis of a
// statement, its rewrites. Internal to the database layer.

#include "JetSql.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace dao::jet::parse {

enum class Tok { Space, Comment, String, Bracket, Quoted, Ident, Number, Op, LParen, RParen, Comma, Semi, Dot, Star };

struct Token {
    Tok kind = Tok::Space;
    QString text;   // as written
    QString lower;  // names: the name in lower case (brackets and quotes removed)
    // Output: pre + out + post. out starts as text; rewrites change these
    // three only, so token positions found by the analysis stay valid.
    QString pre, out, post;
};

// Throws DbError 3075.
[[noreturn]] void syntaxError(const QString& what, const QString& sql);
std::vector<Token> tokenize(const QString& s);
bool isName(const Token& t);
// Words that end a table reference or cannot be an alias.
bool isClauseWord(const QString& w);
bool isAggregate(const QString& w);
// The plain name of a name token.
QString nameOf(const Token& t);
// The CREATE TABLE text of a table with another table name.
QString renameCreateTable(const QString& createSql, const QString& newName);

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

    // What the context tells of a name, asked once per translation.
    template <typename T, typename Ask>
    static T once(QHash<QString, T>& cache, const QString& name, const Ask& ask)
    {
        const QString key = name.toLower();
        auto it = cache.constFind(key);
        if (it == cache.constEnd())
            it = cache.insert(key, ask());
        return *it;
    }
    QString savedSql(const QString& name)
    {
        return once(savedSqlCache, name, [&] {
            const QString sql = ctx.savedQuerySql ? ctx.savedQuerySql(name) : QString();
            return sql.isNull() ? QStringLiteral("") : sql;
        });
    }
    QStringList columns(const QString& table)
    {
        return once(columnsCache, table, [&] { return ctx.tableColumns ? ctx.tableColumns(table) : QStringList(); });
    }
    QList<int> widths(const QString& table)
    {
        return once(widthsCache, table, [&] { return ctx.tableColumnWidths ? ctx.tableColumnWidths(table) : QList<int>(); });
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
    // One walk over the tokens: parentheses, SELECT scopes, select lists
    // and the table references of every FROM clause.
    struct Frame {
        int owner = -1;
        int listSel = -1;   // SELECT whose list is being read at this level
        bool inFrom = false;
        bool expectTable = false;
    };
    void analyse();
    void openParen(int i, std::vector<Frame>& frames, std::vector<int>& open);
    void closeParen(int i, std::vector<Frame>& frames, std::vector<int>& open);
    void clauseWord(int i, std::vector<Frame>& frames);
    void beginSelect(int i, std::vector<Frame>& frames);
    void endList(int i, Frame& f);
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

} // namespace dao::jet::parse
