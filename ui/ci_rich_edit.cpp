#include "ui/ci_rich_edit.h"

#include "runtime/base/sys_utils.h"
#include "runtime/io/file_stream.h"
#include "runtime/io/io_status.h"
#include "runtime/package/bank.h"
#include "runtime/package/program_container.h"
#include "ui/ci_edit.h"
#include "ui/ci_rich_edit_members.h"
#include "ui/os_controls.h"
#include "ui/os_range_controls.h"
#include "ui/os_window.h"
#include "ui/rich_edit_rules.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kRichEditStyle = 0x44800000;
// "DISABLENOSCROLL" ... "PASSWORD".
const uint32_t kRichEditConstants[] = {0x2000, 0x4000, 0x0100, 0x0001, 0x0000, 0x0002,
                                       0x0080, 0x0040, 0x0800, 0x0020, 0xFFFFFFFFu};

int32_t g_liveCount = 0;
void* g_library = nullptr;

intptr_t RichEditHook(int32_t* handled, void* w, uint32_t m, uintptr_t wp, intptr_t lp) {
    return TextFieldHook(kClassRichEdit, handled, w, m, wp, lp);
}

bool Given(CInterpretor* in, int32_t i) { return i < GetArgCount(in) && !IsArgDefault(in, i); }
int32_t IntArg(CInterpretor* in, int32_t i, int32_t fallback) { return Given(in, i) ? GetArgInt(in, i) : fallback; }

template <class T>
intptr_t AddressOf(T* p) { return reinterpret_cast<intptr_t>(p); }

}  // namespace

CIRichEdit::CIRichEdit(CInterpretor* interpretor)
    : CINotifyControl(interpretor, kClassRichEdit, "RICHEDIT", &RichEditHook) {
    OsStartRichEditOle(&m_ole);
    ++g_liveCount;
    if (g_library == nullptr)
        g_library = OsLoadRichEditLibrary();
    SetDefaultRect(10, 10, 200, 200, kRichEditStyle, 0);
    AddConstantTable(kRichEditConstants, kWindowTableId);
}

CIRichEdit::~CIRichEdit() {
    // Destroy has normally done this; an object deleted without it still
    // gives back its share of the library and its COM registration.
    DropLibrary();
    OsReleaseRichEditCallback(&m_ole);
    OsStopRichEditOle(&m_ole);
}

void CIRichEdit::DropLibrary() {
    if (!m_holdsLibrary)
        return;
    m_holdsLibrary = false;
    if (--g_liveCount == 0 && g_library != nullptr) {
        OsFreeRichEditLibrary(g_library);
        g_library = nullptr;
    }
}

int32_t CIRichEdit::LiveCount() { return g_liveCount; }
void* CIRichEdit::LibraryHandle() { return g_library; }

uint32_t CIRichEdit::AssignInstanceNumber() {
    if (m_ole.callback == nullptr) {
        // No callback: the object lives without a window.
        CIChildWindow::AssignInstanceNumber();
        return 0;
    }
    m_style |= kEsMultiline;
    if (CreateControlWindow("RICHEDIT", nullptr, nullptr, 3) == nullptr)
        return 0;
    if (m_parent != nullptr)
        m_parent->AddMessageHook(&RichEditHook);
    m_richEditOle = OsAttachRichEditOle(m_window, m_ole.callback);
    return CIChildWindow::AssignInstanceNumber();
}

void CIRichEdit::Destroy(int32_t releaseAll) {
    OsReleaseRichEditCallback(&m_ole);
    if (!releaseAll && m_parent != nullptr)
        m_parent->RemoveMessageHook(&RichEditHook);
    CIChildWindow::Destroy(releaseAll);
    m_richEditOle = nullptr;
    DropLibrary();
    OsStopRichEditOle(&m_ole);
    delete this;
}

bool CIRichEdit::Notify(int32_t code) {
    bool known = false;
    PostTextFieldEvent(this, m_events, code, &known);
    return known;
}

