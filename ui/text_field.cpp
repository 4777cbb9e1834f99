#include "ui/text_field.h"

#include "runtime/base/sys_utils.h"
#include "runtime/interp/interpretor.h"
#include "ui/os_controls.h"
#include "ui/os_range_controls.h"
#include "ui/os_window.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

int32_t Answer(CInterpretor* in, intptr_t value) {
    Result(in)->SetInt(static_cast<int32_t>(value));
    return 0;
}

void AnswerText(CInterpretor* in, const char* text) { Result(in)->SetString(text, 0); }

bool Given(CInterpretor* in, int32_t i) { return i < GetArgCount(in) && !IsArgDefault(in, i); }

int32_t IntArg(CInterpretor* in, int32_t i, int32_t fallback) { return Given(in, i) ? GetArgInt(in, i) : fallback; }

intptr_t Send(void* window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    return OsSendMessage(window, message, wParam, lParam);
}

}  // namespace

int32_t TextFieldEventOf(int32_t code) {
    static const int32_t kCodes[kTextFieldEventCount] = {0x300, 0x100, 0x200, 0x501, 0x601, 0x602};
    for (int32_t i = 0; i < kTextFieldEventCount; ++i)
        if (kCodes[i] == code)
            return i;
    return -1;
}

namespace text_field {

std::string NumberText(const std::string& text) { return text.substr(0, 61); }

int32_t TextToInt(const std::string& text) {
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

uint32_t TabStopUnits(uint32_t pixels, uint32_t unit) { return unit != 0 ? pixels * 4 / unit : 0; }

int32_t CanUndo(CInterpretor* in, void* window) { return Answer(in, Send(window, kEmCanUndo) != 0 ? 1 : 0); }

int32_t GetFirstVisibleLine(CInterpretor* in, void* window) { return Answer(in, Send(window, kEmGetFirstVisibleLine)); }

int32_t GetLineCount(CInterpretor* in, void* window) { return Answer(in, Send(window, kEmGetLineCount)); }

int32_t GetLineLength(CInterpretor* in, void* window) {
    const intptr_t index = Send(window, kEmLineIndex, static_cast<uintptr_t>(IntArg(in, 0, 0)));
    return Answer(in, Send(window, kEmLineLength, static_cast<uintptr_t>(index)));
}

int32_t GetLineContent(CInterpretor* in, void* window) {
    const int32_t line = IntArg(in, 0, 0);
    const intptr_t index = Send(window, kEmLineIndex, static_cast<uintptr_t>(line));
    // EM_GETLINE reads the capacity from a 16-bit word: longer lines are cut
    // at 65535 characters, and the text ends where the copy ended.
    const std::size_t length = static_cast<std::size_t>(
        std::min<intptr_t>(std::max<intptr_t>(Send(window, kEmLineLength, static_cast<uintptr_t>(index)), 0), 65535));
    void* buffer = nullptr;
    const uint32_t handle = in->AddTempBuffer(length + 3, &buffer);
    char* text = static_cast<char*>(buffer);
    const uint16_t capacity = static_cast<uint16_t>(length);
    std::memcpy(text, &capacity, sizeof capacity);
    const intptr_t copied = length > 0 ? Send(window, kEmGetLine, static_cast<uintptr_t>(line),
                                              reinterpret_cast<intptr_t>(text))
                                       : 0;
    text[std::min<std::size_t>(static_cast<std::size_t>(std::max<intptr_t>(copied, 0)), length)] = 0;
    AnswerText(in, text);
    in->FreeTempBuffer(handle);
    return 0;
}

int32_t SetReadOnly(CInterpretor* in, void* window) {
    Send(window, kEmSetReadOnly, IntArg(in, 0, 1) != 0 ? 1 : 0);
    return 0;
}

int32_t SetTabStops(CInterpretor* in, void* window) {
    const int32_t count = GetArgCount(in);
    if (count == 0)
        RaiseError(in, 21);
    uint32_t unit = OsGetDialogBaseUnits() & 0xFFFF;
    if (window != nullptr) {
        if (const int32_t width = OsGetControlFontAverageWidth(window))
            unit = static_cast<uint32_t>(width);
    }
    if (unit == 0)
        return 0;
    uint32_t* stops = nullptr;
    if (!AllocRetry(static_cast<std::size_t>(count) * sizeof(uint32_t), &stops))
        RaiseError(in, 15);
    uint32_t used = 0;
    for (int32_t i = 0; i < count; ++i)
        if (!IsArgDefault(in, i))
            stops[used++] = TabStopUnits(static_cast<uint32_t>(GetArgInt(in, i)), unit);
    Send(window, kEmSetTabStops, used, reinterpret_cast<intptr_t>(stops));
    FreeAndNull(&stops);
    return 0;
}

int32_t GetSelectedText(CInterpretor* in, void* window) {
    uint32_t start = 0, end = 0;
    Send(window, kEmGetSel, reinterpret_cast<uintptr_t>(&start), reinterpret_cast<intptr_t>(&end));
    if (static_cast<int32_t>(end) - static_cast<int32_t>(start) <= 0) {
        AnswerText(in, "");
        return 0;
    }
    const intptr_t n = std::max<intptr_t>(Send(window, kWmGetTextLength), 0);
    char* all = nullptr;
    if (!AllocRetry(static_cast<std::size_t>(n) + 1, &all)) {
        AnswerText(in, "");
        return 0;
    }
    all[0] = 0;
    Send(window, kWmGetText, static_cast<uintptr_t>(n) + 1, reinterpret_cast<intptr_t>(all));
    all[n] = 0;
    // The selection may reach past the text that was read.
    const std::size_t last = std::min<std::size_t>(end, static_cast<std::size_t>(n));
    const std::size_t first = std::min<std::size_t>(start, last);
    void* buffer = nullptr;
    const uint32_t handle = in->AddTempBuffer(last - first + 1, &buffer);
    char* text = static_cast<char*>(buffer);
    std::memcpy(text, all + first, last - first);
    text[last - first] = 0;
    AnswerText(in, text);
    in->FreeTempBuffer(handle);
    FreeAndNull(&all);
    return 0;
}

int32_t ReplaceSelection(CInterpretor* in, void* window) {
    const char* text = nullptr;
    int32_t flag = 1;
    if (Given(in, 0)) {
        if (GetArg(in, 0)->GetTag() == CValue::kText)
            text = GetArgString(in, 0);
        else
            flag = GetArgInt(in, 0);
    }
    if (Given(in, 1)) {
        if (GetArg(in, 1)->GetTag() == CValue::kText)
            text = GetArgString(in, 1);
        else
            flag = GetArgInt(in, 1) != 0 ? 1 : 0;
    }
    Send(window, kEmReplaceSel, static_cast<uintptr_t>(flag), reinterpret_cast<intptr_t>(text != nullptr ? text : ""));
    return 0;
}

int32_t Scroll(CInterpretor* in, void* window) {
    Send(window, kEmLineScroll, static_cast<uintptr_t>(IntArg(in, 0, 0)), IntArg(in, 1, 0));
    return 0;
}

int32_t GetCharIndexFromLine(CInterpretor* in, void* window) {
    return Answer(in, Send(window, kEmLineIndex, static_cast<uintptr_t>(IntArg(in, 0, 0))));
}

int32_t GetInt(CInterpretor* in, void* window) {
    const std::string text = window != nullptr ? NumberText(OsGetWindowText(window)) : std::string();
    return Answer(in, TextToInt(text));
}

int32_t GetFloat(CInterpretor* in, void* window) {
    const std::string text = window != nullptr ? NumberText(OsGetWindowText(window)) : std::string();
    Result(in)->SetDouble(std::strtod(text.c_str(), nullptr));
    return 0;
}

}  // namespace text_field
