// Life cycle of the interpreter: construction, Load, PrepareRun, ReleaseAll;
// the class bindings and class records; statement strings, temporary buffers
// and the block stack.
#include "runtime/interp/interpretor.h"

#include "runtime/runner/runner.h"

#include "runtime/base/os_memory.h"
#include "runtime/package/program_container.h"
#include "runtime/interp/script_array.h"
#include "runtime/compiler/symbol_table.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

CClassBinding g_bindings[kLastClassId + 1];

}  // namespace

void RegisterClassBinding(int classId, const CClassBinding& binding) {
    if (classId >= kFirstClassId && classId <= kLastClassId)
        g_bindings[classId] = binding;
}

const CClassBinding* GetClassBinding(int classId) {
    if (classId < kFirstClassId || classId > kLastClassId || g_bindings[classId].factory == nullptr)
        return nullptr;
    return &g_bindings[classId];
}

// ---- construction ----

CInterpretor::CInterpretor(CRunner* runner)
    : CIBaseObjectVar(this, nullptr, 0, false), m_runner(runner), m_scope(this), m_thisObject(this),
      m_defaultCell(this) {
    static const volatile int32_t kNoQuit = 0;
    m_quitFlag = runner != nullptr ? &runner->m_quit : &kNoQuit;
    m_stamp = ++m_variableGeneration;
    m_statementStrings.reserve(256);
    m_defaultCell.SetDefault();
    if (const char* general = std::getenv("TW_GENERAL_ONLY"))
        m_fastPaths = std::strcmp(general, "1") != 0;
    if (const char* alone = std::getenv("TW_NO_SHORTCUTS"))
        m_shortcuts = std::strcmp(alone, "1") != 0;
    m_argCells = new CValue[kFrameCount * kFrameSize];
    for (int i = 0; i < kFrameCount * kFrameSize; ++i)
        m_argCells[i].SetOwner(this);
    for (int i = 0; i < kValueStackSize; ++i) {
        m_valueStack[i] = new CValue(this);
        m_places[i] = new CLevelPlace(this);
    }
    const CRegistryIndex& index = SharedRegistryIndex();
    for (uint32_t id = 0; id < kClassSlotCount; ++id) {
        CClassRecord& record = m_classRecords[id];
        record.owner = this;
        record.classId = id;
        if (id >= kFirstClassId && id <= kLastClassId) {
            record.info = GetScriptClassInfo(static_cast<int>(id));
            record.name = GetScriptClassName(static_cast<int>(id));
            record.index = index.GetTable(static_cast<int>(id));
        }
    }
    m_classRecord = &m_classRecords[0];
}

CInterpretor::~CInterpretor() {
    if (m_loaded)
        Unload();
    else
        ReleaseAll();
    m_releaseAll = 1;
    delete[] m_argCells;
    for (int i = 0; i < kValueStackSize; ++i) {
        delete m_valueStack[i];
        delete m_places[i];
    }
    ReleaseArrays();
    FreeStatementStrings();
    FreeTempBuffers();
    FreePools();
}

int CInterpretor::Load(const char* commandLine, const char* packagePath, int fromOwnFile) {
    m_loadStatus = kIoGeneralFailure;
    m_container.reset(new (std::nothrow) CProgramContainer(this));
    if (!m_container)
        return 0;
    m_loadStatus = 0;
    if (fromOwnFile || (packagePath != nullptr && *packagePath != 0)) {
        uint32_t status = packagePath != nullptr && *packagePath != 0 ? m_container->ReadPackageFile(packagePath, 0)
                                                                      : m_container->ReadProgramPackage();
        m_loadStatus = status;
        if (status != 0) {
            m_container.reset();
            return 0;
        }
    }
    if (!LoadServices()) {
        m_container.reset();
        return 0;
    }
    m_programState.commandLine = commandLine != nullptr ? commandLine : "";
    m_loaded = 1;
    return 1;
}

void CInterpretor::Unload() {
    if (!m_loaded)
        return;
    ReleaseAll();
    UnloadServices();
    m_container.reset();
    m_programState.commandLine.clear();
    m_loaded = 0;
}

