#include "runtime/base/rect.h"

void CRect::Set(int32_t l, int32_t t, int32_t r, int32_t b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
}

void CRect::SetEmpty() {
    Set(0, 0, 0, 0);
}

int CRect::Union(const CRect& a, const CRect& b) {
    bool aEmpty = a.IsEmpty(), bEmpty = b.IsEmpty();
    if (aEmpty && bEmpty) {
        SetEmpty();
        return 0;
    }
    if (aEmpty) {
        *this = b;
        return 1;
    }
    if (bEmpty) {
        *this = a;
        return 1;
    }
    CRect r(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
            a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom);
    *this = r;
    return 1;
}

void CRect::Normalize() {
    if (left > right) {
        int32_t t = left;
        left = right;
        right = t;
    }
    if (top > bottom) {
        int32_t t = top;
        top = bottom;
        bottom = t;
    }
}
