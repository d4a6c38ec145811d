#pragma once

#include "slots/AppState.h"

// What the editor keeps between openings; it lives in the bar window for the
// whole run. Everything else of the editor is rebuilt at each opening.
struct EditorState
{
    AppState::SlotSet workingCopy;
    // 0 while no slot is selected, else 1 .. 10.
    int selectedSlot = 0;
    // Set once anything was saved into or cleared from the working copy in
    // this run; from then on every OK marks the slot set as changed.
    bool changedMark = false;
};
