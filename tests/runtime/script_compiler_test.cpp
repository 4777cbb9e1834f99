#include "runtime/compiler/script_compiler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/compiler/code_listing.h"
#include "runtime/base/name_table.h"
#include "runtime/compiler/script_lexer.h"
#include "tests/support/test_files.h"

namespace {

struct Outcome {
    bool ok;
    std::string listing;
    CIError error{0};
};

Outcome CompileSource(const std::string& text, uint32_t flags = kModuleOwnsText) {
    // One compiler for all: each program is taken out after its compile.
    static CScriptCompiler compiler;
    compiler.AddSourceText("main", text.data(), static_cast<uint32_t>(text.size()), flags);
    Outcome out;
    out.ok = compiler.Compile() == 1;
    if (out.ok) {
        // Every code ends with the instruction 0; the listing leaves it out.
        out.listing = ListCode(compiler.Program());
        EXPECT_EQ(out.listing.substr(out.listing.size() - 3), "<0>");
        out.listing.resize(out.listing.size() - 3);
        if (!out.listing.empty()) out.listing.pop_back();  // the blank before it
    } else {
        out.error = *compiler.GetLastError();
    }
    compiler.TakeProgram();
    return out;
}

// The token pass alone, as a listing (position words and all).
std::string ListTokens(const std::string& text, CIError* error = nullptr) {
    static CRegistryIndex index;
    if (!index.IsBuilt()) {
        EXPECT_TRUE(index.Build());
    }
    CCompiledProgram program;
    program.names.reset(new CNameTable(0));
    CScriptModule module;
    module.name = "main";
    module.text = text.c_str();
    module.length = static_cast<uint32_t>(text.size());
    program.modules.push_back(std::move(module));
    std::vector<uint8_t> tokens;
    CScriptLexer lexer(index, program, tokens);
    program.phase = kPhaseTokens;
    try {
        lexer.LexModule(0);
    } catch (const CIError& e) {
        if (error) *error = e;
        return "error";
    }
    CInstrWriter(tokens).Emit(kOpEnd, 0, false, 0);
    program.code = tokens;
    std::string listing = ListCode(program);
    const std::string tail = " <op117> <0>";  // module boundary, end
    EXPECT_EQ(listing.substr(listing.size() - tail.size()), tail);
    return listing.substr(0, listing.size() - tail.size());
}

// Offset of the n-th (0-based) instruction with that code.
size_t FindInstr(const CCompiledProgram& program, uint16_t code, int n = 0) {
    const uint8_t* base = program.code.data();
    for (const uint8_t* p = base;; p = NextInstr(p)) {
        if (InstrCode(p) == code && n-- == 0) return static_cast<size_t>(p - base);
        if (InstrCode(p) == kOpEnd) break;
    }
    ADD_FAILURE() << "no instruction " << code;
    return 0;
}

}  // namespace

TEST(ScriptTokens, WordsNumbersStringsAndComments) {
    struct Case {
        const char* source;
        const char* tokens;
    } cases[] = {
        // Punctuation runs are cut to the longest token.
        {"x+=1", "x += 1"},
        {"a<<=b", "a <<= b"},
        {"a=-1", "a = - 1"},
        {"f(-(x))", "f( ( - ( x ) )"},
        // Integers up to 2147483646; hex and binary in 32 bits; floats otherwise.
        {"2147483646 2147483647 3.0 1e3 1.5e-3 1D2 1d-2",
         "2147483646 ~2.14748e+09 ~3 ~1000 ~0.0015 ~100 ~0.01"},
        {"0x7FFFFFFF 0Xff 0b101 0B11", "#2147483647 #255 #5 #3"},
        // The ninth hex digit overflows and starts the next number; nine F
        // digits never give a smaller step result.
        {"0x100000000", "#268435456 0"},
        {"0xFFFFFFFFF", "#-1"},
        {"0b111111111111111111111111111111111", "#-1"},
        {"0x", "#0"},
        // An exponent letter without digits is not part of the number.
        {"1e 12abc 1.", "1 e 12 abc ~1"},
        {"1e999 1e-999", "~inf ~0"},
        // Keywords and class names without regard to case; longer words are names.
        {"If if IF ifx", "If->$ If->$ If->$ ifx"},
        {"sprite SPRITE Sprite2b TRUE off", "Sprite Sprite Sprite2b TRUE OFF"},
        // A name's code depends on what follows it, line ends and comments aside.
        {"f (1) a [2] b", "f( ( 1 ) a[ [ 2 ] b"},
        {"f /* c */ (1)", "f( ( 1 )"},
        {"f\n(1)", "f( ( 1 )"},
        // Strings: either quote, no escapes, an open string ends at the line end.
        {"x = \"abc", "x = \"abc\""},
        {"x = \"abc\ny", "x = \"abc\" y"},
        {"'a\"b' \"c'd\"", "\"a\"b\" \"c'd\""},
        {"\"\"", "\"\""},
        // Comments write nothing; block comments span lines.
        {"a // c = 1;\nb", "a b"},
        {"a /* x\n*/ b /**/ c /*/ d */ e", "a b c e"},
        {"a = b//c\n", "a = b"},
        // A dot and a letter word make a member access, keywords included; a
        // string's member access keeps the dot.
        {"a.b a . \n c a.Delete", "a .b a .c a .Delete"},
        {"\"s\".Length", "\"s\" . .Length"},
        {"Function f", "Function->$#0"},
    };
    for (const Case& c : cases) EXPECT_EQ(ListTokens(c.source), c.tokens) << c.source;
}

