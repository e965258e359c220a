#include "HTMLClass.h"

#include "Database.h"
#include "DbError.h"
#include "HtmlRow.h"
#include "Lookups.h"
#include "QueryDef.h"
#include "Runtime.h"
#include "SavedQueries.h"
#include "State.h"
#include "TextLayout.h"

#include <QFile>

#include <algorithm>

const char* const HTMLClass::kMarker = "***HERE***";
const char* const HTMLClass::kHomePage = "https://tarvik.example.org/";

QByteArray HTMLClass::Fragment::bytes() const
{
    QByteArray out;
    qsizetype size = 0;
    for (const QString& line : m_lines)
        size += line.size() + 2;
    out.reserve(size);
    for (const QString& line : m_lines) {
        // Data texts arrive escaped to ASCII; anything beyond ASCII that
        // slipped through still reaches the page as a character reference.
        if (std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
            out += line.toLatin1();
            out += "\r\n";
            continue;
        }
        for (uint c : line.toUcs4()) {
            if (c < 0x80)
                out += char(c);
            else
                out += "&#" + QByteArray::number(c) + ';';
        }
        out += "\r\n";
    }
    return out;
}

HTMLClass::HTMLClass()
{
    sTFC = HTMLColor(dTFC);
    sBFC = HTMLColor(dBFC);
    sTC = HTMLColor(dTC);
    sBC1 = HTMLColor(dBC1);
    sBC2 = HTMLColor(dBC2);

    sClassResult = QStringLiteral("class=\"tarvik_table_result\"");
    sClassQualify = QStringLiteral("class=\"tarvik_table_qualify\"");
    sClassOther = QStringLiteral("class=\"tarvik_table_other\"");
    sClassSchedule = QStringLiteral("class=\"tarvik_table_schedule\"");
    sClassStandings = QStringLiteral("class=\"tarvik_table_standings\"");
    sClassStatistics = QStringLiteral("class=\"tarvik_table_statistics\"");
    sClassTitle = QStringLiteral("class=\"tarvik_title\"");
    sClassLine1 = QStringLiteral("class=\"tarvik_line1\"");
    sClassLine = sClassLine1;

    bGenAll = false;
    CreateQueries();
}

// The schedule page reads these two. An existing query is left as it is,
// unless it still holds the text earlier versions made, which showed a
// driver without a name as blanks.
void HTMLClass::CreateQueries()
{
    if (!dbMain)
        return;
    const QString top5From = QStringLiteral("FROM Drivers INNER JOIN (Races INNER JOIN Score ON Races.ID = Score.RaceID) ON Drivers.DriverID = Score.DriverID ")
        + QStringLiteral("WHERE Score.Posi <= 5 ") + QStringLiteral("ORDER BY Races.Division, Races.RaceNo, Score.Posi");
    const QString poleFrom = QStringLiteral("FROM Races INNER JOIN (Qualify INNER JOIN (Drivers INNER JOIN Score ON Drivers.DriverID = Score.DriverID) ON Qualify.DriverID = Drivers.DriverID) ON (Races.ID = Score.RaceID) AND (Races.ID = Qualify.RaceID) ")
        + QStringLiteral("WHERE Qualify.pos = 1 ") + QStringLiteral("ORDER BY Races.Division, Races.RaceNo");
    const QString name = DriverShownNameSql() + QStringLiteral(" AS Name ");
    const std::vector<SavedQueryText> queries = {
        {QStringLiteral("Top5Races"), QStringLiteral("SELECT Races.Division, Races.RaceNo, Score.Posi, ") + name + top5From,
         QStringLiteral("SELECT Races.Division, Races.RaceNo, Score.Posi, Drivers.Name ") + top5From},
        {QStringLiteral("PoleWinners"), QStringLiteral("SELECT Races.Division, Races.RaceNo, ") + name + poleFrom,
         QStringLiteral("SELECT Races.Division, Races.RaceNo, Drivers.Name ") + poleFrom},
    };
    // Outside a caller's transaction a query that cannot be made stops the
    // schedule, which reads it.
    m_queryError = EnsureSavedQueries(*dbMain, queries);
}

bool HTMLClass::fail(const QString& message)
{
    m_error = message;
    return false;
}

