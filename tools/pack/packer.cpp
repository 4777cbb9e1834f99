#include "tools/pack/packer.h"

#include "runtime/package/shared_palette.h"
#include "runtime/package/bank.h"
#include "runtime/package/bank_writer.h"
#include "runtime/package/picture_element.h"
#include "graphics2d/image_file.h"
#include "runtime/io/memory_stream.h"
#include "runtime/io/byte_vector_writer.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/io/os_file.h"
#include "runtime/package/package_writer.h"
#include "tools/pack/folder_paths.h"
#include "tools/pack/image_info.h"
#include "tools/pack/manifest.h"
#include "tools/pack/pe_image.h"

#include <cstring>

namespace {

// Follow-on folders may name each other; nesting stops here.
const int kMaxFollowOnDepth = 8;

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    return last == '/' || last == '\\' ? folder + name : folder + "/" + name;
}

bool ReadPalette(const std::string& path, uint8_t* palette, std::string* error) {
    std::vector<uint8_t> f;
    if (!ReadFileBytes(path, &f)) {
        *error = path + ": cannot be read";
        return false;
    }
    if (f.size() == 1024) {
        std::memcpy(palette, f.data(), 1024);
        return true;
    }
    // An 8-bit BMP: its colour table, blue-green-red quads behind the header.
    ImageInfo info;
    if (f.size() >= 54 && f[0] == 'B' && f[1] == 'M' && ReadImageInfo(f, path, &info) && info.depth == 8) {
        const uint32_t header = f[14] | (f[15] << 8) | (f[16] << 16) | (static_cast<uint32_t>(f[17]) << 24);
        uint32_t used = f[46] | (f[47] << 8) | (f[48] << 16) | (static_cast<uint32_t>(f[49]) << 24);
        if (used == 0 || used > 256) used = 256;
        const size_t table = 14 + header;
        if (header >= 40 && table + used * 4 <= f.size()) {
            std::memset(palette, 0, 1024);
            for (uint32_t i = 0; i < used; ++i) {
                palette[4 * i] = f[table + 4 * i + 2];
                palette[4 * i + 1] = f[table + 4 * i + 1];
                palette[4 * i + 2] = f[table + 4 * i];
            }
            return true;
        }
    }
    *error = path + ": a palette is a 1024-byte colour table or an 8-bit BMP file";
    return false;
}

// A picture decoded into raw rows of the entry's depth (8-bit rows index the
// table palette the entry names), with its alpha plane when asked.
bool EncodeRawPicture(const ManifestEntry& e, const std::vector<uint8_t>& file, const std::vector<uint8_t>& palettes,
                      bool compress, std::vector<uint8_t>* body, std::string* why) {
    static CImageFormatManager* formats = [] {
        CImageFormatManager* m = new CImageFormatManager();
        m->Init();
        return m;
    }();
    CMemoryStream stream;
    stream.Attach(file.data(), static_cast<int32_t>(file.size()));
    CImageFile image(formats);
    if (image.AttachStream(&stream) != kImageOk) {
        *why = "cannot be decoded";
        return false;
    }
    const int32_t width = image.GetWidth(), height = image.GetHeight();
    int32_t depth = e.rawDepth != 0 ? e.rawDepth : image.GetDepth();
    if (!IsPictureDepth(static_cast<uint32_t>(depth))) depth = 24;
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) {
        *why = "picture size out of range";
        return false;
    }
    const size_t tablePalettes = palettes.size() / 1024;
    if (e.palette >= 0 && static_cast<size_t>(e.palette) >= tablePalettes) {
        *why = "palette " + std::to_string(e.palette) + " is not in the bank's palette table";
        return false;
    }
    if (depth == 8 && e.palette < 0) {
        *why = "8-bit raw rows need \"palette N\" of the bank's table";
        return false;
    }
    LogPalette256 target{};
    if (e.palette >= 0) {
        target.version = kPaletteVersion;
        target.count = 256;
        std::memcpy(target.entries, &palettes[static_cast<size_t>(e.palette) * 1024], 1024);
    }
    const int32_t pitch = PictureRowPitch(width, depth);
    std::vector<uint8_t> rows(static_cast<size_t>(pitch) * height), mask;
    if (e.mask) mask.assign(static_cast<size_t>(width) * height, 0xFF);
    if (image.Read(rows.data(), width, height, depth, pitch, depth == 8 ? &target : nullptr,
                   e.mask ? mask.data() : nullptr) != kImageOk) {
        *why = "cannot be decoded";
        return false;
    }
    PictureRows r;
    r.hotSpotX = static_cast<int16_t>(e.hotSpotX);
    r.hotSpotY = static_cast<int16_t>(e.hotSpotY);
    r.paletteIndex = e.palette >= 0 ? static_cast<uint32_t>(e.palette) : kPictureNoPalette;
    r.width = static_cast<uint16_t>(width);
    r.height = static_cast<uint16_t>(height);
    r.depth = static_cast<uint16_t>(depth);
    r.pixels = rows.data();
    r.size = static_cast<int32_t>(rows.size());
    r.mask = e.mask ? mask.data() : nullptr;
    r.compress = compress;
    if (!EncodePictureRows(r, body)) {
        *why = "cannot be stored as raw rows";
        return false;
    }
    return true;
}

