#include "EditorDialog.h"

#include "ControlTexts.h"
#include "DbError.h"
#include "Dialogs.h"
#include "EnterOnButtons.h"
#include "Runtime.h"
#include "State.h"
#include "WindowDialogs.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

EditorDialog::EditorDialog(QWidget* parent)
    : QDialog(parent)
{
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSizeF(8.25);
    setFont(f);
}

bool EditorDialog::ReadNumber(const QString& text, double& value)
{
    if (!rt::IsNumeric(text))
        return false;
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

bool EditorDialog::ReadWhole(const QString& text, qint64& value)
{
    bool ok = false;
    value = text.trimmed().toLongLong(&ok);
    return ok;
}

void EditorDialog::cancelEdit()
{
    if (hasChanges()) {
        nAnswer = dlg::MsgBox(QStringLiteral("All changes will be lost, do you want to continue"),
                              dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2, QStringLiteral("Verify"));
        if (nAnswer != dlg::vbYes)
            return;
    }
    QDialog::reject();
}

void EditorDialog::refuse(const QString& message, QWidget* focus)
{
    dlg::MsgBox(message, dlg::vbCritical);
    if (focus)
        focus->setFocus();
}

void EditorDialog::showError(const QString& description)
{
    dlg::MsgBox(description, dlg::vbOKOnly);
}

void EditorDialog::trimOnFocus(QLineEdit* box)
{
    box->installEventFilter(this);
    box->setProperty("trimOnFocus", true);
}

void EditorDialog::escapeDoesNothingIn(QWidget* control)
{
    control->installEventFilter(this);
    control->setProperty("escapeDoesNothing", true);
}

void EditorDialog::layOut(QFormLayout* fields, const QString& cancelName)
{
    auto* picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    auto* strip = new QHBoxLayout(picButtons);
    cmdUpdate = new QPushButton(QStringLiteral("&Ok"), picButtons);
    cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), picButtons);
    cancel->setObjectName(cancelName);
    strip->addWidget(cmdUpdate);
    strip->addWidget(cancel);
    strip->addStretch();
    for (QPushButton* b : {cmdUpdate, cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->installEventFilter(this);
        PressOnEnter(b);
    }
    connect(cancel, &QPushButton::clicked, this, &EditorDialog::cancelEdit);
    // No text box selects its text when it gets the focus; an editable
    // combo gets the focus for its own box.
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        auto* combo = qobject_cast<QComboBox*>(box->parentWidget());
        (combo ? static_cast<QWidget*>(combo) : box)->installEventFilter(this);
    }

    auto* top = new QVBoxLayout(this);
    top->addLayout(fields);
    top->addStretch();
    top->addWidget(picButtons);
}

bool EditorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (FocusInWithoutSelecting(watched, event))
        return true;
    if (event->type() == QEvent::FocusIn && watched->property("trimOnFocus").toBool()) {
        auto* box = static_cast<QLineEdit*>(watched);
        const QString t = rt::Trim(box->text());
        if (t != box->text())
            box->setText(t);
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && watched->property("escapeDoesNothing").toBool())
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ShowEditorDialog(const std::function<std::unique_ptr<EditorDialog>()>& make)
{
    try {
        std::unique_ptr<EditorDialog> editor = make();
        if (!editor)
            return;
        if (editor->loaded())
            dlg::ExecDialog(editor.get());
        else
            dlg::MsgBox(QStringLiteral("The selected record no longer exists."), dlg::vbCritical);
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbOKOnly);
    }
}
