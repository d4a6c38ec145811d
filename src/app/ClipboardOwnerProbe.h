#pragma once

// Asks the X11 clipboard owner, over a connection of our own, which formats it
// offers, and tells whether it answered within the time. Qt's own clipboard
// read blocks the whole bar for up to ten seconds on an owner that never
// answers; this probe bounds that wait. True where there is nothing to ask
// (no owner, no X11 display).
bool clipboardOwnerAnswers(int timeoutMs);
