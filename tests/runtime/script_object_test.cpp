#include "runtime/interp/interpretor.h"
#include "runtime/interp/script_array.h"
#include "runtime/interp/script_object.h"
#include "runtime/interp/script_value.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {
class TestObject : public CIBaseClassImpl {
public:
    TestObject(CInterpretor* interpretor, uint32_t classId, bool link = true)
        : CIBaseClassImpl(interpretor, nullptr, classId, link) {}
};

std::vector<uintptr_t> ClassList(const CInterpretor& interp, uint32_t classId) {
    std::vector<uintptr_t> items;
    const CPoolList& list = interp.m_classLists[classId];
    for (uint32_t p = list.GetHeadPosition(); p != 0;)
        items.push_back(list.GetNext(p));
    return items;
}
uintptr_t Addr(const CIBaseClassImpl& o) { return reinterpret_cast<uintptr_t>(&o); }
}  // namespace

TEST(ScriptObject, ReferencesAreCountedAndClearedWhenTheObjectDies) {
    CInterpretor interp;
    auto object = std::make_unique<TestObject>(&interp, 5);
    CValue a(object.get());
    CValue b(&interp);
    b.Assign(a);
    CValue c(&interp);
    c.SetObject(object.get(), 1);
    EXPECT_EQ(a.GetOwner(), &interp);
    EXPECT_EQ(object->m_refCount, 3);
    EXPECT_EQ(object->m_referrerCount, 3);
    EXPECT_TRUE(object->IsReferenced());

    // Dropping one takes it off the list; the last entry fills the hole.
    a.SetInt(1);
    EXPECT_EQ(object->m_refCount, 2);
    ASSERT_EQ(object->m_referrerCount, 2);
    EXPECT_EQ(object->m_referrers[0], &c);
    EXPECT_EQ(object->m_referrers[1], &b);
    c.SetObject(object.get(), 1);  // re-storing the same object counts once
    EXPECT_EQ(object->m_refCount, 2);

    object.reset();
    EXPECT_EQ(b.GetTag(), CValue::kInt);
    EXPECT_EQ(b.GetInt(), 0);
    EXPECT_EQ(c.GetTag(), CValue::kInt);
    EXPECT_EQ(c.GetInt(), 0);
}

TEST(ScriptObject, ReferrerListGrowsBeyondItsFirstBlock) {
    CInterpretor interp;
    auto object = std::make_unique<TestObject>(&interp, 5);
    std::vector<std::unique_ptr<CValue>> values;
    for (int i = 0; i < 40; ++i)
        values.push_back(std::make_unique<CValue>(object.get()));
    EXPECT_EQ(object->m_referrerCapacity, 48);
    for (int i = 0; i < 40; i += 3)
        values[i].reset();
    EXPECT_EQ(object->m_refCount, 26);
    object.reset();
    for (auto& v : values) {
        if (v) {
            EXPECT_EQ(v->GetTag(), CValue::kInt);
        }
    }
}

TEST(ScriptObject, ClearReferencesToSearchesValuesAndArrays) {
    CInterpretor interp;
    TestObject target(&interp, 2), other(&interp, 2);
    CValue direct(&target), keep(&other);
    CValue array(&interp);
    array.MakeArray();
    CValue t(&target), o(&other);
    array.SetArrayItem(0, t);
    array.SetArrayItem(1, o);
    CValue inner(&interp);
    inner.MakeArray();
    inner.SetArrayItem(3, t);
    inner.SetArrayItem(4, array);  // the outer array again: a cycle
    array.SetArrayItem(2, inner);
    array.SetArrayItem(3, array);  // and a direct self-reference
    EXPECT_EQ(target.m_refCount, 4);

    direct.ClearReferencesTo(&target);
    keep.ClearReferencesTo(&target);
    array.ClearReferencesTo(&target);
    EXPECT_EQ(direct.GetTag(), CValue::kInt);
    EXPECT_EQ(keep.GetObject(), &other);
    EXPECT_EQ(array.GetArrayItem(std::vector<int32_t>{0}.data(), 1)->GetTag(), CValue::kInt);
    EXPECT_EQ(array.GetArrayItem(std::vector<int32_t>{1}.data(), 1)->GetObject(), &other);
    EXPECT_EQ(inner.GetArrayItem(std::vector<int32_t>{3}.data(), 1)->GetTag(), CValue::kInt);
    EXPECT_EQ(target.m_refCount, 1);  // only t is left
    EXPECT_EQ(array.GetArray()->m_objectCells, 1);
}

TEST(ScriptObject, ReleaseAllLeavesCountsAlone) {
    CInterpretor interp;
    TestObject object(&interp, 4);
    {
        CValue v(&object);
        interp.m_releaseAll = 1;
    }
    EXPECT_EQ(object.m_refCount, 1);  // not decremented ...
    EXPECT_EQ(object.m_referrerCount, 0);  // ... but unlinked, so nothing dangles
    interp.m_releaseAll = 0;
}

TEST(ScriptObject, InstanceNumbersClassListsAndBusyFlag) {
    CInterpretor interp;
    auto first = std::make_unique<TestObject>(&interp, 7);
    EXPECT_EQ(first->AssignInstanceNumber(), 1u);
    EXPECT_EQ(first->m_alive, 1);
    auto second = std::make_unique<TestObject>(&interp, 7);
    second->ConstructFromArgs();
    EXPECT_EQ(second->m_instanceNumber, 2u);
    TestObject unlisted(&interp, 7, false);
    TestObject otherClass(&interp, 8);
    EXPECT_EQ(ClassList(interp, 7), (std::vector<uintptr_t>{Addr(*second), Addr(*first)}));  // newest first

    first->Destroy(0);
    EXPECT_EQ(first->m_listPosition, 0u);
    EXPECT_EQ(ClassList(interp, 7), (std::vector<uintptr_t>{Addr(*second)}));
    first.reset();
    auto third = std::make_unique<TestObject>(&interp, 7);
    EXPECT_EQ(third->AssignInstanceNumber(), 3u);  // numbers are never reused
    second.reset();  // deleting without Destroy also leaves the list
    EXPECT_EQ(ClassList(interp, 7), (std::vector<uintptr_t>{Addr(*third)}));

    third->MarkDead();
    EXPECT_EQ(third->m_alive, 0);
    EXPECT_EQ(third->SetBusyOnce(), 1);
    EXPECT_EQ(third->SetBusyOnce(), 0);
    third->m_busy = 0;
    EXPECT_EQ(third->SetBusyOnce(), 1);
    EXPECT_EQ(third->OnObjectDeleted(&otherClass), 0);
    EXPECT_FALSE(third->IsReferenced());
}
