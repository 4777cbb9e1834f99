#pragma once
// The row walk shared by the span routines: for one row's left and right
// edge records, the start record, the pixel count n and the part of the span
// inside the target's columns.
#include "render/software/software_renderer.h"

#include <cstdint>

struct SpanRow {
    const LEdgeRecord* start;  // the record with the smaller x
    const LEdgeRecord* end;
    int32_t n;      // |x_right - x_left|: the steps' divisor
    int32_t skip;   // pixels cut at the left (values are stepped past them)
    int32_t first;  // first column drawn
    int32_t count;  // pixels drawn
};

// False when the row draws nothing (equal x, or wholly outside the columns).
inline bool CutRow(const LEdgeRecord& left, const LEdgeRecord& right, int32_t columns, SpanRow* row) {
    if (left.x == right.x) return false;
    const bool leftFirst = left.x < right.x;
    row->start = leftFirst ? &left : &right;
    row->end = leftFirst ? &right : &left;
    row->n = row->end->x - row->start->x;
    const int32_t from = row->start->x < 0 ? 0 : row->start->x;
    const int32_t to = row->end->x > columns ? columns : row->end->x;
    if (from >= to) return false;
    row->skip = from - row->start->x;
    row->first = from;
    row->count = to - from;
    return true;
}

// An integer value stepped from `a` toward `b` over n pixels, started `skip`
// pixels in.
struct IntStep {
    int32_t value = 0, step = 0;
    IntStep() = default;
    IntStep(int32_t a, int32_t b, const SpanRow& row)
        : step(int32_t((int64_t(b) - a) / row.n)) {
        value = int32_t(a + int64_t(step) * row.skip);
    }
};
