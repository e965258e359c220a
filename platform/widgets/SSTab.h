#pragma once
// A tab control whose tabs all stand in one row, as many as there are: no
// scroll arrows. Each tab is its caption with a narrow margin; where the
// window is too narrow even for that, the tabs share its width and their
// captions are cut.

#include <QTabWidget>

class SSTab : public QTabWidget {
public:
    explicit SSTab(QWidget* parent = nullptr);
};
