#pragma once

#include "slots/SlotView.h"

// What the document commands change on the main window besides the slot
// captions: the four recent-file entries of the File menu, newest first, and the
// editor that New opens.
class DocumentView : public SlotView
{
public:
    static constexpr int RecentCount = 4;

    // The exact path entry k (1 to RecentCount) holds, empty when unused.
    virtual QString recentFile(int k) const = 0;
    virtual void setRecentFile(int k, const QString &path) = 0;
    // Shows the entries that hold a path and hides the others.
    virtual void showRecentFiles() = 0;
    // Opens the editor on the slot set and returns when it closes.
    virtual void showEditor() = 0;
};
