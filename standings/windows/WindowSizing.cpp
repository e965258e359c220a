#include "WindowSizing.h"

#include "Forms.h"
#include "State.h"

#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace {

const char* const kRestoring = "tarvikRestoringPlacement";
constexpr double kDefaultHeight = 6285;
constexpr double kDefaultWidth = 8745;

QWidget* frameOf(QWidget* frm)
{
    return frm->parentWidget() ? frm->parentWidget() : frm;
}

void restore(QWidget* frm)
{
    const QWidget* frame = frameOf(frm);
    LoadFormPosition(frm, PixelsToTwips(frame->y()), PixelsToTwips(frame->x()), kDefaultHeight, kDefaultWidth);
}

} // namespace

void LoadWindowPlacement(QWidget* frm)
{
    restore(frm);
    nLastWindowState = FormWindowState(frm);
}

bool PlacementAfterResize(QWidget* frm)
{
    const int state = FormWindowState(frm);
    if (state == 1)
        return false;
    // The child window's frame hides its contents while it changes state,
    // so the frame tells whether the window is on screen.
    if (nLastWindowState == 2 && state == 0 && frameOf(frm)->isVisible() && !frm->property(kRestoring).toBool()) {
        frm->setProperty(kRestoring, true);
        QPointer<QWidget> guard(frm);
        QTimer::singleShot(0, frm, [guard] {
            if (!guard)
                return;
            restore(guard);
            guard->setProperty(kRestoring, false);
        });
    }
    return true;
}

int SizeLess(int pixels, double marginTwips)
{
    return qMax(pixels - TwipsToPixels(marginTwips), 0);
}

QRect TwipsRect(double left, double top, double width, double height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}