void CInterpretor::MarkDead() {
    Unload();
}

void CInterpretor::Destroy(int32_t) {
    delete this;
}

int32_t CInterpretor::OnObjectDeleted(CIBaseClassImpl* object) {
    if (m_currentWindow == object)
        m_currentWindow = nullptr;
    return CIBaseObjectVar::OnObjectDeleted(object);
}

// ---- preparing a run ----

void CInterpretor::ReleaseAll() {
    int32_t saved = m_releaseAll;
    m_releaseAll = 1;
    FreeStatementStrings();
    for (int i = 0; i < kValueStackSize; ++i) {
        m_valueStack[i]->Clear();
        m_places[i]->holder.Clear();
    }
    for (int i = 0; i < kFrameCount * kFrameSize; ++i)
        m_argCells[i].Clear();
    ReleaseVariables();
    ClearEvents();
    for (uint32_t id = 0; id < kClassSlotCount; ++id) {
        CPoolList& list = m_classLists[id];
        while (uint32_t head = list.GetHeadPosition()) {
            auto* object = reinterpret_cast<CIBaseClassImpl*>(list.GetAt(head));
            object->Destroy(1);
            if (list.GetHeadPosition() == head && list.GetAt(head) == reinterpret_cast<uintptr_t>(object))
                list.RemoveAt(head);  // a Destroy that did not unlink must not loop forever
        }
    }
    for (CIBaseClassImpl*& global : m_globalObjects)
        global = nullptr;
    m_currentWindow = nullptr;
    // Clients that outlive the list forget their positions, so that their later
    // Unregister cannot remove the node of a client registered since.
    for (uint32_t position = m_redrawList.GetHeadPosition(); position != 0;)
        reinterpret_cast<CIRefresh*>(m_redrawList.GetNext(position))->m_redrawPosition = 0;
    m_redrawList.RemoveAll();
    ReleaseArrays();
    m_names.RemoveAll();
    m_blockStack.RemoveAll();
    m_blockLevel = 0;
    m_releaseAll = saved;
}

void CInterpretor::MakeFunctionRecords() {
    m_functions.clear();
    m_functions.resize(m_program.blocks.size());
    for (std::size_t i = 0; i < m_program.blocks.size(); ++i) {
        m_functions[i].blockIndex = static_cast<uint32_t>(i);
        m_functions[i].block = &m_program.blocks[i];
    }
}

void CInterpretor::CreateGlobalObjects() {
    static const struct {
        int slot;
        uint32_t classId;
    } kOrder[] = {
        {kGlobalMath, kClassMath},       {kGlobalString, kClassString}, {kGlobalKeyboard, kClassKeyboard},
        {kGlobalDisk, kClassDisk},       {kGlobalProgram, kClassProgram}, {kGlobalSystem, kClassSystem},
        {kGlobalDisplay, kClassDisplay},
    };
    for (const auto& entry : kOrder) {
        const CClassBinding* binding = GetClassBinding(static_cast<int>(entry.classId));
        if (binding == nullptr)
            continue;  // a class this runtime does not build yet
        CIBaseClassImpl* object = binding->factory(this);
        if (object == nullptr)
            RaiseError(15);
        object->AssignInstanceNumber();
        m_globalObjects[entry.slot] = object;
    }
}

