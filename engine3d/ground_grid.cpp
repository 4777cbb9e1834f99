#include "engine3d/ground_grid.h"

#include "engine3d/data_link.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"

#include <algorithm>
#include <cmath>

namespace {

// Polygons per cell aimed at, and the most cells per axis.
const float kPerCell = 2.0f;
const int32_t kMaxCells = 128;

struct Extent {
    float low[2], high[2];
};

// The x-z extent of the polygon's vertices, widened for rounding in the ray
// test (whose edges count as inside); false when a vertex is not finite.
bool ExtentOf(const LPolygon* p, Extent& e) {
    e.low[0] = e.low[1] = INFINITY;
    e.high[0] = e.high[1] = -INFINITY;
    for (int i = 0; i < p->count; ++i) {
        const float* v = p->points[i]->local;
        if (!std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2])) return false;
        e.low[0] = std::fmin(e.low[0], v[0]), e.high[0] = std::fmax(e.high[0], v[0]);
        e.low[1] = std::fmin(e.low[1], v[2]), e.high[1] = std::fmax(e.high[1], v[2]);
    }
    for (int a = 0; a < 2; ++a) {
        const float margin =
            1e-3f + 1e-4f * (e.high[a] - e.low[a] + std::fmax(std::fabs(e.low[a]), std::fabs(e.high[a])));
        e.low[a] -= margin;
        e.high[a] += margin;
        if (!std::isfinite(e.low[a]) || !std::isfinite(e.high[a])) return false;
    }
    return true;
}

int32_t Clamp(float cell, int32_t cells) {
    if (!(cell >= 0.0f)) return 0;
    if (cell >= float(cells - 1)) return cells - 1;
    return int32_t(cell);
}

}  // namespace

bool LGroundGrid::IsCurrent(const LDataLink* list) const {
    return m_built && list == m_list && (!list || list->GetChangeCount() == m_changes);
}

int32_t LGroundGrid::CellOf(float x, float z) const {
    if (m_cells[0] == 0) return -1;
    if (!(x >= m_low[0] && x <= m_high[0] && z >= m_low[1] && z <= m_high[1])) return -1;
    // The same rounding as the polygons' cells: a point within a polygon's
    // extent lands in one of its cells.
    return Clamp((z - m_low[1]) / m_cellSize[1], m_cells[1]) * m_cells[0] +
           Clamp((x - m_low[0]) / m_cellSize[0], m_cells[0]);
}

void LGroundGrid::Build(LDataLink* list) {
    m_list = list;
    m_changes = list ? list->GetChangeCount() : 0;
    m_built = true;
    m_cells[0] = m_cells[1] = 0;
    m_starts.clear();
    m_entries.clear();
    m_always.clear();
    if (!list) return;

    std::vector<LPolygon*> placed;
    std::vector<Extent> extents;
    placed.reserve(size_t(list->GetCount()));
    extents.reserve(size_t(list->GetCount()));
    float low[2] = {INFINITY, INFINITY}, high[2] = {-INFINITY, -INFINITY};
    for (LDataNode* n = list->GetHead(); n; n = n->next) {
        auto* p = static_cast<LPolygon*>(n->value);
        Extent e;
        if (!ExtentOf(p, e)) {
            m_always.push_back(p);
            continue;
        }
        placed.push_back(p);
        extents.push_back(e);
        for (int a = 0; a < 2; ++a) low[a] = std::fmin(low[a], e.low[a]), high[a] = std::fmax(high[a], e.high[a]);
    }
    if (placed.empty()) return;

    // Square-ish cells, about kPerCell polygons each over the whole extent.
    const float span[2] = {std::fmax(high[0] - low[0], 1e-3f), std::fmax(high[1] - low[1], 1e-3f)};
    const float area = span[0] * span[1];
    const float side = std::sqrt(area * kPerCell / float(placed.size()));
    for (int a = 0; a < 2; ++a) {
        const float wanted = std::ceil(span[a] / std::fmax(side, 1e-6f));
        // Clamped as a float: a tiny side makes the count too large for an int.
        m_cells[a] = !(wanted < float(kMaxCells)) ? kMaxCells : std::max(1, int32_t(wanted));
        m_low[a] = low[a];
        m_high[a] = high[a];
        m_cellSize[a] = span[a] / float(m_cells[a]);
        if (!(m_cellSize[a] > 0.0f) || !std::isfinite(m_cellSize[a])) {
            // A span too wide for floats: every polygon in one cell.
            m_cells[a] = 1;
            m_cellSize[a] = INFINITY;
        }
    }
    // Counting pass, then filling (a compressed list per cell).
    const size_t cells = size_t(m_cells[0]) * size_t(m_cells[1]);
    m_starts.assign(cells + 1, 0);
    const auto range = [&](const Extent& e, int a, int32_t& from, int32_t& to) {
        from = Clamp((e.low[a] - m_low[a]) / m_cellSize[a], m_cells[a]);
        to = Clamp((e.high[a] - m_low[a]) / m_cellSize[a], m_cells[a]);
    };
    for (const Extent& e : extents) {
        int32_t x0, x1, z0, z1;
        range(e, 0, x0, x1);
        range(e, 1, z0, z1);
        for (int32_t z = z0; z <= z1; ++z)
            for (int32_t x = x0; x <= x1; ++x) ++m_starts[size_t(z) * size_t(m_cells[0]) + size_t(x) + 1];
    }
    for (size_t c = 0; c < cells; ++c) m_starts[c + 1] += m_starts[c];
    m_entries.resize(m_starts[cells]);
    std::vector<uint32_t> fill(m_starts.begin(), m_starts.end() - 1);
    for (size_t k = 0; k < placed.size(); ++k) {
        int32_t x0, x1, z0, z1;
        range(extents[k], 0, x0, x1);
        range(extents[k], 1, z0, z1);
        for (int32_t z = z0; z <= z1; ++z)
            for (int32_t x = x0; x <= x1; ++x) m_entries[fill[size_t(z) * size_t(m_cells[0]) + size_t(x)]++] = placed[k];
    }
}