TEST(ScriptTokens, ErrorsPointAtTheWord) {
    struct Case {
        const char* source;
        int32_t code;
        int32_t column;
    } cases[] = {
        {"a @ b", 16, 2},     // no token matches
        {"a = b */ c", 16, 6},  // a comment end outside a comment
        {"a /* b", 16, 2},    // unterminated comment
        {"x = a.5", 16, 5},   // a dot not followed by a name
        {"Function 5", 40, 9},
        {"Function If()", 40, 9},
        {"Function", 40, 8},
    };
    for (const Case& c : cases) {
        CIError error(0);
        EXPECT_EQ(ListTokens(c.source, &error), "error") << c.source;
        EXPECT_EQ(error.code, c.code) << c.source;
        EXPECT_EQ(error.line, 0) << c.source;
        EXPECT_EQ(error.column, c.column) << c.source;
        EXPECT_EQ(error.module, "main") << c.source;
    }
}

TEST(ScriptCompiler, StatementsCompileToCode) {
    struct Case {
        const char* source;
        const char* code;
    } cases[] = {
        {"", ""},
        {"x = 1;", "x = 1 ;"},
        {"; ;", "; ;"},
        // Members reachable without an object: their class or the current window.
        {"Abs(x);", "Math .Abs( x ) ;"},
        {"y = abs(-2);", "y = Math .abs( - 2 ) ;"},
        {"WriteLn(\"a\", 2);", "CurWindow .WriteLn( \"a\" , 2 ) ;"},
        {"x = COPYALL;", "x = Surface .COPYALL ;"},
        {"x = Sprite.LOOP_INFINITE;", "x = Sprite .LOOP_INFINITE ;"},
        // Calls drop their "(" and index lists their "["; omitted arguments stay empty.
        {"f();", "f( ) ;"},
        {"f(1,,3);", "f( 1 , , 3 ) ;"},
        {"f(,);", "f( , ) ;"},
        {"a[1, 2] = a[3];", "a[ 1 , 2 ] = a[ 3 ] ;"},
        {"f(a.b[1].c(2));", "f( a .b[ 1 ] .c( 2 ) ) ;"},
        {"Math.Abs(1).x;", "Math .Abs( 1 ) .x ;"},
        {"x = (a).b + f().c;", "x = ( a ) .b + f( ) .c ;"},
        {"x = \"abc\".Length;", "x = \"abc\" . .Length ;"},
        {"This.a = CurWindow;", "This .a = CurWindow ;"},
        {"x = New Button(1, 2); y = New Foo();", "x = New Button 1 , 2 ) ; y = New Foo( ) ;"},
        {"Var x = 1;", "Var x = 1 ;"},
        {"Return; Return x + 1;", "Return ; Return x + 1 ;"},
        {"Delete x;", "Delete x ;"},
        {"x = !a && ~b || -c;", "x = ! a && ~ b || - c ;"},
        {"x = c ? 1 : d ? 2 : 3;", "x = c ? 1 : d ? 2 : 3 ;"},
        {"x = (c ? (d ? 1 : 2) : 3);", "x = ( c ? ( d ? 1 : 2 ) : 3 ) ;"},
        {"f(1, c ? 1 : 2);", "f( 1 , c ? 1 : 2 ) ;"},
        // Postfix operators: an omitted operand goes in front of "]", ":", "?"
        // and looser operators; ")", "," and ";" supply their own.
        {"i++; j = ++i;", "i ++ ; j = ++ i ;"},
        {"x = a[i++];", "x = a[ i ++ <omit> ] ;"},
        {"b = i++ < 5;", "b = i ++ <omit> < 5 ;"},
        {"f(i++, j--);", "f( i ++ , j -- ) ;"},
        {"j = i++ - 1;", "j = i ++ - 1 ;"},
        // Loops: the For's ")" is written; every loop body has "{" and "}".
        {"For (i = 0; i < n; i++) { x += i; }",
         "For->18#0 i = 0 ; i < n ; i ++ ) {->17#0 x += i ; }->12#0"},
        {"For (Var i = 0; ; ) Break;", "For->12#0 Var i = 0 ; ; ) {->11#0 Break ; }->8#0"},
        {"For (;;) {}", "For->6#0 ; ; ) {->5#0 }->4#0"},
        {"While (i++ < 5) ;", "While->10#0 i ++ <omit> < 5 ) {->9#0 ; }->7#0"},
        {"While (a) { Continue; }", "While->7#0 a ) {->6#0 Continue ; }->3#0"},
        // If jumps to its Else; each Else behind its own statement.
        {"If (a) b = 1; Else If (c) d(); Else e = 3;",
         "If->7 a ) b = 1 ; Else->19 If->14 c ) d( ) ; Else->19 e = 3 ;"},
        {"If (a) If (b) x; Else y; Else z;", "If->14 a ) If->8 b ) x ; Else->11 y ; Else->14 z ;"},
        {"If (a) { }", "If->5 a ) {->4#0 }->3#0"},
        // Switch: Case labels chained, their ":" written as ";", Default left out of the chain.
        {"Switch (x) { Case 1: y = 2; Break; Default: z = 3; Case 2: }",
         "Switch->4#0 x ) {->21#0 Case->18 1 ; y = 2 ; Break ; Default->$ z = 3 ; Case->$ 2 ; }->3#0"},
        {"Switch (x) { }", "Switch->$#0 x ) {->4#0 }->3#0"},
        // Functions: "()" is dropped; parameters are plain names.
        {"Function f(a, b) { Return a + b; }", "Function->13#0 ( a , b ) {->12#0 Return a + b ; }->6#0"},
        {"Function g() { } g();", "Function->3#0 {->2#0 }->1#0 g( ) ;"},
        {"{ { } }", "{->3#0 {->2#1 }->1#1 }->$#0"},
    };
    for (const Case& c : cases) {
        Outcome out = CompileSource(c.source);
        ASSERT_TRUE(out.ok) << c.source << ": error " << out.error.code << " col " << out.error.column;
        EXPECT_EQ(out.listing, c.code) << c.source;
    }
}

