#include "runtime/package/package_writer.h"

#include "runtime/io/byte_vector_writer.h"
#include "runtime/io/io_status.h"
#include "runtime/package/program_container.h"

namespace {

uint32_t PutPacked(std::vector<uint8_t>* v, const std::string& s, bool compress) {
    return ::PutPacked(v, s.data(), static_cast<int32_t>(s.size()), compress);
}

uint32_t WriteProgram(const PackageProgram& p, uint32_t version, std::vector<uint8_t>* out) {
    const bool older = version < kPackageVersionCurrent;
    std::vector<uint8_t> chunk;
    if (!PutCounted(&chunk, p.title)) return kIoGeneralFailure;
    Put32(&chunk, p.flags);
    chunk.insert(chunk.end(), p.palette, p.palette + sizeof p.palette);
    if (older && !PutCounted(&chunk, p.startupText)) return kIoGeneralFailure;
    Put32(&chunk, p.extraWord);
    if (older) {
        Put16(&chunk, p.gameInputA);
        Put16(&chunk, p.gameInputB);
        Put32(&chunk, p.gameInputC);
        Put32(&chunk, static_cast<uint32_t>(p.gameInput.size()));
        PutBytes(&chunk, p.gameInput.data(), p.gameInput.size());
    }
    Put16(&chunk, p.speed);
    if (older) Put16(&chunk, 0);
    Put32(&chunk, p.backgroundColor);
    Put16(&chunk, p.releaseFlag);
    Put16(&chunk, p.sound3DFlag);
    Put16(&chunk, p.settingF);
    if (version >= kPackageVersionFirst) Put16(&chunk, p.settingG);
    AppendChunk(out, kChunkSettings, chunk);

    if (!older) {
        if (!p.startupText.empty()) {
            chunk.clear();
            Put32(&chunk, static_cast<uint32_t>(p.startupText.size()));
            uint32_t status = PutPacked(&chunk, p.startupText, p.compress);
            if (status != kIoOk) return status;
            AppendChunk(out, kChunkSource, chunk);
        }
        if (p.hasGameInput) {
            chunk.clear();
            Put16(&chunk, p.gameInputA);
            Put16(&chunk, p.gameInputB);
            Put32(&chunk, p.gameInputC);
            Put32(&chunk, static_cast<uint32_t>(p.gameInput.size()));
            uint32_t status = PutPacked(&chunk, p.gameInput, p.compress);
            if (status != kIoOk) return status;
            AppendChunk(out, kChunkGameInput, chunk);
        }
    }
    for (const std::vector<uint8_t>& bank : p.banks) {
        // The bank file follows its empty file name.
        chunk.clear();
        Put16(&chunk, 0);
        chunk.insert(chunk.end(), bank.begin(), bank.end());
        AppendChunk(out, kChunkBank, chunk);
    }
    AppendChunk(out, kChunkEnd, {});
    return kIoOk;
}

}  // namespace

void AppendChunk(std::vector<uint8_t>* out, uint16_t id, const std::vector<uint8_t>& data) {
    Put16(out, id);
    Put16(out, 0);
    Put32(out, static_cast<uint32_t>(data.size()));
    out->insert(out->end(), data.begin(), data.end());
}

uint32_t WritePackage(const PackageDescription& package, std::vector<uint8_t>* out) {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> chunk;
    Put32(&chunk, package.version);
    AppendChunk(&bytes, kChunkVersion, chunk);
    for (const PackageProgram& program : package.programs) {
        chunk.clear();
        Put16(&chunk, 0);  // the program's chunks follow here
        uint32_t status = WriteProgram(program, package.version, &chunk);
        if (status != kIoOk) return status;
        AppendChunk(&bytes, kChunkProgram, chunk);
    }
    if (!package.followOn.empty()) AppendChunk(&bytes, kChunkFollowOn, package.followOn);
    AppendChunk(&bytes, kChunkEnd, {});
    out->insert(out->end(), bytes.begin(), bytes.end());
    return kIoOk;
}
