#pragma once

#include <QRect>

// Positions and sizes of the window definition are in twips (1/1440 inch).
namespace Twips {

// Twips per pixel at the primary screen's logical resolution (15 at 96 dpi).
double perPixel();
int toPixels(int twips);
int fromPixels(int pixels);
QRect toPixelRect(int left, int top, int width, int height);

} // namespace Twips
