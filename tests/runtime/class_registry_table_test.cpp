// The registry that the modules assemble at start, compared line by line with
// the class table: ids, names, member ids, reach codes, flags, constants,
// dependents, constant bases and global classes of all 73 classes and the
// keyword table. Moving a class's table between modules changes nothing here.
#include "runtime/classes/class_registry.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <sstream>
#include <string>

namespace {

const char kTable[] =
#include "tests/runtime/class_registry_table.inc"
    ;

std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Line(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string DumpRegistry() {
    std::string out = "\n";
    const CMemberRecord* const* registry = GetClassRegistry();
    for (const CMemberRecord* r = registry[0]; r->name; ++r)
        out += Line("keyword %u %s %u %u\n", r->memberId, r->name, r->globalCode, r->flags);
    for (int k = kFirstClassId; k <= kLastClassId; ++k) {
        const CClassInfo* c = GetScriptClassInfo(k);
        if (c == nullptr || registry[k] != c->members)
            return out + Line("class %d is missing\n", k);
        out += Line("class %u %s global=%d base=%u deps=", c->classId, c->members[0].name, c->isGlobal ? 1 : 0,
                    c->constantBase);
        for (const uint16_t* d = c->dependents; *d; ++d)
            out += Line("%u,", *d);
        out += "\n";
        for (const CMemberRecord* r = c->members + 1; r->name; ++r) {
            out += Line("  %u %s %u %x", r->memberId, r->name, r->globalCode, r->flags);
            if (const CConstantValue* v = FindClassConstant(k, r->memberId))
                out += v->text ? Line(" text=%s", v->text) : Line(" value=%08X", static_cast<unsigned>(v->value));
            out += "\n";
        }
    }
    return out;
}

TEST(ClassRegistryTable, RegisteredTablesAreTheClassTable) {
    std::istringstream expected(kTable), actual(DumpRegistry());
    std::string e, a;
    int line = 0;
    while (true) {
        bool more = static_cast<bool>(std::getline(expected, e));
        bool moreActual = static_cast<bool>(std::getline(actual, a));
        ++line;
        if (!more && !moreActual)
            break;
        ASSERT_EQ(a, e) << "first difference at line " << line << " of the table";
    }
}

}  // namespace
