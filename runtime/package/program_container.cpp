// The application package: the package-level chunk walk, the program list and
// the element index by full name.
#include "runtime/package/program_container.h"

#include "runtime/package/shared_palette.h"
#include "runtime/io/file_stream.h"
#include "runtime/package/os_module.h"
#include "runtime/package/package_chunks.h"
#include "runtime/base/sys_utils.h"
#include "runtime/package/package_location.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

bool EqualNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
        if (x == 0) return true;
    }
}

// Copies as much of `text` as fits behind `length` characters of buffer.
void Append(char* buffer, int32_t size, int32_t* length, const char* text) {
    while (*text && *length < size - 1) buffer[(*length)++] = *text++;
    buffer[*length] = 0;
}

}  // namespace

CProgramContainer::CProgramContainer(CInterpretor* interpreter)
    : m_interpreter(interpreter), m_name(nullptr), m_path(nullptr), m_handle(kNoFileHandle), m_ownsHandle(0),
      m_deleteOnClose(0), m_followOnOffset(0), m_version(0), m_palette(nullptr), m_paletteFlag(0),
      m_current(nullptr) {}

CProgramContainer::~CProgramContainer() {
    uint32_t pos = m_programs.GetHeadPosition();
    while (pos) delete reinterpret_cast<CBankSet*>(m_programs.GetNext(pos));
    m_programs.RemoveAll();
    m_current = nullptr;
    CSharedPalette::Release(m_palette);
    if (m_ownsHandle && m_handle != kNoFileHandle) CloseFileHandle(m_handle);
    if (m_deleteOnClose && m_path) DeletePathFile(m_path);
    std::free(m_name);
    std::free(m_path);
}

uint32_t CProgramContainer::HashName(const char* name) {
    int32_t sum = 0;
    for (const char* p = name; *p; ++p) sum += static_cast<int8_t>(static_cast<uint8_t>(*p) & ~0x20u);
    return static_cast<uint32_t>(sum) & (kHashBuckets - 1);
}

uint32_t CProgramContainer::ReadProgramPackage() {
    if (!m_palette) m_palette = GetDefaultSharedPalette();
    char path[260];
    OsGetProgramFileName(path, sizeof path);
    const uint32_t offset = GetStoredPackageOffset();
    if (offset == 0) return kPackageMissing;
    return OpenPackage(path, static_cast<int32_t>(offset));
}

uint32_t CProgramContainer::ReadPackageFile(const char* fileName, int32_t offset) {
    if (!m_palette) m_palette = GetDefaultSharedPalette();
    return OpenPackage(fileName, offset);
}

uint32_t CProgramContainer::OpenPackage(const char* fileName, int32_t offset) {
    if (!fileName || offset < 0) return kIoCannotOpen;
    if (m_ownsHandle && m_handle != kNoFileHandle) CloseFileHandle(m_handle);
    m_handle = kNoFileHandle;
    m_ownsHandle = 0;
    if (!AssignStringBuffer(&m_path, fileName)) return kIoGeneralFailure;
    m_handle = OpenFileHandle(fileName, 0);
    if (m_handle == kNoFileHandle) return kIoCannotOpen;
    m_ownsHandle = 1;
    return WalkPackageChunks(m_handle, offset);
}

uint32_t CProgramContainer::WalkPackageChunks(FileHandle handle, int32_t offset) {
    if (m_handle == kNoFileHandle) m_handle = handle;
    const int64_t fileSize = GetFileHandleSize(handle);
    if (fileSize < 0) return kIoReadFailed;
    bool versionSet = false;
    int64_t position = offset;
    for (;;) {
        ChunkHeader chunk;
        uint32_t status = ReadChunkHeader(handle, position, fileSize, &chunk);
        if (status != kIoOk) return status;
        if (chunk.id == kChunkEnd) break;
        // A chunk reaching past the file leaves no room for the next header.
        if (chunk.End() > fileSize) return kIoEndOfData;
        if (chunk.size > 0) {
            CChunkFields in(handle, chunk);
            switch (chunk.id) {
            case kChunkVersion: {
                uint32_t version;
                if (versionSet) break;
                status = in.ReadU32(&version);
                if (status != kIoOk) {
                    NoteDamage("the package version", status);
                    break;
                }
                m_version = version;
                versionSet = true;
                break;
            }
            case kChunkFollowOn: m_followOnOffset = static_cast<uint32_t>(chunk.dataStart); break;
            case kChunkProgram: {
                char* name = nullptr;
                status = in.ReadCountedText(&name);
                if (status != kIoOk) {
                    NoteDamage("a program record", status);
                    break;
                }
                CBankSet* program = new (std::nothrow) CBankSet;
                const int64_t at = in.Position();
                status = kIoGeneralFailure;
                if (program && SeekFileAbsolute(handle, static_cast<int32_t>(at)) == at)
                    status = program->LoadProgram(this, name, m_version, chunk.End());
                if (status == kIoOk && m_programs.AddTail(reinterpret_cast<uintptr_t>(program)) != 0)
                    program = nullptr;
                else
                    NoteDamage("a program record", status == kIoOk ? kIoGeneralFailure : status);
                delete program;  // one that failed to load, or could not be listed
                std::free(name);
                break;
            }
            default: break;
            }
        }
        position = chunk.End();
    }
    SelectProgram(nullptr);
    if (m_current) {
        CSharedPalette* palette = m_current->GetPalette();
        CSharedPalette::AddRef(palette);
        CSharedPalette::Release(m_palette);
        m_palette = palette;
        m_paletteFlag = m_current->GetPaletteFlag();
    }
    return kIoOk;
}

