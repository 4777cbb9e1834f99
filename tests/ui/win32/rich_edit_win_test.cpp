// The rich edit control against the real control and COM under the
// system: the OLE callback class's answers and reference counts, the
// library and class registration following the objects, the members'
// answers read back through the control's own messages, and files (plain
// text byte for byte, RTF, damaged input, a failed save keeping the file).
#include "runtime/interp/interpretor.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/io/io_status.h"
#include "runtime/package/bank.h"
#include "runtime/package/bank_writer.h"
#include "runtime/package/package_writer.h"
#include "tests/graphics2d/loaded_interpreter.h"
#include "ui/ci_rich_edit.h"
#include "ui/ci_rich_edit_members.h"
#include "ui/win32/rich_edit_com.h"

#include <windows.h>
#include <richedit.h>
#undef GetObject
#undef FindText

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// Files the tests read: the pandoc output of tests/ui/rtf/fixture.md.
const std::string kRtfDir = TW_UI_RTF_DIR;

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void WriteFile(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << text;
}
// A folder of this test's own under the system's temporary folder.
const std::string& ScratchFolder() {
    static const std::string folder = [] {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        std::string f = std::string(base) + "tw-rich-edit\\";
        CreateDirectoryA(f.c_str(), nullptr);
        return f;
    }();
    return folder;
}

// ---- the COM class on its own ----

class RichCom : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override {
        EXPECT_EQ(CRichCtrnClassFactory::LiveObjects(), 0);
        OleUninitialize();
    }
};

TEST_F(RichCom, FactoryAndObjectInterfaces) {
    auto* factory = new CRichCtrnClassFactory;
    factory->AddRef();
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->QueryInterface(IID_IUnknown, &p), S_OK);
    EXPECT_EQ(p, static_cast<IClassFactory*>(factory));
    static_cast<IUnknown*>(p)->Release();
    EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, &p), S_OK);
    static_cast<IUnknown*>(p)->Release();
    EXPECT_EQ(factory->QueryInterface(IID_IStorage, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);

    // Aggregated (any outer unknown; it is never called): only IUnknown.
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), kIidRichEditOleCallback, &p),
              E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IStorage, &p), E_NOINTERFACE);
    EXPECT_EQ(CRichCtrnClassFactory::LiveObjects(), 1);  // the failed object went

    IRichEditOleCallback* callback = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, kIidRichEditOleCallback, reinterpret_cast<void**>(&callback)), S_OK);
    ASSERT_NE(callback, nullptr);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(callback->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    void* again = nullptr;
    EXPECT_EQ(unknown->QueryInterface(kIidRichEditOleCallback, &again), S_OK);
    EXPECT_EQ(again, callback);
    EXPECT_EQ(unknown->QueryInterface(IID_IClassFactory, &p), E_NOINTERFACE);
    auto* impl = static_cast<CImpIRichEditOleCallback*>(callback);
    EXPECT_EQ(impl->m_refs, 2);      // its own count: the answer and "again"
    EXPECT_EQ(impl->m_owner->m_refs, 3);
    static_cast<IUnknown*>(again)->Release();
    unknown->Release();
    EXPECT_EQ(CRichCtrnClassFactory::LiveObjects(), 3);
    callback->Release();  // the last reference: object and callback go
    EXPECT_EQ(CRichCtrnClassFactory::LiveObjects(), 1);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
}