bool AddElement(CBankWriter* bank, const ManifestBank& b, const ManifestEntry& e, const std::string& path,
                const std::vector<uint8_t>& palettes, bool compress, std::string* error) {
    std::vector<uint8_t> data;
    if (!ReadFileBytes(path, &data)) {
        *error = kManifestName + std::string(" line ") + std::to_string(e.line) + ": " + path + " cannot be read";
        return false;
    }
    if (data.size() > 0x7FFFFFF0u) {
        *error = path + ": too large";
        return false;
    }
    const int32_t size = static_cast<int32_t>(data.size());
    const char* name = e.name.c_str();
    const char* group = e.group.c_str();
    uint32_t status;
    if (b.type != kBankPictures && (e.raw || e.mask || e.palette >= 0)) {
        *error = kManifestName + std::string(" line ") + std::to_string(e.line) +
                 ": only pictures take \"raw\", \"palette\" and \"mask\"";
        return false;
    }
    if (b.type == kBankPictures && e.raw) {
        std::vector<uint8_t> body;
        std::string why;
        if (!EncodeRawPicture(e, data, palettes, compress, &body, &why)) {
            *error = kManifestName + std::string(" line ") + std::to_string(e.line) + ": " + path + ": " + why;
            return false;
        }
        status = bank->AddRaw(name, group, body.data(), static_cast<int32_t>(body.size()));
    } else if (b.type == kBankPictures) {
        // The element embeds the whole image file; its header says how big.
        ImageInfo info;
        if (!ReadImageInfo(data, path, &info)) {
            *error = path + ": not a picture file the runtime reads (BMP, PNG, JPEG, PCX or TGA)";
            return false;
        }
        if (info.width == 0 || info.height == 0 || info.width > 0xFFFF || info.height > 0xFFFF) {
            *error = path + ": picture size out of range";
            return false;
        }
        std::vector<uint8_t> body;
        EncodePictureFile(static_cast<int16_t>(e.hotSpotX), static_cast<int16_t>(e.hotSpotY),
                          static_cast<uint16_t>(info.width), static_cast<uint16_t>(info.height),
                          static_cast<uint16_t>(info.depth), data.data(), size, &body);
        status = bank->AddRaw(name, group, body.data(), static_cast<int32_t>(body.size()));
    } else if (b.type == kBankAnimations) {
        status = bank->AddAnimation(name, group, static_cast<uint16_t>(e.hotSpotX), static_cast<uint16_t>(e.hotSpotY),
                                    data.data(), size, compress);
    } else {
        if (e.hasHotSpot) {
            *error = kManifestName + std::string(" line ") + std::to_string(e.line) +
                     ": only pictures and animations have a hot spot";
            return false;
        }
        status = bank->AddData(name, group, data.data(), size, compress);
    }
    if (status != 0) {
        *error = path + ": cannot be stored in its bank";
        return false;
    }
    return true;
}