void CIRichEdit::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIRichEdit> kHandlers[] = {
        {kRichEditOnTextChanged, &CIRichEdit::StoreEvent},
        {kRichEditOnSetFocus, &CIRichEdit::StoreEvent},
        {kRichEditOnKillFocus, &CIRichEdit::StoreEvent},
        {kRichEditOnMaxTextReached, &CIRichEdit::StoreEvent},
        {kRichEditOnHorizontalScroll, &CIRichEdit::StoreEvent},
        {kRichEditOnVerticalScroll, &CIRichEdit::StoreEvent},
        {kRichEditCanUndo, &CIRichEdit::Shared},
        {kRichEditClearUndoBuffer, &CIRichEdit::SendPlain},
        {kRichEditGetFirstVisibleLine, &CIRichEdit::Shared},
        {kRichEditGetMaxSize, &CIRichEdit::GetMaxSize},
        {kRichEditGetStartSelection, &CIRichEdit::GetSelectionBound},
        {kRichEditGetEndSelection, &CIRichEdit::GetSelectionBound},
        {kRichEditGetLineCount, &CIRichEdit::Shared},
        {kRichEditIsModified, &CIRichEdit::IsModified},
        {kRichEditSetSelection, &CIRichEdit::SetSelection},
        {kRichEditSetTabStops, &CIRichEdit::Shared},
        {kRichEditGetLineContent, &CIRichEdit::Shared},
        {kRichEditCopy, &CIRichEdit::SendPlain},
        {kRichEditCut, &CIRichEdit::SendPlain},
        {kRichEditPaste, &CIRichEdit::SendPlain},
        {kRichEditDeleteSelection, &CIRichEdit::SendPlain},
        {kRichEditSetModified, &CIRichEdit::SetModified},
        {kRichEditSetReadOnly, &CIRichEdit::Shared},
        {kRichEditSetLeftMargin, &CIRichEdit::SetMargin},
        {kRichEditSetRightMargin, &CIRichEdit::SetMargin},
        {kRichEditScrollDownOneLine, &CIRichEdit::ScrollBy},
        {kRichEditScrollUpOneLine, &CIRichEdit::ScrollBy},
        {kRichEditScrollDownOnePage, &CIRichEdit::ScrollBy},
        {kRichEditScrollUpOnePage, &CIRichEdit::ScrollBy},
        {kRichEditGetLineLength, &CIRichEdit::Shared},
        {kRichEditScroll, &CIRichEdit::Shared},
        {kRichEditSetMaxSize, &CIRichEdit::SetMaxSize},
        {kRichEditGetSelection, &CIRichEdit::Shared},
        {kRichEditCanPaste, &CIRichEdit::CanPaste},
        {kRichEditUndo, &CIRichEdit::SendPlain},
        {kRichEditReplaceSelection, &CIRichEdit::Shared},
        {kRichEditFindText, &CIRichEdit::FindText},
        {kRichEditLoadText, &CIRichEdit::StreamFile},
        {kRichEditSaveText, &CIRichEdit::StreamFile},
        {kRichEditLoadRTF, &CIRichEdit::StreamFile},
        {kRichEditSaveRTF, &CIRichEdit::StreamFile},
        {kRichEditGetTextRange, &CIRichEdit::GetTextRange},
        {kRichEditHideSelection, &CIRichEdit::SendPlain},
        {kRichEditShowSelection, &CIRichEdit::SendPlain},
        {kRichEditIsTextSelected, &CIRichEdit::IsTextSelected},
        {kRichEditSetBackGround, &CIRichEdit::SetBackGround},
        {kRichEditSetCharFaceName, &CIRichEdit::SetCharFaceName},
        {kRichEditSetCharBold, &CIRichEdit::SetCharEffect},
        {kRichEditSetCharColor, &CIRichEdit::SetCharColor},
        {kRichEditSetCharItalic, &CIRichEdit::SetCharEffect},
        {kRichEditSetCharUnderline, &CIRichEdit::SetCharEffect},
        {kRichEditSetCharStrikeOut, &CIRichEdit::SetCharEffect},
        {kRichEditSetCharHeight, &CIRichEdit::SetCharHeight},
        {kRichEditGetCharFaceName, &CIRichEdit::GetCharFaceName},
        {kRichEditIsCharBold, &CIRichEdit::IsCharEffect},
        {kRichEditGetCharColor, &CIRichEdit::GetCharColor},
        {kRichEditIsCharItalic, &CIRichEdit::IsCharEffect},
        {kRichEditIsCharUnderline, &CIRichEdit::IsCharEffect},
        {kRichEditIsCharStrikeOut, &CIRichEdit::IsCharEffect},
        {kRichEditGetCharHeight, &CIRichEdit::GetCharHeight},
        {kRichEditGetLineIndexFromCharIndex, &CIRichEdit::GetLineIndexFromCharIndex},
        {kRichEditGetCharIndexFromLineIndex, &CIRichEdit::Shared},
        {kRichEditGetInt, &CIRichEdit::Shared},
        {kRichEditGetFloat, &CIRichEdit::Shared},
    };
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else
        DispatchMember(this, kHandlers, memberId);
}

