#pragma once
// CScriptArray: a script array of 1 to 10 dimensions, owned by the
// interpreter's array list (its position there is the handle) and shared by
// the values that hold the handle (reference count). Dimension 1 varies
// fastest; each cell is a heap CValue, null until first stored.
//
// The storage of an array of several dimensions may have room beyond the
// sizes of its dimensions but the last (m_capacity), so that an array grown
// row by row grows in amortised time: a storage index (CellIndex) counts in
// the capacities, a flat index (GetCell) in the sizes, as a script sees the
// cells. Cells outside the sizes are always null. An array of one dimension
// has no room of that kind: its two indices are the same. Cells are
// made in blocks held by the array (one allocation for many cells, as a script
// fills an array cell by cell) and all go when the array is freed.
#include "runtime/base/pointer_array.h"
#include "runtime/interp/script_value.h"

#include <cstdint>
#include <new>

class CInterpretor;

class CScriptArray {
public:
    static constexpr int32_t kMaxDimensions = 10;
    static constexpr uint32_t kSizeLimit = 0x1FFFFFFF;  // every size stays below (error 45)
    // The most cells an array can have: their words alone would take 1 GB of
    // the 2 GB a 32-bit process has, so more can never be had. A size beyond
    // it is refused with error 15 at once, before anything is allocated.
    static constexpr uint32_t kCellLimit = 0x0FFFFFFF;

    explicit CScriptArray(CInterpretor* owner) : m_owner(owner) {}
    CScriptArray(const CScriptArray&) = delete;
    CScriptArray& operator=(const CScriptArray&) = delete;

    // Storage index of the indices; dimensions the array on first use and
    // grows it to cover them. Raises 14, 15, 45 or 66.
    uint32_t CellIndex(const int32_t* indices, int32_t count);
    // The cell at a storage index, null when none was stored there.
    CValue* GetStoredCell(uint32_t index) const {
        return reinterpret_cast<CValue*>(m_cells.GetAt(static_cast<int32_t>(index)));
    }
    uint32_t GetStoredCellCount() const { return m_cells.GetSize(); }
    // The cells in the order of their indices, dimension 1 fastest: flat
    // index 0 .. GetCellCount() - 1.
    CValue* GetCell(uint32_t flat) const { return GetStoredCell(m_roomBeyondSizes ? StoredIndexOf(flat) : flat); }
    uint32_t GetCellCount() const { return m_cellCount; }
    // Storage index of a flat index; beyond the storage for flat indices
    // beyond the cells.
    uint32_t StoredIndexOf(uint32_t flat) const;

    // A new integer-0 cell, not yet stored in the cells; null without memory.
    // Inline while the newest block has room (an array filled cell by cell).
    CValue* NewCell() {
        CellBlock* block = m_cellBlocks;
        if (block == nullptr || block->used == block->capacity)
            return NewCellInNewBlock();
        return new (block->Cells() + block->used++) CValue(m_owner);
    }

    // For the integer shortcuts of the interpreter, on arrays of one
    // dimension: grows the array to hold index as CellIndex does (raising
    // where it raises), in place when index is one past the end and the
    // storage has room; stores r in the cell at index (made when the array
    // has none there) as an assignment stores it. False, nothing stored,
    // when memory for the cell fails (the assignment raises 15 then).
    void GrowToHold(int32_t index) {
        if (static_cast<uint32_t>(index) == m_sizes[0] && m_cells.GetSize() == m_sizes[0] &&
            m_cells.GrowByOneInPlace()) {
            m_sizes[0] = m_cellCount = static_cast<uint32_t>(index) + 1;
            return;
        }
        CellIndex(&index, 1);
    }
    // The integer in the cell at index, when the array (of one dimension)
    // has that cell and it holds an integer.
    bool IntAt(int32_t index, int32_t* value) const {
        if (static_cast<uint32_t>(index) >= m_sizes[0])
            return false;
        const CValue* cell = GetStoredCell(static_cast<uint32_t>(index));
        if (cell == nullptr || cell->GetTag() != CValue::kInt)
            return false;
        *value = cell->GetInt();
        return true;
    }
    bool StoreIntAt(uint32_t index, int32_t r) {
        CValue* cell = GetStoredCell(index);
        if (cell == nullptr) {
            cell = NewCell();
            if (cell == nullptr)
                return false;
            m_cells.SetAt(static_cast<int32_t>(index), reinterpret_cast<uintptr_t>(cell));
        }
        if (cell->GetTag() == CValue::kObject)
            --m_objectCells;
        cell->SetInt(r);
        return true;
    }
    // Leaves the array list, releases and deletes every cell, deletes the array.
    void Free();

    uint32_t m_handle = 0;  // 0 once removed from the list
    uint32_t m_refCount = 0;
    int32_t m_dimensionCount = 0;  // 0 until the first use
    uint32_t m_sizes[kMaxDimensions] = {};
    // Extent of each dimension in the storage, at least its size; the last
    // dimension's is its size.
    uint32_t m_capacity[kMaxDimensions] = {};
    uint32_t m_cellCount = 0;  // product of the sizes
    bool m_roomBeyondSizes = false;  // some capacity exceeds its size
    CPointerArray m_cells;
    CInterpretor* m_owner;
    int32_t m_objectCells = 0;  // cells holding an object reference
    bool m_searching = false;   // set while ClearReferencesTo walks the cells

private:
    // Room for `capacity` cells after the header; blocks double from 4 to
    // 65536 cells, so a small array wastes little and a large one allocates
    // (and frees) rarely.
    struct alignas(alignof(CValue)) CellBlock {
        CellBlock* next;
        uint32_t used;
        uint32_t capacity;
        CValue* Cells() { return reinterpret_cast<CValue*>(this + 1); }
    };
    CellBlock* m_cellBlocks = nullptr;  // newest first
    CValue* NewCellInNewBlock();

    ~CScriptArray() = default;  // only through Free
    [[noreturn]] void Raise(int32_t code, int32_t detail = 0) const;
    uint64_t CheckedTotal(const uint32_t* sizes, int32_t count) const;  // raises 15 beyond the limit
    void Resize(const uint32_t* newSizes);
    // Moves the cells into storage laid out by the capacities; false, nothing
    // changed, without memory.
    bool Relayout(const uint32_t* capacities, uint64_t total);
    void SetSizes(const uint32_t* sizes);
    uint32_t Flat(const int32_t* indices) const;
};
