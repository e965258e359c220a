#pragma once
// Enter (the main key or the keypad's) on a push button that has the focus
// presses it, in a plain window as in a dialog. The program's buttons are
// no default buttons unless a window says so, so without this Enter on a
// focused button did nothing; Space still presses it as well.

class QPushButton;
class QWidget;

void PressOnEnter(QPushButton* button);
// Every push button of the window, as it stands.
void PressButtonsOnEnter(QWidget* window);
