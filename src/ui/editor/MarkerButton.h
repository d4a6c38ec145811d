#pragma once

#include <QPixmap>
#include <QPushButton>

// A button in the graphical style: it may carry a picture, drawn inside its
// face and cut to it, with the caption over the picture; and its back colour
// is a colour role of the current palette, so it follows the desktop's theme.
class MarkerButton : public QPushButton
{
    Q_OBJECT
public:
    explicit MarkerButton(QWidget *parent = nullptr);

    // A null pixmap means no picture.
    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return m_picture; }

    void setBackRole(QPalette::ColorRole role);
    QPalette::ColorRole backRole() const { return m_backRole; }

    // The caption as it is drawn, access-key marks included: cut with an
    // ellipsis only when the whole caption does not fit the face.
    QString shownCaption() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect faceRect() const;

    QPixmap m_picture;
    QPalette::ColorRole m_backRole = QPalette::Button;
};