void CProgramContainer::NoteDamage(const char* part, uint32_t status) {
    if (m_damagedPart) return;
    m_damagedPart = part;
    m_damageStatus = status;
}

CBankSet* CProgramContainer::SelectProgram(CBankSet* program) {
    CBankSet* previous = m_current;
    if (program) {
        m_current = program;
    } else {
        const uint32_t head = m_programs.GetHeadPosition();
        m_current = head ? reinterpret_cast<CBankSet*>(m_programs.GetAt(head)) : nullptr;
    }
    return previous;
}

CBankSet* CProgramContainer::GetProgramAt(int32_t index) const {
    if (index < 0) return nullptr;
    uint32_t pos = m_programs.GetHeadPosition();
    while (pos) {
        CBankSet* program = reinterpret_cast<CBankSet*>(m_programs.GetNext(pos));
        if (index-- == 0) return program;
    }
    return nullptr;
}

CBank* CProgramContainer::FindBankById(uint32_t id) { return m_current ? m_current->FindById(id) : nullptr; }

void CProgramContainer::AddElement(CElement* element) {
    if (!element) return;
    char name[kMaxFullName];
    element->GetFullPath(name, sizeof name);
    m_hash[HashName(name)].AddTail(reinterpret_cast<uintptr_t>(element));
}

void CProgramContainer::RemoveElement(CElement* element) {
    if (!element) return;
    char name[kMaxFullName];
    element->GetFullPath(name, sizeof name);
    CPoolList& bucket = m_hash[HashName(name)];
    uint32_t pos = bucket.Find(reinterpret_cast<uintptr_t>(element));
    if (pos) {
        bucket.RemoveAt(pos);
        return;
    }
    // Entered under a name that has changed since (the title came later).
    for (CPoolList& other : m_hash) {
        pos = other.Find(reinterpret_cast<uintptr_t>(element));
        if (pos) {
            other.RemoveAt(pos);
            return;
        }
    }
}

CElement* CProgramContainer::FindElement(const char* name, uint32_t bank) {
    if (!name) return nullptr;
    char wanted[kMaxFullName];
    if (std::strchr(name, ':')) {
        if (std::strlen(name) >= sizeof wanted) return nullptr;
        std::strcpy(wanted, name);
    } else {
        CBank* b = FindBankById(bank);
        if (!m_current || !b) return nullptr;
        // A full name longer than the buffer holds is never found.
        const size_t need = std::strlen(m_current->GetTitle()) + 3 + std::strlen(b->GetName()) + 1 + std::strlen(name);
        if (need >= sizeof wanted) return nullptr;
        int32_t length = 0;
        wanted[0] = 0;
        Append(wanted, sizeof wanted, &length, m_current->GetTitle());
        Append(wanted, sizeof wanted, &length, "://");
        Append(wanted, sizeof wanted, &length, b->GetName());
        Append(wanted, sizeof wanted, &length, "/");
        Append(wanted, sizeof wanted, &length, name);
    }
    const CPoolList& bucket = m_hash[HashName(wanted)];
    char candidate[kMaxFullName];
    uint32_t pos = bucket.GetHeadPosition();
    while (pos) {
        CElement* e = reinterpret_cast<CElement*>(bucket.GetNext(pos));
        e->GetFullPath(candidate, sizeof candidate);
        if (candidate[0] && EqualNoCase(candidate, wanted)) return e;
    }
    return nullptr;
}

CElement* CProgramContainer::GetElement(int32_t index, uint32_t bank) {
    CBank* b = FindBankById(bank);
    return b ? b->GetElement(index) : nullptr;
}

CStream* CProgramContainer::OpenResource(const char* name, uint32_t bank, int flag) {
    CElement* element = FindElement(name, bank);
    if (element) return element->OpenStream(flag);
    if (!name || !name[0]) return nullptr;
    CFileStream* file = new (std::nothrow) CFileStream;
    if (!file) return nullptr;
    if (file->Open(name) != kIoOk) {
        delete file;
        return nullptr;
    }
    return file;
}

void CProgramContainer::MakeFullPath(char* buffer, int32_t size, const char* name) {
    if (!buffer || size < 1) return;
    buffer[0] = 0;
    if (!name) name = "";
    int32_t length = 0;
    if (!std::strchr(name, ':') && m_path) {
        // The folder of the package file, with its separator.
        const char* cut = nullptr;
        for (const char* p = m_path; *p; ++p)
            if (*p == '\\' || *p == '/') cut = p + 1;
        for (const char* p = m_path; cut && p < cut && length < size - 1; ++p) buffer[length++] = *p;
        buffer[length] = 0;
    }
    Append(buffer, size, &length, name);
}
