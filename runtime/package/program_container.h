#pragma once
// The loaded application package.
//
// The package is a list of chunks appended to the runtime's executable (or
// stored in any file at a given offset). Every chunk starts with an 8-byte
// header {u16 id, u16 reserved, u32 size}; after a chunk the reader always
// continues at its data start + size, whatever it consumed. Unknown ids and
// chunks of size 0 are skipped; the end chunk 0x7F7F ends its list whatever its
// size.
//
// Package level: 0x1400 version word (the first one counts), 0x1200 one
// program record (u16 name length, the name of the file holding the program's
// chunks, or length 0 when they follow here), 0x1001 the nested package of a
// follow-on program, 0x7F7F end.
// Program level: 0x1000 settings, 0x1100 one resource bank (u16 file-name
// length and name; length 0: the bank file follows here), 0x1400 the low 16
// bits of the program's version, 0x1500 start-up text, 0x1600 game-input
// settings, 0x7F7F end.
//
// CProgramContainer holds one CBankSet per packaged program and indexes every
// bank element in a 512-bucket hash by its full name
// "<title>://<bank>/[<group>/]<name>". Everything else reaches packaged data
// through it: the compiler takes the start-up text and the source banks,
// script classes open named resources as streams.
#include "runtime/package/bank.h"
#include "runtime/io/os_file.h"
#include "runtime/base/pool_list.h"
#include "runtime/io/stream.h"

#include <cstdint>

class CInterpretor;
class CProgramContainer;
class CSharedPalette;

enum : uint16_t {
    kChunkSettings = 0x1000,
    kChunkFollowOn = 0x1001,
    kChunkBank = 0x1100,
    kChunkProgram = 0x1200,
    kChunkVersion = 0x1400,
    kChunkSource = 0x1500,
    kChunkGameInput = 0x1600,
    kChunkEnd = 0x7F7F,
};

enum : uint32_t {
    kPackageVersionFirst = 0x44550000,  // setting G is stored from here on
    kPackageVersionCurrent = 0x44550004,  // text and game input in chunks of their own
    kPackageMissing = 10002,             // the executable carries no package
};

// One packaged program: settings, palette, start-up text, game-input settings
// and resource banks.
class CBankSet : public CBankOwner {
public:
    CBankSet();
    ~CBankSet() override;

    // Reads the program's chunk list: from the container's file at its current
    // position (no file name), or from the start of the named file, which the
    // program then owns. `end` bounds the chunks read from the container's file
    // (the end of the program record). Returns 0 or a status word; a program
    // that fails is destroyed by the caller.
    uint32_t LoadProgram(CProgramContainer* container, const char* fileName, uint32_t version, int64_t end = -1);

    // Bank of that id (bank type) in this program, or null; the first one when
    // several share the id.
    CBank* FindById(uint32_t id);
    CInterpretor* GetInterpreter();
    CProgramContainer* GetContainer() const { return m_container; }

    // Banks in list order.
    const CPoolList& GetBanks() const { return m_banks; }
    int32_t GetBankCount() const { return m_banks.GetCount(); }

    // CBankOwner.
    const char* GetTitle() override { return m_title ? m_title : ""; }
    const char* GetFilePath() override { return m_path ? m_path : ""; }
    FileHandle GetFileHandle() override { return m_handle; }
    uint32_t GetVersion() override { return m_version; }
    void AddElement(CElement* element) override;
    void RemoveElement(CElement* element) override;

    uint32_t GetFlags() const { return m_flags; }
    CSharedPalette* GetPalette() const { return m_palette; }
    int GetPaletteFlag() const { return m_paletteFlag; }
    // The start-up text (never null; "" when there is none) and its length.
    const char* GetSourceText() const { return m_sourceText ? m_sourceText : ""; }
    int32_t GetSourceLength() const { return m_sourceLength; }
    // The game-input settings text (null when none) and its words.
    const char* GetGameInputData() const { return m_gameInputData; }
    int32_t GetGameInputSize() const { return m_gameInputSize; }
    uint16_t GetGameInputWordA() const { return m_gameInputA; }
    // Not 0: the interpreter creates its game-input object at start-up.
    uint16_t GetGameInputWordB() const { return m_gameInputB; }
    uint32_t GetGameInputWordC() const { return m_gameInputC; }
    uint16_t GetSpeed() const { return m_speed; }
    uint32_t GetBackgroundColor() const { return m_backgroundColor; }
    uint16_t GetReleaseFlag() const { return m_releaseFlag; }
    uint16_t GetSound3DFlag() const { return m_sound3DFlag; }
    void SetSound3DFlag(uint16_t flag) { m_sound3DFlag = flag; }
    uint32_t GetExtraWord() const { return m_extraWord; }
    uint16_t GetSettingF() const { return m_settingF; }
    uint16_t GetSettingG() const { return m_settingG; }
    // A follow-on program starts with settings F and G both 0, whatever its
    // package says (the runner clears them before the run is prepared).
    void ClearHeaderSettings() { m_settingF = m_settingG = 0; }

private:
    CBankSet(const CBankSet&) = delete;
    CBankSet& operator=(const CBankSet&) = delete;
    friend class CProgramChunkReader;

