// Rich text behind fixed-width fake metrics: every character is |height| / 2
// wide (one more in bold), lines are |height| high with an ascent of
// |height| - 2. Drawing, marking and scrolling are recorded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "graphics2d/rich_text.h"

namespace {

struct Drawn {
    std::string text;
    int32_t x, baseline;
    uint32_t colour;
    LogFontA font;
};

class FakeHost : public IRichTextHost {
public:
    FakeHost(int32_t w, int32_t h) : width(w), height(h) {}
    int32_t Width() override { return width; }
    int32_t Height() override { return height; }
    bool Measure(void* font, const char* text, int32_t length, RichTextExtent* e) override {
        const LogFontA& f = *static_cast<LogFontA*>(font);
        const int32_t h = std::abs(f.lfHeight);
        e->width = (h / 2 + (f.lfWeight >= 700)) * length;
        e->height = h;
        e->ascent = h - 2;
        (void)text;
        return true;
    }
    bool ScriptMetrics(void* font, RichScriptMetrics* m) override {
        const LogFontA& f = *static_cast<LogFontA*>(font);
        if (std::strcmp(f.lfFaceName, "BITMAP") == 0) return false;
        m->subscriptSize = 7, m->subscriptOffset = 3, m->superscriptSize = 6, m->superscriptOffset = 5;
        return true;
    }
    void* CreateFont(const LogFontA& d) override {
        ++made;
        if (refuse) return nullptr;
        return new LogFontA(d);
    }
    void DeleteFont(void* font) override {
        ++deleted;
        delete static_cast<LogFontA*>(font);
    }
    void Draw(const char* text, int32_t length, int32_t x, int32_t baseline, const CRect&, uint32_t colour,
              void* font) override {
        drawn.push_back({std::string(text, static_cast<size_t>(length)), x, baseline, colour,
                         *static_cast<LogFontA*>(font)});
    }
    void Mark(const CRect& r) override { marks.push_back(r); }
    void Scroll(int32_t rows) override { scrolls.push_back(rows); }

    int32_t width, height;
    int made = 0, deleted = 0;
    bool refuse = false;
    std::vector<Drawn> drawn;
    std::vector<CRect> marks;
    std::vector<int32_t> scrolls;
};

LogFontA Font(int32_t height, const char* face = "ARIAL") {
    LogFontA f{};
    f.lfHeight = height;
    f.lfWeight = 400;
    std::strncpy(f.lfFaceName, face, 31);
    return f;
}

class RichTextTest : public ::testing::Test {
protected:
    // A writer on a fresh host of the size with a 20-high font in black.
    std::unique_ptr<CRichTextWriter> Writer(int32_t w, int32_t h, bool wrapping = true, int32_t x = 0, int32_t y = 0) {
        hosts_.emplace_back(new FakeHost(w, h));
        host_ = hosts_.back().get();
        return std::unique_ptr<CRichTextWriter>(new CRichTextWriter(host_, &font_, font_, 0x000000, wrapping, x, y));
    }
    std::string Texts() const {
        std::string all;
        for (const Drawn& d : host_->drawn) all += "[" + d.text + "]";
        return all;
    }
    LogFontA font_ = Font(-20);
    // Hosts outlive the writers made on them.
    std::vector<std::unique_ptr<FakeHost>> hosts_;
    FakeHost* host_ = nullptr;
};

TEST(RichTokens, TagsWordsAndMalformedTags) {
    const struct {
        const char* text;
        uint32_t kind;
        const char* tokenText;
        size_t end;
    } cases[] = {
        {"<b>x", kRichBold, "", 3},
        {"<STRONG>", kRichBold, "", 8},
        {"</em>", kRichClose + kRichItalic, "", 5},
        {"< tt>", kRichTypewriter, "", 5},
        {"< tt >", kRichText, "< tt >", 6},
        {"</FONT>", kRichClose + kRichFont, "", 7},
        {"<blink>x", kRichEnd, "", 7},  // unknown: skipped
        {"<B x>y<", kRichText, "<B x>y", 6},
        {"<B", kRichText, "<B", 2},
        {"plain<b>", kRichText, "plain", 5},
        {"<FONT FACE>x<b>", kRichFont, "", 11},  // FONT without value: no attribute
        {"<FONT FACE x>y<b>", kRichText, "<FONT FACE x>y", 14},
        {"<FONT>", kRichFont, "", 6},
        {"<FONT SIZE", kRichText, "<FONT SIZE", 10},
        {"<FONT WIDTH=9 COLOR=#00ff00>", kRichFont | kRichFontColour, "", 28},  // unknown attribute skipped
    };
    for (const auto& c : cases) {
        size_t pos = 0;
        const RichToken t = NextRichToken(c.text, &pos, -20);
        EXPECT_EQ(t.kind, c.kind) << c.text;
        EXPECT_EQ(t.text, c.tokenText) << c.text;
        EXPECT_EQ(pos, c.end) << c.text;
    }
    size_t pos = 0;
    EXPECT_EQ(ReadRichWord(" \t\n\"courier new\"x", &pos), "COURIER NEW");
    EXPECT_EQ(pos, 16u);
    pos = 0;
    EXPECT_EQ(ReadRichWord("\rab=c", &pos), "\rAB");
}

TEST(RichTokens, FontAttributes) {
    const struct {
        const char* text;
        int32_t height;  // current height
        uint32_t flags;
        const char* face;
        int32_t newHeight;
        uint32_t colour;
    } cases[] = {
        {"<FONT COLOR=#FF0000>", -20, kRichFontColour, "", 0, 0x0000FF},
        {"<font color=\"0a0B0c\">", -20, kRichFontColour, "", 0, 0x0C0B0A},
        {"<FONT COLOR=#FF00>", -20, 0, "", 0, 0},  // two numbers only: ignored
        {"<FONT SIZE=12>", -20, kRichFontHeight, "", -12, 0},
        {"<FONT SIZE=+2>", -20, kRichFontHeight, "", -22, 0},
        {"<FONT SIZE=-2>", 20, kRichFontHeight, "", -18, 0},
        {"<FONT SIZE=-30>", -20, 0, "", 0, 0},  // clamped at 0: unchanged
        {"<FONT SIZE=0>", -20, 0, "", 0, 0},
        {"<FONT FACE=\"times new roman\" SIZE=9>", -20, kRichFontFace | kRichFontHeight, "TIMES NEW ROMAN", -9, 0},
        {"<FONT FACE=abcdefghijklmnopqrstuvwxyz0123456789>", -20, kRichFontFace, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234",
         0, 0},
    };
    for (const auto& c : cases) {
        size_t pos = 0;
        const RichToken t = NextRichToken(c.text, &pos, c.height);
        EXPECT_EQ(t.kind, kRichFont | c.flags) << c.text;
        EXPECT_EQ(t.face, c.face) << c.text;
        if (c.flags & kRichFontHeight) { EXPECT_EQ(t.height, c.newHeight) << c.text; }
        if (c.flags & kRichFontColour) { EXPECT_EQ(t.colour, c.colour) << c.text; }
        EXPECT_EQ(pos, std::strlen(c.text)) << c.text;
    }
}

TEST(RichEntities, AppliedInTableOrder) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"&lt;B&gt;", "<B>"},
        {"a&nbsp;b", "ab"},
        {"a&#160;b", "ab"},
        {"&amp;lt;", "<"},
        {"&#10;&#13;&#09;", "\x08\x0B\t"},
        {"&notin;", "\xACin;"},
        {"&brkbar;&die;&hibar;&copy;&yuml;", "\xA6\xA8\xAF\xA9\xFF"},
        {"&#92;&#126;&#255;", "\\~\xFF"},
        {"&unknown; &", "&unknown; &"},
    };
    for (const auto& c : cases) {
        std::string s = c.in;
        ApplyRichEntities(&s);
        EXPECT_EQ(s, c.out) << c.in;
    }
    size_t count = 0;
    RichTextEntities(&count);
    EXPECT_EQ(count, 297u);
}

