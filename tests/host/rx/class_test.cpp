// Runtime classes: registration in both forms, the hierarchy, class tests and casts, the class
// dictionary in the system registry, removal rules, and acrx_abort.
#include <gtest/gtest.h>

#include <string>

#include "tests/host/db/db_fixture.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/host/rx/dictionary.h"

namespace {

AcRxObject* makeDictionary() {
    return new AcRxDictionary();
}

// Removes the named dynamic classes at the end of a test, children first.
class RxClassTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) {
            deleteAcRxClass(AcRxClass::cast(acrxClassDictionary->at(it->c_str())));
        }
        host::clearContractViolations();
    }
    AcRxClass* make(const wchar_t* name, const wchar_t* parent) {
        m_created.push_back(name);
        return newAcRxClass(name, parent, 1, &makeDictionary, L"RXTEST", L"RxTestApp");
    }
    std::vector<std::wstring> m_created;
};

TEST_F(RxClassTest, RxHostClassesAreRegisteredByNameWithTheirParents) {
    AcRxClass* object = AcRxClass::cast(acrxClassDictionary->at(L"AcDbObject"));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object, AcDbObject::desc());
    EXPECT_EQ(object->myParent(), AcRxObject::desc());
    EXPECT_EQ(AcDbEntity::desc()->myParent(), AcDbObject::desc());
    EXPECT_EQ(AcRxObject::desc()->myParent(), nullptr);
    EXPECT_EQ(acrxSysRegistry()->at(ACRX_CLASS_DICTIONARY), acrxClassDictionary);
    EXPECT_EQ(AcRxClass::cast(acrxClassDictionary->at(L"DbTestMarker")),
              dbtest::DbTestMarker::desc());
    EXPECT_STREQ(dbtest::DbTestMarker::desc()->dxfName(), L"DBTESTMARKER");
    EXPECT_STREQ(dbtest::DbTestMarker::desc()->appName(), L"DbTestApp");
    EXPECT_EQ(AcDbObject::desc()->dxfName(), nullptr);
}

TEST_F(RxClassTest, RxClassTestsFollowTheHierarchy) {
    dbtest::DbTestMarker marker;
    EXPECT_TRUE(marker.isKindOf(AcDbEntity::desc()));
    EXPECT_TRUE(marker.isKindOf(AcRxObject::desc()));
    EXPECT_FALSE(marker.isKindOf(AcRxClass::desc()));
    EXPECT_FALSE(marker.isKindOf(nullptr));
    EXPECT_EQ(AcDbEntity::cast(&marker), &marker);
    EXPECT_EQ(AcRxClass::cast(&marker), nullptr);
    EXPECT_EQ(AcDbObject::cast(nullptr), nullptr);
    EXPECT_TRUE(AcDbEntity::desc()->isDerivedFrom(AcDbObject::desc()));
    EXPECT_FALSE(AcDbObject::desc()->isDerivedFrom(AcDbEntity::desc()));
}

TEST_F(RxClassTest, RxShortAndLongFormsKeepWhatTheyAreGiven) {
    AcRxClass* shortForm = make(L"RxTestShort", L"AcRxObject");
    ASSERT_NE(shortForm, nullptr);
    EXPECT_EQ(shortForm->proxyFlags(), 1);
    EXPECT_STREQ(shortForm->dxfName(), L"RXTEST");
    EXPECT_EQ(shortForm->myParent(), AcRxObject::desc());

    m_created.push_back(L"RxTestLong");
    AcRxClass* longForm = newAcRxClass(L"RxTestLong", L"AcDbObject", 29, 6, 0, &makeDictionary,
                                       L"RXLONG", L"\"App\" \"|Company:x\"");
    ASSERT_NE(longForm, nullptr);
    int dwg = 0;
    int maintenance = 0;
    longForm->getClassVersion(dwg, maintenance);
    EXPECT_EQ(dwg, 29);
    EXPECT_EQ(maintenance, 6);
    EXPECT_STREQ(longForm->appName(), L"\"App\" \"|Company:x\"");
    AcRxObject* created = longForm->create();
    EXPECT_NE(AcRxDictionary::cast(created), nullptr);
    delete created;
}

TEST_F(RxClassTest, RxRegisteringAgainReturnsTheSameClass) {
    AcRxClass* first = make(L"RxTestTwice", L"AcRxObject");
    EXPECT_EQ(newAcRxClass(L"RxTestTwice", L"AcDbObject"), first);
    EXPECT_EQ(first->myParent(), AcRxObject::desc());
    EXPECT_EQ(newAcRxClass(L"AcDbObject", L"AcRxObject"), AcDbObject::desc());
}

