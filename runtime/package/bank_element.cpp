// Elements of resource banks: headers, data loading and streams.
#include "runtime/package/bank.h"

#include "runtime/io/compress_stream.h"
#include "runtime/io/file_helpers.h"
#include "runtime/io/file_stream.h"
#include "runtime/io/inflate_block.h"
#include "runtime/io/memory_stream.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// No deflate stream expands by more than this factor, so a stored size above
// compressed size times this cannot be honest.
const int64_t kMaxInflateRatio = 1032;
// The most a compressed element may inflate to. Honest streams can claim more
// (a megabyte of zlib data can hold a gigabyte), but no resource of a 32-bit
// program is that large, and the claim alone must not cost that much memory.
const uint32_t kMaxInflatedSize = 128u << 20;

uint32_t ReadLE32(FileHandle h, uint32_t* value) {
    uint8_t b[4];
    uint32_t status = ReadFileChecked(h, b, 4);
    if (status == kIoOk) *value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return status;
}

int64_t BytesLeftInFile(FileHandle h) {
    int32_t at = TellFileHandle(h);
    int32_t size = GetFileHandleSize(h);
    if (at < 0 || size < 0 || at > size) return 0;
    return size - at;
}

// Reads the size words at the file pointer and checks them against what the
// rest of the file can hold.
uint32_t ReadDataSizes(FileHandle h, int32_t* size, int32_t* packedSize) {
    uint32_t s, p;
    uint32_t status = ReadLE32(h, &s);
    if (status == kIoOk) status = ReadLE32(h, &p);
    if (status != kIoOk) return status;
    const int64_t left = BytesLeftInFile(h);
    if (p == 0) {
        if (s > left) return kIoEndOfData;
    } else {
        if (p > left) return kIoEndOfData;
        if (s > p * kMaxInflateRatio) return kIoCorruptData;
        if (s > kMaxInflatedSize) return kIoGeneralFailure;
    }
    *size = static_cast<int32_t>(s);
    *packedSize = static_cast<int32_t>(p);
    return kIoOk;
}

// A memory stream that keeps the element's data block alive.
class CElementStream : public CMemoryStream {
public:
    explicit CElementStream(std::shared_ptr<uint8_t> data) : m_data(std::move(data)) {}

private:
    std::shared_ptr<uint8_t> m_data;
};

CStream* NewMemoryStream(const std::shared_ptr<uint8_t>& data, int32_t size) {
    CElementStream* s = new (std::nothrow) CElementStream(data);
    if (!s) {
        SetBankError(kIoGeneralFailure);
        return nullptr;
    }
    s->Attach(data.get(), size);
    return s;
}

}  // namespace

// ---------------------------------------------------------------------------

CElement::CElement() : m_bank(nullptr), m_index(-1), m_name(nullptr), m_group(nullptr), m_lockCount(0) {}

CElement::~CElement() {
    std::free(m_name);
    std::free(m_group);
}

int CElement::LoadData(FileHandle, int) { return 1; }

int CElement::LoadHeader(FileHandle handle) {
    std::free(m_name);
    std::free(m_group);
    m_name = m_group = nullptr;
    uint32_t status = ReadCountedString(handle, &m_name);
    if (status == kIoOk) status = ReadCountedString(handle, &m_group);
    if (status != kIoOk) {
        SetBankError(status);
        return 0;
    }
    return 1;
}

void CElement::Unload() {}

int CElement::IsLoaded() { return 1; }

CStream* CElement::OpenStream(int) { return nullptr; }

int32_t CElement::GetFullPath(char* buffer, int32_t size) {
    std::string path;
    CBankOwner* program = m_bank ? m_bank->GetProgram() : nullptr;
    if (program && program->GetTitle()) path = program->GetTitle();
    path += "://";
    if (m_bank) path += m_bank->GetName();
    path += '/';
    if (m_group && *m_group) {
        path += m_group;
        path += '/';
    }
    path += GetName();
    const int32_t length = path.size() > INT32_MAX ? INT32_MAX : static_cast<int32_t>(path.size());
    if (buffer && size > 0) {
        if (length < size)
            std::memcpy(buffer, path.c_str(), static_cast<size_t>(length) + 1);
        else
            buffer[0] = 0;
    }
    return length;
}

