#pragma once

#include <QPushButton>

// A slot button. Its caption is drawn beside the capture button that may cover
// the button's top-left corner, and a caption too long for the button is cut
// with an ellipsis at a character boundary instead of being clipped.
class SlotButton : public QPushButton
{
    Q_OBJECT
public:
    explicit SlotButton(QWidget *parent = nullptr);

    // Pixels at the left kept free of the caption.
    void setCaptionInset(int pixels);
    int captionInset() const { return m_inset; }

    // The caption as it is drawn, access-key marks included.
    QString shownCaption() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect captionRect() const;

    int m_inset = 0;
};