QString HTMLClass::Escape(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    const QList<uint> codes = text.toUcs4();
    for (uint c : codes) {
        switch (c) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default:
            if (c >= 0x20 && c < 0x7F)
                out += QChar(char16_t(c));
            else if (c == '\t')
                out += QLatin1Char(' ');
            else if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
                out += QLatin1String("&#65533;");   // not a character a page may hold
            else
                out += QStringLiteral("&#%1;").arg(c);
        }
    }
    return out;
}

QString HTMLClass::Cut(const QString& line, int start, int length)
{
    return rt::Mid(line, start, length);
}

QString HTMLClass::CutTrim(const QString& line, int start, int length)
{
    return rt::Trim(rt::Mid(line, start, length));
}

QString HTMLClass::Cell(const QString& line, int start, int length, bool trimmed)
{
    return Escape(trimmed ? CutTrim(line, start, length) : Cut(line, start, length));
}

QString HTMLClass::RowClass(int row, bool& toggle)
{
    if (row % 5 == 1)
        toggle = !toggle;
    return toggle ? QStringLiteral("class=\"tarvik_line1\"") : QStringLiteral("class=\"tarvik_line2\"");
}

QString HTMLClass::SeparatorRow(int columns)
{
    return QStringLiteral("<TR><TD height=\"1\" class=\"title\" colspan=\"%1\"></TD></TR>").arg(columns);
}

QString HTMLClass::TableHead(const QString& classAttr)
{
    return QStringLiteral("<TABLE ") + classAttr
        + QStringLiteral(" align=\"center\" border=\"0\" cellPadding=\"0\" cellSpacing=\"0\">");
}

void HTMLClass::SeparatorLine(Fragment& f, const char* lead, int columns)
{
    if (bLines)
        f << QLatin1String(lead) + SeparatorRow(columns);
}

// A font name inside the style block: characters that could end the
// declaration or the block, and any beyond ASCII, as CSS escapes.
static QString cssText(const QString& text)
{
    QString out;
    for (uint c : text.toUcs4()) {
        if (c >= 0x20 && c < 0x7F && c != '<' && c != '>' && c != ';' && c != '{' && c != '}' && c != '\\'
            && c != '"' && c != '\'')
            out += QChar(char16_t(c));
        else if (c >= 0x20 && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF) && c != 0x7F)
            out += QStringLiteral("\\%1 ").arg(c, 0, 16);
    }
    return out;
}

void HTMLClass::WriteStyle(Fragment& f) const
{
    if (!bUseStyle)
        return;
    f << QStringLiteral("<STYLE>");
    const char* tables[] = {".tarvik_table_result", ".tarvik_table_qualify", ".tarvik_table_other",
                            ".tarvik_table_schedule", ".tarvik_table_standings", ".tarvik_table_statistics"};
    for (const char* t : tables) {
        const QString cls = QString::fromLatin1(t);
        f << cls << QStringLiteral("{") << QStringLiteral("    color: ") + sTFC + QStringLiteral(";")
          << QStringLiteral("    background-color: ") + sTC + QStringLiteral(";")
          << (cls == QLatin1String(".tarvik_table_other") ? QStringLiteral("    width: 70%;") : QStringLiteral("    width: 90%;"))
          << QStringLiteral("}");
    }
    f << QStringLiteral(".tarvik_title") << QStringLiteral("{")
      << QStringLiteral("    FONT-FAMILY: ") + cssText(sTFN) + QStringLiteral(";")
      << QStringLiteral("    FONT-SIZE: ") + QString::number(nTFS) + QStringLiteral("pt;")
      << QStringLiteral("    FONT-WEIGHT: bold;") << QStringLiteral("    COLOR: ") + sTFC + QStringLiteral(";")
      << QStringLiteral("    BACKGROUND-COLOR: ") + sTC + QStringLiteral(";") << QStringLiteral("}");
    const QString lineBacks[] = {sBC1, sBC2};
    for (int i = 0; i < 2; ++i) {
        f << QStringLiteral(".tarvik_line%1").arg(i + 1) << QStringLiteral("{")
          << QStringLiteral("    FONT-FAMILY: ") + cssText(sBFN) + QStringLiteral(";")
          << QStringLiteral("    FONT-SIZE: ") + QString::number(nBFS) + QStringLiteral("pt;")
          << QStringLiteral("    COLOR: ") + sBFC + QStringLiteral(";")
          << QStringLiteral("    BACKGROUND-COLOR: ") + lineBacks[i] + QStringLiteral(";") << QStringLiteral("}");
    }
    f << QStringLiteral("A:link") << QStringLiteral("{") << QStringLiteral("    COLOR: ") + sTC + QStringLiteral(";")
      << QStringLiteral("}");
    f << QStringLiteral("A:visited") << QStringLiteral("{") << QStringLiteral("    COLOR: ") + sTC + QStringLiteral(";")
      << QStringLiteral("}");
    f << QStringLiteral("</STYLE>");
}

