#pragma once

#include <QPoint>

// Fixed measures of the bar, in twips.
namespace BarLayout {

constexpr int SlotButtonWidth = 1335;
constexpr int SlotButtonHeight = 375;
constexpr int CaptureButtonSize = 255;
constexpr int ColumnStep = 1320;
constexpr int RowStep = 360;
constexpr int HorizontalColumns = 5;

// What the frame, caption and menu bar take from the window's outer size.
constexpr int FrameWidth = 90;
constexpr int FrameHeight = 660;

// The window as designed: horizontal Default Size, with the button area's
// top-left corner at 3600, 4395 from the screen's.
constexpr int DesignWidth = 6690;
constexpr int DesignHeight = 1380;
constexpr int DesignAreaLeft = 3600;
constexpr int DesignAreaTop = 4395;

// Left and Top of slot button n (1 to 10) in a bar of the given number of columns.
constexpr QPoint slotButtonPosition(int n, int columns)
{
    return {ColumnStep * ((n - 1) % columns), RowStep * ((n - 1) / columns)};
}

} // namespace BarLayout
