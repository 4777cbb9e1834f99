// One packaged program: its chunk list, settings, palette, texts and banks.
#include "runtime/package/package_chunks.h"
#include "runtime/package/program_container.h"

#include "runtime/base/sys_utils.h"
#include "runtime/package/shared_palette.h"

#include <cstdlib>
#include <cstring>

// Reads the chunks of one program into a CBankSet.
class CProgramChunkReader {
public:
    CProgramChunkReader(CBankSet* program) : m_program(program) {}

    // 0 when the content was taken; otherwise the chunk is abandoned.
    uint32_t Settings(CChunkFields& in);
    uint32_t Bank(CChunkFields& in);
    uint32_t MinorVersion(CChunkFields& in);
    uint32_t SourceText(CChunkFields& in);
    uint32_t GameInput(CChunkFields& in);

    bool banksBeforeTitle = false;

private:
    CBankSet* m_program;
};

uint32_t CProgramChunkReader::Settings(CChunkFields& in) {
    CBankSet* p = m_program;
    const bool older = p->m_version < kPackageVersionCurrent;
    char* title = nullptr;
    char* text = nullptr;
    char* gameInput = nullptr;
    uint32_t flags = 0, extra = 0, inputC = 0, inputSize = 0, background = 0;
    uint16_t inputA = 0, inputB = 0, speed = 0, ignored, release = 0, sound3D = 0, f = 0, g = 1;
    uint8_t palette[1024];
    uint32_t status = in.ReadCountedText(&title);
    if (status == kIoOk) status = in.ReadU32(&flags);
    if (status == kIoOk) status = in.ReadBytes(palette, sizeof palette);
    if (status == kIoOk && older) status = in.ReadCountedText(&text);
    if (status == kIoOk) status = in.ReadU32(&extra);
    if (status == kIoOk && older) {
        status = in.ReadU16(&inputA);
        if (status == kIoOk) status = in.ReadU16(&inputB);
        if (status == kIoOk) status = in.ReadU32(&inputC);
        if (status == kIoOk) status = in.ReadU32(&inputSize);
        if (status == kIoOk) status = in.ReadPackedBlock(inputSize, 0, &gameInput);
    }
    if (status == kIoOk) status = in.ReadU16(&speed);
    if (status == kIoOk && older) status = in.ReadU16(&ignored);
    if (status == kIoOk) status = in.ReadU32(&background);
    if (status == kIoOk) status = in.ReadU16(&release);
    if (status == kIoOk) status = in.ReadU16(&sound3D);
    if (status == kIoOk) status = in.ReadU16(&f);
    if (status == kIoOk && p->m_version >= kPackageVersionFirst) status = in.ReadU16(&g);
    if (status != kIoOk) {
        std::free(title);
        std::free(text);
        std::free(gameInput);
        return status;
    }
    if (p->m_banks.GetCount() > 0 && std::strcmp(p->GetTitle(), title) != 0) banksBeforeTitle = true;
    p->ReplaceText(&p->m_title, title);
    p->m_flags = flags;
    std::memcpy(p->m_paletteBytes, palette, sizeof palette);
    p->m_hasSettings = 1;
    if (older) {
        p->ReplaceText(&p->m_sourceText, text);
        p->m_sourceLength = static_cast<int32_t>(std::strlen(p->GetSourceText()));
        p->ReplaceText(&p->m_gameInputData, gameInput);
        p->m_gameInputSize = static_cast<int32_t>(inputSize);
        p->m_gameInputA = inputA;
        p->m_gameInputB = inputB;
        p->m_gameInputC = inputC;
    }
    p->m_extraWord = extra;
    p->m_speed = speed;
    p->m_backgroundColor = background;
    p->m_releaseFlag = release;
    p->m_sound3DFlag = sound3D;
    p->m_settingF = f;
    p->m_settingG = g;
    return kIoOk;
}