TEST_F(RichCom, CallbackOperations) {
    auto* factory = new CRichCtrnClassFactory;
    factory->AddRef();
    IRichEditOleCallback* cb = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, kIidRichEditOleCallback, reinterpret_cast<void**>(&cb)), S_OK);

    IStorage* storage = nullptr;
    ASSERT_EQ(cb->GetNewStorage(&storage), S_OK);
    ASSERT_NE(storage, nullptr);
    IStream* stream = nullptr;  // a working storage takes a stream
    EXPECT_EQ(storage->CreateStream(L"s", STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, 0, &stream), S_OK);
    if (stream != nullptr)
        stream->Release();
    storage->Release();

    EXPECT_EQ(cb->GetInPlaceContext(nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(cb->ShowContainerUI(TRUE), E_NOTIMPL);
    EXPECT_EQ(cb->QueryAcceptData(nullptr, nullptr, 0, FALSE, nullptr), E_NOTIMPL);
    EXPECT_EQ(cb->ContextSensitiveHelp(TRUE), E_NOTIMPL);
    EXPECT_EQ(cb->GetClipboardData(nullptr, 0, nullptr), E_NOTIMPL);
    EXPECT_EQ(cb->GetContextMenu(0, nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(cb->QueryInsertObject(nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(cb->DeleteObject(nullptr), S_OK);

    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    struct Case {
        BOOL drag;
        DWORD keys, allowed, answer;
    } cases[] = {
        {FALSE, 0, all, DROPEFFECT_MOVE},
        {FALSE, MK_CONTROL, all, DROPEFFECT_COPY},
        {FALSE, MK_CONTROL | MK_SHIFT, all, DROPEFFECT_LINK},
        {FALSE, MK_SHIFT, all, DROPEFFECT_MOVE},
        {FALSE, MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_MOVE},  // copy not allowed: unchanged
        {FALSE, MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY | DROPEFFECT_MOVE},
        {TRUE, MK_CONTROL, all, all},  // the drag source's question: unchanged
    };
    for (const Case& c : cases) {
        DWORD effect = c.allowed;
        EXPECT_EQ(cb->GetDragDropEffect(c.drag, c.keys, &effect), S_OK);
        EXPECT_EQ(effect, c.answer) << c.keys << " " << c.allowed;
    }
    cb->Release();
    factory->Release();
}

// ---- the control ----

class RichEditWin : public LoadedInterpreterTest {
protected:
    void SetUp() override {
        LoadedInterpreterTest::SetUp();
        ASSERT_EQ(RegisterMainWindowClass(), 1);
        ASSERT_NE(New(kClassWindow, {500, 400, "rich"}), nullptr);
    }
    void TearDown() override {
        m_interp.ClearEvents();
        LoadedInterpreterTest::TearDown();
    }
    CIRichEdit* NewRich(std::initializer_list<CallArg> args = {}) {
        auto* rich = dynamic_cast<CIRichEdit*>(New(kClassRichEdit, args));
        m_interp.RefreshAll();
        return rich;
    }
    static LRESULT SendTo(CIRichEdit* c, UINT m, WPARAM w = 0, LPARAM l = 0) {
        return SendMessageA(static_cast<HWND>(c->m_window), m, w, l);
    }
    // A plain, non-bold format for the whole text: the system's default
    // font of the control may be bold.
    void PlainFormat(CIRichEdit* rich) {
        Call(rich, kRichEditSetSelection);
        Call(rich, kRichEditSetCharBold, {0});
        Call(rich, kRichEditSetCharFaceName, {"Arial"});
        Call(rich, kRichEditSetSelection, {0, 0});
    }
    std::string Scratch(const char* name) { return ScratchFolder() + name; }
};

TEST_F(RichEditWin, WindowLibraryAndRegistrationFollowTheObjects) {
    ASSERT_EQ(CIRichEdit::LiveCount(), 0);
    CIRichEdit* rich = NewRich();
    ASSERT_NE(rich, nullptr);
    ASSERT_NE(rich->m_window, nullptr) << "COM gave no callback";
    EXPECT_NE(GetModuleHandleA("RICHED32.DLL"), nullptr);
    HWND hwnd = static_cast<HWND>(rich->m_window);
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_STYLE) & ES_MULTILINE);
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 200);
    EXPECT_NE(rich->m_richEditOle, nullptr);
    EXPECT_EQ(static_cast<DWORD>(SendTo(rich, EM_GETEVENTMASK)), 0xFFFFFFFFu);
    // The callback is COM's object of this program's class: the factory,
    // the object and its callback interface are alive, and the control
    // holds a reference besides the program's.
    EXPECT_EQ(CRichCtrnClassFactory::LiveObjects(), 3);
    EXPECT_NE(rich->m_ole.cookie, 0u);
    EXPECT_EQ(static_cast<CImpIRichEditOleCallback*>(rich->m_ole.callback)->m_refs, 2);
    DeleteScriptObject(&m_interp, rich);
    EXPECT_EQ(CIRichEdit::LiveCount(), 0);
    EXPECT_EQ(CRichCtrnClassFactory::LiveObjects(), 0) << "a reference was kept";
    EXPECT_EQ(GetModuleHandleA("RICHED32.DLL"), nullptr);
    // No class object stays registered.
    void* p = nullptr;
    EXPECT_TRUE(FAILED(CoCreateInstance(kClsidRichCtrn, nullptr, CLSCTX_ALL, kIidRichEditOleCallback, &p)));

    // Two at once: the library stays until the last goes.
    CIRichEdit* a = NewRich();
    CIRichEdit* b = NewRich({10, 220, 100, 100, 0xDEB00001u});  // TABSTOP
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(b->m_window, nullptr);
    // Tab stays in the control unless the control is a tab stop itself.
    EXPECT_EQ(a->WantsTabKey(), 1);
    EXPECT_EQ(b->WantsTabKey(), 0);
    DeleteScriptObject(&m_interp, a);
    EXPECT_NE(GetModuleHandleA("RICHED32.DLL"), nullptr);
    Call(b, kRichEditSetText, {"still here"});
    EXPECT_EQ(Text(Call(b, kRichEditGetTextRange)), "still here");
    DeleteScriptObject(&m_interp, b);
    EXPECT_EQ(CIRichEdit::LiveCount(), 0);
    EXPECT_EQ(GetModuleHandleA("RICHED32.DLL"), nullptr);
    // Every COM object is gone once the last OleUninitialize has run, also
    // where COM folds a second registration of the class into the first.
    EXPECT_EQ(CRichCtrnClassFactory::LiveObjects(), 0);
}

TEST_F(RichEditWin, SelectionSearchAndRanges) {
    CIRichEdit* rich = NewRich();
    ASSERT_NE(rich, nullptr);
    Call(rich, kRichEditSetText, {"abc ABC xyz abc\r\nline two"});
    // "SetSelection"() selects everything.
    Call(rich, kRichEditSetSelection);
    CHARRANGE cr = {};
    SendTo(rich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    EXPECT_EQ(cr.cpMin, 0);
    EXPECT_EQ(Int(rich, kRichEditGetEndSelection), cr.cpMax);
    EXPECT_GT(cr.cpMax, 20);
    EXPECT_EQ(Int(rich, kRichEditIsTextSelected), 1);
    Call(rich, kRichEditSetSelection, {4, 7});
    EXPECT_EQ(Text(Call(rich, kRichEditGetSelection)), "ABC");
    EXPECT_EQ(Int(rich, kRichEditGetStartSelection), 4);
    Call(rich, kRichEditSetSelection, {3, 3});
    EXPECT_EQ(Int(rich, kRichEditIsTextSelected), 0);

    const uint32_t kMatchCase = 0x80000004u, kWholeWord = 0x80000002u;
    EXPECT_EQ(Int(rich, kRichEditFindText, {"abc"}), 0);
    EXPECT_EQ(Int(rich, kRichEditFindText, {"abc", 1}), 4);  // case ignored
    EXPECT_EQ(Int(rich, kRichEditFindText, {"abc", 1, kMatchCase}), 12);
    EXPECT_EQ(Int(rich, kRichEditFindText, {"abc", kMatchCase, 1}), 12);
    EXPECT_EQ(Int(rich, kRichEditFindText, {"ab", kWholeWord}), -1);
    EXPECT_EQ(Int(rich, kRichEditFindText, {"missing"}), -1);

    struct Case {
        std::initializer_list<CallArg> args;
        const char* text;
    } ranges[] = {
        {{4, 7}, "ABC"},
        {{12, 12}, ""},
        {{7, 4}, ""},  // end before start: nothing
        {{17, 1000}, "line two"},  // the line break counts two characters
        {{17}, "line two"},
    };
    for (const Case& c : ranges)
        EXPECT_EQ(Text(Call(rich, kRichEditGetTextRange, c.args)), c.text);
    const std::string all = Text(Call(rich, kRichEditGetTextRange));
    EXPECT_EQ(all.substr(0, 15), "abc ABC xyz abc");
    EXPECT_EQ(all.substr(all.size() - 8), "line two");
    EXPECT_EQ(Int(rich, kRichEditGetLineCount), 2);
    EXPECT_EQ(Text(Call(rich, kRichEditGetLineContent, {1})), "line two");
    EXPECT_EQ(Int(rich, kRichEditGetLineIndexFromCharIndex, {18}), 1);
    EXPECT_EQ(Int(rich, kRichEditGetCharIndexFromLineIndex, {1}), 17);
}

TEST_F(RichEditWin, CharacterFormats) {
    CIRichEdit* rich = NewRich();
    ASSERT_NE(rich, nullptr);
    Call(rich, kRichEditSetText, {"formatted words"});
    PlainFormat(rich);
    Call(rich, kRichEditSetSelection, {0, 9});
    EXPECT_EQ(Int(rich, kRichEditIsCharBold), 0);
    struct Effect {
        int32_t set, is;
        DWORD bit;
    } effects[] = {{kRichEditSetCharBold, kRichEditIsCharBold, CFE_BOLD},
                   {kRichEditSetCharItalic, kRichEditIsCharItalic, CFE_ITALIC},
                   {kRichEditSetCharUnderline, kRichEditIsCharUnderline, CFE_UNDERLINE},
                   {kRichEditSetCharStrikeOut, kRichEditIsCharStrikeOut, CFE_STRIKEOUT}};
    for (const Effect& e : effects) {
        Call(rich, e.set);
        EXPECT_EQ(Int(rich, e.is), 1) << e.set;
        CHARFORMATA cf = {sizeof cf};
        SendTo(rich, EM_GETCHARFORMAT, 1, reinterpret_cast<LPARAM>(&cf));
        EXPECT_TRUE(cf.dwEffects & e.bit) << e.set;
        Call(rich, e.set, {0});
        EXPECT_EQ(Int(rich, e.is), 0) << e.set;
    }

    // Heights in twips from the screen's dots per inch.
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    Call(rich, kRichEditSetCharHeight, {12});
    CHARFORMATA cf = {sizeof cf};
    SendTo(rich, EM_GETCHARFORMAT, 1, reinterpret_cast<LPARAM>(&cf));
    EXPECT_EQ(cf.yHeight, 12 * (1440 / dpi));
    EXPECT_EQ(Int(rich, kRichEditGetCharHeight), 12);

    Call(rich, kRichEditSetCharFaceName, {"Courier New"});
    EXPECT_EQ(Text(Call(rich, kRichEditGetCharFaceName)), "Courier New");
    Call(rich, kRichEditSetCharFaceName, {""});  // nothing
    EXPECT_EQ(Text(Call(rich, kRichEditGetCharFaceName)), "Courier New");

    // Automatic colour answers the system's window-text colour.
    Call(rich, kRichEditSetSelection, {10, 15});
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    const int32_t expected = static_cast<int32_t>((GetRValue(text) << 16) | (GetGValue(text) << 8) | GetBValue(text));
    EXPECT_EQ(Int(rich, kRichEditGetCharColor), expected);
    Call(rich, kRichEditSetCharColor, {0x123456});
    EXPECT_EQ(Int(rich, kRichEditGetCharColor), 0x123456);
    SendTo(rich, EM_GETCHARFORMAT, 1, reinterpret_cast<LPARAM>(&cf));
    EXPECT_EQ(cf.crTextColor, RGB(0x12, 0x34, 0x56));

    // The background: a colour, then the system's again (the old colour is
    // the answer of EM_SETBKGNDCOLOR).
    Call(rich, kRichEditSetBackGround, {0x00FF80});
    EXPECT_EQ(SendTo(rich, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)), static_cast<LRESULT>(RGB(0, 0xFF, 0x80)));
    Call(rich, kRichEditSetBackGround);
    EXPECT_EQ(SendTo(rich, EM_SETBKGNDCOLOR, 1, 0), static_cast<LRESULT>(GetSysColor(COLOR_WINDOW)));
}

TEST_F(RichEditWin, PlainTextRoundTripsByteForByte) {
    CIRichEdit* rich = NewRich();
    ASSERT_NE(rich, nullptr);
    const std::string text = "first line\r\nsecond\tline\r\n\r\nlast line, no end";
    const std::string in = Scratch("rich-in.txt"), out = Scratch("rich-out.txt");
    WriteFile(in, text);
    EXPECT_EQ(Int(rich, kRichEditLoadText, {in.c_str()}), 1);
    EXPECT_EQ(Int(rich, kRichEditGetLineCount), 4);
    EXPECT_EQ(Int(rich, kRichEditSaveText, {out.c_str()}), 1);
    EXPECT_EQ(ReadFile(out), text);
    // Saving again replaces the file and leaves no temporary file beside it.
    Call(rich, kRichEditSetText, {"short"});
    EXPECT_EQ(Int(rich, kRichEditSaveText, {out.c_str()}), 1);
    EXPECT_EQ(ReadFile(out), "short");
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((ScratchFolder() + "rt*.tmp").c_str(), &found);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
}

TEST_F(RichEditWin, FileFailuresAnswerZero) {
    CIRichEdit* rich = NewRich();
    ASSERT_NE(rich, nullptr);
    Call(rich, kRichEditSetText, {"kept"});
    const std::string missing = Scratch("no-such-folder\\x.txt");
    const std::string folder = ScratchFolder();
    for (int32_t member : {kRichEditLoadText, kRichEditLoadRTF, kRichEditSaveText, kRichEditSaveRTF}) {
        EXPECT_EQ(Int(rich, member), 0) << member;                    // no name
        EXPECT_EQ(Int(rich, member, {missing.c_str()}), 0) << member;  // nothing opens
        EXPECT_EQ(Int(rich, member, {folder.c_str()}), 0) << member;   // a folder
    }
    EXPECT_EQ(Text(Call(rich, kRichEditGetText)), "kept");
    // A target that cannot be replaced (read-only) keeps its bytes.
    const std::string locked = Scratch("rich-locked.txt");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteFile(locked, "old bytes");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    const int32_t saved = Int(rich, kRichEditSaveText, {locked.c_str()});
    if (saved == 0)
        EXPECT_EQ(ReadFile(locked), "old bytes");
    else
        EXPECT_EQ(ReadFile(locked), "kept");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A stream-out that fails after some bytes (the control answered by a
// subclass): the save answers 0, the old file keeps its bytes and no
// temporary file stays beside it.
WNDPROC g_richProc = nullptr;
LRESULT CALLBACK FailingStreamOut(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != EM_STREAMOUT)
        return CallWindowProcA(g_richProc, hwnd, msg, wp, lp);
    auto* es = reinterpret_cast<EDITSTREAM*>(lp);
    char part[] = "partial";
    LONG written = 0;
    es->pfnCallback(es->dwCookie, reinterpret_cast<LPBYTE>(part), 7, &written);
    es->dwError = 1;
    return written;
}

TEST_F(RichEditWin, FailedSaveKeepsTheOldFile) {
    CIRichEdit* rich = NewRich();
    ASSERT_NE(rich, nullptr);
    Call(rich, kRichEditSetText, {"new text"});
    const std::string target = Scratch("rich-kept.txt");
    HWND hwnd = static_cast<HWND>(rich->m_window);
    g_richProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FailingStreamOut)));
    for (int32_t member : {kRichEditSaveText, kRichEditSaveRTF}) {
        WriteFile(target, "old bytes");
        EXPECT_EQ(Int(rich, member, {target.c_str()}), 0) << member;
        EXPECT_EQ(ReadFile(target), "old bytes") << member;
    }
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_richProc));
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((ScratchFolder() + "rt*.tmp").c_str(), &found);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    // The control itself saves there again.
    EXPECT_EQ(Int(rich, kRichEditSaveText, {target.c_str()}), 1);
    EXPECT_EQ(ReadFile(target), "new text");
}

