#pragma once
// One row of a page table, written a line at a time into a fragment. The
// pages spell each cell on a line of its own: the lead (blanks, or the row's
// opening tag), "<td " or "<TD ", the row's class attribute, the cell's own
// attributes, ">", the text, "</td>" or "</TD>", then what closes the row
// when the cell is its last. Texts go in as given: data must be escaped.

#include "HTMLClass.h"

#include <QLatin1String>
#include <QString>
#include <QStringView>

#include <initializer_list>

class HtmlRow {
public:
    // How a cell's tags are spelled: <td>...</td>, <TD>...</TD>, <TD>...</td>.
    enum class Tags { Lower, Upper, UpperOpen };

    // A cell's attributes (after the class) and its text.
    struct Cell {
        QStringView attrs;
        QStringView text;
    };

    // Writes openLine unless it is empty. lead is a literal: it is kept,
    // not copied.
    HtmlRow(HTMLClass::Fragment& f, const QString& openLine, const char* lead, const QString& classAttr,
            Tags tags = Tags::Lower);

    // One cell line; after (a literal) follows its closing tag.
    HtmlRow& cell(QStringView attrs, QStringView text, const char* after = "");
    HtmlRow& cells(std::initializer_list<Cell> list);
    // A line of its own, such as the row's closing "    </TR>".
    void line(const QString& text) { m_f << text; }

    // The cell alignments the pages use.
    static constexpr QStringView kCenter = u" align=\"center\"";
    static constexpr QStringView kLeft = u" align=\"left\"";
    static constexpr QStringView kRight = u" align=\"right\"";

private:
    HTMLClass::Fragment& m_f;
    QLatin1String m_lead;
    QString m_class;
    QLatin1String m_open, m_close;
};
