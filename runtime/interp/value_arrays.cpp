// Script array access through CValue.
#include "runtime/interp/script_value.h"

#include "runtime/interp/script_array.h"

#include <new>

CScriptArray* CValue::RequireArray() const {
    CScriptArray* array = GetArray();
    if (array == nullptr)
        Raise(44);
    return array;
}

CValue* CValue::GetArrayItem(const int32_t* indices, int32_t count) {
    CScriptArray* array = GetArray();
    if (array == nullptr) {
        MakeArray();
        array = GetArray();
    }
    return array->GetStoredCell(array->CellIndex(indices, count));
}

uint32_t CValue::GetArrayCellIndex(const int32_t* indices, int32_t count) {
    CScriptArray* array = GetArray();
    return array ? array->CellIndex(indices, count) : 0;
}

void CValue::StoreInArray(uint32_t index, const CValue& value) {
    CScriptArray* array = RequireArray();
    if (index >= array->GetStoredCellCount())
        Raise(45);
    CValue* cell = array->GetStoredCell(index);
    if (cell == nullptr) {
        cell = array->NewCell();
        if (cell == nullptr)
            Raise(15);
        array->m_cells.SetAt(static_cast<int32_t>(index), reinterpret_cast<uintptr_t>(cell));
    }
    bool wasObject = cell->m_tag == kObject;
    cell->Assign(value);
    // The array survives the assignment: this value holds it.
    array->m_objectCells += (cell->m_tag == kObject) - (wasObject ? 1 : 0);
}

void CValue::SetArrayItem(int32_t key, const CValue& value) {
    SetArrayItemAt(&key, 1, value);
}

void CValue::SetArrayItemText(int32_t key, const char* text) {
    CValue borrowed(m_owner, text, 1);
    SetArrayItemAt(&key, 1, borrowed);
}

void CValue::SetArrayItemAt(const int32_t* indices, int32_t count, const CValue& value) {
    CScriptArray* array = RequireArray();
    StoreInArray(array->CellIndex(indices, count), value);
}

void CValue::SetArrayCell(uint32_t flat, const CValue& value) {
    StoreInArray(RequireArray()->StoredIndexOf(flat), value);
}
