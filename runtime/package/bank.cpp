// Resource banks: reading bank files and managing their elements.
#include "runtime/package/bank.h"

#include "runtime/io/file_helpers.h"

#include <cstring>
#include <new>

namespace {

uint32_t g_bankError = 0;
CBank* (*g_pictureBankFactory)() = nullptr;

// The longest bank name the format allows.
const int32_t kMaxBankName = 259;

uint32_t ReadLE32(FileHandle h, uint32_t* value) {
    uint8_t b[4];
    uint32_t status = ReadFileChecked(h, b, 4);
    if (status == kIoOk) *value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return status;
}

// Picture bank read without the picture bank class: its kind-specific header
// is skipped and its elements give their names only.
class CPictureHeaderBank : public CBank {
public:
    int IsLoadable(FileHandle handle) override {
        uint32_t paletteTable;
        uint32_t status = ReadLE32(handle, &paletteTable);
        if (status != kIoOk) {
            SetBankError(status);
            return 0;
        }
        return 1;
    }
};

}  // namespace

uint32_t GetBankError() { return g_bankError; }
void SetBankError(uint32_t status) { g_bankError = status; }

void SetPictureBankFactory(CBank* (*factory)()) { g_pictureBankFactory = factory; }

CBank* CreateBankOfType(uint32_t type) {
    switch (type) {
    case kBankPictures:
        return g_pictureBankFactory ? g_pictureBankFactory() : new (std::nothrow) CPictureHeaderBank;
    case kBankAnimations: return new (std::nothrow) CAnimBank;
    case kBankStrings: return new (std::nothrow) CStringBank;
    default: return new (std::nothrow) CBinaryBank;
    }
}

// ---------------------------------------------------------------------------

CBank::CBank()
    : m_program(nullptr), m_id(0), m_ownsHandle(0), m_handle(kNoFileHandle), m_version(kBankVersion1) {}

CBank::~CBank() {
    DestroyElements();
    if (m_ownsHandle && m_handle != kNoFileHandle) CloseFileHandle(m_handle);
}

void CBank::DestroyElements() {
    for (CElement* e : m_elements) {
        if (!e) continue;
        if (m_program) m_program->RemoveElement(e);
        delete e;
    }
    m_elements.clear();
    m_positions.clear();
}

CElement* CBank::CreateElement() { return new (std::nothrow) CElement; }
CElement* CBinaryBank::CreateElement() { return new (std::nothrow) CBinaryElement; }
CElement* CAnimBank::CreateElement() { return new (std::nothrow) CAnimElement; }
CElement* CStringBank::CreateElement() { return new (std::nothrow) CStringElement; }

int CBank::IsLoadable(FileHandle) { return 1; }

CElement* CBank::GetElement(int32_t index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return m_elements[static_cast<size_t>(index)];
}

int32_t CBank::GetDataPosition(int32_t index) const {
    if (index < 0 || index >= GetCount()) return 0;
    return m_positions[static_cast<size_t>(index)];
}

uint32_t CBank::Load(CBankOwner* program, uint32_t type, const char* name, uint32_t version,
                     const char* fileName, FileHandle handle, int ownsHandle, int32_t bankStart) {
    m_program = program;
    m_id = type;
    m_version = version;
    m_handle = handle;
    m_ownsHandle = ownsHandle;
    try {
        m_name = name ? name : "";
        m_path = fileName ? fileName : "";
    } catch (const std::bad_alloc&) {
        return kIoGeneralFailure;
    }
    if (!IsLoadable(handle)) return kBankRefused;

    uint32_t count;
    uint32_t status = ReadLE32(handle, &count);
    if (status != kIoOk) return status;
    const int32_t at = TellFileHandle(handle);
    const int32_t fileSize = GetFileHandleSize(handle);
    if (at < 0 || fileSize < 0) return kIoReadFailed;
    // The offset table must be in the file before it is allocated (64-bit
    // arithmetic, so a count whose byte size overflows is refused too).
    if (static_cast<int64_t>(count) * 4 > static_cast<int64_t>(fileSize) - at) return kIoEndOfData;

    DestroyElements();
    std::vector<uint8_t> table;
    try {
        table.resize(static_cast<size_t>(count) * 4);
        m_positions.assign(count, 0);
        m_elements.assign(count, nullptr);
    } catch (const std::bad_alloc&) {
        m_positions.clear();
        m_elements.clear();
        return kIoGeneralFailure;
    }
    if (count > 0) {
        status = ReadFileChecked(handle, table.data(), static_cast<int32_t>(table.size()));
        if (status != kIoOk) return status;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* b = &table[i * 4];
        uint32_t offset = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
        if (offset == 0) continue;
        const int64_t header = static_cast<int64_t>(bankStart) + offset;
        if (header > fileSize || SeekFileAbsolute(handle, static_cast<int32_t>(header)) != header)
            return kBankBadElementHeader;
        CElement* e = CreateElement();
        if (!e) return kIoGeneralFailure;
        e->m_bank = this;
        e->m_index = static_cast<int32_t>(i);
        if (!e->LoadHeader(handle)) {
            delete e;
            return kBankBadElementHeader;
        }
        const int32_t dataPosition = TellFileHandle(handle);
        if (dataPosition < 0) {
            delete e;
            return kBankBadElementHeader;
        }
        m_positions[i] = dataPosition;
        m_elements[i] = e;
        if (m_program) m_program->AddElement(e);
    }
    return kIoOk;
}

