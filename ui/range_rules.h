#pragma once
// Plain rules of the range controls, apart from any window: bounds put in
// order, the default size of scroll bars and sliders, and the edits of the
// up-down control's acceleration table.
#include <cstdint>

// Exchanges the bounds when the first is greater (signed comparison).
void PutInOrder(int32_t* low, int32_t* high);

// The size of a bar or slider when no height was given: a horizontal one is
// the width given (100 when none) by the horizontal bar height; a vertical
// one is the vertical bar width by the width given (100 when none) as its
// height. With a height given both sizes stay.
void DefaultBarSize(bool vertical, bool widthGiven, bool heightGiven, int32_t hBarHeight, int32_t vBarWidth,
                    int32_t* width, int32_t* height);

// One acceleration step as the up-down control keeps it (UDACCEL).
struct CAccelStep {
    uint32_t seconds;
    uint32_t increment;
};
// Inserts before the first of the count steps whose seconds are at least the
// new ones (unsigned), or appends; the array has room for count + 1.
void InsertAccelStep(CAccelStep* steps, uint32_t count, CAccelStep step);
// Removes the first step whose seconds or whose increment equals value (the
// later ones move down); false when none matches.
bool RemoveAccelStep(CAccelStep* steps, uint32_t count, uint32_t value);
