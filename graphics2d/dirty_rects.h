#pragma once
// The list of rectangles of a script surface waiting to be presented to its
// window: at most 1024 entries, overlapping rectangles merged into their
// union, and a full list folded into its bounding rectangle.
#include "runtime/base/rect.h"

#include <cstdint>
#include <memory>

class CDirtyRects {
public:
    enum { kCapacity = 1024 };

    // Adds a rectangle (normalised first; an empty one is added as it is):
    // while a stored rectangle strictly overlaps it on both axes, it stops
    // when that one contains it, else it grows to their union and the stored
    // one is removed (the last entry takes its place). With no overlap it is
    // appended; when the list is full, all entries are replaced by their
    // bounding rectangle and the search starts again. False when the array
    // cannot be allocated (nothing is stored).
    bool Add(CRect rect);
    void Clear() { m_count = 0; }
    // Frees the array.
    void Free();
    int32_t GetCount() const { return m_count; }
    const CRect& operator[](int32_t i) const { return m_rects[i]; }

private:
    std::unique_ptr<CRect[]> m_rects;
    int32_t m_count = 0;
};
