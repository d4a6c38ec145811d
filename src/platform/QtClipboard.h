#pragma once

#include "slots/Clipboard.h"

#include <memory>

class X11ClipboardOwner;

// The system clipboard through QClipboard; on X11 the bar owns it itself.
class QtClipboard : public Clipboard
{
public:
    QtClipboard();
    ~QtClipboard() override;
    void clear() override;
    void setText(const QByteArray &utf8) override;
    bool readText(QByteArray &utf8, QString &error) const override;

private:
    // Made when the bar first puts a text on the X11 clipboard.
    std::unique_ptr<X11ClipboardOwner> m_x11Owner;
};