bool Build(const std::string& folder, std::vector<uint8_t>* package, std::string* error, int depth) {
    const std::string manifestPath = Join(folder, kManifestName);
    std::vector<uint8_t> text;
    if (!ReadFileBytes(manifestPath, &text)) {
        *error = manifestPath + ": cannot be read";
        return false;
    }
    Manifest m;
    if (!ParseManifest(std::string(text.begin(), text.end()), &m, error)) {
        *error = manifestPath + " " + *error;
        return false;
    }
    // Every file and folder the manifest names, inside the folder.
    std::string palettePath, startupPath, gameInputPath, followOnPath;
    auto inside = [&](const std::string& name, int line, std::string* path) {
        std::string why;
        if (PathInsideFolder(folder, name, path, &why)) return true;
        *error = manifestPath + " line " + std::to_string(line) + ": " + name + ": " + why;
        return false;
    };
    if ((!m.palette.empty() && !inside(m.palette, m.paletteLine, &palettePath)) ||
        (!m.startup.empty() && !inside(m.startup, m.startupLine, &startupPath)) ||
        (!m.gameInput.empty() && !inside(m.gameInput, m.gameInputLine, &gameInputPath)) ||
        (!m.followOn.empty() && !inside(m.followOn, m.followOnLine, &followOnPath)))
        return false;
    std::vector<std::vector<std::string>> entryPaths;
    for (const ManifestBank& b : m.banks) {
        entryPaths.emplace_back();
        for (const ManifestEntry& e : b.entries) {
            entryPaths.back().emplace_back();
            if (!inside(e.file, e.line, &entryPaths.back().back())) return false;
        }
    }
    PackageProgram p;
    p.title = m.title;
    p.flags = m.flags;
    p.extraWord = m.extraWord;
    p.speed = m.speed;
    p.backgroundColor = m.backgroundColor;
    p.releaseFlag = m.releaseFlag;
    p.sound3DFlag = m.sound3DFlag;
    p.settingF = m.settingF;
    p.settingG = m.settingG;
    p.compress = m.compress;
    if (m.palette.empty()) {
        const LogPalette256& d = GetDefaultLogPalette();
        for (int i = 0; i < 256; ++i) {
            p.palette[4 * i] = d.entries[i].red;
            p.palette[4 * i + 1] = d.entries[i].green;
            p.palette[4 * i + 2] = d.entries[i].blue;
            p.palette[4 * i + 3] = d.entries[i].flags;
        }
    } else if (!ReadPalette(palettePath, p.palette, error)) {
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!m.startup.empty()) {
        if (!ReadFileBytes(startupPath, &bytes)) {
            *error = startupPath + ": cannot be read";
            return false;
        }
        p.startupText.assign(bytes.begin(), bytes.end());
    }
    if (!m.gameInput.empty()) {
        if (!ReadFileBytes(gameInputPath, &bytes)) {
            *error = gameInputPath + ": cannot be read";
            return false;
        }
        p.hasGameInput = true;
        p.gameInput.assign(bytes.begin(), bytes.end());
        p.gameInputA = m.gameInputA;
        p.gameInputB = m.gameInputB;
        p.gameInputC = m.gameInputC;
    }
    for (size_t i = 0; i < m.banks.size(); ++i) {
        const ManifestBank& b = m.banks[i];
        CBankWriter bank(b.type, b.name.c_str());
        std::vector<uint8_t> palettes;
        for (const ManifestPalette& tablePalette : b.palettes) {
            std::string path;
            uint8_t palette[1024];
            if (b.type != kBankPictures) {
                *error = manifestPath + " line " + std::to_string(tablePalette.line) +
                         ": only picture banks have a palette table";
                return false;
            }
            if (!inside(tablePalette.file, tablePalette.line, &path) || !ReadPalette(path, palette, error))
                return false;
            bank.AddPalette(palette);
            palettes.insert(palettes.end(), palette, palette + 1024);
        }
        for (size_t j = 0; j < b.entries.size(); ++j)
            if (!AddElement(&bank, b, b.entries[j], entryPaths[i][j], palettes, m.compress, error)) return false;
        CBufferStream out;
        if (bank.Write(&out, true) != 0) {
            *error = manifestPath + " line " + std::to_string(b.line) + ": bank " + b.name + " cannot be written";
            return false;
        }
        p.banks.emplace_back(out.GetData(), out.GetData() + out.GetSize());
    }
    PackageDescription d;
    d.programs.push_back(std::move(p));
    if (!m.followOn.empty()) {
        if (depth >= kMaxFollowOnDepth) {
            *error = manifestPath + ": follow-on programs nest too deep";
            return false;
        }
        if (!Build(followOnPath, &d.followOn, error, depth + 1)) return false;
    }
    if (WritePackage(d, package) != 0) {
        *error = manifestPath + ": a setting does not fit the package";
        return false;
    }
    return true;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes) {
    bytes->clear();
    FileHandle h = OpenFileHandle(path.c_str(), 0);
    if (h == kNoFileHandle) return false;
    const int32_t size = GetFileHandleSize(h);
    bool ok = size >= 0;
    if (ok) {
        bytes->resize(static_cast<size_t>(size));
        ok = size == 0 || ReadFileChecked(h, bytes->data(), size) == 0;
    }
    CloseFileHandle(h);
    return ok;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FileHandle h = CreateFileHandle(path.c_str());
    if (h == kNoFileHandle) return false;
    const bool ok = bytes.empty() || WriteFileChecked(h, bytes.data(), static_cast<int32_t>(bytes.size())) == 0;
    CloseFileHandle(h);
    return ok;
}

bool BuildPackage(const std::string& folder, std::vector<uint8_t>* package, std::string* error) {
    package->clear();
    return Build(folder, package, error, 0);
}

bool PackExecutable(const std::string& runtime, const std::string& folder, const std::string& output,
                    std::string* error) {
    std::vector<uint8_t> exe, package, packed;
    if (!ReadFileBytes(runtime, &exe)) {
        *error = runtime + ": cannot be read";
        return false;
    }
    if (!BuildPackage(folder, &package, error)) return false;
    if (!AttachPackage(exe, package, &packed, error)) {
        *error = runtime + ": " + *error;
        return false;
    }
    if (!WriteFileBytes(output, packed)) {
        *error = output + ": cannot be written";
        return false;
    }
    return true;
}