TEST(ScriptCompiler, ErrorsCarryCodeLineAndColumn) {
    struct Case {
        const char* source;
        int32_t code;
        int32_t line;
        int32_t column;
    } cases[] = {
        // A missing ";" belongs to the statement it should end, not to the next line.
        {"x = 1;\ny = 2;\nz = 3\nw = 4;\n", 6, 2, 4},
        {"x = 1 2;", 6, 0, 4},
        {"Return 1\n}", 6, 0, 7},
        {"x = (1 + 2;", 2, 0, 9},
        {"f(1, 2;", 2, 0, 5},
        {"For (i = 0; i < 3; i++ {}", 16, 0, 23},
        // End of the source inside a block: the line of the last token.
        {"If (x) {\n  y = 1;\n\n", 3, 1, 7},
        {"Function f() {\n", 3, 0, 13},
        {"Switch (x) { Case 1:", 3, 0, 19},
        {"Function f() x = 1;", 4, 0, 11},
        {"Function f(a", 16, 0, 11},
        // Unexpected tokens.
        {"If x == 1 y();", 16, 0, 3},
        {"}", 16, 0, 0},
        {"x = ;", 16, 0, 4},
        {"x = a ? b;", 16, 0, 9},
        {"a[1 2] = 1;", 16, 0, 4},
        {"Else x;", 16, 0, 0},
        {"Case 1: x;", 16, 0, 0},
        {"Sprite.X;", 16, 0, 0},  // no global object: no statement
        {"Math;", 16, 0, 4},
        {"x = Sprite.F(1);", 16, 0, 4},
        {"x = Math[1];", 16, 0, 4},
        {"x = New Button;", 16, 0, 14},
        {"Var 5;", 16, 0, 4},
        {"Switch (x) y;", 16, 0, 11},
        {"Switch (x) { Case 1 x = 1; }", 16, 0, 20},
        {"Switch (x) { Default: Default: }", 16, 0, 22},
        {"Function f(a, b + 1) {}", 16, 0, 16},
        {"Function f(a b) {}", 16, 0, 13},
        {"x = i++ + 1;", 16, 0, 8},
        {"i++ ++;", 16, 0, 4},
        // Conditionals whose true branch would skip code it must not skip.
        {"f(c ? 1 : 2, 3);", 16, 0, 11},
        {"a[c ? 1 : 2] = 1;", 16, 0, 4},
        {"x = (c ? d ? 1 : 2 : 3);", 16, 0, 11},
        // Limits: 15 arguments, 15 parameters, 10 indices.
        {"f(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16);", 13, 0, 38},
        {"f(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,);", 13, 0, 38},
        {"Function f(a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p) {}", 13, 0, 41},
        {"a[1,2,3,4,5,6,7,8,9,10,11] = 1;", 13, 0, 23},
        // Token pass errors.
        {"x = 1;\n  y = @;", 16, 1, 6},
        {"Function\n  (", 40, 1, 2},
    };
    for (const Case& c : cases) {
        Outcome out = CompileSource(c.source);
        ASSERT_FALSE(out.ok) << c.source << " compiled to " << out.listing;
        EXPECT_EQ(out.error.code, c.code) << c.source;
        EXPECT_EQ(out.error.line, c.line) << c.source;
        EXPECT_EQ(out.error.column, c.column) << c.source;
        EXPECT_EQ(out.error.module, "main") << c.source;
    }
    // The limits themselves compile.
    EXPECT_TRUE(CompileSource("f(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15);").ok);
    EXPECT_TRUE(CompileSource("Function f(a,b,c,d,e,f,g,h,i,j,k,l,m,n,o) {}").ok);
    EXPECT_TRUE(CompileSource("a[1,2,3,4,5,6,7,8,9,10] = 1;").ok);
}

