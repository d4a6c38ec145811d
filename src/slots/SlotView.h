#pragma once

#include <QString>

// What the slot rules change on the main window. Captions arrive in control
// syntax: an "&" marks an access key, "&&" shows an ampersand.
class SlotView
{
public:
    virtual ~SlotView() = default;
    virtual void setSlotButtonCaption(int k, const QString &caption) = 0;
    virtual void setCopyEntry(int k, const QString &caption, bool enabled) = 0;
    virtual void setEditFileEnabled(bool enabled) = 0;
    virtual void setTitle(const QString &title) = 0;
};