int32_t CBank::GetFullPath(char* buffer, int32_t size) {
    std::string path;
    if (m_program && m_program->GetTitle()) path = m_program->GetTitle();
    path += "://";
    path += m_name;
    const int32_t length = path.size() > INT32_MAX ? INT32_MAX : static_cast<int32_t>(path.size());
    if (buffer && size > 0) {
        if (length < size)
            std::memcpy(buffer, path.c_str(), static_cast<size_t>(length) + 1);
        else
            buffer[0] = 0;
    }
    return length;
}

int CBank::LoadElement(int32_t index, int flag) {
    SetBankError(kIoOk);
    CElement* e = GetElement(index);
    if (!e) return 0;
    if (e->IsLoaded()) return 1;
    const int32_t position = GetDataPosition(index);
    if (position == 0) return 1;
    if (m_handle == kNoFileHandle || SeekFileAbsolute(m_handle, position) != position) {
        SetBankError(kIoReadFailed);
        return 0;
    }
    return e->LoadData(m_handle, flag);
}

void CBank::UnloadElement(int32_t index) {
    CElement* e = GetElement(index);
    if (e && e->m_lockCount <= 0) e->Unload();
}

int CBank::LockElement(int32_t index) {
    CElement* e = GetElement(index);
    if (!e || !e->IsLoaded()) return 0;
    ++e->m_lockCount;
    return 1;
}

void CBank::UnlockElement(int32_t index) {
    CElement* e = GetElement(index);
    if (e && e->IsLoaded() && e->m_lockCount > 0) --e->m_lockCount;
}

void CBank::UnloadAll() {
    for (int32_t i = 0; i < GetCount(); ++i) UnloadElement(i);
}

// ---------------------------------------------------------------------------

CBank* ReadBank(CBankOwner* program, const char* fileName) {
    SetBankError(kIoOk);
    FileHandle handle;
    int owns;
    std::string path;
    if (!fileName || !*fileName) {
        handle = program ? program->GetFileHandle() : kNoFileHandle;
        if (handle == kNoFileHandle) {
            SetBankError(kIoCannotOpen);
            return nullptr;
        }
        owns = 0;
        const char* programPath = program->GetFilePath();
        path = programPath ? programPath : "";
    } else {
        handle = OpenFileHandle(fileName, 0);
        if (handle == kNoFileHandle) {
            SetBankError(kIoCannotOpen);
            return nullptr;
        }
        owns = 1;
        path = fileName;
    }

    uint32_t status;
    const int32_t bankStart = TellFileHandle(handle);
    uint32_t type = 0;
    uint32_t version = kBankVersion1;
    char name[kMaxBankName + 1];
    uint8_t len[2];
    if (bankStart < 0) {
        status = kIoReadFailed;
    } else {
        status = ReadLE32(handle, &type);
        if (status == kIoOk) status = ReadFileChecked(handle, len, 2);
    }
    if (status == kIoOk) {
        const int32_t length = len[0] | (len[1] << 8);
        if (length > kMaxBankName) {
            status = kBankRefused;
        } else {
            status = ReadFileChecked(handle, name, length);
            name[length] = 0;
        }
    }
    if (status == kIoOk && (!program || program->GetVersion() >= kPackageVersionWithBankVersion))
        status = ReadLE32(handle, &version);

    CBank* bank = nullptr;
    if (status == kIoOk) {
        bank = CreateBankOfType(type);
        if (!bank) status = kIoGeneralFailure;
    }
    if (status == kIoOk) {
        // From here on the bank holds the handle and closes an owned one.
        status = bank->Load(program, type, name, version, path.c_str(), handle, owns, bankStart);
        if (status == kIoOk) return bank;
        delete bank;
        owns = 0;
    }
    if (owns) CloseFileHandle(handle);
    SetBankError(status);
    return nullptr;
}