TEST_F(RichTextTest, StylesAndColoursWhileDrawing) {
    auto w = Writer(1000, 200);
    w->Write("a<b>b</b><i>c</i><FONT COLOR=#0000FF>d<FONT COLOR=#00FF00>e</FONT>f</FONT>g");
    ASSERT_EQ(Texts(), "[a][b][c][d][e][f][g]");
    const auto& d = host_->drawn;
    EXPECT_EQ(d[1].font.lfWeight, 700);
    EXPECT_EQ(d[2].font.lfWeight, 400);
    EXPECT_EQ(d[2].font.lfItalic, 1);
    EXPECT_EQ(d[3].colour, 0xFF0000u);  // blue
    EXPECT_EQ(d[4].colour, 0x00FF00u);  // green
    EXPECT_EQ(d[5].colour, 0xFF0000u);  // blue again after the inner close
    EXPECT_EQ(d[6].colour, 0x000000u);  // the pen colour after the outer one
    // x advances by each text's width: 10 per character, 11 in bold.
    EXPECT_EQ(d[1].x, 10);
    EXPECT_EQ(d[2].x, 21);
    EXPECT_EQ(w->X(), 71);
    EXPECT_EQ(w->Y(), 0);
}

TEST_F(RichTextTest, SizesFacesAndScripts) {
    auto w = Writer(1000, 200);
    w->Write("<BIG>a</BIG><SMALL>b</SMALL><TT>c</TT><SUP>d</SUP><SUB>e</SUB><FONT SIZE=+2>f</FONT>g</SUP>");
    const auto& d = host_->drawn;
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(d[0].font.lfHeight, -35);  // -20 × 1.75
    EXPECT_EQ(d[1].font.lfHeight, -11);  // -20 × 4/7, toward zero
    EXPECT_STREQ(d[2].font.lfFaceName, "Courier New");
    EXPECT_STREQ(d[3].font.lfFaceName, "ARIAL");
    EXPECT_EQ(d[3].font.lfHeight, -6);
    EXPECT_EQ(d[4].font.lfHeight, -7);
    EXPECT_EQ(d[5].font.lfHeight, -22);
    EXPECT_EQ(d[6].font.lfHeight, -20);
    // The line's ascent is the largest ascent plus shift: BIG's 33.
    const int32_t baseline = d[6].baseline;
    EXPECT_EQ(baseline, 33);
    EXPECT_EQ(d[3].baseline, baseline - 5);  // superscript up
    EXPECT_EQ(d[4].baseline, baseline + 3);  // subscript down
    // A bitmap font: SUP pushes the record only.
    font_ = Font(-20, "BITMAP");
    auto b = Writer(1000, 200);
    b->Write("<SUP>x</SUP>");
    EXPECT_EQ(host_->drawn[0].font.lfHeight, -20);
    EXPECT_EQ(host_->drawn[0].baseline, 18);
}