void CInterpretor::PrepareRun(CCompiledProgram* program) {
    ReleaseAll();
    FreeStatementStrings();
    for (int i = 0; i < kValueStackSize; ++i)
        m_operatorStack[i] = 0;
    m_evalLevel = 0;
    m_callDepth = 0;
    m_argHighWater = 0;
    for (int32_t& count : m_argCounts)
        count = 0;
    m_returnFlag = 0;
    m_returnTarget = nullptr;
    EnterContext(this, this);
    m_classRecord = &m_classRecords[0];
    CreateGlobalObjects();
    m_defaultCell.SetDefault();
    // The package's settings: the speed first, then the words other parts
    // read (background colour, release flag, 3D sound flag, extra word, F, G).
    // Without a package the speed is 100 (the pump never sleeps).
    if (CBankSet* package = m_container ? m_container->GetCurrentProgram() : nullptr) {
        m_packageSettings[0] = package->GetSpeed();
        m_packageSettings[1] = package->GetBackgroundColor();
        m_packageSettings[2] = package->GetReleaseFlag();
        m_packageSettings[3] = package->GetSound3DFlag();
        m_packageSettings[4] = package->GetExtraWord();
        m_packageSettings[5] = package->GetSettingF();
        m_packageSettings[6] = package->GetSettingG();
    }
    m_tickPeriod = 10;
    m_tickCountdown = 0;
    m_refreshEnabled = 1;
    m_collectionCounter = 0;
    m_programState.collectionThreshold = 1000;
    if (program != nullptr) {
        // Every top-level function becomes a global variable holding a
        // reference to it. The records point into the program's blocks,
        // which keep their place when Run swaps the program in.
        std::swap(m_program, *program);
        MakeFunctionRecords();
        for (std::size_t i = 0; i < m_program.blocks.size(); ++i) {
            const CBlockRecord& block = m_program.blocks[i];
            if (block.kind != kBlockFunction || block.parent != 0)
                continue;
            CVariable* variable = AddVariable(block.condition, m_blockLevel);
            variable->value.SetFunction(&m_functions[i]);
        }
        std::swap(m_program, *program);
    }
    m_pendingError = -1;
    m_eventLimit = 128;
    m_programState.eventsEnabled = 1;
}

// ---- statement strings and temporary buffers ----

char* CInterpretor::AllocStatementString(std::size_t size) {
    if (size == 0)
        size = 1;
    void* p = std::malloc(size);
    if (p == nullptr) {
        OsCompactHeap();
        p = std::malloc(size);
    }
    if (p == nullptr)
        RaiseError(15);
    try {
        m_statementStrings.push_back(static_cast<char*>(p));
    } catch (const std::bad_alloc&) {
        std::free(p);
        RaiseError(15);
    }
    return static_cast<char*>(p);
}

void CInterpretor::FreeStatementStrings() {
    for (char* p : m_statementStrings)
        std::free(p);
    m_statementStrings.clear();
}

uint32_t CInterpretor::AddTempBuffer(std::size_t size, void** out) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr)
        RaiseError(15);
    for (int i = 0; i < kTempBufferCount; ++i) {
        if (m_tempBuffers[i] == nullptr) {
            m_tempBuffers[i] = p;
            if (out != nullptr)
                *out = p;
            return static_cast<uint32_t>(i + 1);
        }
    }
    std::free(p);
    RaiseError(44);
}

void CInterpretor::FreeTempBuffer(uint32_t handle) {
    if (handle < 1 || handle > static_cast<uint32_t>(kTempBufferCount))
        return;
    std::free(m_tempBuffers[handle - 1]);
    m_tempBuffers[handle - 1] = nullptr;
}

void CInterpretor::FreeTempBuffers() {
    for (void*& p : m_tempBuffers) {
        std::free(p);
        p = nullptr;
    }
}

// ---- arrays ----

CScriptArray* CInterpretor::GetArray(uint32_t handle) const {
    return reinterpret_cast<CScriptArray*>(m_arrayList.GetAt(handle));
}

void CInterpretor::ReleaseArrays() {
    int32_t saved = m_releaseAll;
    m_releaseAll = 1;
    for (uint32_t p = m_arrayList.GetHeadPosition(); p != 0; p = m_arrayList.GetHeadPosition())
        GetArray(p)->Free();
    m_releaseAll = saved;
}

// ---- block stack ----

// ---- misc services ----

CBankSet* CInterpretor::GetCurrentBank() {
    if (!m_container)
        return nullptr;
    int32_t index = m_programIndex;
    if (index <= 0 || index >= m_container->GetProgramCount())
        index = 0;
    m_container->SelectProgram(m_container->GetProgramAt(index));
    return m_container->GetCurrentProgram();
}

uint32_t CInterpretor::AddNamedItem(const char* name) {
    return static_cast<uint32_t>(m_names.AddChars(name));
}

void CInterpretor::EndIfNoWindows() {
    if (m_classLists[kClassWindow].IsEmpty())
        m_pendingError = 0;
}
