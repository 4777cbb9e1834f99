#include "runtime/interp/interpretor.h"
#include "runtime/interp/script_array.h"
#include "runtime/interp/script_object.h"
#include "runtime/interp/script_value.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

class ArrayTest : public ::testing::Test {
protected:
    CInterpretor interp;

    // Stores an integer at the indices; "ok" or "E<code>/<detail>".
    std::string Store(CValue& array, std::initializer_list<int32_t> indices, int32_t value) {
        std::vector<int32_t> list(indices);
        CValue v(&interp, value);
        try {
            array.SetArrayItemAt(list.data(), static_cast<int32_t>(list.size()), v);
            return "ok";
        } catch (const CIError& e) {
            return "E" + std::to_string(e.code) + "/" + std::to_string(e.detail);
        }
    }
    // The integer at the indices, or -1 for a cell never stored.
    int32_t Read(CValue& array, std::initializer_list<int32_t> indices) {
        std::vector<int32_t> list(indices);
        CValue* cell = array.GetArrayItem(list.data(), static_cast<int32_t>(list.size()));
        return cell ? cell->GetInt() : -1;
    }
    std::vector<uint32_t> Sizes(const CValue& array) {
        const CScriptArray* a = array.GetArray();
        return std::vector<uint32_t>(a->m_sizes, a->m_sizes + a->m_dimensionCount);
    }
};

using Sz = std::vector<uint32_t>;

}  // namespace

TEST_F(ArrayTest, OneDimensionGrowsAndRefusesBadIndices) {
    CValue a(&interp);
    a.MakeArray();
    EXPECT_EQ(Store(a, {5}, 50), "ok");
    EXPECT_EQ(Sizes(a), Sz{6});
    EXPECT_EQ(a.GetArray()->GetCellCount(), 6u);
    EXPECT_EQ(Store(a, {1, 1}, 0), "E66/1");
    EXPECT_EQ(Store(a, {-1}, 0), "E45/1");
    EXPECT_EQ(Store(a, {0x1FFFFFFF}, 0), "E45/1");
    EXPECT_EQ(Store(a, {40}, 400), "ok");
    EXPECT_EQ(Sizes(a), Sz{41});
    EXPECT_EQ(Read(a, {5}), 50);
    EXPECT_EQ(Read(a, {40}), 400);
    EXPECT_EQ(Read(a, {7}), -1);  // never stored

    CValue one(&interp, 1);
    a.SetArrayCell(2, one);
    EXPECT_EQ(Read(a, {2}), 1);
    EXPECT_THROW(a.SetArrayCell(41, one), CIError);
    a.SetArrayItemText(3, "copied");
    EXPECT_STREQ(a.GetArrayItem(std::vector<int32_t>{3}.data(), 1)->GetString(), "copied");
}

TEST_F(ArrayTest, FirstUseChecksTheIndexList) {
    struct Case { std::vector<int32_t> indices; const char* result; };
    const Case cases[] = {
        {{}, "E14/0"},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "E14/11"},
        {{3, -1}, "E45/2"},
        {{0, 0, 0, 0, 0x1FFFFFFE}, "E45/5"},
        {{0x10000, 0x10000}, "E15/0"},   // 2^32 cells: more than 32 bits
        {{0x8000, 0x8000}, "E15/0"},     // each size fine, the total is not
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 4}, "ok"},
    };
    for (const Case& c : cases) {
        CValue a(&interp);
        a.MakeArray();
        std::string got;
        try {
            a.GetArrayCellIndex(c.indices.data(), static_cast<int32_t>(c.indices.size()));
            got = "ok";
        } catch (const CIError& e) {
            got = "E" + std::to_string(e.code) + "/" + std::to_string(e.detail);
        }
        EXPECT_EQ(got, c.result) << c.indices.size() << " indices";
        if (got != "ok") {
            EXPECT_EQ(a.GetArray()->m_dimensionCount, 0);  // still undimensioned
        }
    }
}

TEST_F(ArrayTest, TwoDimensionsResizeKeepingCells) {
    CValue a(&interp);
    a.MakeArray();
    EXPECT_EQ(Store(a, {1, 1}, 11), "ok");
    EXPECT_EQ(Sizes(a), (Sz{2, 2}));
    EXPECT_EQ(Store(a, {0, 1}, 1), "ok");
    EXPECT_EQ(Store(a, {3, 0}, 30), "ok");
    EXPECT_EQ(Sizes(a), (Sz{4, 2}));
    uint32_t flat = a.GetArrayCellIndex(std::vector<int32_t>{1, 1}.data(), 2);
    EXPECT_EQ(flat, 5u);
    EXPECT_EQ(a.GetArray()->GetCell(5)->GetInt(), 11);
    EXPECT_EQ(Read(a, {0, 1}), 1);
    EXPECT_EQ(Read(a, {3, 0}), 30);

    EXPECT_EQ(Store(a, {1, -1}, 0), "E45/2");
    EXPECT_EQ(Store(a, {-2, 0}, 0), "E45/1");
    EXPECT_EQ(Store(a, {1}, 0), "E66/2");
    EXPECT_EQ(Store(a, {0x10000, 0x10000}, 0), "E15/0");
    EXPECT_EQ(Sizes(a), (Sz{4, 2}));  // a refused growth changes nothing
    EXPECT_EQ(Read(a, {1, 1}), 11);
}

