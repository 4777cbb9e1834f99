#include "runtime/compiler/script_compiler.h"

#include <cstring>
#include <new>
#include <vector>

#include "runtime/base/name_table.h"
#include "runtime/io/os_file.h"
#include "runtime/compiler/script_lexer.h"
#include "runtime/compiler/script_parser.h"

CScriptCompiler::CScriptCompiler() : m_index(SharedRegistryIndex()) { m_indexBuilt = m_index.IsBuilt(); }

CScriptCompiler::~CScriptCompiler() = default;

void CScriptCompiler::Fail(int32_t code) {
    m_lastError.reset(new CIError(MakeError(code)));
    throw CIError(*m_lastError);
}

CIError CScriptCompiler::MakeError(int32_t code) const {
    CIError error(code, CIError::kNoDetail);
    CScriptPosition pos = m_program.FindErrorPosition(code);
    if (pos.moduleName) error.module = pos.moduleName;
    error.line = pos.line;
    error.column = pos.column;
    return error;
}

void CScriptCompiler::AddSourceFile(const char* path, uint32_t word) {
    m_program.phase = kPhaseReading;
    FileHandle file = path ? OpenFileHandle(path, 0) : kNoFileHandle;
    if (file == kNoFileHandle) Fail(17);
    int32_t size = GetFileHandleSize(file);
    if (size < 0) {
        CloseFileHandle(file);
        Fail(17);
    }
    std::unique_ptr<char[]> text(new (std::nothrow) char[static_cast<size_t>(size) + 1]);
    if (!text) {
        CloseFileHandle(file);
        Fail(15);
    }
    uint32_t status = size > 0 ? ReadFileChecked(file, text.get(), size) : 0;
    CloseFileHandle(file);
    if (status != 0) Fail(17);
    text[size] = 0;

    CScriptModule module;
    module.name = path;
    module.length = static_cast<uint32_t>(size);
    module.flags = kModuleOwnsText;
    module.word = word;
    module.text = text.get();
    module.owned = std::move(text);
    m_program.modules.push_back(std::move(module));
}

void CScriptCompiler::AddSourceText(const char* name, const char* text, uint32_t length, uint32_t flags,
                                    uint32_t word) {
    m_program.phase = kPhaseReading;
    if (!text) length = 0;
    // The text ends at its first zero byte within the length.
    const void* zero = text ? std::memchr(text, 0, length) : nullptr;
    if (zero) length = static_cast<uint32_t>(static_cast<const char*>(zero) - text);

    CScriptModule module;
    module.name = name ? name : "";
    module.length = length;
    module.flags = flags;
    module.word = word;
    if (flags & kModuleOwnsText) {
        module.owned.reset(new (std::nothrow) char[static_cast<size_t>(length) + 1]);
        if (!module.owned) Fail(15);
        if (length) std::memcpy(module.owned.get(), text, length);
        module.owned[length] = 0;
        module.text = module.owned.get();
    } else {
        module.text = text;
    }
    m_program.modules.push_back(std::move(module));
}

int CScriptCompiler::Compile() {
    m_lastError.reset();
    std::vector<uint8_t> tokens;
    try {
        if (!m_indexBuilt) {
            m_program.phase = kPhaseReading;
            Fail(15);
        }
        m_program.code.clear();
        m_program.blocks.clear();
        m_program.longTexts.clear();
        m_program.names.reset(new CNameTable(0));

        // Token pass.
        m_program.phase = kPhaseTokens;
        size_t textBytes = 0;
        for (const CScriptModule& m : m_program.modules) textBytes += m.length;
        tokens.reserve(textBytes * 2 + 64);
        CScriptLexer lexer(m_index, m_program, tokens);
        for (uint32_t i = 0; i < m_program.modules.size(); ++i) lexer.LexModule(i);
        CInstrWriter(tokens).Emit(kOpEnd, 0, false, 0);

        // Parse pass.
        m_program.code.reserve(tokens.size());
        CScriptParser parser(m_program, tokens);
        parser.Parse();
        m_program.walkBase = nullptr;
        m_program.walkAt = nullptr;
        return 1;
    } catch (const CIError& error) {
        if (!m_lastError) m_lastError.reset(new CIError(error));
    } catch (const std::bad_alloc&) {
        m_lastError.reset(new CIError(MakeError(15)));
    } catch (...) {
        m_lastError.reset(new CIError(MakeError(44)));
    }
    // The token buffer dies here: nothing may point into it afterwards.
    m_program.walkBase = nullptr;
    m_program.walkAt = nullptr;
    return 0;
}

CCompiledProgram CScriptCompiler::TakeProgram() {
    CCompiledProgram taken = std::move(m_program);
    m_program = CCompiledProgram();
    return taken;
}

void CScriptCompiler::GiveBackProgram(CCompiledProgram&& program) { m_program = std::move(program); }
