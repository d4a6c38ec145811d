#pragma once

#include <QPoint>
#include <QSize>

// Fixed measures of the bar, in twips.
namespace BarLayout {

constexpr int SlotButtonWidth = 1335;
constexpr int SlotButtonHeight = 375;
constexpr int CaptureButtonSize = 255;
constexpr int ColumnStep = 1320;
constexpr int RowStep = 360;
constexpr int HorizontalColumns = 5;
constexpr int VerticalColumns = 2;

// What the frame, caption and menu bar take from the window's outer size.
constexpr int FrameWidth = 90;
constexpr int FrameHeight = 660;

// The window as designed: horizontal Default Size, with the button area's
// top-left corner at 3600, 4395 from the screen's.
constexpr int DesignWidth = 6690;
constexpr int DesignHeight = 1380;
constexpr int DesignAreaLeft = 3600;
constexpr int DesignAreaTop = 4395;

// Window sizes: 1 Default Size, 2 First Button Row, 3 Only Menu.
enum SizeMode : int { DefaultSize = 1, FirstButtonRow = 2, OnlyMenu = 3 };

// Left and Top of slot button n (1 to 10) in a bar of the given number of columns.
constexpr QPoint slotButtonPosition(int n, int columns)
{
    return {ColumnStep * ((n - 1) % columns), RowStep * ((n - 1) / columns)};
}

// The outer size a Window Size entry gives the window (sizeMode 1 to 3).
constexpr QSize sizeHandlerSize(int sizeMode, bool vertical)
{
    const int width = vertical ? 2730 : 6690;
    switch (sizeMode) {
    case FirstButtonRow:
        return {width, 1030};
    case OnlyMenu:
        return {width + 30, 645};
    default:
        return {width, vertical ? 2460 : 1380};
    }
}

// The outer size a layout entry gives the window for the size mode in force.
// The two families differ: First Button Row is 1035 high here, and Only Menu
// keeps the layout's width.
constexpr QSize layoutHandlerSize(int sizeMode, bool vertical)
{
    const int width = vertical ? 2730 : 6690;
    switch (sizeMode) {
    case FirstButtonRow:
        return {width, 1035};
    case OnlyMenu:
        return {width, 645};
    default:
        return {width, vertical ? 2460 : 1380};
    }
}

// The smallest outer size a layout gives the window: the vertical bar's width,
// Only Menu's height.
constexpr QSize SmallestSize = layoutHandlerSize(OnlyMenu, true);

} // namespace BarLayout