uint32_t CProgramChunkReader::Bank(CChunkFields& in) {
    char* name = nullptr;
    uint32_t status = in.ReadCountedText(&name);
    if (status != kIoOk) return status;
    CBank* bank;
    if (name[0] == 0) {
        // The bank file follows here, in the program's file.
        const int64_t at = in.Position();
        if (at > INT32_MAX || SeekFileAbsolute(m_program->m_handle, static_cast<int32_t>(at)) != at) {
            std::free(name);
            return kIoReadFailed;
        }
        bank = ReadBank(m_program, nullptr);
    } else {
        bank = ReadBank(m_program, name);
    }
    std::free(name);
    if (!bank) return GetBankError() ? GetBankError() : kIoGeneralFailure;
    if (m_program->m_banks.AddTail(reinterpret_cast<uintptr_t>(bank)) == 0) {
        delete bank;
        return kIoGeneralFailure;
    }
    return kIoOk;
}

uint32_t CProgramChunkReader::MinorVersion(CChunkFields& in) {
    uint16_t low;
    uint32_t status = in.ReadU16(&low);
    if (status == kIoOk) m_program->m_version = (m_program->m_version & 0xFFFF0000u) | low;
    return status;
}

uint32_t CProgramChunkReader::SourceText(CChunkFields& in) {
    uint32_t length, packed;
    char* text = nullptr;
    uint32_t status = in.ReadU32(&length);
    if (status == kIoOk) status = in.ReadU32(&packed);
    if (status == kIoOk) status = in.ReadPackedBlock(length, packed, &text);
    if (status != kIoOk) return status;
    m_program->ReplaceText(&m_program->m_sourceText, text);
    m_program->m_sourceLength = static_cast<int32_t>(length);
    return kIoOk;
}

uint32_t CProgramChunkReader::GameInput(CChunkFields& in) {
    uint16_t a, b;
    uint32_t c, size, packed;
    char* data = nullptr;
    uint32_t status = in.ReadU16(&a);
    if (status == kIoOk) status = in.ReadU16(&b);
    if (status == kIoOk) status = in.ReadU32(&c);
    if (status == kIoOk) status = in.ReadU32(&size);
    if (status == kIoOk) status = in.ReadU32(&packed);
    if (status == kIoOk) status = in.ReadPackedBlock(size, packed, &data);
    if (status != kIoOk) return status;
    CBankSet* p = m_program;
    p->ReplaceText(&p->m_gameInputData, data);
    p->m_gameInputSize = static_cast<int32_t>(size);
    p->m_gameInputA = a;
    p->m_gameInputB = b;
    p->m_gameInputC = c;
    return kIoOk;
}

// ---------------------------------------------------------------------------

CBankSet::CBankSet()
    : m_container(nullptr), m_title(nullptr), m_path(nullptr), m_handle(kNoFileHandle), m_ownsHandle(0),
      m_version(0), m_flags(0), m_palette(nullptr), m_paletteFlag(0), m_paletteBytes(), m_hasSettings(0),
      m_sourceText(nullptr), m_sourceLength(0), m_gameInputSize(0), m_gameInputData(nullptr), m_gameInputA(0),
      m_gameInputB(0), m_gameInputC(0), m_speed(100), m_backgroundColor(0xFFFFFF), m_releaseFlag(1),
      m_sound3DFlag(1), m_extraWord(0), m_settingF(1), m_settingG(1) {
    m_palette = GetDefaultSharedPalette();
}

CBankSet::~CBankSet() {
    uint32_t pos = m_banks.GetHeadPosition();
    while (pos) delete reinterpret_cast<CBank*>(m_banks.GetNext(pos));
    m_banks.RemoveAll();
    if (m_ownsHandle && m_handle != kNoFileHandle) CloseFileHandle(m_handle);
    CSharedPalette::Release(m_palette);
    std::free(m_title);
    std::free(m_path);
    std::free(m_sourceText);
    std::free(m_gameInputData);
}

void CBankSet::ReplaceText(char** field, char* text) {
    std::free(*field);
    *field = text;
}

CInterpretor* CBankSet::GetInterpreter() { return m_container ? m_container->GetInterpreter() : nullptr; }

void CBankSet::AddElement(CElement* element) {
    if (m_container) m_container->AddElement(element);
}

