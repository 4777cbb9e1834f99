#pragma once
// The failure box of an application package that cannot be read cleanly: a
// player who starts a damaged or incomplete download is told so, and the
// process ends with kExitDamagedPackage instead of passing for a clean run.
// An executable that carries no package at all is not damaged.
#include <cstdint>
#include <string>

// Exit code of the runtime when its package is damaged or incomplete.
constexpr int kExitDamagedPackage = 3;

extern const char* const kPackageDamageCaption;

// Text of the box: the package file, then in a few words the part at fault
// (null: the package as a whole) and what went wrong with it (a status word
// of the file, bank or package layer).
std::string PackageDamageText(const char* file, const char* part, uint32_t status);
