#pragma once
// Windows path syntax in portable code: wildcard matching of names and paths,
// the order of paths in a sorted listing, pattern lists and path splitting.
//
// Paths use "\\" as the folder separator. A null text reads as an empty one.
// Every text handled here has the limits of a Windows path: a path is at most
// kMaxPathChars - 1 characters, a list piece or a path component 1 to
// kMaxPathChars - 1.
#include "runtime/base/ref_string.h"
#include "runtime/base/ref_string_array.h"

const int kMaxPathChars = 260;  // a path with its terminator

// Wildcard match of the last component of name (one trailing "\\" removed;
// "." appended when the component has none) against pattern: "*" runs to the
// next "." of the name, "?" takes one character, "." moves to the name's
// extension, other characters compare without regard to case, and a pattern
// that begins a name matches it.
bool MatchWildcard(const char* name, const char* pattern);

// A pattern without "\\" matches the last component of path (MatchWildcard).
// With "\\" its components are matched from the last one back against the
// path's components (one trailing "\\" of either is ignored); every
// component of the pattern must match, and the path must have enough of them.
bool MatchPattern(const char* path, const char* pattern);

// Index of the first pattern of the list that path matches, or -1.
int FindMatchingPattern(const char* path, const CRefStringArray& patterns);

// Order of paths in a sorted listing: -1, 0 or 1. Component by component at
// "\\": where only one of the two goes on to a further folder level, the one
// that does not sorts first; otherwise the components compare by their bytes
// (as CRefString::Compare). So the files of a folder come before everything in
// its subfolders.
int ComparePaths(const char* a, const char* b);

// Appends each piece of text between separators whose length is 1 to
// kMaxPathChars - 1 to list; empty and longer pieces are dropped. With
// separator 0 the text is a row of NUL-terminated pieces ended by an empty
// one. Returns the number of pieces appended (it stops when memory fails).
int SplitIntoList(CRefStringArray* list, const char* text, char separator);

// Splits a path into drive ("X:" or empty), directory (up to and with the last
// "\\" or "/"), name and extension (from the last "." of the name on). Each
// out-parameter may be null; components receives the directory's non-empty
// pieces between separators. A path of kMaxPathChars characters or more is not
// split: false, and nothing is written.
bool SplitPath(const char* path, CRefString* drive, CRefString* directory, CRefStringArray* components,
               CRefString* name, CRefString* extension);