TEST(ScriptCompiler, LineNumbersForEveryLineEnd) {
    // Line 1, an empty line, then a statement without its ";" on line 3.
    for (const char* eol : {"\n", "\r\n", "\r"}) {
        std::string source = std::string("a = 1;") + eol + eol + "  b = 2" + eol + "c = 3;" + eol;
        Outcome out = CompileSource(source);
        ASSERT_FALSE(out.ok);
        EXPECT_EQ(out.error.code, 6);
        EXPECT_EQ(out.error.line, 2) << "line end " << (eol[0] == '\n' ? "LF" : eol[1] ? "CR LF" : "CR");
        EXPECT_EQ(out.error.column, 6);
    }

    struct Case {
        std::string text;
        uint32_t offset;
        int32_t line;
        int32_t column;
    } cases[] = {
        {"abc", 2, 0, 2},
        {"a\nb", 2, 1, 0},
        {"a\n\nb", 3, 2, 0},      // two LF bytes are two lines
        {"a\r\rb", 3, 2, 0},      // and two CR bytes
        {"a\r\n\r\nb", 5, 2, 0},  // CR LF is one line end
        {"a\n\rb", 3, 2, 0},      // LF CR is two
        {"ab\r\ncd", 5, 1, 1},
        {std::string("a\0\nb", 4), 3, 0, 0},  // a zero byte before the offset
        {"ab", 5, 0, 0},          // an offset beyond the text
    };
    for (const Case& c : cases) {
        int32_t line = -5, column = -5;
        TextLineColumn(c.text.data(), static_cast<uint32_t>(c.text.size()), c.offset, &line, &column);
        EXPECT_EQ(line, c.line) << c.offset;
        EXPECT_EQ(column, c.column) << c.offset;
    }
}

