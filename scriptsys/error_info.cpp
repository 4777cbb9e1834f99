#include "scriptsys/error_info.h"

#include "runtime/base/ci_error.h"
#include "runtime/base/error_text.h"

#include <vector>

void CErrorInfo::Record(const CIError& error, const char* messageText) {
    code = error.code;
    column = error.column;
    line = error.line;
    module = error.module;
    message.assign(messageText ? messageText : "");
}

std::string ErrorCodeMessage(int32_t code, int size) {
    if (size < 2) return std::string();
    std::vector<char> buffer(static_cast<size_t>(size), 0);
    CIError error(code);
    FormatErrorMessage(error, buffer.data(), size, false);
    return std::string(buffer.data());
}