int32_t CIRichEdit::StoreEvent() {
    const int32_t slot = GetCurrentMemberId(m_interpretor) - kRichEditOnTextChanged;
    m_events[slot] = ReadAssignedFunction(m_interpretor);
    return 0;
}

// Members that are one message without arguments.
int32_t CIRichEdit::SendPlain() {
    switch (GetCurrentMemberId(m_interpretor)) {
    case kRichEditCopy: OsSendMessage(m_window, kWmCopy, 0, 0); break;
    case kRichEditCut: OsSendMessage(m_window, kWmCut, 0, 0); break;
    case kRichEditPaste: OsSendMessage(m_window, kWmPaste, 0, 0); break;
    case kRichEditUndo: OsSendMessage(m_window, kEmUndo, 0, 0); break;
    case kRichEditDeleteSelection: OsSendMessage(m_window, kEmReplaceSel, 1, AddressOf("")); break;
    case kRichEditHideSelection: OsSendMessage(m_window, kEmHideSelection, 1, 0); break;
    case kRichEditShowSelection: OsSendMessage(m_window, kEmHideSelection, 0, 0); break;
    default: OsSendMessage(m_window, kEmEmptyUndoBuffer, 0, 0); break;
    }
    return 0;
}

int32_t CIRichEdit::GetMaxSize() { return Answer(static_cast<int32_t>(OsSendMessage(m_window, kEmGetLimitText, 0, 0))); }

int32_t CIRichEdit::GetSelectionBound() {
    RichCharRange range{0, 0};
    OsSendMessage(m_window, kEmExGetSel, 0, AddressOf(&range));
    return Answer(GetCurrentMemberId(m_interpretor) == kRichEditGetStartSelection ? range.min : range.max);
}

int32_t CIRichEdit::IsModified() { return Answer(OsSendMessage(m_window, kEmGetModify, 0, 0) != 0 ? 1 : 0); }

int32_t CIRichEdit::SetSelection() {
    RichCharRange range{IntArg(m_interpretor, 0, 0), IntArg(m_interpretor, 1, -1)};
    OsSendMessage(m_window, kEmExSetSel, 0, AddressOf(&range));
    return 0;
}

int32_t CIRichEdit::SetModified() {
    OsSendMessage(m_window, kEmSetModify, static_cast<uintptr_t>(IntArg(m_interpretor, 0, 1)), 0);
    return 0;
}

int32_t CIRichEdit::SetMargin() {
    const uint32_t pixels = static_cast<uint32_t>(IntArg(m_interpretor, 0, 0));
    if (GetCurrentMemberId(m_interpretor) == kRichEditSetLeftMargin)
        OsSendMessage(m_window, kEmSetMargins, kEcLeftMargin, static_cast<intptr_t>(pixels & 0xFFFF));
    else
        OsSendMessage(m_window, kEmSetMargins, kEcRightMargin, static_cast<intptr_t>((pixels << 16) & 0xFFFFFFFFu));
    return 0;
}

int32_t CIRichEdit::ScrollBy() {
    static const int32_t kCodes[] = {kSbLineDown, kSbLineUp, kSbPageDown, kSbPageUp};
    const int32_t code = kCodes[GetCurrentMemberId(m_interpretor) - kRichEditScrollDownOneLine];
    OsSendMessage(m_window, kEmScroll, static_cast<uintptr_t>(code), 0);
    return 0;
}

int32_t CIRichEdit::SetMaxSize() {
    OsSendMessage(m_window, kEmExLimitText, 0, IntArg(m_interpretor, 0, 0x7FFFFFFF));
    return 0;
}

