#include "Forms.h"

#include "DbError.h"
#include "Dialogs.h"
#include "FormRegistry.h"
#include "Settings.h"

#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRect>
#include <QScrollBar>
#include <QWidget>

namespace {

const char* const kApp = "Tarvik";
const char* const kFormName = "tarvikFormName";
const char* const kPendingState = "tarvikPendingState";
const char* const kPendingGeom = "tarvikPendingGeom";

QPointer<QMdiArea> g_area;
// Working windows in load order.
QList<QPointer<QWidget>> g_forms;

QWidget* frameOf(QWidget* w)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
        return sub;
    return w;
}

const QWidget* frameOf(const QWidget* w)
{
    return frameOf(const_cast<QWidget*>(w));
}

bool isLoaded(const QPointer<QWidget>& w)
{
    return w && !frameOf(w.data())->isHidden();
}

void prune()
{
    for (int i = g_forms.size() - 1; i >= 0; --i)
        if (!isLoaded(g_forms[i]))
            g_forms.removeAt(i);
}

// A stored number in twips (or a state); a missing or non-numeric value
// gives the fallback.
double storedNumber(const QString& section, const char* key, double fallback)
{
    const QString text = settings::GetSetting(QString::fromLatin1(kApp), section, QString::fromLatin1(key));
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? v : fallback;
}

void saveNumber(const QString& section, const char* key, double value)
{
    settings::SaveSetting(QString::fromLatin1(kApp), section, QString::fromLatin1(key),
                          QString::number(qRound64(value)));
}

QMdiArea* areaOf(const QWidget* frame)
{
    auto* sub = qobject_cast<const QMdiSubWindow*>(frame);
    return sub ? sub->mdiArea() : nullptr;
}

// How far the work area is scrolled: a child frame's geometry is relative
// to the visible part, its position in the area is that plus this offset.
QPoint scrollOffset(const QMdiArea* area)
{
    return {area->horizontalScrollBar()->value(), area->verticalScrollBar()->value()};
}

// A frame's position in the work area, whatever the area is scrolled to.
QPoint areaPos(const QWidget* frame)
{
    const QMdiArea* area = areaOf(frame);
    return area ? frame->pos() + scrollOffset(area) : frame->pos();
}

// Where a frame can start and still be reached: the work area unscrolled,
// grown by the other child windows (the scroll bars reach those too).
QRect reachableExtent(const QMdiArea* area, const QWidget* frame)
{
    QRect extent(QPoint(0, 0), area->viewport()->size());
    const QPoint offset = scrollOffset(area);
    for (const QMdiSubWindow* s : area->subWindowList())
        if (s != frame && s->isVisible() && !s->isMinimized() && !s->isMaximized())
            extent |= s->geometry().translated(offset);
    return extent;
}

// One coordinate brought back inside [low, high]: as much of the window as
// fits stays in view, never its start outside.
int bringInside(int pos, int size, int low, int high)
{
    if (pos >= low && pos <= high)
        return pos;
    return qMax(low, qMin(pos, high + 1 - size));
}

// Puts a child frame at a position in the work area; a position from which
// it could not be reached is brought back inside.
void placeInArea(QWidget* frame, QPoint pos)
{
    QMdiArea* area = areaOf(frame);
    if (!area) {
        frame->move(pos);
        return;
    }
    const QRect extent = reachableExtent(area, frame);
    pos.setX(bringInside(pos.x(), frame->width(), extent.left(), extent.right()));
    pos.setY(bringInside(pos.y(), frame->height(), extent.top(), extent.bottom()));
    frame->move(pos - scrollOffset(area));
}

// A child frame that another child window stands in front of.
bool isBehind(QWidget* frame)
{
    const QMdiArea* area = areaOf(frame);
    const QMdiSubWindow* front = area ? area->currentSubWindow() : nullptr;
    return front && front != frame;
}

void applyState(QWidget* frame, int state)
{
    if (state == 2)
        frame->showMaximized();
    else if (state == 1)
        frame->showMinimized();
    else if (frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
        frame->showNormal();
}

// Geometry in pixels; an invalid rectangle's position means "keep where it is".
void applyGeometry(QWidget* frame, const QRect& geom, bool movePos)
{
    frame->resize(geom.size());
    if (movePos)
        placeInArea(frame, geom.topLeft());
}

void applyPending(QWidget* w, QWidget* frame)
{
    const QVariant st = w->property(kPendingState);
    if (!st.isValid()) {
        frame->show();
        return;
    }
    const int state = st.toInt();
    const QVariantList g = w->property(kPendingGeom).toList();
    w->setProperty(kPendingState, QVariant());
    w->setProperty(kPendingGeom, QVariant());
    if (state == 0 && g.size() == 2)
        applyGeometry(frame, g[0].toRect(), g[1].toBool());
    if (state == 0)
        frame->show();
    else
        applyState(frame, state);
}

void track(QWidget* w)
{
    prune();
    g_forms.append(QPointer<QWidget>(w));
}

} // namespace

void SetMdiArea(QMdiArea* area)
{
    g_area = area;
}

QMdiArea* MdiArea()
{
    return g_area.data();
}

int FormWindowState(const QWidget* frm)
{
    const QVariant pending = frm->property(kPendingState);
    if (pending.isValid())
        return pending.toInt();
    const QWidget* frame = frameOf(frm);
    if (frame->isMinimized())
        return 1;
    if (frame->isMaximized())
        return 2;
    return 0;
}

