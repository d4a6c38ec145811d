#pragma once

#include "slots/Clipboard.h"

// The system clipboard through QClipboard.
class QtClipboard : public Clipboard
{
public:
    void clear() override;
    void setText(const QString &text) override;
    bool readText(QString &text, QString &error) const override;
};
