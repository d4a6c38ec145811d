#pragma once

#include <QPixmap>
#include <QPushButton>

// A slot button, on the bar or in the editor. Its caption is cut with an
// ellipsis at a character boundary when it does not fit, instead of being
// clipped, and on the bar it is drawn beside the capture button that may cover
// the button's top-left corner. In the editor it may carry a picture, drawn
// inside its face with the caption over it in black, and its back colour is a
// colour role of the current palette, so that it follows the desktop's theme.
class SlotButton : public QPushButton
{
    Q_OBJECT
public:
    explicit SlotButton(QWidget *parent = nullptr);

    // Pixels at the left kept free of the caption.
    void setCaptionInset(int pixels);
    int captionInset() const { return m_inset; }

    // A null pixmap means no picture.
    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return m_picture; }

    void setBackRole(QPalette::ColorRole role);
    QPalette::ColorRole backRole() const { return m_backRole; }

    // The caption as it is drawn, access-key marks included.
    QString shownCaption() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect faceRect() const;
    QRect captionRect() const { return faceRect().adjusted(m_inset, 0, 0, 0); }

    int m_inset = 0;
    QPixmap m_picture;
    QPalette::ColorRole m_backRole = QPalette::Button;
};
