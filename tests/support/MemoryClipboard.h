#pragma once

#include "slots/Clipboard.h"

// A clipboard that lives in memory and counts what is done to it.
class MemoryClipboard : public Clipboard
{
public:
    void clear() override
    {
        m_text.clear();
        ++clears;
    }
    void setText(const QString &text) override { m_text = text; }
    QString text() const override { return m_text; }

    int clears = 0;

private:
    QString m_text;
};
