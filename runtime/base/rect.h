#pragma once
// CRect: a rectangle with the layout and semantics of the Windows RECT
// (left/top inclusive, right/bottom exclusive; empty when right <= left or
// bottom <= top). Portable: any type with left/top/right/bottom members
// (a Windows RECT among them) converts to it.
#include <cstdint>

class CRect {
public:
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    CRect() = default;
    CRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    template <class R>
    explicit CRect(const R& r) : left(r.left), top(r.top), right(r.right), bottom(r.bottom) {}

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    void Set(int32_t l, int32_t t, int32_t r, int32_t b);
    void SetEmpty();
    // Smallest rectangle holding both; an empty operand is ignored, and when
    // both are empty the result is empty (all zero). Returns 0 for an empty result.
    int Union(const CRect& a, const CRect& b);
    void Normalize();  // swaps left/right and top/bottom where they are reversed
};