TEST_F(RichEditWin, RtfFromDiskAndFromPackageElement) {
    const std::string rtf = ReadFile(kRtfDir + "/pandoc-sample.rtf");
    ASSERT_GT(rtf.size(), 100u);
    CBankWriter binary(kBankBinary, "Binary");
    ASSERT_EQ(binary.AddData("harbour.rtf", "", rtf.data(), static_cast<int32_t>(rtf.size()), true), 0u);
    CBufferStream bank;
    ASSERT_EQ(binary.Write(&bank, true), 0u);
    PackageDescription d;
    d.programs.emplace_back();
    d.programs.back().title = "Rich";
    d.programs.back().banks.emplace_back(bank.GetData(), bank.GetData() + bank.GetSize());
    std::vector<uint8_t> package;
    ASSERT_EQ(WritePackage(d, &package), 0u);
    const std::string path = Scratch("rich-package.bin");
    WriteFile(path, std::string(package.begin(), package.end()));
    m_interp.Unload();
    Start(path.c_str());
    ASSERT_NE(New(kClassWindow, {500, 400, "rich"}), nullptr);

    CIRichEdit* fromDisk = NewRich();
    ASSERT_NE(fromDisk, nullptr);
    EXPECT_EQ(Int(fromDisk, kRichEditLoadRTF, {(kRtfDir + "/pandoc-sample.rtf").c_str()}), 1);
    const std::string diskText = Text(Call(fromDisk, kRichEditGetTextRange));
    EXPECT_NE(diskText.find("Harbour notes"), std::string::npos);
    EXPECT_EQ(diskText.find("\\rtf"), std::string::npos);
    CIRichEdit* fromPackage = NewRich({10, 220, 200, 100});
    ASSERT_NE(fromPackage, nullptr);
    EXPECT_EQ(Int(fromPackage, kRichEditLoadRTF, {"harbour.rtf"}), 1);
    EXPECT_EQ(Text(Call(fromPackage, kRichEditGetTextRange)), diskText);
    // "three" is bold in the Markdown.
    const int32_t at = Int(fromPackage, kRichEditFindText, {"three"});
    ASSERT_GE(at, 0);
    Call(fromPackage, kRichEditSetSelection, {at, at + 5});
    EXPECT_EQ(Int(fromPackage, kRichEditIsCharBold), 1);
}