int32_t CIRichEdit::CanPaste() { return Answer(OsSendMessage(m_window, kEmCanPaste, 0, 0) != 0 ? 1 : 0); }

int32_t CIRichEdit::FindText() {
    CInterpretor* in = m_interpretor;
    if (!Given(in, 0))
        return Answer(-1);
    std::vector<int32_t> values;
    for (int32_t i = 1; i < GetArgCount(in); ++i)
        if (!IsArgDefault(in, i))
            values.push_back(GetArgInt(in, i));
    const rich_edit::FindOptions options =
        rich_edit::SplitFindOptions(values.data(), static_cast<int32_t>(values.size()));
    RichFindText find{{options.start, -1}, GetArgString(in, 0)};
    return Answer(static_cast<int32_t>(OsSendMessage(m_window, kEmFindText, options.flags, AddressOf(&find))));
}

int32_t CIRichEdit::StreamFile() {
    CInterpretor* in = m_interpretor;
    const int32_t member = GetCurrentMemberId(in);
    const uint32_t format = member == kRichEditLoadText || member == kRichEditSaveText ? kSfText : kSfRtf;
    if (!Given(in, 0) || m_window == nullptr)
        return Answer(0);
    const char* name = GetArgString(in, 0);
    if (member == kRichEditSaveText || member == kRichEditSaveRTF)
        return Answer(OsRichEditStreamOut(in, m_window, format, name));
    CProgramContainer* package = PackageOf(in);
    std::unique_ptr<CStream> stream;
    if (package != nullptr)
        stream.reset(package->OpenResource(name, kBankBinary, 0));
    else if (auto file = std::unique_ptr<CFileStream>(new (std::nothrow) CFileStream); file && file->Open(name) == kIoOk)
        stream = std::move(file);
    if (!stream)
        return Answer(0);
    return Answer(OsRichEditStreamIn(in, m_window, format, stream.get()));
}

int32_t CIRichEdit::GetTextRange() {
    CInterpretor* in = m_interpretor;
    const int32_t start = IntArg(in, 0, 0);
    const int32_t length = static_cast<int32_t>(OsSendMessage(m_window, kWmGetTextLength, 0, 0));
    int32_t end = 0, size = 0;
    char* buffer = nullptr;
    if (!rich_edit::TextRangeBounds(start, IntArg(in, 1, -1), length, &end, &size) ||
        !CallocRetry(static_cast<std::size_t>(size), reinterpret_cast<void**>(&buffer))) {
        Result(in)->SetString("", 0);
        return 0;
    }
    RichTextRange range{{start, end}, buffer};
    OsSendMessage(m_window, kEmGetTextRange, 0, AddressOf(&range));
    buffer[size - 1] = 0;
    Result(in)->SetString(buffer, 0);
    FreeAndNull(reinterpret_cast<void**>(&buffer));
    return 0;
}

int32_t CIRichEdit::IsTextSelected() {
    const intptr_t type = OsSendMessage(m_window, kEmSelectionType, 0, 0);
    return Answer(type == kSelText || type == (kSelText | kSelMultiChar) ? 1 : 0);
}

int32_t CIRichEdit::SetBackGround() {
    if (Given(m_interpretor, 0))
        OsSendMessage(m_window, kEmSetBkgndColor, 0,
                      static_cast<intptr_t>(rich_edit::SwapRedBlue(static_cast<uint32_t>(GetArgInt(m_interpretor, 0)))));
    else
        OsSendMessage(m_window, kEmSetBkgndColor, 1, 0);
    return 0;
}

RichCharFormat CIRichEdit::SelectionFormat() {
    RichCharFormat format;
    OsSendMessage(m_window, kEmGetCharFormat, 1, AddressOf(&format));
    return format;
}

void CIRichEdit::SetSelectionFormat(RichCharFormat* format) {
    OsSendMessage(m_window, kEmSetCharFormat, kScfSelection, AddressOf(format));
}

int32_t CIRichEdit::SetCharFaceName() {
    CInterpretor* in = m_interpretor;
    const char* name = Given(in, 0) ? GetArgString(in, 0) : nullptr;
    if (name == nullptr || name[0] == 0)
        return 0;
    RichCharFormat format;
    format.mask = kCfmFace;
    std::strncpy(format.faceName, name, sizeof format.faceName - 1);
    SetSelectionFormat(&format);
    return 0;
}

