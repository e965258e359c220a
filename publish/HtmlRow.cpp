#include "HtmlRow.h"

HtmlRow::HtmlRow(HTMLClass::Fragment& f, const QString& openLine, const char* lead, const QString& classAttr, Tags tags)
    : m_f(f)
    , m_lead(lead)
    , m_class(classAttr)
    , m_open(tags == Tags::Lower ? QLatin1String("<td ") : QLatin1String("<TD "))
    , m_close(tags == Tags::Upper ? QLatin1String("</TD>") : QLatin1String("</td>"))
{
    if (!openLine.isEmpty())
        m_f << openLine;
}

HtmlRow& HtmlRow::cell(QStringView attrs, QStringView text, const char* after)
{
    const QLatin1String tail(after);
    // One allocation a line: the page writer runs once per race and page.
    QString s;
    s.reserve(m_lead.size() + m_open.size() + m_class.size() + attrs.size() + 1 + text.size() + m_close.size()
              + tail.size());
    s += m_lead;
    s += m_open;
    s += m_class;
    s += attrs;
    s += QLatin1Char('>');
    s += text;
    s += m_close;
    s += tail;
    m_f << s;
    return *this;
}

HtmlRow& HtmlRow::cells(std::initializer_list<Cell> list)
{
    for (const Cell& c : list)
        cell(c.attrs, c.text);
    return *this;
}