void HTMLClass::FooterRow(Fragment& f)
{
    HtmlRow(f, QStringLiteral("  <tr>"), "    ", QStringLiteral("class=\"tarvik_line1\""))
        .cell(u" colspan=\"4\"", QStringLiteral("Scoring provided by <a href=\"") + QString::fromLatin1(kHomePage)
                  + QStringLiteral("\">") + rt::AppTitle() + QStringLiteral("</a>."))
        .line(QStringLiteral("  </tr>"));
}

int HTMLClass::ResultTableHead(Fragment& f, const QString& venue, const QString& date, const QString& raceName,
                               const QString& weather) const
{
    const int n = 9 + (nTeams != 0 ? 1 : 0) + (bEarnings ? 1 : 0);
    const QString span = QStringLiteral(" align=\"center\" colspan=\"%1\"").arg(n);
    f << TableHead(sClassResult);
    for (const QString& title : {QStringLiteral("Race No. ") + Escape(sRaceNo) + QStringLiteral("  -  ") + Escape(rt::Trim(venue))
                                     + QStringLiteral("  -  ") + Escape(rt::Trim(date)),
                                 Escape(raceName), Escape(weather)})
        HtmlRow(f, QStringLiteral("  <TR>"), "    ", sClassTitle, HtmlRow::Tags::Upper)
            .cell(span, title)
            .line(QStringLiteral("  </TR>"));

    HtmlRow head(f, QStringLiteral("  <TR>"), "    ", sClassTitle, HtmlRow::Tags::Upper);
    head.cells({{HtmlRow::kCenter, u"Pos."},
                {HtmlRow::kCenter, bNumbers ? u"No." : u"&nbsp;"},
                {HtmlRow::kCenter, u"Driver"},
                {HtmlRow::kCenter, bBrands ? u"Make" : u"&nbsp;"}});
    if (nTeams != 0)
        head.cell(HtmlRow::kCenter, u"Team");
    head.cells({{HtmlRow::kCenter, u"Interval"},
                {HtmlRow::kRight, u"Laps"},
                {HtmlRow::kRight, u"Led"},
                {HtmlRow::kRight, u"Pts."},
                {HtmlRow::kCenter, u"Status"}});
    if (bEarnings)
        head.cell(HtmlRow::kRight, u"Earnings");
    head.line(QStringLiteral("   </TR>"));
    return n;
}

void HTMLClass::ResultRow(Fragment& f, const ResultLine& line, int columns) const
{
    HtmlRow row(f, QStringLiteral("    <TR>"), "     ", sClassLine);
    row.cells({{HtmlRow::kCenter, line.pos},
               {HtmlRow::kCenter, bNumbers ? QStringView(line.number) : QStringView()},
               {HtmlRow::kLeft, line.name},
               {HtmlRow::kLeft, line.make}});
    if (nTeams != 0)
        row.cell(HtmlRow::kLeft, line.team);
    row.cells({{HtmlRow::kCenter, line.interval},
               {HtmlRow::kRight, line.laps},
               {HtmlRow::kRight, line.led},
               {HtmlRow::kRight, line.points},
               {HtmlRow::kRight, line.status}});
    if (bEarnings)
        row.cell(HtmlRow::kRight, line.earnings);
    row.line(QStringLiteral("    </TR>"));
    SeparatorLine(f, "    ", columns);
}

void HTMLClass::RaceDataTable(Fragment& f, const QString& label1, const QString& value1, const QString& label2,
                              const QString& value2) const
{
    f << TableHead(sClassResult);
    HtmlRow(f, QStringLiteral("  <TR>"), "    ", sClassTitle, HtmlRow::Tags::Upper)
        .cells({{{}, label1}, {{}, value1}, {{}, label2}})
        .cell({}, value2, "</TR>");
    FooterRow(f);
    f << QStringLiteral("</TABLE>") << QStringLiteral("<p><br></p>");
}