    void ReplaceText(char** field, char* text);
    void Rehash();

    CProgramContainer* m_container;
    char* m_title;
    char* m_path;
    FileHandle m_handle;
    int m_ownsHandle;
    uint32_t m_version;
    uint32_t m_flags;
    CSharedPalette* m_palette;
    int m_paletteFlag;
    uint8_t m_paletteBytes[1024];
    int m_hasSettings;
    char* m_sourceText;
    int32_t m_sourceLength;
    int32_t m_gameInputSize;
    char* m_gameInputData;
    uint16_t m_gameInputA;
    uint16_t m_gameInputB;
    uint32_t m_gameInputC;
    uint16_t m_speed;
    uint32_t m_backgroundColor;
    uint16_t m_releaseFlag;
    uint16_t m_sound3DFlag;
    CPoolList m_banks;
    uint32_t m_extraWord;
    uint16_t m_settingF;
    uint16_t m_settingG;
};

class CProgramContainer {
public:
    enum { kHashBuckets = 512, kMaxFullName = 1024 };

    explicit CProgramContainer(CInterpretor* interpreter);
    ~CProgramContainer();

    // Reads the package of the program's own executable, from the offset
    // stored in it: kPackageMissing when there is none, kIoCannotOpen when
    // the executable cannot be opened, else the walk's status.
    uint32_t ReadProgramPackage();
    // The same on a named file from a given offset (the runner loads the
    // follow-on program this way).
    uint32_t ReadPackageFile(const char* fileName, int32_t offset);
    // Walks the package level of the chunks at `offset` of an open file.
    uint32_t WalkPackageChunks(FileHandle handle, int32_t offset);

    // Makes `program` current, or the first program when null (none: no
    // current program); returns the previous one.
    CBankSet* SelectProgram(CBankSet* program);
    CBankSet* GetCurrentProgram() const { return m_current; }
    const CPoolList& GetPrograms() const { return m_programs; }
    int32_t GetProgramCount() const { return m_programs.GetCount(); }
    // The program at a 0-based place in the list, or null.
    CBankSet* GetProgramAt(int32_t index) const;

    // Bank of that id in the current program, or null.
    CBank* FindBankById(uint32_t id);
    // An element by full name (it contains ":"), or by bare name in the
    // current program's bank of that id; compared without regard to case.
    // Null when not found.
    CElement* FindElement(const char* name, uint32_t bank);
    // Element at an index of the current program's bank of that id, or null.
    CElement* GetElement(int32_t index, uint32_t bank);
    void AddElement(CElement* element);
    void RemoveElement(CElement* element);

    // The stream of the package element of that name, else of the disk file
    // of that name; null when neither opens. The caller deletes the stream.
    CStream* OpenResource(const char* name, uint32_t bank, int flag);
    // A name containing ":" as it is; otherwise prefixed with the folder of
    // the package file (up to and including its last separator). The result
    // is cut to size - 1 characters.
    void MakeFullPath(char* buffer, int32_t size, const char* name);

    CInterpretor* GetInterpreter() const { return m_interpreter; }
    const char* GetPath() const { return m_path ? m_path : ""; }
    FileHandle GetHandle() const { return m_handle; }
    // Absolute offset of a follow-on package in the package file; 0 = none.
    uint32_t GetFollowOnOffset() const { return m_followOnOffset; }
    uint32_t GetVersion() const { return m_version; }
    CSharedPalette* GetPalette() const { return m_palette; }
    int GetPaletteFlag() const { return m_paletteFlag; }
    // The package file is deleted when the container is destroyed.
    void SetDeleteOnClose(int on) { m_deleteOnClose = on; }

    // The first part of the package the reader passed over because it could
    // not be read (a program record, a chunk's content, a bank), with its
    // status; null and 0 for a package read cleanly. The reader still goes on
    // as specified; the runner refuses to run a package read with damage.
    void NoteDamage(const char* part, uint32_t status);
    const char* GetDamagedPart() const { return m_damagedPart; }
    uint32_t GetDamageStatus() const { return m_damageStatus; }

    // Bucket of a full name: the sum of its bytes as signed 8-bit values with
    // bit 5 cleared, masked to 9 bits.
    static uint32_t HashName(const char* name);

private:
    CProgramContainer(const CProgramContainer&) = delete;
    CProgramContainer& operator=(const CProgramContainer&) = delete;
    uint32_t OpenPackage(const char* fileName, int32_t offset);

    CInterpretor* m_interpreter;
    char* m_name;
    char* m_path;
    FileHandle m_handle;
    int m_ownsHandle;
    int m_deleteOnClose;
    uint32_t m_followOnOffset;
    const char* m_damagedPart = nullptr;
    uint32_t m_damageStatus = 0;
    uint32_t m_version;
    CSharedPalette* m_palette;
    int m_paletteFlag;
    CPoolList m_programs;
    CBankSet* m_current;
    CPoolList m_hash[kHashBuckets];
};