TEST(ScriptCompiler, RunTimeErrorsPointAtTheFailingStatement) {
    // The interpreter reports the position of the last positioned instruction
    // it has reached; names carry one, so a statement that begins with a name
    // or a global member is reported on its own line.
    CScriptCompiler compiler;
    const char* source = "x = 1;\r\nfoo(2, 3);\r\n  WriteLn(x);\r\nFunction f(a) {\r\n  Return a / 0;\r\n}\r\n";
    compiler.AddSourceText("game", source, static_cast<uint32_t>(std::strlen(source)), kModuleOwnsText);
    ASSERT_EQ(compiler.Compile(), 1);
    CCompiledProgram& program = compiler.Program();
    program.phase = kPhaseRunning;
    const uint8_t* code = program.code.data();

    struct Case {
        const uint8_t* at;
        int32_t line;
        int32_t column;
    } cases[] = {
        {code + FindInstr(program, kOpInt, 1), 1, 0},          // the 2 in foo(2, 3)
        {code + FindInstr(program, kOpMemberCall), 2, 2},     // .WriteLn: CurWindow's position
        {code + FindInstr(program, kOpInt, 3), 4, 11},          // the 0 in a / 0: the "/"
        {code, 0, 0},
    };
    for (const Case& c : cases) {
        try {
            program.ThrowScriptErrorAt(18, static_cast<uint32_t>(CIError::kNoDetail), c.at);
            FAIL() << "no throw";
        } catch (const CIError& e) {
            EXPECT_EQ(e.code, 18);
            EXPECT_EQ(e.module, "game");
            EXPECT_EQ(e.line, c.line);
            EXPECT_EQ(e.column, c.column);
        }
    }

    // Before any positioned instruction: module 0, line 0, column 0.
    CScriptCompiler wrapped;
    wrapped.AddSourceText("first", "x = 1;", 6, kModuleOwnsText | kModuleWrap, 3);
    ASSERT_EQ(wrapped.Compile(), 1);
    CCompiledProgram& w = wrapped.Program();
    w.phase = kPhaseRunning;
    w.walkAt = w.code.data() + FindInstr(w, kOpSemicolon);  // [98][;] have none
    CScriptPosition pos = w.FindErrorPosition(18);
    ASSERT_NE(pos.moduleName, nullptr);
    EXPECT_STREQ(pos.moduleName, "first");
    EXPECT_EQ(pos.line, 0);
    EXPECT_EQ(pos.column, 0);
    // Code 0 (the end of a run) has no position; phase 1 an unknown one.
    pos = w.FindErrorPosition(0);
    EXPECT_EQ(pos.moduleName, nullptr);
    EXPECT_EQ(pos.line, 0);
    w.phase = kPhaseReading;
    pos = w.FindErrorPosition(18);
    EXPECT_EQ(pos.moduleName, nullptr);
    EXPECT_EQ(pos.line, -1);
    EXPECT_EQ(pos.column, -1);
}

TEST(ScriptCompiler, InstructionLayout) {
    CScriptCompiler compiler;
    const char* source = "x = 1; s = 'ab'; y = 2.5;";
    compiler.AddSourceText("m", source, static_cast<uint32_t>(std::strlen(source)), kModuleOwnsText);
    ASSERT_EQ(compiler.Compile(), 1);
    const CCompiledProgram& program = compiler.Program();

    struct Expected {
        uint16_t code;
        uint8_t length;
        bool positioned;
        uint32_t offsetInText;
    } expected[] = {
        {kOpName, 20, true, 0},    {kOpAssign, 8, true, 2},   {kOpInt, 8, false, 0},
        {kOpSemicolon, 4, false, 0}, {kOpName, 20, true, 7},  {kOpAssign, 8, true, 9},
        {kOpString, 12, true, 11}, {kOpSemicolon, 4, false, 0}, {kOpName, 20, true, 17},
        {kOpAssign, 8, true, 19},  {kOpDouble, 12, false, 0}, {kOpSemicolon, 4, false, 0},
        {kOpEnd, 4, false, 0},
    };
    const uint8_t* p = program.code.data();
    for (const Expected& e : expected) {
        EXPECT_EQ((p - program.code.data()) % 4, 0);
        EXPECT_EQ(InstrCode(p), e.code);
        EXPECT_EQ(InstrLength(p), e.length);
        EXPECT_EQ(InstrHasPosition(p), e.positioned);
        if (e.positioned) {
            EXPECT_EQ(InstrPosition(p), MakePositionWord(0, e.offsetInText));
        }
        p = NextInstr(p);
    }
    EXPECT_EQ(static_cast<size_t>(p - program.code.data()), program.code.size());

    const uint8_t* name = program.code.data();
    EXPECT_STREQ(program.GetName(ReadU32(name + kFieldNameRef)), "x");
    const uint8_t* one = program.code.data() + FindInstr(program, kOpInt);
    EXPECT_EQ(ReadI32(one + kFieldValue), 1);
    const uint8_t* text = program.code.data() + FindInstr(program, kOpString);
    EXPECT_EQ(std::memcmp(text + kFieldText, "ab\0\0", 4), 0);
    const uint8_t* real = program.code.data() + FindInstr(program, kOpDouble);
    EXPECT_EQ(ReadF64(real + kFieldValue), 2.5);
}