// A stream whose reads give some text, then a short read failure, or raise
// a script error: inside the control's EDITSTREAM callback.
class ScriptedStream : public CStream {
public:
    enum Mode { kFailAfterText, kFailAtOnce, kRaise };
    explicit ScriptedStream(Mode mode) : m_mode(mode) {}
    uint32_t ReadCounted(void* buffer, int32_t count, int32_t* bytesRead) override {
        *bytesRead = 0;
        if (m_mode == kRaise)
            throw CIError(61);
        if (m_mode == kFailAfterText && !m_gave) {
            m_gave = true;
            std::memcpy(buffer, "partial", 7);
            *bytesRead = count >= 7 ? 7 : 0;
            return kIoReadFailed;  // some bytes arrived: the transfer goes on
        }
        return kIoReadFailed;
    }
    uint32_t Read(void*, int32_t) override { return kIoReadFailed; }
    uint32_t ReadByte(uint8_t*) override { return kIoReadFailed; }
    int32_t Tell() override { return 0; }
    int32_t GetSize() override { return 0; }
    int32_t Seek(int32_t, int) override { return -1; }
    uint32_t AttachHandle(FileHandle) override { return kIoGeneralFailure; }
    FileHandle DetachHandle() override { return kNoFileHandle; }

private:
    Mode m_mode;
    bool m_gave = false;
};

