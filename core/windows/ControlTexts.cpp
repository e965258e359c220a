#include "ControlTexts.h"

#include "TextLayout.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

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

bool ControlsChanged(const QList<QWidget*>& controls, const QVariantList& saved, int n)
{
    return ValuesChanged(saved, SaveControlTexts(controls), n);
}

bool FocusInWithoutSelecting(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::FocusIn)
        return false;
    // An editable combo hands its focus-in on to its own box.
    auto* combo = qobject_cast<QComboBox*>(watched);
    if (!qobject_cast<QLineEdit*>(watched) && !(combo && combo->isEditable()))
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
