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
    bool readText(QString &text) const override
    {
        if (!readable) {
            return false;
        }
        text = m_text;
        return true;
    }
    QString text() const { return m_text; }

    int clears = 0;
    bool readable = true;

private:
    QString m_text;
};