void HTMLClass::AwardsTable(Fragment& f, const QList<AwardLine>& awards, bool closeOnOwnLine) const
{
    // These cells name the class after their alignment, so the class goes
    // with each cell's attributes.
    f << TableHead(sClassResult);
    HtmlRow(f, QStringLiteral("  <TR>"), "   ", QString(), HtmlRow::Tags::Upper)
        .cell(QStringLiteral("align=\"center\" colspan=\"2\" ") + sClassTitle, u"Race Awards", "</TR>");
    const QString winnerAttrs = QStringLiteral("align=\"right\" ") + sClassLine1;
    for (const AwardLine& a : awards) {
        HtmlRow row(f, QStringLiteral("  <TR>"), "    ", QString());
        row.cell(sClassLine1, a.label);
        if (closeOnOwnLine)
            row.cell(winnerAttrs, a.winner).line(QStringLiteral("  </TR>"));
        else
            row.cell(winnerAttrs, a.winner, "</TR>");
        SeparatorLine(f, "    ", 2);
    }
    f << QStringLiteral("</TABLE>") << QStringLiteral("<p><br></p>");
}

void HTMLClass::QualifyTableHead(Fragment& f, const QString& weather, bool titlesOnOwnLine) const
{
    f << TableHead(sClassQualify);
    for (const QString& title : {QStringLiteral("Qualify"), weather}) {
        if (titlesOnOwnLine)
            HtmlRow(f, QStringLiteral("  <TR>"), "   ", sClassTitle, HtmlRow::Tags::Upper)
                .cell(u" align=\"center\" colspan=\"7\"", title, "</TR>");
        else
            HtmlRow(f, QString(), "  <TR>", sClassTitle, HtmlRow::Tags::Upper)
                .cell(u" align=\"center\" colspan=\"7\"", title, "</TR>");
    }
    HtmlRow(f, QStringLiteral("   <TR>"), "    ", sClassTitle, HtmlRow::Tags::Upper)
        .cells({{HtmlRow::kCenter, u"Pos."},
                {HtmlRow::kCenter, bNumbers ? u"No." : u"&nbsp;"},
                {HtmlRow::kCenter, u"Driver"},
                {HtmlRow::kRight, u"Speed"},
                {HtmlRow::kCenter, u"Dif. F/N"},
                {HtmlRow::kRight, u"Time"},
                {HtmlRow::kCenter, u"Dif. F/N"}})
        .line(QStringLiteral("   </TR>"));
}

void HTMLClass::QualifyRow(Fragment& f, const QualifyLine& line) const
{
    HtmlRow row(f, QStringLiteral("   <TR>"), "    ", sClassLine);
    row.cells({{HtmlRow::kCenter, line.pos},
               {HtmlRow::kCenter, bNumbers ? QStringView(line.number) : QStringView()},
               {{}, line.name},
               {HtmlRow::kRight, line.speed}});
    if (line.speed == QLatin1String("Prov."))
        row.cells({{{}, u"&nbsp;"}, {{}, u"&nbsp;"}}).cell({}, u"&nbsp;", "</tr>");
    else
        row.cells({{HtmlRow::kCenter, line.speedGaps}, {HtmlRow::kRight, line.time}})
            .cell(HtmlRow::kCenter, line.timeGaps, "</tr>");
    SeparatorLine(f, "    ", 7);
}

void HTMLClass::PointsTable(Fragment& f, const QString& caption, const QList<PointsLine>& rows, bool banded)
{
    f << QStringLiteral("<p><br></p>") << TableHead(sClassOther);
    HtmlRow(f, QStringLiteral("  <TR>"), "   ", sClassTitle, HtmlRow::Tags::Upper)
        .cell(u" align=\"center\" colspan=\"3\"", caption, "</TR>");
    bool band = false;
    int k = 1;
    for (const PointsLine& r : rows) {
        const QString& rowClass = banded ? (sClassLine = RowClass(k++, band)) : sClassLine1;
        HtmlRow(f, QStringLiteral("   <tr>"), "    ", rowClass)
            .cells({{u" width=\"10%\"", r.pos}, {u" width=\"80%\"", r.name}})
            .cell(u" align=\"right\" width=\"10%\"", r.points, "</tr>");
        SeparatorLine(f, "    ", 3);
    }
    f << QStringLiteral("</TABLE>");
}

