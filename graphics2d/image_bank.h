#pragma once
// The picture bank (bank type 1): CImageBank reads the bank's palette table
// and keeps a 4 × 4 reference surface whose pixel format every picture is
// loaded in; CImageElement loads one picture into a CSurface of its own.
//
// The bank's layout is runtime/package/picture_element.h's. Every count and
// size is checked against the bytes left in the file before anything is
// allocated for it.
#include "graphics2d/surface.h"
#include "runtime/package/bank.h"
#include "runtime/package/picture_element.h"

#include <cstdint>
#include <vector>

class CImageFormatManager;
class CSharedPalette;

class CImageBank : public CBank {
public:
    CImageBank();
    ~CImageBank() override;

    CElement* CreateElement() override;
    int IsLoadable(FileHandle handle) override;

    // Loads palette `index` of the table into the loaded palettes: 1, or 0
    // with the bank error word (kBankRefused for no table or an index not
    // below P, kIoGeneralFailure when the palette cannot be made).
    int LoadPalette(uint32_t index);
    // Makes the reference surface again in the pixel format of `depth`.
    // Pictures already loaded keep their depth: callers unload them first.
    int SetColorDepth(int32_t depth);
    // UnloadAll, then SetColorDepth: the next use loads in the new depth.
    int ChangeColorDepth(int32_t depth);
    // The palette given to every 8-bit picture while `use` is set.
    void SetBankPalette(CSharedPalette* palette, int use);
    // The decoders of embedded image files (the interpreter's when known).
    void SetImageFormats(CImageFormatManager* formats) { m_formats = formats; }

    const CSurface& GetReference() const { return m_reference; }
    uint32_t GetPaletteCount() const { return static_cast<uint32_t>(m_loaded.size()); }

private:
    friend class CImageElement;
    CImageFormatManager* Formats();
    // Where the data of an element at `position` ends at the latest: the
    // palette table when it lies behind, else the end of the file.
    int64_t DataEnd(int32_t position) const;
    // The palette of an index for an 8-bit picture, derived once per index.
    CSharedPalette* DerivedPalette(uint32_t index);

    CSurface m_reference;
    CSharedPalette* m_bankPalette = nullptr;
    int m_useBankPalette = 0;
    int32_t m_firstPalette = 0;  // file position of palette 0; 0 = no table
    std::vector<CSharedPalette*> m_loaded;
    std::vector<CSharedPalette*> m_derived;
    CImageFormatManager* m_formats = nullptr;
    CImageFormatManager* m_ownFormats = nullptr;
};

class CImageElement : public CElement {
public:
    CImageElement();
    ~CImageElement() override;
    int LoadData(FileHandle handle, int flag) override;
    void Unload() override;
    int IsLoaded() override;

    CSurface* GetSurface() const { return m_surface; }
    const uint8_t* GetMask() const { return m_mask; }
    int32_t GetHotSpotX() const { return m_hotSpotX; }
    int32_t GetHotSpotY() const { return m_hotSpotY; }

private:
    uint32_t Load(FileHandle handle);

    CSurface* m_surface = nullptr;
    uint8_t* m_mask = nullptr;
    int32_t m_hotSpotX = 0;
    int32_t m_hotSpotY = 0;
};

// Installs CImageBank as the picture bank of every bank read from now on.
void RegisterImageBank();
