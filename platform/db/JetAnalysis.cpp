#include "JetSqlInternal.h"

namespace dao::jet::parse {

void Statement::analyse()
{
    match.assign(n, -1);
    depthOf.assign(n, 0);
    owner.assign(n, -1);
    tableTok.assign(n, 0);
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
            openParen(i, frames, open);
        } else if (k.kind == Tok::RParen) {
            closeParen(i, frames, open);
        } else if (k.kind == Tok::Comma) {
            if (f.inFrom)
                f.expectTable = true;
        } else if (k.kind == Tok::Ident && isClauseWord(k.lower)) {
            clauseWord(i, frames);
        } else if (f.expectTable && isName(k)) {
            recordSource(f.owner, i);
            f.expectTable = false;
        } else if (k.kind == Tok::Ident && f.owner >= 0 && isAggregate(k.lower) && nextSig(i) < n
                   && t[nextSig(i)].kind == Tok::LParen) {
            sel[f.owner].aggregate = true;
        }
    }
    for (Select& s : sel) {
        if (s.listEnd < 0)
            s.listEnd = n;
        splitItems(s);
    }
}

// A parenthesis after FROM, JOIN or a comma of a FROM clause holds tables.
void Statement::openParen(int i, std::vector<Frame>& frames, std::vector<int>& open)
{
    Frame& f = frames.back();
    Frame child;
    child.owner = f.owner;
    if (f.expectTable) {
        child.inFrom = true;
        child.expectTable = true;
        f.expectTable = false;
    }
    open.push_back(i);
    frames.push_back(child);
}

void Statement::closeParen(int i, std::vector<Frame>& frames, std::vector<int>& open)
{
    if (frames.size() <= 1)
        return;
    if (frames.back().listSel >= 0 && sel[frames.back().listSel].listEnd < 0)
        sel[frames.back().listSel].listEnd = i;
    frames.pop_back();
    match[i] = open.back();
    match[open.back()] = i;
    open.pop_back();
    depthOf[i] = int(frames.size()) - 1;
}

void Statement::endList(int i, Frame& f)
{
    if (f.listSel >= 0) {
        sel[f.listSel].listEnd = i;
        f.listSel = -1;
    }
}

void Statement::beginSelect(int i, std::vector<Frame>& frames)
{
    Frame& f = frames.back();
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
}

void Statement::clauseWord(int i, std::vector<Frame>& frames)
{
    Frame& f = frames.back();
    const QString& w = t[i].lower;
    if (w == u"select") {
        beginSelect(i, frames);
    } else if (w == u"into") {
        if (f.listSel >= 0) {
            Select& s = sel[f.listSel];
            endList(i, f);
            s.intoTok = i;
            s.intoName = nextSig(i);
        }
    } else if (w == u"from") {
        endList(i, f);
        if (f.owner >= 0 && sel[f.owner].fromTok < 0 && sel[f.owner].depth == depthOf[i])
            sel[f.owner].fromTok = i;
        f.inFrom = true;
        f.expectTable = true;
    } else if (w == u"join") {
        if (f.inFrom)
            f.expectTable = true;
    } else if (w == u"on" || w == u"using") {
        f.expectTable = false;
    } else if (w == u"where" || w == u"group" || w == u"order" || w == u"having" || w == u"limit" || w == u"union"
               || w == u"except" || w == u"intersect") {
        endList(i, f);
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

} // namespace dao::jet::parse
