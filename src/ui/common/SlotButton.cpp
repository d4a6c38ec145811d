#include "ui/common/SlotButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
// The back colour (3D light marks the selected slot) stays visible round the
// picture and shows through it.
constexpr int PictureInset = 2;
constexpr qreal PictureOpacity = 0.6;
} // namespace

SlotButton::SlotButton(QWidget *parent) : QPushButton(parent) {}

void SlotButton::setCaptionInset(int pixels)
{
    if (m_inset != pixels) {
        m_inset = pixels;
        update();
    }
}

void SlotButton::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void SlotButton::setBackRole(QPalette::ColorRole role)
{
    if (m_backRole != role) {
        m_backRole = role;
        update();
    }
}

QRect SlotButton::faceRect() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
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
    option.palette.setColor(QPalette::Button, palette().color(m_backRole));
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect face = faceRect();
    if (!m_picture.isNull()) {
        QRect picture(QPoint(), m_picture.deviceIndependentSize().toSize());
        picture.moveCenter(face.center());
        painter.save();
        painter.setClipRect(face.adjusted(PictureInset, PictureInset, -PictureInset, -PictureInset));
        painter.setOpacity(PictureOpacity);
        painter.drawPixmap(picture, m_picture);
        painter.restore();
    }
    if (!m_picture.isNull()) {
        // The picture is pale on every theme; a theme's light caption would vanish on it.
        option.palette.setColor(QPalette::ButtonText, Qt::black);
    }
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    painter.drawItemText(captionRect(), flags, option.palette, isEnabled(), shownCaption(), QPalette::ButtonText);
}