void CBankSet::RemoveElement(CElement* element) {
    if (m_container) m_container->RemoveElement(element);
}

CBank* CBankSet::FindById(uint32_t id) {
    uint32_t pos = m_banks.GetHeadPosition();
    while (pos) {
        CBank* bank = reinterpret_cast<CBank*>(m_banks.GetNext(pos));
        if (bank && bank->GetId() == id) return bank;
    }
    return nullptr;
}

// Elements entered before the title changed sit in the wrong buckets.
void CBankSet::Rehash() {
    uint32_t pos = m_banks.GetHeadPosition();
    while (pos) {
        CBank* bank = reinterpret_cast<CBank*>(m_banks.GetNext(pos));
        for (int32_t i = 0; i < bank->GetCount(); ++i) {
            CElement* e = bank->GetElement(i);
            if (!e) continue;
            RemoveElement(e);
            AddElement(e);
        }
    }
}

uint32_t CBankSet::LoadProgram(CProgramContainer* container, const char* fileName, uint32_t version, int64_t end) {
    m_container = container;
    m_version = version;
    int64_t position;
    if (fileName && fileName[0]) {
        if (!AssignStringBuffer(&m_path, fileName) || !m_path) return kIoGeneralFailure;
        m_handle = OpenFileHandle(fileName, 0);
        if (m_handle == kNoFileHandle) return kIoCannotOpen;
        m_ownsHandle = 1;
        position = 0;
        end = GetFileHandleSize(m_handle);
    } else {
        if (!AssignStringBuffer(&m_path, container->GetPath()) || !m_path) return kIoGeneralFailure;
        m_handle = container->GetHandle();
        m_ownsHandle = 0;
        position = TellFileHandle(m_handle);
        const int64_t size = GetFileHandleSize(m_handle);
        if (end < 0 || end > size) end = size;
    }
    if (position < 0 || end < 0) return kIoReadFailed;

    CProgramChunkReader reader(this);
    for (;;) {
        ChunkHeader chunk;
        uint32_t status = ReadChunkHeader(m_handle, position, end, &chunk);
        if (status != kIoOk) return status;
        if (chunk.id == kChunkEnd) break;
        if (chunk.End() > end) return kIoEndOfData;  // the next header could not follow
        if (chunk.size > 0) {
            CChunkFields in(m_handle, chunk);
            // A chunk whose content cannot be read is abandoned; the walk goes
            // on, and the container notes the damage.
            const bool current = m_version >= kPackageVersionCurrent;
            const char* part = nullptr;
            uint32_t content = kIoOk;
            switch (chunk.id) {
            case kChunkSettings: content = reader.Settings(in), part = "the program settings"; break;
            case kChunkBank: content = reader.Bank(in), part = "a resource bank"; break;
            case kChunkVersion: content = reader.MinorVersion(in), part = "the program version"; break;
            case kChunkSource:
                if (current) content = reader.SourceText(in), part = "the start-up text";
                break;
            case kChunkGameInput:
                if (current) content = reader.GameInput(in), part = "the game-input settings";
                break;
            default: break;
            }
            if (content != kIoOk && container) container->NoteDamage(part, content);
        }
        position = chunk.End();
    }
    if (reader.banksBeforeTitle) Rehash();

    if (m_hasSettings) {
        LogPalette256 logical;
        logical.version = kPaletteVersion;
        logical.count = 256;
        PaletteEntry stored[256];
        for (int i = 0; i < 256; ++i) {
            stored[i].red = m_paletteBytes[4 * i];
            stored[i].green = m_paletteBytes[4 * i + 1];
            stored[i].blue = m_paletteBytes[4 * i + 2];
            stored[i].flags = m_paletteBytes[4 * i + 3];
        }
        RemapPalette(logical.entries, stored, nullptr);
        CSharedPalette* palette = AcquireSharedPalette(logical);
        if (palette) {
            CSharedPalette::Release(m_palette);
            m_palette = palette;
        }
    }
    m_paletteFlag = static_cast<int>(m_flags & 1);
    return kIoOk;
}
