#pragma once

#include <QProxyStyle>
#include <QStyleOptionMenuItem>

// The vertical bar is 176 pixels wide, and the desktop styles space menu bar
// entries so generously that "Help" would go behind an extension arrow there.
// This style gives each entry its text and four pixels on either side, and one
// pixel between entries, never more than the desktop style would.
class CompactMenuBarStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_MenuBarItemSpacing ? qMin(value, 1) : value;
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contents,
                           const QWidget *widget) const override
    {
        QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (type == CT_MenuBarItem && item != nullptr && !item->text.isEmpty()) {
            QString text = item->text;
            text.remove(QLatin1Char('&'));
            size.setWidth(qMin(size.width(), item->fontMetrics.horizontalAdvance(text) + 8));
        }
        return size;
    }
};
