#include "WindowSizing.h"

#include "Forms.h"
#include "State.h"

#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace {

const char* const kRestoring = "tarvikRestoringPlacement";

QWidget* frameOf(QWidget* frm)
{
    return frm->parentWidget() ? frm->parentWidget() : frm;
}

void restore(QWidget* frm, double height, double width)
{
    const QWidget* frame = frameOf(frm);
    LoadFormPosition(frm, PixelsToTwips(frame->y()), PixelsToTwips(frame->x()), height, width);
}

} // namespace

void LoadWindowPlacement(QWidget* frm, double height, double width)
{
    restore(frm, height, width);
    nLastWindowState = FormWindowState(frm);
}

bool PlacementAfterResize(QWidget* frm, double height, double width)
{
    const int state = FormWindowState(frm);
    if (state == 1)
        return false;
    if (nLastWindowState == 2 && state == 0 && frm->isVisible() && !frm->property(kRestoring).toBool()) {
        frm->setProperty(kRestoring, true);
        QPointer<QWidget> guard(frm);
        QTimer::singleShot(0, frm, [guard, height, width] {
            if (!guard)
                return;
            restore(guard, height, width);
            guard->setProperty(kRestoring, false);
        });
    }
    return true;
}

int SizeLess(int pixels, double marginTwips)
{
    return qMax(pixels - TwipsToPixels(marginTwips), 0);
}