void LoadFormPosition(QWidget* frm, double top, double left, double height, double width)
{
    const QString section = frm->objectName();
    int state = static_cast<int>(storedNumber(section, "WindowState", 0));
    if (state < 0 || state > 2)
        state = 0;

    QRect geom;
    bool movePos = false;
    QWidget* frame = frameOf(frm);
    if (state == 0) {
        const int y = TwipsToPixels(storedNumber(section, "Top", top));
        const int x = TwipsToPixels(storedNumber(section, "Left", left));
        const int h = TwipsToPixels(storedNumber(section, "Height", height));
        const int w = TwipsToPixels(storedNumber(section, "Width", width));
        geom = QRect(x, y, qMax(w, 1), qMax(h, 1));
        // Defaults equal to where the window already is leave its placement
        // to the window system (a first opening keeps its own position).
        movePos = geom.topLeft() != areaPos(frame) || frame->testAttribute(Qt::WA_Moved);
    }

    // Not yet shown and not yet inside its frame: applied when it is shown.
    if (frame == frm && !frm->isVisible() && !frm->parentWidget()) {
        frm->setProperty(kPendingState, state);
        frm->setProperty(kPendingGeom, QVariantList{geom, movePos});
        return;
    }
    if (state == 0)
        applyGeometry(frame, geom, movePos);
    // Maximised again behind the window in front (the team list opened
    // beside it), it would take the front back from that window.
    if (state == 2 && isBehind(frame))
        return;
    applyState(frame, state);
}

void SaveFormPosition(QWidget* frm)
{
    const QString section = frm->objectName();
    const int state = FormWindowState(frm);
    saveNumber(section, "WindowState", state);
    if (state != 0)
        return;
    const QWidget* frame = frameOf(frm);
    const QPoint pos = areaPos(frame);
    saveNumber(section, "Top", PixelsToTwips(pos.y()));
    saveNumber(section, "Left", PixelsToTwips(pos.x()));
    saveNumber(section, "Height", PixelsToTwips(frame->height()));
    saveNumber(section, "Width", PixelsToTwips(frame->width()));
}

bool UnloadAllForms()
{
    prune();
    while (!g_forms.isEmpty()) {
        QPointer<QWidget> w = g_forms.takeLast();
        if (!isLoaded(w))
            continue;
        if (!frameOf(w.data())->close()) {
            g_forms.append(w);
            return false;
        }
    }
    // Child windows that were not opened through here.
    if (g_area) {
        const auto subs = g_area->subWindowList(QMdiArea::CreationOrder);
        for (int i = subs.size() - 1; i >= 0; --i)
            if (subs[i]->isVisible() && !subs[i]->close())
                return false;
    }
    return true;
}

int LoadedFormCount()
{
    prune();
    return g_forms.size();
}

QWidget* FindLoadedForm(const QString& name)
{
    prune();
    for (const auto& w : g_forms)
        if (w->property(kFormName).toString() == name || w->objectName() == name)
            return w.data();
    return nullptr;
}

QWidget* ShowChildWidget(QWidget* w)
{
    if (!w)
        return nullptr;
    if (!g_area) {
        // No main window (tools, tests): a window of its own.
        return ShowTopLevelForm(w);
    }
    // A window that set its own size keeps it as its frame's size; otherwise
    // the frame would only take the contents' size hint.
    const bool sized = w->testAttribute(Qt::WA_Resized);
    const QSize designed = w->size();
    QMdiSubWindow* sub = g_area->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    if (sized)
        sub->resize(designed.expandedTo(sub->minimumSizeHint()));
    if (!w->windowIcon().isNull())
        sub->setWindowIcon(w->windowIcon());
    track(w);
    applyPending(w, sub);
    // The area's own placement puts a window wider or taller than the
    // visible part partly before its start.
    if (!sub->isMaximized() && !sub->isMinimized())
        placeInArea(sub, areaPos(sub));
    g_area->setActiveSubWindow(sub);
    return w;
}

QWidget* ShowTopLevelForm(QWidget* w)
{
    if (!w)
        return nullptr;
    w->setAttribute(Qt::WA_DeleteOnClose);
    track(w);
    applyPending(w, w);
    w->raise();
    w->activateWindow();
    return w;
}

QWidget* ShowChildForm(const QString& name, bool closeOthers)
{
    if (closeOthers) {
        if (!UnloadAllForms())
            return nullptr;
    } else if (QWidget* open = FindLoadedForm(name)) {
        QWidget* frame = frameOf(open);
        if (auto* sub = qobject_cast<QMdiSubWindow*>(frame); sub && g_area)
            g_area->setActiveSubWindow(sub);
        frame->raise();
        return open;
    }
    QWidget* w = CreateForm(name);
    if (!w)
        return nullptr;
    w->setProperty(kFormName, name);
    if (w->objectName().isEmpty())
        w->setObjectName(name);
    return ShowChildWidget(w);
}

void RunGuarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbCritical);
    } catch (const std::exception& e) {
        dlg::MsgBox(QString::fromLocal8Bit(e.what()), dlg::vbCritical);
    } catch (...) {
        dlg::MsgBox(QStringLiteral("An unexpected error occurred."), dlg::vbCritical);
    }
}
