#pragma once

#include <QWidget>

#include <algorithm>
#include <cmath>

// The contrast (WCAG) of a control's text against what is behind it on the screen: the window is drawn with the
// text and without it, and the strongest change is the ink where a stroke is whole.
inline double textContrast(QWidget *control)
{
    const auto luminance = [](QRgb rgb) {
        const auto linear = [](int c) { return c <= 10 ? c / 3294.6 : std::pow((c / 255.0 + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb)) + 0.05;
    };
    const QVariant text = control->property("text");
    const QImage with = control->window()->grab(control->geometry()).toImage();
    control->setProperty("text", QString());
    const QImage without = control->window()->grab(control->geometry()).toImage();
    control->setProperty("text", text);
    double contrast = 1;
    for (int i = 0; i < with.width() * with.height(); ++i) {
        const QPoint at(i % with.width(), i / with.width());
        const double a = luminance(with.pixel(at)), b = luminance(without.pixel(at));
        contrast = std::max({contrast, a / b, b / a});
    }
    return contrast;
}