TEST_F(RxClassTest, RxBadNamesAreRefused) {
    EXPECT_EQ(newAcRxClass(nullptr, L"AcRxObject"), nullptr);
    EXPECT_EQ(newAcRxClass(L"", L"AcRxObject"), nullptr);
    EXPECT_EQ(newAcRxClass(L"RxTestOrphan", nullptr), nullptr);
    EXPECT_EQ(newAcRxClass(L"RxTestOrphan", L""), nullptr);
    EXPECT_EQ(acrxClassDictionary->at(L"RxTestOrphan"), nullptr);
}

TEST_F(RxClassTest, RxAParentRegisteredLaterIsLinkedByTheHierarchyBuild) {
    AcRxClass* child = make(L"RxTestChild", L"RxTestLateParent");
    EXPECT_EQ(child->myParent(), nullptr);
    EXPECT_STREQ(child->parentName(), L"RxTestLateParent");
    AcRxClass* parent = make(L"RxTestLateParent", L"AcRxObject");
    EXPECT_EQ(child->myParent(), nullptr);
    acrxBuildClassHierarchy();
    EXPECT_EQ(child->myParent(), parent);
    EXPECT_TRUE(child->isDerivedFrom(AcRxObject::desc()));
    // The child goes first so the parent can be removed in TearDown.
    std::swap(m_created[0], m_created[1]);
}

TEST_F(RxClassTest, RxDeletingNeedsTheChildrenGoneFirst) {
    AcRxClass* parent = make(L"RxTestParent", L"AcRxObject");
    AcRxClass* child = make(L"RxTestKid", L"RxTestParent");
    deleteAcRxClass(parent);
    EXPECT_EQ(acrxClassDictionary->at(L"RxTestParent"), parent);
    EXPECT_EQ(host::contractViolations().size(), 1u);
    deleteAcRxClass(child);
    EXPECT_EQ(acrxClassDictionary->at(L"RxTestKid"), nullptr);
    deleteAcRxClass(parent);
    EXPECT_EQ(acrxClassDictionary->at(L"RxTestParent"), nullptr);
    m_created.clear();
}

TEST_F(RxClassTest, RxTheRootAndNullCannotBeDeleted) {
    deleteAcRxClass(AcRxObject::desc());
    deleteAcRxClass(nullptr);
    EXPECT_EQ(acrxClassDictionary->at(L"AcRxObject"), AcRxObject::desc());
    EXPECT_EQ(host::contractViolations().size(), 2u);
}

TEST_F(RxClassTest, RxOtherObjectsInTheClassDictionaryAreNotTakenForClasses) {
    AcRxDictionary intruder;
    acrxClassDictionary->atPut(L"RxTestIntruder", &intruder);
    acrxBuildClassHierarchy();
    AcRxClass* child = make(L"RxTestIntrudersChild", L"RxTestIntruder");
    EXPECT_EQ(child->myParent(), nullptr);
    AcRxClass* replacing = make(L"RxTestIntruder", L"AcRxObject");
    EXPECT_NE(static_cast<AcRxObject*>(replacing), static_cast<AcRxObject*>(&intruder));
    acrxBuildClassHierarchy();
    EXPECT_EQ(child->myParent(), replacing);
    std::swap(m_created[0], m_created[1]);
}

TEST(RxDictionaryTest, RxEntriesAreKeptByExactNameInOrder) {
    AcRxDictionary dict;
    AcRxDictionary a;
    AcRxDictionary b;
    EXPECT_EQ(dict.atPut(L"b", &b), nullptr);
    EXPECT_EQ(dict.atPut(L"a", &a), nullptr);
    EXPECT_EQ(dict.atPut(L"b", &a), &b);
    EXPECT_EQ(dict.at(L"B"), nullptr);
    EXPECT_EQ(dict.atPut(nullptr, &a), nullptr);
    EXPECT_EQ(dict.atPut(L"c", nullptr), nullptr);
    EXPECT_EQ(dict.numEntries(), 2);
    EXPECT_EQ(dict.entries().begin()->first, L"a");
    EXPECT_EQ(dict.remove(L"a"), &a);
    EXPECT_EQ(dict.remove(L"a"), nullptr);
    EXPECT_FALSE(dict.has(L"a"));
}

TEST(RxAbortDeathTest, RxAbortPrintsItsMessage) {
    EXPECT_DEATH(acrx_abort(L"Class %s", L"mismatch"), "Class mismatch");
}

// Registers a second class under a name the dictionary already holds.
void registerDuplicate() {
    static AcRxClass* slot = nullptr;
    const host::rx::StaticClassInfo info{L"AcDbObject", &AcRxObject::desc, 0,      0, 0,
                                         nullptr,       nullptr,           nullptr};
    host::rx::registerStaticClass(&slot, info);
}

TEST(RxAbortDeathTest, RxASecondClassOfTheSameNameAborts) {
    EXPECT_DEATH(registerDuplicate(), "Class mismatch");
}

}  // namespace
