#pragma once
// The text-field operations the edit field and the rich edit control share:
// each takes the interpreter (for its arguments and result) and the control's
// window, so both classes run the same code on their own window. Also the
// edit messages and the notification table both classes use.
#include "runtime/classes/script_class.h"

#include <cstdint>
#include <string>

// Edit messages (the Windows values).
enum : uint32_t {
    kEmGetSel = 0xB0, kEmSetSel = 0xB1, kEmScroll = 0xB5, kEmLineScroll = 0xB6, kEmGetModify = 0xB8,
    kEmSetModify = 0xB9, kEmGetLineCount = 0xBA, kEmLineIndex = 0xBB, kEmLineLength = 0xC1, kEmReplaceSel = 0xC2,
    kEmGetLine = 0xC4, kEmLimitText = 0xC5, kEmCanUndo = 0xC6, kEmUndo = 0xC7, kEmLineFromChar = 0xC9,
    kEmSetTabStops = 0xCB, kEmEmptyUndoBuffer = 0xCD, kEmGetFirstVisibleLine = 0xCE, kEmSetReadOnly = 0xCF,
    kEmGetLimitText = 0xD5,
};
constexpr uint32_t kWmGetText = 0x0D, kWmGetTextLength = 0x0E, kWmCut = 0x300, kWmCopy = 0x301, kWmPaste = 0x302,
                   kWmUndo = 0x304, kWmCtlColorEdit = 0x133;
constexpr uint32_t kEsMultiline = 0x4;
constexpr int32_t kSbLineUp = 0, kSbLineDown = 1, kSbPageUp = 2, kSbPageDown = 3;

// The edit notifications and the events they post, in the order of the
// classes' handler slots.
enum TextFieldEvent {
    kOnTextChanged, kOnSetFocus, kOnKillFocus, kOnMaxTextReached, kOnHorizontalScroll, kOnVerticalScroll,
    kTextFieldEventCount
};
// The slot of an EN_ notification code, or -1.
int32_t TextFieldEventOf(int32_t code);

namespace text_field {

int32_t CanUndo(CInterpretor* in, void* window);
int32_t GetFirstVisibleLine(CInterpretor* in, void* window);
int32_t GetLineCount(CInterpretor* in, void* window);
int32_t GetLineLength(CInterpretor* in, void* window);
int32_t GetLineContent(CInterpretor* in, void* window);
int32_t SetReadOnly(CInterpretor* in, void* window);
// Runtime error 21 without arguments, 15 when the entries cannot be had.
int32_t SetTabStops(CInterpretor* in, void* window);
int32_t GetSelectedText(CInterpretor* in, void* window);
int32_t ReplaceSelection(CInterpretor* in, void* window);
int32_t Scroll(CInterpretor* in, void* window);
int32_t GetCharIndexFromLine(CInterpretor* in, void* window);
int32_t GetInt(CInterpretor* in, void* window);
int32_t GetFloat(CInterpretor* in, void* window);

// The text "GetInt" and "GetFloat" convert: at most the first 61 characters
// (what a 62-byte GetWindowTextA buffer holds).
std::string NumberText(const std::string& text);
// The runtime library's decimal integer conversion, clamped to 32 bits.
int32_t TextToInt(const std::string& text);
// Pixels to dialog template units: value × 4 / unit (unsigned).
uint32_t TabStopUnits(uint32_t pixels, uint32_t unit);

}  // namespace text_field