TEST_F(ArrayTest, ThreeAndMoreDimensions) {
    CValue a(&interp);
    a.MakeArray();
    EXPECT_EQ(Store(a, {1, 0, 2}, 102), "ok");
    EXPECT_EQ(Store(a, {0, 3, 0}, 30), "ok");
    EXPECT_EQ(Sizes(a), (Sz{2, 4, 3}));
    EXPECT_EQ(Read(a, {1, 0, 2}), 102);
    EXPECT_EQ(Store(a, {0, 0, -1}, 0), "E45/3");

    CValue b(&interp);
    b.MakeArray();
    EXPECT_EQ(Store(b, {1, 1, 1, 1, 1}, 77), "ok");
    EXPECT_EQ(Store(b, {0, 0, 0, 0, 0}, 1), "ok");  // inside: no resize
    EXPECT_EQ(Sizes(b), (Sz{2, 2, 2, 2, 2}));
    EXPECT_EQ(Store(b, {2, 0, 0, 3, 0}, 5), "ok");
    EXPECT_EQ(Sizes(b), (Sz{3, 2, 2, 4, 2}));
    EXPECT_EQ(Read(b, {1, 1, 1, 1, 1}), 77);
    EXPECT_EQ(Read(b, {0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(Read(b, {2, 0, 0, 3, 0}), 5);
    EXPECT_EQ(Store(b, {0, 0, 0, -5, 0}, 0), "E45/4");
    EXPECT_EQ(Store(b, {0, 0, 0, 0}, 0), "E66/5");
}

// An array grown cell by cell in every order of its dimensions (so that each
// dimension in turn is the one that grows, the slowest one alone too, and
// storage with room beyond the sizes is laid out again) holds each cell at
// the flat index of its own indices, dimension 1 fastest.
TEST_F(ArrayTest, GrowingInAnyOrderKeepsEveryCellInItsPlace) {
    const int32_t sizes[3] = {3, 3, 4};  // 3: a size below the room doubling gives
    const uint32_t cells = 36;
    int32_t order[3] = {0, 1, 2};
    do {
        CValue a(&interp);
        a.MakeArray();
        int32_t at[3];
        for (at[order[2]] = 0; at[order[2]] < sizes[order[2]]; ++at[order[2]])
            for (at[order[1]] = 0; at[order[1]] < sizes[order[1]]; ++at[order[1]])
                for (at[order[0]] = 0; at[order[0]] < sizes[order[0]]; ++at[order[0]])
                    ASSERT_EQ(Store(a, {at[0], at[1], at[2]}, 100 * at[0] + 10 * at[1] + at[2]), "ok");
        ASSERT_EQ(Sizes(a), (Sz{3, 3, 4}));
        const CScriptArray* array = a.GetArray();
        ASSERT_EQ(array->GetCellCount(), cells);
        for (uint32_t flat = 0; flat < cells; ++flat) {
            const int32_t expected = 100 * static_cast<int32_t>(flat % 3) + 10 * static_cast<int32_t>(flat / 3 % 3) +
                                     static_cast<int32_t>(flat / 9);
            ASSERT_NE(array->GetCell(flat), nullptr) << "order " << order[0] << order[1] << order[2];
            EXPECT_EQ(array->GetCell(flat)->GetInt(), expected) << "order " << order[0] << order[1] << order[2];
        }
        // Every cell by its flat index, then one more in each dimension: the
        // cells the growth brings read as never stored.
        for (uint32_t flat = 0; flat < cells; ++flat)
            a.SetArrayCell(flat, CValue(&interp, 7));
        EXPECT_THROW(a.SetArrayCell(cells, CValue(&interp, 7)), CIError);
        ASSERT_EQ(Store(a, {3, 3, 4}, 345), "ok");
        ASSERT_EQ(Sizes(a), (Sz{4, 4, 5}));
        for (int32_t i = 0; i < 4; ++i)
            for (int32_t j = 0; j < 4; ++j)
                for (int32_t k = 0; k < 5; ++k) {
                    const int32_t expected = i == 3 && j == 3 && k == 4 ? 345 : i < 3 && j < 3 && k < 4 ? 7 : -1;
                    ASSERT_EQ(Read(a, {i, j, k}), expected) << i << "," << j << "," << k;
                }
        uint32_t stored = 0;
        for (uint32_t flat = 0; flat < array->GetCellCount(); ++flat)
            stored += array->GetCell(flat) != nullptr;
        EXPECT_EQ(stored, cells + 1);
    } while (std::next_permutation(order, order + 3));
}

TEST_F(ArrayTest, ArraysAreSharedAndFreedWithTheirLastHolder) {
    class Obj : public CIBaseClassImpl {
    public:
        explicit Obj(CInterpretor* i) : CIBaseClassImpl(i, nullptr, 9, true) {}
    } object(&interp);

    CValue* a = new CValue(&interp);
    a->MakeArray();
    uint32_t handle = a->GetArrayHandle();
    EXPECT_EQ(handle, 1u);
    CValue b(&interp);
    b.Assign(*a);
    EXPECT_EQ(a->GetArray()->m_refCount, 2u);
    Store(b, {2}, 20);
    EXPECT_EQ(Read(*a, {2}), 20);  // seen through both

    CValue nested(&interp);
    nested.MakeArray();
    uint32_t nestedHandle = nested.GetArrayHandle();
    CValue ref(&object);
    nested.SetArrayItem(0, ref);
    b.SetArrayItem(0, nested);
    b.SetArrayItem(1, ref);
    EXPECT_EQ(b.GetArray()->m_objectCells, 1);
    nested.Clear();
    EXPECT_EQ(object.m_refCount, 3);

    delete a;
    EXPECT_NE(interp.GetArray(handle), nullptr);
    b.SetInt(0);  // last holder: the array, its nested array and their cells go
    EXPECT_EQ(interp.GetArray(handle), nullptr);
    EXPECT_EQ(interp.GetArray(nestedHandle), nullptr);
    EXPECT_EQ(object.m_refCount, 1);
    EXPECT_EQ(object.m_referrerCount, 1);
}

TEST_F(ArrayTest, ManyCellsKeepTheirPlaceAndAllGoWithTheArray) {
    // Cells filled one by one over many cell blocks, and in a second
    // dimension that moves them: each cell stays where it was made (a
    // variable's origin may point at it) and holds what was stored.
    class Obj : public CIBaseClassImpl {
    public:
        explicit Obj(CInterpretor* i) : CIBaseClassImpl(i, nullptr, 9, true) {}
    } object(&interp);
    CValue ref(&object);
    CValue* a = new CValue(&interp);
    a->MakeArray();
    uint32_t handle = a->GetArrayHandle();
    const int32_t count = 3000;
    std::vector<CValue*> made;
    for (int32_t i = 0; i < count; ++i) {
        if (i % 3 == 0) {
            a->SetArrayItemText(i, std::to_string(i).c_str());
        } else if (i % 3 == 1) {
            a->SetArrayItem(i, ref);
        } else {
            Store(*a, {i}, i);
        }
        made.push_back(a->GetArray()->GetCell(static_cast<uint32_t>(i)));
    }
    EXPECT_EQ(object.m_refCount, 1 + count / 3);
    for (int32_t i = 0; i < count; ++i) {
        ASSERT_EQ(a->GetArray()->GetCell(static_cast<uint32_t>(i)), made[i]) << i;
        if (i % 3 == 0)
            ASSERT_STREQ(made[i]->GetText(), std::to_string(i).c_str()) << i;
        else if (i % 3 == 1)
            ASSERT_EQ(made[i]->GetObject(), &object) << i;
        else
            ASSERT_EQ(made[i]->GetInt(), i) << i;
    }
    delete a;  // the last holder: every cell released
    EXPECT_EQ(interp.GetArray(handle), nullptr);
    EXPECT_EQ(object.m_refCount, 1);
    EXPECT_EQ(object.m_referrerCount, 1);

    CValue grid(&interp);
    grid.MakeArray();
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 40; ++x)
            EXPECT_EQ(Store(grid, {x, y}, x * 100 + y), "ok");
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 40; ++x)
            ASSERT_EQ(Read(grid, {x, y}), x * 100 + y) << x << "," << y;
}

TEST_F(ArrayTest, NonArrays) {
    CValue v(&interp, 5);
    EXPECT_EQ(v.GetArrayCellIndex(std::vector<int32_t>{1}.data(), 1), 0u);
    CValue x(&interp, 1);
    try {
        v.SetArrayItem(0, x);
        FAIL() << "no error";
    } catch (const CIError& e) {
        EXPECT_EQ(e.code, 44);
    }
    // Reading an item turns the value into a new array first.
    EXPECT_EQ(v.GetArrayItem(std::vector<int32_t>{2}.data(), 1), nullptr);
    EXPECT_EQ(v.GetTag(), CValue::kArray);
    EXPECT_EQ(Sizes(v), Sz{3});
    CValue ownerless;
    EXPECT_THROW(ownerless.MakeArray(), CIError);
}
