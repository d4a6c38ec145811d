#pragma once

#include "slots/Clipboard.h"

// A clipboard in memory, which can be made unreadable as when its owner does not answer.
class MemoryClipboard : public Clipboard
{
public:
    void clear() override { m_text.clear(); }
    void setText(const QString &text) override { m_text = text; }
    bool readText(QString &text) const override
    {
        if (!readable) {
            return false;
        }
        text = m_text;
        return true;
    }

    bool readable = true;

private:
    QString m_text;
};