TEST(ScriptCompiler, BlockRecords) {
    CScriptCompiler compiler;
    const char* source =
        "For (i = 0; i < 3; i++) x = i;\n"
        "While (a) { }\n"
        "Switch (v) { Case 1: Default: }\n"
        "Function f(a) { { } }\n";
    compiler.AddSourceText("m", source, static_cast<uint32_t>(std::strlen(source)), kModuleOwnsText, 9);
    ASSERT_EQ(compiler.Compile(), 1);
    const CCompiledProgram& p = compiler.Program();
    ASSERT_EQ(p.blocks.size(), 5u);
    auto open = [&](int n) { return static_cast<uint32_t>(FindInstr(p, kOpOpenBrace, n)); };
    auto close = [&](int n) { return static_cast<uint32_t>(FindInstr(p, kOpCloseBrace, n)); };

    const CBlockRecord& loop = p.blocks[0];
    EXPECT_EQ(loop.kind, kBlockFor);
    EXPECT_EQ(loop.start, open(0));
    EXPECT_EQ(loop.end, close(0));
    EXPECT_EQ(loop.condition, FindInstr(p, kOpName, 1));  // i < 3
    EXPECT_EQ(loop.step, FindInstr(p, kOpName, 2));       // i++
    EXPECT_EQ(loop.parent, 0u);
    EXPECT_EQ(ReadU32(p.code.data() + FindInstr(p, kOpFor) + kFieldBlockIndex), 0u);
    EXPECT_EQ(ReadU32(p.code.data() + open(0) + kFieldBlockIndex), 0u);
    EXPECT_EQ(ReadU32(p.code.data() + close(0) + kFieldBlockIndex), 0u);

    const CBlockRecord& whileLoop = p.blocks[1];
    EXPECT_EQ(whileLoop.kind, kBlockWhile);
    EXPECT_EQ(whileLoop.condition, FindInstr(p, kOpWhile) + 16);
    EXPECT_EQ(whileLoop.start, open(1));
    EXPECT_EQ(whileLoop.end, close(1));

    const CBlockRecord& sw = p.blocks[2];
    EXPECT_EQ(sw.kind, kBlockSwitch);
    EXPECT_EQ(sw.start, open(2));
    EXPECT_EQ(sw.end, close(2));
    EXPECT_EQ(sw.step, FindInstr(p, kOpDefault));
    EXPECT_EQ(ReadU32(p.code.data() + FindInstr(p, kOpSwitch) + kFieldJump), FindInstr(p, kOpCase));

    const CBlockRecord& fn = p.blocks[3];
    EXPECT_EQ(fn.kind, kBlockFunction);
    EXPECT_STREQ(p.GetName(fn.condition), "f");
    EXPECT_EQ(fn.step, FindInstr(p, kOpFunction));
    EXPECT_EQ(fn.moduleWord, 9u);
    EXPECT_EQ(fn.parent, 0u);
    EXPECT_EQ(fn.start, open(3));
    EXPECT_EQ(fn.end, close(4));
    // The function instruction jumps behind its "}".
    EXPECT_EQ(ReadU32(p.code.data() + FindInstr(p, kOpFunction) + kFieldJump), close(4) + 16);

    const CBlockRecord& inner = p.blocks[4];
    EXPECT_EQ(inner.kind, kBlockPlain);
    EXPECT_EQ(inner.parent, 4u);  // index + 1 of the function
    EXPECT_EQ(inner.start, open(4));
    EXPECT_EQ(inner.end, close(3));
}

TEST(ScriptCompiler, LongStringsAreKeptWhole) {
    const std::string inlineText(kMaxInlineText, 'a');
    const std::string longText = std::string(600, 'b') + "\"; x = y + ";
    struct Case {
        std::string source;
        std::string text;
        bool pooled;
    } cases[] = {
        {"s = \"" + inlineText + "\";", inlineText, false},
        {"s = \"" + inlineText + "c\";", inlineText + "c", true},
        // A literal longer than any instruction keeps its quotes and code-like text.
        {"s = '" + longText + "';", longText, true},
        // Without a closing quote it ends at the line end.
        {"s = '" + longText + "\n;", longText, true},
    };
    for (const Case& c : cases) {
        CScriptCompiler compiler;
        compiler.AddSourceText("m", c.source.data(), static_cast<uint32_t>(c.source.size()), kModuleOwnsText);
        ASSERT_EQ(compiler.Compile(), 1) << compiler.GetLastError()->code;
        const CCompiledProgram& p = compiler.Program();
        const uint8_t* s = p.code.data() + FindInstr(p, kOpString);
        EXPECT_EQ((InstrFlags(s) & kInstrPooledText) != 0, c.pooled);
        EXPECT_LE(InstrLength(s), kInstrMaxLength);
        EXPECT_EQ(p.StringConstantText(s), c.text);
        // name = string ; and nothing else
        EXPECT_EQ(InstrCode(NextInstr(s)), kOpSemicolon);
        EXPECT_EQ(InstrCode(NextInstr(NextInstr(s))), kOpEnd);
    }
}

