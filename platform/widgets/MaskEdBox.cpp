#include "MaskEdBox.h"

#include "Runtime.h"

#include <cmath>

namespace rt {

bool ParseMoney(const QString& text, double& value)
{
    QString t = text.trimmed();
    if (t.isEmpty()) {
        value = 0;
        return true;
    }
    bool negative = false;
    if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    if (t.startsWith(QLatin1Char('-')) && !negative) {
        negative = true;
        t = t.mid(1).trimmed();
    }
    if (t.startsWith(QLatin1Char('$')))
        t = t.mid(1).trimmed();
    if (t.isEmpty())
        return false;
    // Thousands separators only where they group digits before the point.
    const int point = t.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? t : t.left(point);
    if (whole.contains(QLatin1Char(','))) {
        const QStringList groups = whole.split(QLatin1Char(','));
        if (groups.first().isEmpty() || groups.first().size() > 3)
            return false;
        for (int i = 1; i < groups.size(); ++i)
            if (groups[i].size() != 3)
                return false;
        // Only the whole part loses its separators: a comma after the
        // point is refused below.
        t = QString(whole).remove(QLatin1Char(',')) + (point < 0 ? QString() : t.mid(point));
    }
    for (const QChar c : t)
        if (!c.isDigit() && c != QLatin1Char('.'))
            return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    // Amounts beyond what a money column holds are refused, not rounded.
    if (!ok || !std::isfinite(v) || v >= 9.2e14)
        return false;
    value = negative ? -v : v;
    return true;
}

} // namespace rt

MaskEdBox::MaskEdBox(QWidget* parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { m_plain = t; });
}

void MaskEdBox::setFormat(const QString& pattern)
{
    m_format = pattern;
    if (!m_editing)
        showFormatted();
}

void MaskEdBox::setText(const QString& text)
{
    m_plain = text;
    if (m_editing)
        QLineEdit::setText(text);
    else
        showFormatted();
}

void MaskEdBox::showFormatted()
{
    double v = 0;
    // A text that is not an amount is shown as it stands.
    if (!m_format.isEmpty() && !m_plain.trimmed().isEmpty() && rt::ParseMoney(m_plain, v))
        QLineEdit::setText(rt::Format(v, m_format));
    else
        QLineEdit::setText(m_plain);
}

void MaskEdBox::focusInEvent(QFocusEvent* event)
{
    m_editing = true;
    QLineEdit::setText(m_plain);
    QLineEdit::focusInEvent(event);
}

void MaskEdBox::focusOutEvent(QFocusEvent* event)
{
    m_editing = false;
    showFormatted();
    QLineEdit::focusOutEvent(event);
}
