// The plain rules of the text and range controls: bounds in order, default
// bar sizes, the acceleration table edits and the number texts.
#include "ui/range_rules.h"
#include "ui/text_field.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RangeRules, BoundsAndDefaultSizes) {
    int32_t a = 100, b = 0;
    PutInOrder(&a, &b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 100);
    a = -5, b = 3;  // signed comparison
    PutInOrder(&a, &b);
    EXPECT_EQ(a, -5);
    const struct {
        bool vertical, widthGiven, heightGiven;
        int32_t width, height, wantWidth, wantHeight;
    } kCases[] = {
        {true, true, false, 150, 30, 17, 150},   // a width alone is a vertical bar's height
        {true, false, false, 100, 30, 17, 100},
        {false, false, false, 100, 30, 100, 15},
        {false, true, false, 250, 30, 250, 15},
        {true, true, true, 40, 60, 40, 60},      // an explicit height keeps both
        {false, false, true, 100, 60, 100, 60},
    };
    for (const auto& c : kCases) {
        int32_t w = c.width, h = c.height;
        DefaultBarSize(c.vertical, c.widthGiven, c.heightGiven, 15, 17, &w, &h);
        EXPECT_EQ(w, c.wantWidth) << c.vertical << c.widthGiven << c.heightGiven;
        EXPECT_EQ(h, c.wantHeight) << c.vertical << c.widthGiven << c.heightGiven;
    }
}

TEST(RangeRules, AccelerationStepsStayOrderedBySeconds) {
    // The up-down control's default steps: 0 s by 1, 2 s by 5, 5 s by 20.
    CAccelStep steps[8] = {{0, 1}, {2, 5}, {5, 20}};
    InsertAccelStep(steps, 3, {2, 7});  // before the first step of at least 2 s
    const std::vector<uint32_t> want = {0, 1, 2, 7, 2, 5, 5, 20};
    std::vector<uint32_t> got;
    for (int i = 0; i < 4; ++i) {
        got.push_back(steps[i].seconds);
        got.push_back(steps[i].increment);
    }
    EXPECT_EQ(got, want);
    // An omitted seconds argument is 0x80000000: compared unsigned, it goes last.
    InsertAccelStep(steps, 4, {0x80000000u, 3});
    EXPECT_EQ(steps[4].seconds, 0x80000000u);
    // Removal matches seconds or increment, the first one only.
    // Steps now {0,1} {2,7} {2,5} {5,20} {0x80000000,3}: 5 is first met as
    // the increment of {2, 5}, before the seconds of {5, 20}.
    EXPECT_TRUE(RemoveAccelStep(steps, 5, 5));
    EXPECT_EQ(steps[2].seconds, 5u);
    EXPECT_TRUE(RemoveAccelStep(steps, 4, 0));   // {0, 1} by its seconds
    EXPECT_EQ(steps[0].increment, 7u);
    EXPECT_FALSE(RemoveAccelStep(steps, 3, 99));
}

TEST(TextFieldRules, NumberTextsAndTabUnits) {
    EXPECT_EQ(text_field::TextToInt("12abc"), 12);
    EXPECT_EQ(text_field::TextToInt("  -42x"), -42);
    EXPECT_EQ(text_field::TextToInt("abc"), 0);
    // Only the first 61 characters count: 60 zeros and a 7, then more digits.
    const std::string longText = std::string(60, '0') + "7" + "123456789";
    EXPECT_EQ(text_field::TextToInt(text_field::NumberText(longText)), 7);
    EXPECT_EQ(text_field::TextToInt(std::string(70, '9')), INT32_MAX);
    EXPECT_EQ(text_field::TabStopUnits(32, 8), 16u);
    EXPECT_EQ(text_field::TabStopUnits(33, 7), 18u);
    EXPECT_EQ(text_field::TabStopUnits(33, 0), 0u);
    EXPECT_EQ(TextFieldEventOf(0x300), kOnTextChanged);
    EXPECT_EQ(TextFieldEventOf(0x602), kOnVerticalScroll);
    EXPECT_EQ(TextFieldEventOf(0x400), -1);
}

}  // namespace
