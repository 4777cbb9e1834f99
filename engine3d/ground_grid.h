#pragma once
// LGroundGrid: a uniform x-z grid over the polygons of one list, so that a
// downward ray at (x, z) tests only the polygons whose x-z extent can hold
// it instead of every polygon of the list. Each cell lists the polygons
// whose extent, widened by a small margin for rounding, meets the cell; a
// polygon with a vertex that is not finite is listed for every query. The
// grid remembers the list and its change count: once the list changes it
// is stale and Candidates answers false (the caller builds it again).
#include <cstddef>
#include <cstdint>
#include <vector>

class LDataLink;
class LPolygon;

class LGroundGrid {
public:
    // Indexes the polygons of `list` (null: an empty grid for no list).
    void Build(LDataLink* list);
    bool IsCurrent(const LDataLink* list) const;
    // Calls visit(polygon) for every polygon that may lie under (x, z);
    // false when the grid is stale for `list`.
    template <typename Visit>
    bool Candidates(const LDataLink* list, float x, float z, Visit&& visit) const {
        if (!IsCurrent(list)) return false;
        for (LPolygon* p : m_always) visit(p);
        const int32_t cell = CellOf(x, z);
        if (cell < 0) return true;
        for (uint32_t k = m_starts[size_t(cell)]; k < m_starts[size_t(cell) + 1]; ++k) visit(m_entries[k]);
        return true;
    }

private:
    int32_t CellOf(float x, float z) const;  // -1 outside the grid (or NaN)

    const LDataLink* m_list = nullptr;
    uint32_t m_changes = 0;
    bool m_built = false;
    float m_low[2] = {0, 0}, m_high[2] = {0, 0};
    float m_cellSize[2] = {1, 1};
    int32_t m_cells[2] = {0, 0};
    std::vector<uint32_t> m_starts;  // cell c lists m_entries[m_starts[c] .. m_starts[c + 1])
    std::vector<LPolygon*> m_entries;
    std::vector<LPolygon*> m_always;
};
