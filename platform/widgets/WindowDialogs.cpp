#include "WindowDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace dlg {

static FileHook g_fileHook;
static ColorHook g_colorHook;
static FontHook g_fontHook;
static ExecHook g_execHook;

void SetFileHook(FileHook hook) { g_fileHook = std::move(hook); }
void SetColorHook(ColorHook hook) { g_colorHook = std::move(hook); }
void SetFontHook(FontHook hook) { g_fontHook = std::move(hook); }
void SetExecHook(ExecHook hook) { g_execHook = std::move(hook); }

static bool haveGui()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr
        && QGuiApplication::platformName() != QLatin1String("offscreen")
        && QGuiApplication::platformName() != QLatin1String("minimal");
}

static int ShowMessageBox(const MsgCall& call)
{
    if (!haveGui())
        return AnswerWithoutWindow(call);
    const int flags = call.flags;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(call.title);
    box.setText(call.prompt);
    const int icon = flags & 0x70;
    box.setIcon(icon == vbCritical ? QMessageBox::Critical
              : icon == vbQuestion ? QMessageBox::Question
              : icon == vbExclamation ? QMessageBox::Warning
              : icon == vbInformation ? QMessageBox::Information
                                      : QMessageBox::NoIcon);
    const int buttons = flags & 7;
    const bool second = (flags & vbDefaultButton2) != 0;
    QAbstractButton* def = nullptr;
    struct Pair { QAbstractButton* b; int r; };
    std::vector<Pair> pairs;
    auto add = [&](QMessageBox::StandardButton sb, int r) {
        QAbstractButton* b = box.addButton(sb);
        pairs.push_back({b, r});
        return b;
    };
    if (buttons == vbYesNo) {
        auto* y = add(QMessageBox::Yes, vbYes);
        auto* n = add(QMessageBox::No, vbNo);
        def = second ? n : y;
    } else if (buttons == vbYesNoCancel) {
        auto* y = add(QMessageBox::Yes, vbYes);
        auto* n = add(QMessageBox::No, vbNo);
        add(QMessageBox::Cancel, vbCancel);
        def = second ? n : y;
    } else if (buttons == vbOKCancel) {
        auto* o = add(QMessageBox::Ok, vbOK);
        auto* c = add(QMessageBox::Cancel, vbCancel);
        def = second ? c : o;
    } else {
        def = add(QMessageBox::Ok, vbOK);
    }
    if (auto* pb = qobject_cast<QPushButton*>(def))
        box.setDefaultButton(pb);
    box.exec();
    for (const auto& p : pairs)
        if (box.clickedButton() == p.b)
            return p.r;
    return buttons == vbYesNo ? vbNo : (buttons == vbOKOnly ? vbOK : vbCancel);
}

void InstallMessageBoxes()
{
    SetMessageBoxes(ShowMessageBox);
}

QString GetOpenFileName(QWidget* parent, const FileCall& call)
{
    if (g_fileHook)
        return g_fileHook(call);
    if (!haveGui())
        return QString();
    QString start = call.startFolder;
    if (!call.fileName.isEmpty())
        start = start.isEmpty() ? call.fileName : start + QLatin1Char('/') + call.fileName;
    return QFileDialog::getOpenFileName(parent, call.caption, start, call.filter);
}

bool ChooseColor(QWidget* parent, QColor& color)
{
    if (g_colorHook)
        return g_colorHook(color);
    if (!haveGui())
        return false;
    const QColor c = QColorDialog::getColor(color, parent);
    if (!c.isValid())
        return false;
    color = c;
    return true;
}

bool ChooseFont(QWidget* parent, QFont& font)
{
    if (g_fontHook)
        return g_fontHook(font);
    if (!haveGui())
        return false;
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, font, parent);
    if (ok)
        font = f;
    return ok;
}

int ExecDialog(QWidget* dialog)
{
    if (g_execHook)
        return g_execHook(dialog);
    if (auto* d = qobject_cast<QDialog*>(dialog))
        return d->exec();
    return 0;
}

} // namespace dlg
