#include "runtime/interp/script_array.h"

#include "runtime/base/ci_error.h"
#include "runtime/interp/interpretor.h"
#include "runtime/base/os_memory.h"
#include "runtime/interp/script_value.h"

#include <cstdlib>
#include <new>

namespace {
const uint32_t kFirstBlockCells = 4;
const uint32_t kLargestBlockCells = 65536;
}  // namespace

void CScriptArray::Raise(int32_t code, int32_t detail) const {
    if (m_owner != nullptr)
        m_owner->RaiseError(code, detail);
    throw CIError(code, detail);
}

uint64_t CScriptArray::CheckedTotal(const uint32_t* sizes, int32_t count) const {
    // Each size is below the size limit, but their product may not be below
    // the cell limit (or may not even fit in 32 bits): that is more cells than
    // memory can hold.
    uint64_t total = 1;
    for (int32_t d = 0; d < count; ++d) {
        total *= sizes[d];
        if (total > kCellLimit)
            Raise(15);
    }
    return total;
}

uint32_t CScriptArray::Flat(const int32_t* indices) const {
    uint64_t stored = 0;
    for (int32_t d = m_dimensionCount - 1; d >= 0; --d)
        stored = stored * m_capacity[d] + static_cast<uint32_t>(indices[d]);
    return static_cast<uint32_t>(stored);
}

uint32_t CScriptArray::StoredIndexOf(uint32_t flat) const {
    if (flat >= m_cellCount)
        return m_cells.GetSize();
    uint64_t stored = 0, stride = 1;
    for (int32_t d = 0; d < m_dimensionCount; ++d) {
        stored += (flat % m_sizes[d]) * stride;
        flat /= m_sizes[d];
        stride *= m_capacity[d];
    }
    return static_cast<uint32_t>(stored);
}

void CScriptArray::SetSizes(const uint32_t* sizes) {
    uint32_t count = 1;
    m_roomBeyondSizes = false;
    for (int32_t d = 0; d < m_dimensionCount; ++d) {
        m_sizes[d] = sizes[d];
        count *= sizes[d];
        m_roomBeyondSizes = m_roomBeyondSizes || m_capacity[d] != sizes[d];
    }
    m_cellCount = count;
}

uint32_t CScriptArray::CellIndex(const int32_t* indices, int32_t count) {
    if (m_dimensionCount == 0) {
        if (count < 1 || count > kMaxDimensions)
            Raise(14, count);
        uint32_t sizes[kMaxDimensions];
        for (int32_t d = 0; d < count; ++d) {
            int64_t size = static_cast<int64_t>(indices[d]) + 1;
            if (size <= 0 || size >= kSizeLimit)
                Raise(45, d + 1);
            sizes[d] = static_cast<uint32_t>(size);
        }
        uint64_t total = CheckedTotal(sizes, count);
        if (!m_cells.SetSize(static_cast<uint32_t>(total)))
            Raise(15);
        m_dimensionCount = count;
        for (int32_t d = 0; d < count; ++d)
            m_capacity[d] = sizes[d];
        SetSizes(sizes);
        return static_cast<uint32_t>(total - 1);
    }
    if (count != m_dimensionCount)
        Raise(66, m_dimensionCount);

    if (m_dimensionCount == 1) {
        uint32_t index = static_cast<uint32_t>(indices[0]);  // negative = huge
        if (index < m_sizes[0])
            return index;
        if (index >= kSizeLimit)
            Raise(45, 1);
        if (index >= kCellLimit)
            Raise(15);
        if (!m_cells.SetSize(index + 1))
            Raise(15);
        m_sizes[0] = m_capacity[0] = m_cellCount = index + 1;
        return index;
    }

    uint32_t newSizes[kMaxDimensions];
    bool grow = false;
    for (int32_t d = 0; d < m_dimensionCount; ++d) {
        // Negative indices are refused in every dimension count: a negative
        // index would otherwise land in another row or before the storage.
        if (indices[d] < 0 || static_cast<uint32_t>(indices[d]) + 1 >= kSizeLimit)
            Raise(45, d + 1);
        uint32_t needed = static_cast<uint32_t>(indices[d]) + 1;
        newSizes[d] = needed > m_sizes[d] ? needed : m_sizes[d];
        grow = grow || needed > m_sizes[d];
    }
    if (grow)
        Resize(newSizes);
    return Flat(indices);
}