TEST(ScriptCompiler, ModulesShareNamesAndReportTheirOwnPositions) {
    CScriptCompiler compiler;
    compiler.AddSourceText("one", "Count = 1;\r\n", 12, kModuleOwnsText | kModuleWrap, 7);
    std::string two = "count += 1;\nFunction f() { }\n";
    compiler.AddSourceText("two", two.data(), static_cast<uint32_t>(two.size()), 0, 8);
    ASSERT_EQ(compiler.Compile(), 1);
    CCompiledProgram& p = compiler.Program();
    EXPECT_EQ(ListCode(p), "<start:7> ; Count = 1 ; <end> ; Count += 1 ; Function->15#0 {->14#0 }->13#0 <0>");
    // Count and count are one name.
    EXPECT_EQ(ReadU32(p.code.data() + FindInstr(p, kOpName, 0) + kFieldNameRef),
              ReadU32(p.code.data() + FindInstr(p, kOpName, 1) + kFieldNameRef));
    EXPECT_EQ(p.blocks[0].moduleWord, 8u);
    EXPECT_EQ(InstrPosition(p.code.data() + FindInstr(p, kOpFunction)), MakePositionWord(1, 12));
    // A borrowed text is not copied.
    EXPECT_EQ(p.modules[1].text, two.data());

    // An error in the second module names it; a block left open at the end
    // of a module is an error even when another module follows.
    struct Case {
        const char* first;
        const char* second;
        int32_t code;
        const char* module;
        int32_t line;
    } cases[] = {
        {"x = 1;", "\n\ny = ;", 16, "b", 2},
        {"If (a) {\n x = 1;", "}", 3, "a", 1},
        {"x = (1", "+ 2);", 2, "a", 0},
    };
    for (const Case& c : cases) {
        CScriptCompiler two_modules;
        two_modules.AddSourceText("a", c.first, static_cast<uint32_t>(std::strlen(c.first)), kModuleOwnsText);
        two_modules.AddSourceText("b", c.second, static_cast<uint32_t>(std::strlen(c.second)), kModuleOwnsText);
        ASSERT_EQ(two_modules.Compile(), 0) << c.first;
        EXPECT_EQ(two_modules.GetLastError()->code, c.code) << c.first;
        EXPECT_EQ(two_modules.GetLastError()->module, c.module) << c.first;
        EXPECT_EQ(two_modules.GetLastError()->line, c.line) << c.first;
    }
}

TEST(ScriptCompiler, ControlBytesEndTheTextWhenAsked) {
    Outcome stops = CompileSource("x = 1;\ny = ;", kModuleOwnsText | kModuleControlEndsText);
    ASSERT_TRUE(stops.ok);
    EXPECT_EQ(stops.listing, "x = 1 ;");
    // A length shorter than the text, or a zero byte, ends it too.
    CScriptCompiler compiler;
    compiler.AddSourceText("m", "x = 1; y = ;", 6, 0);
    compiler.AddSourceText("n", "z = 2;\0 w = ;", 13, kModuleOwnsText);
    ASSERT_EQ(compiler.Compile(), 1);
    EXPECT_EQ(ListCode(compiler.Program()), "x = 1 ; z = 2 ; <0>");
}

