#include "graphics2d/dirty_rects.h"

#include <algorithm>
#include <new>

namespace {

bool Overlap(const CRect& a, const CRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Contains(const CRect& outer, const CRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

CRect Union(const CRect& a, const CRect& b) {
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

}  // namespace

bool CDirtyRects::Add(CRect rect) {
    if (rect.left > rect.right) std::swap(rect.left, rect.right);
    if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
    if (!m_rects) {
        m_rects.reset(new (std::nothrow) CRect[kCapacity]);
        if (!m_rects) return false;
        m_count = 0;
    }
    for (;;) {
        int32_t found = -1;
        for (int32_t i = 0; i < m_count && found < 0; ++i)
            if (Overlap(m_rects[i], rect)) found = i;
        if (found >= 0) {
            if (Contains(m_rects[found], rect)) return true;
            rect = Union(rect, m_rects[found]);
            m_rects[found] = m_rects[--m_count];
            continue;
        }
        if (m_count < kCapacity) {
            m_rects[m_count++] = rect;
            return true;
        }
        CRect bounds = m_rects[0];
        for (int32_t i = 1; i < m_count; ++i) bounds = Union(bounds, m_rects[i]);
        m_rects[0] = bounds;
        m_count = 1;
    }
}

void CDirtyRects::Free() {
    m_rects.reset();
    m_count = 0;
}
