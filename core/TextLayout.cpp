#include "TextLayout.h"

#include "Database.h"
#include "Recordset.h"
#include "Runtime.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <cmath>

QString PadRight(const QString& s, double w)
{
    const int width = static_cast<int>(rt::RoundHalfEven(w));
    return rt::LSet(rt::Trim(s), width);
}

QString AlignRight(double n, int w)
{
    // The shortest text of the single-precision value: 7 significant
    // digits, exponent form only for very large or small values.
    QString text = QString::number(static_cast<double>(static_cast<float>(n)), 'G', 7);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return rt::RSet(rt::Trim(text), w);
}

QString ZeroPad(const QString& s, int n)
{
    if (n <= 0)
        return QString();
    return (QStringLiteral("0000000000") + rt::Trim(s)).right(n);
}

QString HTMLColor(double c)
{
    const qint64 v = static_cast<qint64>(rt::RoundHalfEven(c));
    const int red = int(v & 0xFF);
    const int green = int((v >> 8) & 0xFF);
    const int blue = int((v >> 16) & 0xFF);
    auto hex = [](int part) { return QStringLiteral("%1").arg(part, 2, 16, QLatin1Char('0')).toUpper(); };
    return QLatin1Char('#') + hex(red) + hex(green) + hex(blue);
}

QString ControlText(const QWidget* control)
{
    if (!control)
        return QString();
    if (auto* e = qobject_cast<const QLineEdit*>(control))
        return e->text();
    if (auto* c = qobject_cast<const QComboBox*>(control))
        return c->currentText();
    if (auto* b = qobject_cast<const QCheckBox*>(control))
        return b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto* s = qobject_cast<const QAbstractSpinBox*>(control))
        return s->text();
    if (auto* p = qobject_cast<const QPlainTextEdit*>(control))
        return p->toPlainText();
    if (auto* t = qobject_cast<const QTextEdit*>(control))
        return t->toPlainText();
    const QVariant text = control->property("text");
    return text.isValid() ? text.toString() : QString();
}

void SetLoadedText(QLineEdit* box, const QString& text)
{
    if (box->maxLength() < text.size())
        box->setMaxLength(text.size());
    box->setText(text);
}

static bool textDiffers(const QVariant& a, const QVariant& b)
{
    // A value that is absent never counts as a change.
    if (a.isNull() || b.isNull())
        return false;
    return rt::Trim(a.toString()) != rt::Trim(b.toString());
}

bool ControlsChanged(const QList<QWidget*>& controls, const QVariantList& saved, int n)
{
    for (int i = 0; i <= n && i < controls.size() && i < saved.size(); ++i) {
        const QVariant& s = saved[i];
        if (s.isNull())
            continue;
        if (textDiffers(s, ControlText(controls[i])))
            return true;
    }
    return false;
}

bool ValuesChanged(const QVariantList& oldValues, const QVariantList& newValues, int n)
{
    for (int i = 0; i <= n && i < oldValues.size() && i < newValues.size(); ++i)
        if (textDiffers(oldValues[i], newValues[i]))
            return true;
    return false;
}

bool FocusInWithoutSelecting(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::FocusIn || !qobject_cast<QLineEdit*>(watched))
        return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason && reason != Qt::ShortcutFocusReason)
        return false;
    QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(watched, &plain);
    return true;
}

QVariantList SaveControlTexts(const QList<QWidget*>& controls)
{
    QVariantList texts;
    texts.reserve(controls.size());
    for (QWidget* c : controls)
        texts.append(ControlText(c));
    return texts;
}

void ClearFields(dao::Recordset& rs)
{
    for (int i = 0; i < rs.fieldCount(); ++i) {
        if (rs.fieldAttributes(i) == dao::dbAutoNumberAttributes)
            continue;
        switch (rs.fieldType(i)) {
        case dao::dbBoolean:
            rs.setField(i, false);
            break;
        case dao::dbByte:
        case dao::dbInteger:
        case dao::dbLong:
        case dao::dbCurrency:
        case dao::dbSingle:
        case dao::dbDouble:
            rs.setField(i, 0);
            break;
        case dao::dbText:
        case dao::dbMemo:
            rs.setField(i, QStringLiteral(""));
            break;
        default:
            // Dates, binary data and identifiers keep what they hold.
            break;
        }
    }
}
