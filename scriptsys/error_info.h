#pragma once
// CErrorInfo: the last runtime error as the Program object keeps it for
// GetLastError and its error handler. A cleared record holds code 0, no
// message, and "unknown" (0x80000000) in the other words.
#include <cstdint>
#include <string>

class CIError;

struct CErrorInfo {
    static constexpr int32_t kUnknown = INT32_MIN;

    int32_t code = 0;       // bit 31 set: a platform error code in the low 31 bits
    int32_t column = kUnknown;
    std::string message;    // empty: none
    std::string module;     // source module of the error; empty: unknown
    int32_t line = kUnknown;  // 0-based; negative: unknown

    void Clear() { *this = CErrorInfo(); }
    // Takes code, position and message text of a raised error.
    void Record(const CIError& error, const char* messageText);
};

// The message of an error code without a line: "Error #<code>", or the
// platform's text of a platform code (bit 31 set), at most size - 2 bytes.
std::string ErrorCodeMessage(int32_t code, int size = 256);
