#pragma once
// Resource banks: named, numbered tables of elements stored in bank files
// (inside the package or as separate files). Reading a bank reads only each
// element's header; an element's data stays in the file until it is loaded,
// is kept while locked, and can be opened as a byte stream without loading.
//
// Bank file, little-endian, from the bank start:
//   u32 type, u16 name length, name bytes (at most 259),
//   u32 bank version (see ReadBank), kind-specific header (picture banks: u32),
//   u32 element count N, N x u32 element header offsets from the bank start
//   (0 = empty slot), then the element headers and data.
// Element header: u16 length + name, u16 length + group (0 = no group);
// animation elements of bank version 0x16740002 and later add u16 hot-spot x,
// u16 hot-spot y. Data of binary-style elements: u32 size, u32 compressed size
// (0 = stored), then the stored bytes or the zlib stream. Sizes are checked
// against the file before anything is allocated; a compressed element may
// inflate to at most 128 MB.
#include "runtime/io/os_file.h"
#include "runtime/io/stream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CBank;
class CElement;

enum : uint32_t {
    kBankRefused = 10000,           // the bank cannot be read by its class
    kBankBadElementHeader = 10004,  // an element header could not be read
};

enum : uint32_t {
    kBankVersion1 = 0x16740001,
    kBankVersion2 = 0x16740002,  // animation elements carry a hot spot
    // Programs of this package version and later store the bank version field.
    kPackageVersionWithBankVersion = 0x44550002,
};

// Bank types seen in packages.
enum : uint32_t {
    kBankSources = 0, kBankPictures = 1, kBankAnimations = 2, kBankSounds = 3, kBankMusic = 4,
    kBankStrings = 5, kBank3D = 6, kBankBinary = 7,
};

// Status of the last failure of the bank layer; operations that return an
// element, a stream or 1/0 leave their reason here.
uint32_t GetBankError();
void SetBankError(uint32_t status);

// What a bank needs of the program it belongs to.
class CBankOwner {
public:
    virtual ~CBankOwner() {}
    virtual const char* GetTitle() = 0;
    // The file the program's chunks come from, and its open handle (-1: none).
    virtual const char* GetFilePath() = 0;
    virtual FileHandle GetFileHandle() = 0;
    // The program's version word (from the package).
    virtual uint32_t GetVersion() = 0;
    // Element index by full name: banks enter their elements when they create
    // them and take them out before destroying them.
    virtual void AddElement(CElement* element) = 0;
    virtual void RemoveElement(CElement* element) = 0;
};

class CElement {
public:
    CElement();
    virtual ~CElement();
    // Loads the element's data; the file pointer is at its data position.
    virtual int LoadData(FileHandle handle, int flag);
    // Reads the header; the file pointer is at the element's header.
    virtual int LoadHeader(FileHandle handle);
    virtual void Unload();
    virtual int IsLoaded();
    // A new stream over the element's data (the caller deletes it), or null
    // with the bank error word set.
    virtual CStream* OpenStream(int flag);

    // "<title>://<bank>/[<group>/]<name>": returns its length; stores an empty
    // string when buffer cannot hold it and its terminating zero.
    int32_t GetFullPath(char* buffer, int32_t size);

    CBank* GetBank() const { return m_bank; }
    int32_t GetIndex() const { return m_index; }
    const char* GetName() const { return m_name ? m_name : ""; }
    const char* GetGroup() const { return m_group ? m_group : ""; }
    int32_t GetLockCount() const { return m_lockCount; }

protected:
    friend class CBank;
    CBank* m_bank;
    int32_t m_index;
    char* m_name;
    char* m_group;
    int32_t m_lockCount;
};

// Element whose data is a block of bytes (sources, sounds, music, 3D data,
// binary data). Streams over loaded data share the data block, so they stay
// valid when the element is unloaded or the bank destroyed.
class CBinaryElement : public CElement {
public:
    CBinaryElement();
    ~CBinaryElement() override;
    int LoadData(FileHandle handle, int flag) override;
    void Unload() override;
    int IsLoaded() override;
    // Loaded data: a memory stream. Stored data: a file stream over exactly the
    // element's bytes, sharing the bank's handle (flag 0) or with a handle of
    // its own (flag not 0). Compressed data is loaded first.
    CStream* OpenStream(int flag) override;