TEST_F(RichEditWin, StreamReadFailuresAndErrorsStayInsideTheCallback) {
    CIRichEdit* rich = NewRich();
    ASSERT_NE(rich, nullptr);
    ScriptedStream failAtOnce(ScriptedStream::kFailAtOnce);
    EXPECT_EQ(OsRichEditStreamIn(&m_interp, rich->m_window, kSfText, &failAtOnce), 0);
    ScriptedStream failAfterText(ScriptedStream::kFailAfterText);
    EXPECT_EQ(OsRichEditStreamIn(&m_interp, rich->m_window, kSfText, &failAfterText), 0);
    m_interp.m_pendingError = -1;
    ScriptedStream raise(ScriptedStream::kRaise);
    EXPECT_EQ(OsRichEditStreamIn(&m_interp, rich->m_window, kSfText, &raise), 0);
    EXPECT_EQ(m_interp.m_pendingError, 61);  // kept for the operation loop
    m_interp.m_pendingError = -1;
}

// Damaged input: random bytes and pandoc RTF cut short load or answer 0,
// never crash or hang; the time of a 1 MB load is printed.
TEST_F(RichEditWin, DamagedRtfLoadsOrAnswersZero) {
    CIRichEdit* rich = NewRich();
    ASSERT_NE(rich, nullptr);
    const std::string rtf = ReadFile(kRtfDir + "/pandoc-sample.rtf");
    std::mt19937 random(24);
    std::string noise(1 << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() & 0xFF);
    std::string rtfNoise = "{\\rtf1\\ansi " + noise.substr(0, 4096);
    std::vector<std::string> inputs = {noise, rtfNoise, std::string()};
    for (std::size_t cut : {std::size_t(1), std::size_t(6), rtf.size() / 3, rtf.size() / 2, rtf.size() - 2})
        inputs.push_back(rtf.substr(0, cut));
    const std::string name = Scratch("rich-damaged.rtf");
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        WriteFile(name, inputs[i]);
        const int32_t answer = Int(rich, kRichEditLoadRTF, {name.c_str()});
        EXPECT_TRUE(answer == 0 || answer == 1) << i;
        if (i >= 3 && inputs[i].size() > 200)  // a cut pandoc file keeps its start
            EXPECT_NE(Text(Call(rich, kRichEditGetTextRange)).find("Harbour"), std::string::npos) << i;
    }

    // 1 MB of well-formed RTF: paragraphs with bold and italic runs.
    std::string big = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n";
    for (int i = 0; big.size() < (1u << 20); ++i)
        big += "{\\pard Paragraph " + std::to_string(i) + " with {\\b bold} and {\\i italic} words.\\par}\n";
    big += "}";
    WriteFile(name, big);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Int(rich, kRichEditLoadRTF, {name.c_str()}), 1);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("rich edit: LoadRTF of %zu bytes took %.1f ms\n", big.size(), ms);
    EXPECT_GT(Int(rich, kRichEditGetLineCount), 10000);
}

}  // namespace

