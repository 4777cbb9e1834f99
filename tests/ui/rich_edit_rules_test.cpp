// The rich edit control's rules that need no window: "FindText"'s option
// and start split, the twips arithmetic and "GetTextRange"'s bounds.
#include "ui/rich_edit_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using rich_edit::FindOptions;

TEST(RichEditRules, FindOptionsInEitherOrder) {
    const int32_t kMatchCase = static_cast<int32_t>(0x80000004u), kWholeWord = static_cast<int32_t>(0x80000002u);
    struct Case {
        std::vector<int32_t> values;
        uint32_t flags;
        int32_t start;
    } cases[] = {
        {{}, 0, 0},                                 // no start: the whole text
        {{10, kMatchCase}, 4, 10},
        {{kMatchCase, 10}, 4, 10},
        {{kWholeWord, 7, kMatchCase, 99}, 6, 7},    // the first non-negative one is the start
        {{0}, 0, 0},
        {{kMatchCase, kMatchCase}, 4, 0},
    };
    for (const Case& c : cases) {
        const FindOptions o = rich_edit::SplitFindOptions(c.values.data(), static_cast<int32_t>(c.values.size()));
        EXPECT_EQ(o.flags, c.flags) << c.values.size();
        EXPECT_EQ(o.start, c.start) << c.values.size();
    }
}

TEST(RichEditRules, TwipsAtEveryScreenDensity) {
    EXPECT_EQ(rich_edit::PixelsToTwips(12, 96), 180);
    EXPECT_EQ(rich_edit::TwipsToPixels(180, 96), 12);
    EXPECT_EQ(rich_edit::PixelsToTwips(12, 120), 144);
    // Above 1440 dpi the integer 1440 / dpi is 0: one twip per pixel, no
    // division by zero.
    EXPECT_EQ(rich_edit::TwipsPerPixel(2000), 1);
    EXPECT_EQ(rich_edit::TwipsToPixels(240, 2000), 240);
    EXPECT_EQ(rich_edit::TwipsPerPixel(0), 1);
}

TEST(RichEditRules, TextRangeBounds) {
    struct Case {
        int32_t start, end, length;
        bool sent;
        int32_t end2, size;
    } cases[] = {
        {0, -1, 10, true, 10, 11},   // the whole text
        {2, 5, 10, true, 5, 4},
        {3, 3, 10, false, 3, 0},     // empty
        {5, 2, 10, false, 2, 0},     // end before start: nothing is sent
        {4, 400, 10, true, 10, 7},   // end past the text is clamped
        {12, -1, 10, false, 10, 0},  // start past the text
        {0, -1, 0, false, 0, 0},
        {-3, 4, 10, false, 4, 0},
    };
    for (const Case& c : cases) {
        int32_t end = 0, size = 0;
        EXPECT_EQ(rich_edit::TextRangeBounds(c.start, c.end, c.length, &end, &size), c.sent) << c.start << "," << c.end;
        EXPECT_EQ(end, c.end2) << c.start << "," << c.end;
        EXPECT_EQ(size, c.size) << c.start << "," << c.end;
    }
}

}  // namespace
