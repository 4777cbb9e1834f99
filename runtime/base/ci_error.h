#pragma once
// CIError: the exception of runtime and compile errors. Raised through
// CInterpretor::RaiseError and caught by the run step, which reports it.
//
// Codes 0 (end of run) and 1 (restart) are not errors; a code with bit 31 set
// carries a Windows error code. The source position (module, line, column) is
// filled in by the interpreter when it knows where execution stands.
#include <cstdint>
#include <string>

class CIError {
public:
    static constexpr int32_t kNoDetail = INT32_MIN;  // detail word meaning "none"

    explicit CIError(int32_t code, int32_t detail = 0) : code(code), detail(detail) {}

    int32_t code;
    int32_t detail;
    std::string module;  // name of the source module of the error; empty = unknown
    int32_t line = -1;   // 0-based; negative = unknown
    int32_t column = -1; // 0-based byte in the line; negative = unknown
};
