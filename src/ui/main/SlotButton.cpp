#include "SlotButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr int CaptionMargin = 2;
} // namespace

SlotButton::SlotButton(QWidget *parent) : QPushButton(parent) {}

void SlotButton::setCaptionInset(int pixels)
{
    if (m_inset != pixels) {
        m_inset = pixels;
        update();
    }
}

QRect SlotButton::captionRect() const
{
    return rect().adjusted(m_inset + CaptionMargin, 0, -CaptionMargin, 0);
}

QString SlotButton::shownCaption() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, captionRect().width(), Qt::TextShowMnemonic);
}

void SlotButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    QStyleOptionButton label;
    initStyleOption(&label);
    const QRect area = captionRect();
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    const QPalette::ColorRole role = QPalette::ButtonText;
    painter.drawItemText(area, flags, label.palette, isEnabled(), shownCaption(), role);
}
