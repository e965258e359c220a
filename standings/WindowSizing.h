#pragma once
// Placement shared by the standings viewer and the track records window:
// both restore their stored state and position at load, and a window that
// opened maximised returns to maximised when the user brings it to normal
// size.

class QWidget;

// Restores the stored state and position (defaults in twips, the current
// place as the default place) and records the state in nLastWindowState.
void LoadWindowPlacement(QWidget* frm, double height, double width);
// For a resize handler: false when the window is minimised and nothing is
// to be laid out. A window that opened maximised and is now normal gets
// its stored placement again once the resize is over.
bool PlacementAfterResize(QWidget* frm, double height, double width);
// Pixels for a size in twips less a margin in twips, never below zero.
int SizeLess(int pixels, double marginTwips);
