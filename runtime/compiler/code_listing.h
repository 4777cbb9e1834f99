#pragma once
// Readable listing of compiled code, for the compile-only tool and for tests.
//
// One word per instruction, separated by blanks:
//   class names and keywords by their name (jumps and blocks below), operators
//   and punctuation by their text, names as written, member accesses as
//   ".Name" (79), ".Name(" (78) or ".Name[" (80), a name followed by "(" as
//   "Name(" (75) and by "[" as "Name[" (77), integers in decimal (101 with a
//   leading "#"), doubles with "%g" and a leading "~", strings in double quotes
//   (pooled ones with a leading "&"), 110 as "<omit>", 98 as "<start:word>",
//   99 as "<end>", 0 as "<0>".
//   Jump offsets are shown as "->N", N the index of the target instruction in
//   the listing ("->$" when the target is 0); block indices as "#N".
#include <string>

#include "runtime/compiler/code_format.h"

std::string ListCode(const CCompiledProgram& program);