namespace {

// The half of the RTF conformance check that runs under the system
// (tests/ui/rtf_conformance.py runs the other half with pandoc and unrtf):
// TW_RTF_WORK names a folder holding pandoc's "harbour.rtf"; this writes
// what the control read ("loaded.txt"), the control's RTF of it
// ("saved.rtf") and an RTF with one bold word ("bold.rtf").
TEST_F(RichEditWin, RtfConformanceFiles) {
    const char* work = std::getenv("TW_RTF_WORK");
    if (work == nullptr)
        GTEST_SKIP() << "run by tests/ui/rtf_conformance.py";
    const std::string dir = std::string(work) + "\\";
    CIRichEdit* rich = NewRich();
    ASSERT_NE(rich, nullptr);
    ASSERT_EQ(Int(rich, kRichEditLoadRTF, {(dir + "harbour.rtf").c_str()}), 1);
    const std::string loaded = Text(Call(rich, kRichEditGetTextRange));
    ASSERT_FALSE(loaded.empty());
    WriteFile(dir + "loaded.txt", loaded);
    ASSERT_EQ(Int(rich, kRichEditSaveRTF, {(dir + "saved.rtf").c_str()}), 1);

    Call(rich, kRichEditSetText, {"plain words then bold and plain again"});
    PlainFormat(rich);
    const int32_t at = Int(rich, kRichEditFindText, {"bold"});
    ASSERT_EQ(at, 17);
    Call(rich, kRichEditSetSelection, {at, at + 4});
    Call(rich, kRichEditSetCharBold);
    EXPECT_EQ(Int(rich, kRichEditIsCharBold), 1);
    Call(rich, kRichEditSetSelection, {0, 5});
    EXPECT_EQ(Int(rich, kRichEditIsCharBold), 0);
    ASSERT_EQ(Int(rich, kRichEditSaveRTF, {(dir + "bold.rtf").c_str()}), 1);
}

}  // namespace
