#include "JetSqlInternal.h"

#include "Database.h"
#include "DbError.h"
#include "DbStatement.h"

namespace dao::jet::parse {

using dao::detail::ident;

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
        k.out = QStringLiteral("jet_param(") + dao::quote(k.lower) + QLatin1Char(')');
    }
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

} // namespace dao::jet::parse

namespace dao::jet {

Translation translate(const QString& jetSql, const Context& ctx)
{
    parse::Shared shared(ctx);
    parse::Statement st(jetSql, shared);
    return st.translate();
}

void refuseNul(const QString& sql)
{
    if (sql.contains(QChar(0)))
        parse::syntaxError(QStringLiteral("NUL character"), QString(sql).replace(QChar(0), QStringLiteral("\\0")));
}

} // namespace dao::jet