void HTMLClass::AdjustmentsTable(Fragment& f, const QList<AdjustmentLine>& rows)
{
    f << QStringLiteral("<p><br></p>") << TableHead(sClassOther);
    HtmlRow(f, QStringLiteral("  <TR>"), "   ", sClassTitle, HtmlRow::Tags::Upper)
        .cell(u" align=\"center\" colspan=\"3\"", u"Point Adjustments", "</TR>");
    HtmlRow(f, QStringLiteral("  <TR>"), "    ", sClassTitle, HtmlRow::Tags::Upper)
        .cells({{HtmlRow::kCenter, u"Driver"}, {HtmlRow::kCenter, u"Pts."}, {HtmlRow::kCenter, u"Observations"}})
        .line(QStringLiteral("  </TR>"));
    bool band = false;
    int k = 1;
    for (const AdjustmentLine& r : rows) {
        sClassLine = RowClass(k++, band);
        HtmlRow(f, QStringLiteral("   <tr>"), "    ", sClassLine)
            .cells({{{}, r.driver}, {HtmlRow::kCenter, r.points}})
            .cell({}, r.comment, "</tr>");
        SeparatorLine(f, "    ", 3);
    }
    f << QStringLiteral("</TABLE>");
}

QString HTMLClass::SeasonFragmentName(SeasonFragment kind, const QString& raceNo, const QString& division)
{
    const QString nnn = (QStringLiteral("000") + rt::Trim(raceNo)).right(3);
    return nnn + rt::Trim(division) + (kind == SeasonFragment::Standings ? QStringLiteral("Stan") : QStringLiteral("Stat"))
        + QStringLiteral(".htm");
}

QString HTMLClass::FragmentPath(const QString& name)
{
    return rt::AppFile(QStringLiteral("TXT/") + name);
}

QString HTMLClass::TemplatePath(const QString& templateName)
{
    return rt::AppFile(QStringLiteral("HTML/") + templateName);
}

QString HTMLClass::PageExtension()
{
    const QString ext = rt::Trim(sHtmlExt);
    return ext.isEmpty() ? QStringLiteral("htm") : ext;
}

QString HTMLClass::PageFileName(const QString& prefix, const QString& division, const QString& kind)
{
    return prefix + rt::Trim(division) + QLatin1Char('_') + kind + QLatin1Char('.') + PageExtension();
}

QString HTMLClass::PagePath(const QString& prefix, const QString& division, const QString& kind)
{
    return rt::AppFile(QStringLiteral("HTML/") + PageFileName(prefix, division, kind));
}

QByteArray HTMLClass::MergeTemplate(const QByteArray& templateBytes, const QByteArray& fragmentBytes)
{
    QByteArray out;
    out.reserve(templateBytes.size() + fragmentBytes.size() + 64);
    bool merged = false;
    const int n = templateBytes.size();
    int start = 0;
    while (start < n) {
        int end = start;
        while (end < n && templateBytes[end] != '\r' && templateBytes[end] != '\n')
            ++end;
        const QByteArray line = templateBytes.mid(start, end - start);
        if (line.contains(kMarker)) {
            if (!merged)
                out += fragmentBytes;
            merged = true;
        } else {
            out += line;
            out += "\r\n";
        }
        if (end < n && templateBytes[end] == '\r' && end + 1 < n && templateBytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return out;
}

bool HTMLClass::PublishPage(const Fragment& fragment, const QString& fragmentName, const QString& templateName,
                            const QString& kind, const QString& prefix, const QString& division)
{
    m_error.clear();
    // A division id or race number stored by an older version may hold a
    // path: no file is written for a name that would leave its folder.
    for (const QString& name : {fragmentName, PageFileName(prefix, division, kind)}) {
        const QString fault = rt::FileNameFault(name);
        if (!fault.isEmpty())
            return fail(QStringLiteral("The page could not be written: its file name \"") + name + QStringLiteral("\" holds ")
                        + fault + QStringLiteral(", which no file name may hold."));
    }
    const QByteArray body = fragment.bytes();
    QString err;
    if (!rt::WriteFileAtomic(FragmentPath(fragmentName), body, &err))
        return fail(QStringLiteral("The page could not be written (") + err + QStringLiteral(")"));

    const QString tplPath = TemplatePath(templateName);
    QFile tpl(tplPath);
    if (!tpl.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("The page template could not be read: ") + tplPath);
    const QByteArray tplBytes = tpl.readAll();
    if (tpl.error() != QFileDevice::NoError)
        return fail(QStringLiteral("The page template could not be read: ") + tplPath);
    tpl.close();

    if (!rt::WriteFileAtomic(PagePath(prefix, division, kind), MergeTemplate(tplBytes, body), &err))
        return fail(QStringLiteral("The page could not be written (") + err + QStringLiteral(")"));
    return true;
}
