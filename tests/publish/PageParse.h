#pragma once
// Reading generated pages in tests: table rows and cells, a tag-balance
// check, and the outside validators (tidy, headless Chromium) when present.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <vector>

namespace pageparse {

inline QString ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// Every <TR> of the text in order, each as the raw texts of its cells.
inline std::vector<QStringList> TableRows(const QString& html)
{
    std::vector<QStringList> rows;
    static const QRegularExpression rowRe(QStringLiteral("<tr\\b[^>]*>(.*?)</tr>"),
                                          QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cellRe(QStringLiteral("<td\\b[^>]*>(.*?)</td>"),
                                           QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    auto it = rowRe.globalMatch(html);
    while (it.hasNext()) {
        const QString row = it.next().captured(1);
        QStringList cells;
        auto ct = cellRe.globalMatch(row);
        while (ct.hasNext())
            cells << ct.next().captured(1);
        rows.push_back(cells);
    }
    return rows;
}

// The rows of the table whose title cell contains the text, title row and
// header row included.
inline std::vector<QStringList> TableAfterTitle(const QString& html, const QString& title)
{
    const int at = html.indexOf(title);
    if (at < 0)
        return {};
    const int start = html.lastIndexOf(QStringLiteral("<TABLE"), at, Qt::CaseInsensitive);
    const int end = html.indexOf(QStringLiteral("</TABLE>"), at, Qt::CaseInsensitive);
    return TableRows(html.mid(start, end - start));
}

// Empty when every element that needs an end tag is closed in order; else
// what went wrong first.
inline QString TagBalance(const QString& html)
{
    static const QStringList voids = {QStringLiteral("br"), QStringLiteral("meta"), QStringLiteral("link"),
                                      QStringLiteral("img"), QStringLiteral("hr"), QStringLiteral("input")};
    static const QRegularExpression tagRe(QStringLiteral("<(/?)([A-Za-z][A-Za-z0-9]*)\\b[^>]*>"));
    QStringList stack;
    QString text = html;
    text.remove(QRegularExpression(QStringLiteral("<!--.*?-->"), QRegularExpression::DotMatchesEverythingOption));
    text.remove(QRegularExpression(QStringLiteral("<![^>]*>")));
    auto it = tagRe.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString name = m.captured(2).toLower();
        if (voids.contains(name))
            continue;
        if (m.captured(1).isEmpty()) {
            stack << name;
        } else {
            if (stack.isEmpty())
                return QStringLiteral("end tag </%1> without a start").arg(name);
            if (stack.last() != name)
                return QStringLiteral("</%1> closes <%2>").arg(name, stack.last());
            stack.removeLast();
        }
    }
    return stack.isEmpty() ? QString() : QStringLiteral("<%1> is not closed").arg(stack.last());
}

inline bool HaveTidy()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/tidy"));
}

// tidy's errors (not its warnings) for a file; empty when it has none.
inline QString TidyErrors(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/tidy"), {QStringLiteral("-q"), QStringLiteral("-e"), path});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardError()) + QString::fromUtf8(p.readAllStandardOutput());
    QStringList errors;
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (line.contains(QStringLiteral("Error:")))
            errors << line;
    if (p.exitCode() >= 2 && errors.isEmpty())
        errors << out;
    return errors.join(QLatin1Char('\n'));
}

inline bool HaveChromium()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/chromium"));
}

// Set by scripts/test.sh (which installs the browser, so CI has it): a
// missing browser then fails the test instead of skipping it.
inline bool ChromiumRequired()
{
    return !qEnvironmentVariableIsEmpty("TARVIK_REQUIRE_CHROMIUM");
}

// The document as headless Chromium built it, from a profile of its own
// (as root it runs only without its sandbox); empty when it failed, with
// what it said in *error.
inline QString ChromiumDom(const QString& path, QString* error = nullptr)
{
    QTemporaryDir profile;
    QProcess p;
    p.start(QStringLiteral("/usr/bin/chromium"),
            {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
             QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
             QStringLiteral("--disable-sync"), QStringLiteral("--no-first-run"),
             QStringLiteral("--user-data-dir=") + profile.path(), QStringLiteral("--dump-dom"),
             QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)});
    const bool finished = p.waitForFinished(90000);
    const QString dom = QString::fromUtf8(p.readAllStandardOutput());
    if (error) {
        *error = finished ? QString() : QStringLiteral("chromium did not finish in time\n");
        *error += QStringLiteral("exit code %1\n").arg(p.exitCode()) + QString::fromUtf8(p.readAllStandardError());
    }
    if (!finished)
        p.kill();
    return finished && p.exitStatus() == QProcess::NormalExit ? dom : QString();
}

} // namespace pageparse

// In a test that opens a page in the browser, when there is none: a
// failure where the browser is required, otherwise the test is skipped,
// saying so.
#define TARVIK_NO_CHROMIUM()                                                                                       \
    do {                                                                                                           \
        if (pageparse::ChromiumRequired())                                                                         \
            FAIL() << "/usr/bin/chromium is not installed (TARVIK_REQUIRE_CHROMIUM is set)";                       \
        GTEST_SKIP() << "/usr/bin/chromium is not installed; the browser check is skipped";                        \
    } while (false)