TEST(ScriptCompiler, SourceFiles) {
    CScriptCompiler compiler;
    try {
        compiler.AddSourceFile("no such folder\\no such file.src");
        FAIL() << "no throw";
    } catch (const CIError& e) {
        EXPECT_EQ(e.code, 17);
        EXPECT_EQ(e.line, -1);
        EXPECT_EQ(e.column, -1);
        EXPECT_TRUE(e.module.empty());
    }

    TestFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string path = folder.File("game.src");
    const char text[] = "x = 1;\ny = 2\n";
    ASSERT_TRUE(WriteWholeFile(path, std::vector<uint8_t>(text, text + sizeof text - 1)));
    compiler.AddSourceFile(path.c_str());
    ASSERT_EQ(compiler.Compile(), 0);
    EXPECT_EQ(compiler.GetLastError()->code, 6);
    EXPECT_EQ(compiler.GetLastError()->module, path);
    EXPECT_EQ(compiler.GetLastError()->line, 1);
}

TEST(ScriptCompiler, TakingTheProgramLeavesTheCompilerEmpty) {
    CScriptCompiler compiler;
    compiler.AddSourceText("m", "x = 1;", 6, kModuleOwnsText);
    ASSERT_EQ(compiler.Compile(), 1);
    CCompiledProgram program = compiler.TakeProgram();
    EXPECT_EQ(ListCode(program), "x = 1 ; <0>");
    EXPECT_TRUE(compiler.Program().code.empty());
    EXPECT_TRUE(compiler.Program().modules.empty());
    // A second program compiles the same way.
    compiler.AddSourceText("m2", "y = 2;", 6, kModuleOwnsText);
    ASSERT_EQ(compiler.Compile(), 1);
    EXPECT_EQ(ListCode(compiler.Program()), "y = 2 ; <0>");
    EXPECT_STREQ(program.GetName(ReadU32(program.code.data() + kFieldNameRef)), "x");
}

TEST(ScriptCompiler, NestingIsBoundedButElseIfChainsAreNot) {
    std::string deep = "x = " + std::string(300, '(') + "1" + std::string(300, ')') + ";";
    Outcome out = CompileSource(deep);
    ASSERT_FALSE(out.ok);
    EXPECT_EQ(out.error.code, 13);
    std::string blocks = std::string(300, '{') + std::string(300, '}');
    EXPECT_EQ(CompileSource(blocks).error.code, 13);
    EXPECT_TRUE(CompileSource("x = " + std::string(200, '(') + "1" + std::string(200, ')') + ";").ok);

    std::string chain = "If (a) x = 1;";
    for (int i = 0; i < 5000; ++i) chain += " Else If (a) x = 1;";
    chain += " Else x = 2;";
    CScriptCompiler compiler;
    compiler.AddSourceText("m", chain.data(), static_cast<uint32_t>(chain.size()), kModuleOwnsText);
    ASSERT_EQ(compiler.Compile(), 1);
    // Every Else jumps to the end of the whole chain.
    const CCompiledProgram& p = compiler.Program();
    const uint32_t end = static_cast<uint32_t>(p.code.size() - 4);
    EXPECT_EQ(ReadU32(p.code.data() + FindInstr(p, kOpElse, 0) + kFieldJump), end);
    EXPECT_EQ(ReadU32(p.code.data() + FindInstr(p, kOpElse, 5000) + kFieldJump), end);
}

TEST(CodeFormat, SkipsOverConditionalBranches) {
    CScriptCompiler compiler;
    const char* source = "y = (c ? f(1) + New Button(2) : g(a[1]));\nz = c ? (d ? 1 : 2) : 3;";
    compiler.AddSourceText("m", source, static_cast<uint32_t>(std::strlen(source)), kModuleOwnsText);
    ASSERT_EQ(compiler.Compile(), 1);
    const CCompiledProgram& p = compiler.Program();
    const uint8_t* code = p.code.data();
    // Behind the first ":", the ")" that closes the "(" before c: calls and
    // New open argument lists whose "(" is not in the code.
    const uint8_t* colon = code + FindInstr(p, kOpColon, 0);
    EXPECT_EQ(SkipToUnmatchedClose(NextInstr(colon)), code + FindInstr(p, kOpCloseParen, 3));
    // From the first "?" to the ":" that belongs to it.
    const uint8_t* question = code + FindInstr(p, kOpConditional, 0);
    EXPECT_EQ(SkipToConditionalColon(NextInstr(question)), colon);
    const uint8_t* outer = code + FindInstr(p, kOpConditional, 1);
    EXPECT_EQ(SkipToConditionalColon(NextInstr(outer)), code + FindInstr(p, kOpColon, 2));
    // Without a closing ")" the statement end stops the skip.
    const uint8_t* last = code + FindInstr(p, kOpColon, 2);
    EXPECT_EQ(SkipToUnmatchedClose(NextInstr(last)), code + FindInstr(p, kOpSemicolon, 1));
}
