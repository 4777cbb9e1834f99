#pragma once
// Heap blocks with one retry after compacting the heap, owned string buffers and
// in-place trimming.
// The product runs in a 32-bit address space where a failed allocation is often
// caused by fragmentation, so every block the runtime allocates goes through here.
#include <cstddef>

// malloc(size); when that fails the heap is compacted once and malloc retried.
// Stores the block (null on failure) and answers whether one was obtained.
// A size of 0 allocates one byte so that success always yields a real block.
bool AllocRetry(std::size_t size, void** place);

// As AllocRetry with calloc(size, 1): the block is zero-filled.
bool CallocRetry(std::size_t size, void** place);

// realloc(*place, size) with the same single retry. *place is replaced only on
// success; on failure the old block is left as it was (still owned by the caller).
// A size of 0 keeps a one-byte block instead of freeing behind the caller's back.
bool ReallocRetry(std::size_t size, void** place);

// Frees a non-null block and sets the pointer to null.
void FreeAndNull(void** place);

// Frees the held text (FreeAndNull) and stores a fresh NUL-terminated copy of
// text; a null text leaves the buffer null and succeeds. False when memory fails
// (the buffer is then null).
bool AssignStringBuffer(char** buffer, const char* text);

// Removes leading and trailing CR, LF, tab and space in place; answers text
// (null for a null text).
char* TrimWhitespaceInPlace(char* text);

// Typed conveniences so callers need no casts at every call site.
template <typename T>
inline bool AllocRetry(std::size_t size, T** place) {
    void* p = nullptr;
    bool ok = AllocRetry(size, &p);
    *place = static_cast<T*>(p);
    return ok;
}
template <typename T>
inline bool CallocRetry(std::size_t size, T** place) {
    void* p = nullptr;
    bool ok = CallocRetry(size, &p);
    *place = static_cast<T*>(p);
    return ok;
}
template <typename T>
inline bool ReallocRetry(std::size_t size, T** place) {
    void* p = *place;
    bool ok = ReallocRetry(size, &p);
    if (ok) *place = static_cast<T*>(p);
    return ok;
}
template <typename T>
inline void FreeAndNull(T** place) {
    void* p = const_cast<void*>(static_cast<const void*>(*place));
    FreeAndNull(&p);
    *place = nullptr;
}
