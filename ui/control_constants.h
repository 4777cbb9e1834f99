#pragma once
// Control constants: a 32-bit value whose top 12 bits name a table, bits 16
// to 19 the flag word it sets (0 style, 1 extended style, 2 and 3 the option
// words) and the low 16 bits an index into the table. Each table is a list of
// u32 values ended by 0xFFFFFFFF; an object accepts at most two of them.
#include <cstdint>

constexpr uint32_t kCommonTableId = 0xDEB;
constexpr uint32_t kWindowTableId = 0xAAD;
// The common table: NOBORDER, TABSTOP, STATICEDGE, VSCROLL, HSCROLL, HIDDEN, BORDER.
extern const uint32_t kCommonConstantTable[];
// The window table: GAME ... MINIMIZED, all option bits of word 1.
extern const uint32_t kWindowConstantTable[];

// Option bits (option word 1) of the common table.
constexpr uint32_t kOptHidden = 0x1;
constexpr uint32_t kOptNoBorder = 0x2;

// The flag words a constant can set.
enum CConstantKind : uint32_t { kKindStyle = 0, kKindExStyle = 1, kKindOptions1 = 2, kKindOptions2 = 3 };

class CConstantTables {
public:
    // Adds a table while fewer than two are held (else ignored); its length
    // runs up to the terminator.
    void Add(const uint32_t* table, uint32_t id);
    enum LookupResult { kNoTable = 0, kFound = 1, kBadConstant = -1 };
    // The first table whose id is the constant's top 12 bits decides: an
    // index below its length and a kind 0 to 3 give the value and the kind;
    // otherwise kBadConstant (runtime error 14 for the callers).
    LookupResult Lookup(uint32_t constant, uint32_t* value, uint32_t* kind) const;
    int32_t GetCount() const { return m_count; }

private:
    struct Table {
        const uint32_t* values;
        uint32_t id;
        uint32_t length;
    };
    Table m_tables[2] = {};
    int32_t m_count = 0;
};
