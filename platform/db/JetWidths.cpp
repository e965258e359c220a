#include "JetSqlInternal.h"

#include "Database.h"

#include <algorithm>

namespace dao::jet::parse {

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
                                                   .arg(dao::escape(target.columns[column]))
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
    t[b - 1].post += QStringLiteral(", %1, '%2')").arg(width).arg(dao::escape(target.columns[column]));
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

} // namespace dao::jet::parse
