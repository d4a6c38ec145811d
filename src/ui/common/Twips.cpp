#include "ui/common/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

namespace Twips {

double perPixel()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr && screen->logicalDotsPerInchX() > 0 ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / dpi;
}

int toPixels(int twips)
{
    return qRound(twips / perPixel());
}

int fromPixels(int pixels)
{
    return qRound(pixels * perPixel());
}

QRect toPixelRect(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

} // namespace Twips