void CScriptArray::Resize(const uint32_t* newSizes) {
    const uint64_t tightTotal = CheckedTotal(newSizes, m_dimensionCount);
    const int32_t last = m_dimensionCount - 1;
    // Each dimension but the last that outgrows its room gets twice the room,
    // so that an array grown row by row moves its rows O(log n) times, not
    // at every row; the last dimension grows at the end of the storage, which
    // grows amortised by itself.
    uint32_t room[kMaxDimensions];
    bool moves = false;
    uint64_t roomTotal = 1;
    for (int32_t d = 0; d < m_dimensionCount && roomTotal <= kCellLimit; ++d) {
        room[d] = d == last ? newSizes[d] : m_capacity[d];
        if (d < last && newSizes[d] > m_capacity[d]) {
            const uint64_t doubled = 2 * static_cast<uint64_t>(m_capacity[d]);
            room[d] = static_cast<uint32_t>(doubled > newSizes[d] && doubled <= kCellLimit ? doubled : newSizes[d]);
            moves = true;
        }
        roomTotal *= room[d];
    }
    if (roomTotal <= kCellLimit &&
        (moves ? Relayout(room, roomTotal) : m_cells.SetSize(static_cast<uint32_t>(roomTotal)) != 0)) {
        m_capacity[last] = newSizes[last];
        SetSizes(newSizes);
        return;
    }
    // Else the tightest layout that holds the new sizes, refused only when
    // that cannot be had either.
    if (!Relayout(newSizes, tightTotal))
        Raise(15);
    SetSizes(newSizes);
}

bool CScriptArray::Relayout(const uint32_t* capacities, uint64_t total) {
    CPointerArray cells;
    if (!cells.SetSize(static_cast<uint32_t>(total)))
        return false;
    // Each row (the cells along dimension 1, which varies fastest) moves
    // whole to the place its higher indices have in the new layout.
    const int32_t last = m_dimensionCount - 1;
    const uint32_t rowLength = m_sizes[0];
    uint32_t index[kMaxDimensions] = {};  // of the row, in dimensions 2 and up
    for (uint32_t row = 0; row < m_cellCount / rowLength; ++row) {
        uint64_t from = 0, to = 0;
        for (int32_t d = last; d >= 1; --d) {
            from = from * m_capacity[d] + index[d];
            to = to * capacities[d] + index[d];
        }
        from *= m_capacity[0];
        to *= capacities[0];
        for (uint32_t i = 0; i < rowLength; ++i)
            cells.SetAt(static_cast<int32_t>(to + i), m_cells.GetAt(static_cast<int32_t>(from + i)));
        for (int32_t d = 1; d <= last && ++index[d] == m_sizes[d]; ++d)
            index[d] = 0;
    }
    m_cells.Swap(cells);
    for (int32_t d = 0; d < m_dimensionCount; ++d)
        m_capacity[d] = capacities[d];
    return true;
}

CValue* CScriptArray::NewCellInNewBlock() {
    const CellBlock* last = m_cellBlocks;
    uint32_t capacity = last == nullptr ? kFirstBlockCells : last->capacity * 2;
    if (capacity > kLargestBlockCells)
        capacity = kLargestBlockCells;
    std::size_t bytes = sizeof(CellBlock) + capacity * sizeof(CValue);
    void* p = std::malloc(bytes);
    if (p == nullptr) {
        OsCompactHeap();
        p = std::malloc(bytes);
    }
    if (p == nullptr)
        return nullptr;
    CellBlock* block = new (p) CellBlock{m_cellBlocks, 0, capacity};
    m_cellBlocks = block;
    return new (block->Cells() + block->used++) CValue(m_owner);
}

void CScriptArray::Free() {
    if (m_handle != 0 && m_owner != nullptr) {
        m_owner->m_arrayList.RemoveAt(m_handle);
        m_handle = 0;
    }
    // Cells are released after leaving the list: a cell that holds this very
    // array then finds no array behind its handle.
    uint32_t total = m_cells.GetSize();
    for (uint32_t f = 0; f < total; ++f) {
        CValue* cell = GetStoredCell(f);
        if (cell != nullptr) {
            m_cells.ClearAt(static_cast<int32_t>(f));
            cell->~CValue();
        }
    }
    // Blocks go back oldest first: freed newest first, each would be the top
    // of the heap in turn and the heap would shrink by one system call per
    // block.
    CellBlock* oldest = nullptr;
    while (m_cellBlocks != nullptr) {
        CellBlock* next = m_cellBlocks->next;
        m_cellBlocks->next = oldest;
        oldest = m_cellBlocks;
        m_cellBlocks = next;
    }
    while (oldest != nullptr) {
        CellBlock* next = oldest->next;
        std::free(oldest);
        oldest = next;
    }
    m_cells.RemoveAll();
    delete this;
}
