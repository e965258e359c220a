#include "SSTab.h"

#include <QProxyStyle>
#include <QTabBar>

namespace {

// A narrow margin: four pixels each side of a caption.
class NarrowTabMargins : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 8;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

class OneRowTabBar : public QTabBar {
public:
    explicit OneRowTabBar(QWidget* parent)
        : QTabBar(parent)
    {
        auto* style = new NarrowTabMargins;
        style->setParent(this);
        setStyle(style);
        setUsesScrollButtons(false);
        setElideMode(Qt::ElideNone);
    }

protected:
    // Squeezed, a tab keeps room for a letter or two, so the row never holds
    // the window wider than its other controls do.
    QSize minimumTabSizeHint(int index) const override
    {
        return {fontMetrics().averageCharWidth() * 2, tabSizeHint(index).height()};
    }
};

} // namespace

SSTab::SSTab(QWidget* parent)
    : QTabWidget(parent)
{
    setTabBar(new OneRowTabBar(this));
}