// ---------------------------------------------------------------------------

CBinaryElement::CBinaryElement() : m_size(0), m_streamsZero(0) {}

CBinaryElement::~CBinaryElement() {}

int CBinaryElement::IsLoaded() { return m_data ? 1 : 0; }

void CBinaryElement::Unload() {
    m_data.reset();
    m_size = 0;
}

uint32_t CBinaryElement::LoadFrom(FileHandle handle) {
    Unload();
    int32_t size, packed;
    uint32_t status = ReadDataSizes(handle, &size, &packed);
    if (status != kIoOk) return status;
    uint8_t* block = nullptr;
    if (packed == 0) {
        block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size) + 1));
        if (!block) return kIoGeneralFailure;
        status = ReadFileChecked(handle, block, size);
    } else {
        status = InflateHandleToBlock(handle, packed, size, &block);
    }
    if (status != kIoOk) {
        std::free(block);
        return status;
    }
    block[size] = 0;
    try {
        m_data.reset(block, std::free);
    } catch (const std::bad_alloc&) {
        // reset has already given the block to its deleter.
        return kIoGeneralFailure;
    }
    m_size = size;
    return kIoOk;
}

int CBinaryElement::LoadData(FileHandle handle, int) {
    uint32_t status = LoadFrom(handle);
    if (status != kIoOk) {
        Unload();
        SetBankError(status);
        return 0;
    }
    return 1;
}

CStream* CBinaryElement::OpenStream(int flag) {
    SetBankError(kIoOk);
    if (!IsLoaded()) {
        const FileHandle handle = m_bank ? m_bank->GetHandle() : kNoFileHandle;
        const int32_t position = m_bank ? m_bank->GetDataPosition(m_index) : 0;
        if (handle == kNoFileHandle || position <= 0) {
            SetBankError(kIoGeneralFailure);
            return nullptr;
        }
        if (SeekFileAbsolute(handle, position) != position) {
            SetBankError(kIoReadFailed);
            return nullptr;
        }
        int32_t size, packed;
        uint32_t status = ReadDataSizes(handle, &size, &packed);
        if (status != kIoOk) {
            SetBankError(status);
            return nullptr;
        }
        if (packed == 0) {
            // A window of length 0 would read to the end of the file.
            if (size == 0) return NewMemoryStream(nullptr, 0);
            const int32_t start = position + 8;
            CFileStream* s = new (std::nothrow) CFileStream;
            if (!s) {
                SetBankError(kIoGeneralFailure);
                return nullptr;
            }
            status = flag == 0 ? s->AttachWindow(handle, start, size) : s->OpenWindow(m_bank->GetPath(), start, size);
            if (status != kIoOk) {
                delete s;
                SetBankError(status);
                return nullptr;
            }
            return s;
        }
        if (SeekFileAbsolute(handle, position) != position) {
            SetBankError(kIoReadFailed);
            return nullptr;
        }
        if (!LoadData(handle, flag)) return nullptr;
    }
    return NewMemoryStream(m_data, m_size + (m_streamsZero ? 1 : 0));
}

// ---------------------------------------------------------------------------

CAnimElement::CAnimElement() : m_hotSpotX(0), m_hotSpotY(0) {}

int CAnimElement::LoadHeader(FileHandle handle) {
    if (!CElement::LoadHeader(handle)) return 0;
    m_hotSpotX = m_hotSpotY = 0;
    if (m_bank && m_bank->GetVersion() >= kBankVersion2) {
        uint8_t b[4];
        uint32_t status = ReadFileChecked(handle, b, 4);
        if (status != kIoOk) {
            SetBankError(status);
            return 0;
        }
        m_hotSpotX = static_cast<uint16_t>(b[0] | (b[1] << 8));
        m_hotSpotY = static_cast<uint16_t>(b[2] | (b[3] << 8));
    }
    return 1;
}

CStringElement::CStringElement() { m_streamsZero = 1; }
