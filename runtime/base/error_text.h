#pragma once
// The text a runtime or compile error is shown with.
#include "runtime/base/ci_error.h"

// String resource of the line suffix: "%s at line %i." (message, 1-based line).
constexpr unsigned kErrorAtLineResource = 43450;

// Writes the error's message into buffer: "Error #<code>", or for a code with
// bit 31 set the system's text of the Windows error code (at most 190 bytes,
// one final period removed). With withLine and a known line (0 or more) the
// message is put into the resource text "%s at line %i." with the line counted
// from 1. The result is cut to size - 2 bytes and terminated. Returns buffer.
char* FormatErrorMessage(const CIError& error, char* buffer, int size, bool withLine);
