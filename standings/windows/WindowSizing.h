#pragma once
// Placement shared by the standings viewer and the track records window:
// both restore their stored state and position at load, and a window that
// opened maximised returns to maximised when the user brings it to normal
// size.

#include <QRect>

class QWidget;

// Restores the stored state and position (by default 8745 by 6285 twips
// where the window stands) and records the state in nLastWindowState.
void LoadWindowPlacement(QWidget* frm);
// For a resize handler: false when the window is minimised and nothing is
// to be laid out. A window that opened maximised and is now normal gets
// its stored placement again once the resize is over.
bool PlacementAfterResize(QWidget* frm);
// Pixels for a size less a margin in twips, never below zero.
int SizeLess(int pixels, double marginTwips);
// A control's place given in twips.
QRect TwipsRect(double left, double top, double width, double height);
