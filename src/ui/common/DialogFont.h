#pragma once

#include <QFont>
#include <QFontDatabase>

// The sans-serif dialog font of the program's windows, at the point sizes their
// definitions give: 8.25 for ordinary controls, 9.75 for the large ones.
namespace DialogFont {

constexpr qreal Points = 8.25;
constexpr qreal LargePoints = 9.75;

inline QFont at(qreal points)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

} // namespace DialogFont