TEST_F(RichTextTest, MalformedAndUnknownTagsAndEntities) {
    auto w = Writer(1000, 200);
    w->Write("<B x>y<blink>z&lt;B&gt;q&nbsp;r");
    EXPECT_EQ(Texts(), "[<B x>y][z<B>qr]");
    for (const Drawn& d : host_->drawn) EXPECT_EQ(d.font.lfWeight, 400);
}

TEST_F(RichTextTest, FontCacheIsEmptiedAndFallsBack) {
    {
        auto w = Writer(1000, 200);
        w->Write("<b>a</b><b>b</b><i>c</i>");
        EXPECT_EQ(host_->made, 2);  // bold once, italic once; plain is the caller's
    }
    EXPECT_EQ(host_->deleted, 2);
    auto w = Writer(1000, 200);
    host_->refuse = true;
    w->Write("<b>a</b>");
    EXPECT_EQ(host_->drawn.size(), 1u);
    EXPECT_EQ(host_->drawn[0].font.lfWeight, 400);  // the current font
}

TEST_F(RichTextTest, WrappingCutsAtBlanksOrBeforeTheLastFittingCharacter) {
    auto w = Writer(100, 200);  // ten characters a line
    EXPECT_EQ(w->Split("one two three four"), (std::vector<std::string>{"one two ", "three four"}));
    EXPECT_EQ(w->Split("one two three fours"), (std::vector<std::string>{"one two ", "three ", "fours"}));
    EXPECT_EQ(w->Split("abcdefghijklmnop"), (std::vector<std::string>{"abcdefghij", "klmnop"}));
    // A line feed or carriage return is a character like any other.
    EXPECT_EQ(w->Split("ab\ncd\r"), (std::vector<std::string>{"ab\ncd\r"}));
    auto off = Writer(100, 200, false);
    EXPECT_EQ(off->Split("abcdefghijklmnop"), (std::vector<std::string>{"abcdefghijklmnop"}));
    // Behind the cursor, a character that does not fit: a line of blanks.
    auto behind = Writer(100, 200, true, 95);
    const auto lines = behind->Split("xy");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(100, ' '));
    EXPECT_EQ(lines[1], "xy");
    // Narrower than one character: every line still takes one.
    auto narrow = Writer(3, 200);
    EXPECT_EQ(narrow->Split("abc"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(RichTextTest, CursorRulesAndScrolling) {
    auto w = Writer(100, 50);
    w->Write("abcdefghijklm");  // two lines: ten, then three
    EXPECT_EQ(w->X(), 30);
    EXPECT_EQ(w->Y(), 20);
    w->WriteLine("xy");  // from x 30, then the next line
    EXPECT_EQ(w->X(), 0);
    EXPECT_EQ(w->Y(), 40);
    EXPECT_TRUE(host_->scrolls.empty());
    w->WriteLine("z");  // 40 + 20 passes 50: scroll by 10
    EXPECT_EQ(host_->scrolls, std::vector<int32_t>{10});
    EXPECT_EQ(w->Y(), 50);
    EXPECT_EQ(host_->drawn.back().baseline, 30 + 18);
    w->Write("abcdefghij");  // fills the line: the cursor wraps
    EXPECT_EQ(w->X(), 0);
    EXPECT_EQ(w->Y(), 50);
    EXPECT_EQ(host_->scrolls.back(), 20);
    w->EmptyLine();
    EXPECT_EQ(host_->scrolls.back(), 20);
    EXPECT_EQ(w->Y(), 50);
    // On an empty surface "WriteLn" without text moves down one font height.
    auto e = Writer(100, 50);
    e->EmptyLine();
    EXPECT_EQ(e->Y(), 20);
    EXPECT_TRUE(host_->scrolls.empty());
}

TEST_F(RichTextTest, SurfacesWithoutRowsOrColumnsEnd) {
    for (auto size : {std::pair<int32_t, int32_t>{0, 0}, {100, 0}, {0, 100}, {5, 10}}) {
        auto w = Writer(size.first, size.second);
        w->Write("some text <b>bold</b> that wraps");
        w->WriteLine("more");
        w->EmptyLine();
        EXPECT_GE(w->Y(), 0);
        EXPECT_LE(w->Y(), size.second);
        EXPECT_LE(w->X(), size.first);
    }
}

}  // namespace