// The effect bit of "SetCharBold" ... "SetCharStrikeOut" and "IsCharBold" ...
// "IsCharStrikeOut": CFM_ and CFE_ share their values.
static uint32_t EffectOf(int32_t member) {
    switch (member) {
    case kRichEditSetCharBold: case kRichEditIsCharBold: return kCfmBold;
    case kRichEditSetCharItalic: case kRichEditIsCharItalic: return kCfmItalic;
    case kRichEditSetCharUnderline: case kRichEditIsCharUnderline: return kCfmUnderline;
    default: return kCfmStrikeOut;
    }
}

int32_t CIRichEdit::SetCharEffect() {
    const uint32_t effect = EffectOf(GetCurrentMemberId(m_interpretor));
    RichCharFormat format;
    format.mask = effect;
    format.effects = IntArg(m_interpretor, 0, 1) != 0 ? effect : 0;
    SetSelectionFormat(&format);
    return 0;
}

int32_t CIRichEdit::SetCharColor() {
    RichCharFormat format;
    format.mask = kCfmColor;
    format.colour = rich_edit::SwapRedBlue(static_cast<uint32_t>(IntArg(m_interpretor, 0, 0)));
    SetSelectionFormat(&format);
    return 0;
}

int32_t CIRichEdit::SetCharHeight() {
    RichCharFormat format;
    format.mask = kCfmSize;
    format.height = rich_edit::PixelsToTwips(IntArg(m_interpretor, 0, 16), OsGetScreenDpiY());
    SetSelectionFormat(&format);
    return 0;
}

int32_t CIRichEdit::GetCharFaceName() {
    RichCharFormat format = SelectionFormat();
    format.faceName[sizeof format.faceName - 1] = 0;
    Result(m_interpretor)->SetString(format.faceName, 0);
    return 0;
}

int32_t CIRichEdit::IsCharEffect() {
    return Answer((SelectionFormat().effects & EffectOf(GetCurrentMemberId(m_interpretor))) != 0 ? 1 : 0);
}

int32_t CIRichEdit::GetCharColor() {
    if (m_window == nullptr)
        return Answer(0);
    const RichCharFormat format = SelectionFormat();
    const uint32_t colour = (format.effects & kCfeAutoColor) ? OsGetSysColor(kColorWindowText) : format.colour;
    return Answer(static_cast<int32_t>(rich_edit::SwapRedBlue(colour)));
}

int32_t CIRichEdit::GetCharHeight() {
    return Answer(rich_edit::TwipsToPixels(SelectionFormat().height, OsGetScreenDpiY()));
}

int32_t CIRichEdit::GetLineIndexFromCharIndex() {
    return Answer(static_cast<int32_t>(
        OsSendMessage(m_window, kEmExLineFromChar, 0, IntArg(m_interpretor, 0, 0))));
}

int32_t CIRichEdit::Shared() {
    CInterpretor* in = m_interpretor;
    switch (GetCurrentMemberId(in)) {
    case kRichEditCanUndo: return text_field::CanUndo(in, m_window);
    case kRichEditGetFirstVisibleLine: return text_field::GetFirstVisibleLine(in, m_window);
    case kRichEditGetLineCount: return text_field::GetLineCount(in, m_window);
    case kRichEditSetTabStops: return text_field::SetTabStops(in, m_window);
    case kRichEditGetLineContent: return text_field::GetLineContent(in, m_window);
    case kRichEditSetReadOnly: return text_field::SetReadOnly(in, m_window);
    case kRichEditGetLineLength: return text_field::GetLineLength(in, m_window);
    case kRichEditScroll: return text_field::Scroll(in, m_window);
    case kRichEditGetSelection: return text_field::GetSelectedText(in, m_window);
    case kRichEditReplaceSelection: return text_field::ReplaceSelection(in, m_window);
    case kRichEditGetCharIndexFromLineIndex: return text_field::GetCharIndexFromLine(in, m_window);
    case kRichEditGetInt: return text_field::GetInt(in, m_window);
    default: return text_field::GetFloat(in, m_window);
    }
}

void RegisterRichEditClass() { RegisterClassBinding(kClassRichEdit, {&MakeScriptObject<CIRichEdit>, nullptr}); }
