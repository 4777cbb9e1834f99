#pragma once
// CInterpretor: the state of one running script program.
//
// This is the part that script values, script arrays and the script object
// base need: the array list, the release-all flag, the per-class instance lists
// and counters, the statement strings and the error entry point. The compiled
// program area, the operation loop, the call frames and argument cells, the
// value stack, the event queue, the ticker and redraw lists, the class records
// and the shared services are added by the interpreter proper; it also takes
// over ReleaseAll (which frees the statement strings, releases variables,
// destroys every listed object and then calls ReleaseArrays) and extends
// RaiseError with the redraw, the temporary-buffer release and the source
// position of the error.
#include "runtime/ci_error.h"
#include "runtime/pool_list.h"
#include "runtime/script_object.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CScriptArray;

class CInterpretor : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassSlotCount = 75;  // class ids 0 to 74

    CInterpretor();
    ~CInterpretor() override;

    // Throws CIError(code, detail); never returns.
    [[noreturn]] void RaiseError(int32_t code, int32_t detail = 0);

    // A buffer of size bytes that lives until the next FreeStatementStrings
    // (once per tick period of the operation loop). Never null: runtime error
    // 15 when memory fails.
    char* AllocStatementString(std::size_t size);
    void FreeStatementStrings();
    std::size_t GetStatementStringCount() const { return m_statementStrings.size(); }

    // The script array with that handle, or null for an invalid handle.
    CScriptArray* GetArray(uint32_t handle) const;
    // Frees every script array, with the release-all flag set meanwhile so
    // that no reference count is touched.
    void ReleaseArrays();

    // Script arrays; a position in this list is an array handle.
    CPoolList m_arrayList;
    // Set while everything is released (ReleaseAll, destruction): dropping a
    // value then leaves object and array counts alone.
    int32_t m_releaseAll = 0;
    // Live script objects of each class id, newest first.
    CPoolList m_classLists[kClassSlotCount];
    // Last instance number given per class id; never reset between runs.
    uint32_t m_instanceCounters[kClassSlotCount] = {};

private:
    std::vector<char*> m_statementStrings;
};