    const uint8_t* GetData() const { return m_data.get(); }
    int32_t GetSize() const { return m_size; }

protected:
    uint32_t LoadFrom(FileHandle handle);
    std::shared_ptr<uint8_t> m_data;  // m_size bytes and one zero byte
    int32_t m_size;
    int m_streamsZero;  // loaded streams include the zero byte
};

class CAnimElement : public CBinaryElement {
public:
    CAnimElement();
    int LoadHeader(FileHandle handle) override;
    uint16_t GetHotSpotX() const { return m_hotSpotX; }
    uint16_t GetHotSpotY() const { return m_hotSpotY; }

private:
    uint16_t m_hotSpotX;
    uint16_t m_hotSpotY;
};

// Text element: streams over its loaded data end with one zero byte.
class CStringElement : public CBinaryElement {
public:
    CStringElement();
};

class CBank {
public:
    CBank();
    virtual ~CBank();
    // 1 when the element is loaded (or has nothing to load), else 0 with the
    // bank error word set.
    virtual int LoadElement(int32_t index, int flag);
    // Unloads the element unless it is locked.
    virtual void UnloadElement(int32_t index);
    virtual CElement* CreateElement();
    // Reads the kind-specific header; 0 refuses the bank.
    virtual int IsLoadable(FileHandle handle);

    // Fills the bank from the open file positioned after the bank version.
    // Counts and offsets are checked against the file before anything is
    // allocated. Returns a status word.
    uint32_t Load(CBankOwner* program, uint32_t type, const char* name, uint32_t version,
                  const char* fileName, FileHandle handle, int ownsHandle, int32_t bankStart);

    // "<title>://<bank>": returns its length; an empty string when it does not fit.
    int32_t GetFullPath(char* buffer, int32_t size);
    int LockElement(int32_t index);
    void UnlockElement(int32_t index);
    void UnloadAll();

    CBankOwner* GetProgram() const { return m_program; }
    uint32_t GetId() const { return m_id; }
    const char* GetName() const { return m_name.c_str(); }
    FileHandle GetHandle() const { return m_handle; }
    const char* GetPath() const { return m_path.c_str(); }
    uint32_t GetVersion() const { return m_version; }
    int32_t GetCount() const { return static_cast<int32_t>(m_elements.size()); }
    // Element at an index, or null (empty slot or out of range).
    CElement* GetElement(int32_t index) const;
    // Absolute file offset of the element's data, or 0.
    int32_t GetDataPosition(int32_t index) const;

private:
    CBank(const CBank&) = delete;
    CBank& operator=(const CBank&) = delete;
    void DestroyElements();

    CBankOwner* m_program;
    uint32_t m_id;
    std::string m_name;
    int m_ownsHandle;
    FileHandle m_handle;
    std::string m_path;
    uint32_t m_version;
    std::vector<int32_t> m_positions;
    std::vector<CElement*> m_elements;
};

class CBinaryBank : public CBank {
public:
    CElement* CreateElement() override;
};

class CAnimBank : public CBank {
public:
    CElement* CreateElement() override;
};

class CStringBank : public CBank {
public:
    CElement* CreateElement() override;
};

// The bank object for a type: pictures through the factory set below,
// animations, strings, and binary banks for every other type. Without a
// picture factory, picture banks read their element names only.
CBank* CreateBankOfType(uint32_t type);
void SetPictureBankFactory(CBank* (*factory)());

// Reads a bank file: from the named file (opened and owned by the bank), or,
// without a name, from the program's file at its handle's current position
// (not owned). The bank version field is present when there is no program or
// its version word is at least 0x44550002; otherwise 0x16740001 is assumed.
// Returns the new bank, or null with the bank error word set.
CBank* ReadBank(CBankOwner* program, const char* fileName);
