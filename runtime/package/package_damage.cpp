#include "runtime/package/package_damage.h"

#include "runtime/package/bank.h"
#include "runtime/io/io_status.h"

#include <cstdio>

const char* const kPackageDamageCaption = "Damaged application package";

namespace {

std::string WhatWentWrong(uint32_t status) {
    switch (status) {
    case kIoEndOfData: return "is cut short";
    case kIoReadFailed: return "cannot be read";
    case kIoCannotOpen: return "cannot be opened";
    case kIoCorruptData: return "holds corrupt compressed data";
    case kIoGeneralFailure: return "has a size out of range, or memory ran out";
    case kBankRefused: return "is not a bank the runtime reads";
    case kBankBadElementHeader: return "has an element record that cannot be read";
    default: break;
    }
    char text[40];
    std::snprintf(text, sizeof text, "fails with status 0x%08X", static_cast<unsigned>(status));
    return text;
}

}  // namespace

std::string PackageDamageText(const char* file, const char* part, uint32_t status) {
    return std::string("The application package in ") + (file ? file : "") + " is damaged or incomplete: " +
           (part ? part : "the package") + " " + WhatWentWrong(status) +
           ". Copy or download the application again.";
}
