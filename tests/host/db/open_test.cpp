// The open/close rules: every open a state refuses, with its status and nothing changed, the
// transitions close, upgradeOpen and downgradeOpen make, class-checked opens, the listing of open
// objects, and setters on objects that are not open for write.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/host/db/db_fixture.h"

namespace {

using dbtest::DbTest;
using dbtest::Note;

struct OpenState {
    int readers = 0;
    bool writer = false;
};

// Brings an object into a state of the rule table and undoes it again.
class OpenRuleTest : public DbTest {
protected:
    void enter(AcDbObjectId id, int readers, bool writer) {
        for (int i = 0; i < readers; ++i) {
            AcDbObject* object = nullptr;
            ASSERT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead), Acad::eOk);
            m_opened.push_back(object);
        }
        if (writer) {
            AcDbObject* object = nullptr;
            ASSERT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForWrite), Acad::eOk);
            m_opened.push_back(object);
        }
    }
    void leave() {
        for (AcDbObject* object : m_opened) {
            EXPECT_EQ(object->close(), Acad::eOk);
        }
        m_opened.clear();
    }
    static OpenState stateOf(AcDbObjectId id) {
        for (const host::OpenObject& open : host::openObjects()) {
            if (open.id == id) {
                return {open.mode == AcDb::kForRead ? open.count : 0, open.mode == AcDb::kForWrite};
            }
        }
        return {};
    }

    std::vector<AcDbObject*> m_opened;
};

struct OpenRule {
    const char* state;
    int readers;
    bool writer;
    AcDb::OpenMode mode;
    Acad::ErrorStatus expected;
};

TEST_F(OpenRuleTest, DbOpenRuleTable) {
    const OpenRule rules[] = {
        {"closed", 0, false, AcDb::kForRead, Acad::eOk},
        {"closed", 0, false, AcDb::kForWrite, Acad::eOk},
        {"closed", 0, false, AcDb::kForNotify, Acad::eOk},
        {"read by one", 1, false, AcDb::kForRead, Acad::eOk},
        {"read by one", 1, false, AcDb::kForWrite, Acad::eWasOpenForRead},
        {"read by three", 3, false, AcDb::kForWrite, Acad::eWasOpenForRead},
        {"written", 0, true, AcDb::kForRead, Acad::eWasOpenForWrite},
        {"written", 0, true, AcDb::kForWrite, Acad::eWasOpenForWrite},
        {"written", 0, true, AcDb::kForNotify, Acad::eWasOpenForWrite},
        {"read by 256", 256, false, AcDb::kForRead, Acad::eAtMaxReaders},
        {"read by 255", 255, false, AcDb::kForRead, Acad::eOk},
        {"closed, unknown mode", 0, false, static_cast<AcDb::OpenMode>(7), Acad::eInvalidOpenState},
    };
    for (const OpenRule& rule : rules) {
        SCOPED_TRACE(rule.state);
        const AcDbObjectId id = addNote(L"r");
        enter(id, rule.readers, rule.writer);
        const OpenState before = stateOf(id);
        AcDbObject* object = reinterpret_cast<AcDbObject*>(0x1);
        EXPECT_EQ(acdbOpenAcDbObject(object, id, rule.mode), rule.expected);
        if (rule.expected == Acad::eOk) {
            ASSERT_NE(object, nullptr);
            EXPECT_EQ(object->close(), Acad::eOk);
        } else {
            EXPECT_EQ(object, nullptr);
        }
        const OpenState after = stateOf(id);
        EXPECT_EQ(after.readers, before.readers);
        EXPECT_EQ(after.writer, before.writer);
        leave();
    }
}

TEST_F(DbTest, DbOpenRefusesNullErasedAndMissing) {
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenAcDbObject(object, AcDbObjectId::kNull, AcDb::kForRead), Acad::eNullObjectId);
    const AcDbObjectId id = addNote(L"e");
    {
        dbtest::Held<Note> note = dbtest::open<Note>(id, AcDb::kForWrite);
        ASSERT_EQ(note->erase(), Acad::eOk);
    }
    EXPECT_TRUE(id.isErased());
    EXPECT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead), Acad::eWasErased);
    EXPECT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForWrite, false), Acad::eWasErased);
    ASSERT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead, true), Acad::eOk);
    EXPECT_TRUE(object->isErased());
    object->close();
}

TEST_F(DbTest, DbClassCheckedOpensRefuseOtherClassesWithoutOpening) {
    const AcDbObjectId note = addNote(L"c");
    AcDbEntity* entity = nullptr;
    EXPECT_EQ(acdbOpenAcDbEntity(entity, note, AcDb::kForWrite), Acad::eNotThatKindOfClass);
    EXPECT_EQ(entity, nullptr);
    dbtest::DbTestMarker* marker = nullptr;
    EXPECT_EQ(acdbOpenObject(marker, note, AcDb::kForRead), Acad::eNotThatKindOfClass);
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenAcDbObject(object, note, AcDb::kForRead, AcDbEntity::desc()),
              Acad::eNotThatKindOfClass);
    EXPECT_TRUE(host::openObjects().empty());
    ASSERT_EQ(acdbOpenAcDbObject(object, note, AcDb::kForWrite, Note::desc()), Acad::eOk);
    object->close();

    const AcDbObjectId markerId = addMarker(1.0);
    ASSERT_EQ(acdbOpenAcDbEntity(entity, markerId, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(entity->isA(), dbtest::DbTestMarker::desc());
    entity->close();
}

TEST_F(DbTest, DbUpgradeAndDowngradeAnswerAsTheStateSays) {
    const AcDbObjectId id = addNote(L"u");
    AcDbObject* first = nullptr;
    AcDbObject* second = nullptr;
    ASSERT_EQ(acdbOpenAcDbObject(first, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(first->downgradeOpen(), Acad::eWasOpenForRead);
    ASSERT_EQ(acdbOpenAcDbObject(second, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(first->upgradeOpen(), Acad::eHadMultipleReaders);
    EXPECT_FALSE(first->isWriteEnabled());
    EXPECT_EQ(second->close(), Acad::eOk);
    ASSERT_EQ(first->upgradeOpen(), Acad::eOk);
    EXPECT_TRUE(first->isWriteEnabled());
    EXPECT_EQ(first->upgradeOpen(), Acad::eWasOpenForWrite);
    EXPECT_EQ(acdbOpenAcDbObject(second, id, AcDb::kForRead), Acad::eWasOpenForWrite);
    ASSERT_EQ(first->downgradeOpen(), Acad::eOk);
    EXPECT_FALSE(first->isWriteEnabled());
    EXPECT_TRUE(first->isReadEnabled());
    ASSERT_EQ(acdbOpenAcDbObject(second, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(second->close(), Acad::eOk);
    EXPECT_EQ(first->close(), Acad::eOk);
    EXPECT_EQ(first->close(), Acad::eWasNotOpen);
    EXPECT_EQ(first->upgradeOpen(), Acad::eWasNotOpen);
    EXPECT_EQ(first->downgradeOpen(), Acad::eWasNotOpen);
}

TEST_F(DbTest, DbObjectsOutsideADatabaseAreFreeToEdit) {
    Note note;
    EXPECT_TRUE(note.isWriteEnabled());
    EXPECT_EQ(note.setText(L"free"), Acad::eOk);
    EXPECT_EQ(note.text(), L"free");
    EXPECT_EQ(note.close(), Acad::eNoDatabase);
    EXPECT_EQ(note.erase(), Acad::eNoDatabase);
    EXPECT_EQ(note.objectId(), AcDbObjectId::kNull);
    EXPECT_EQ(note.database(), nullptr);
}

TEST_F(DbTest, DbSettersOfObjectsNotOpenForWriteChangeNothing) {
    const AcDbObjectId id = addNote(L"before");
    const AcDbObjectId owner = addNote(L"owner");
    {
        dbtest::Held<Note> note = dbtest::open<Note>(id, AcDb::kForRead);
        EXPECT_EQ(note->setText(L"after"), Acad::eNotOpenForWrite);
        EXPECT_EQ(note->erase(), Acad::eNotOpenForWrite);
        EXPECT_EQ(note->setOwnerId(owner), Acad::eNotOpenForWrite);
        EXPECT_EQ(note->createExtensionDictionary(), Acad::eNotOpenForWrite);
        EXPECT_EQ(note->text(), L"before");
        EXPECT_FALSE(note->isErased());
        EXPECT_TRUE(note->ownerId().isNull());
        EXPECT_TRUE(note->extensionDictionary().isNull());
    }
    EXPECT_TRUE(host::contractViolations().empty());
}

TEST_F(DbTest, DbTouchingAClosedObjectIsNoted) {
    const AcDbObjectId id = addNote(L"closed");
    Note* note = nullptr;
    ASSERT_EQ(acdbOpenObject(note, id, AcDb::kForWrite), Acad::eOk);
    note->close();
    EXPECT_EQ(note->text(), L"closed");
    note->assertWriteEnabled();
    EXPECT_EQ(host::contractViolations().size(), 2u);
    host::clearContractViolations();
}

TEST_F(DbTest, DbOpenObjectsListsWhatIsOpen) {
    const AcDbObjectId a = addNote(L"a");
    const AcDbObjectId b = addNote(L"b");
    AcDbObject* readA1 = nullptr;
    AcDbObject* readA2 = nullptr;
    AcDbObject* writeB = nullptr;
    ASSERT_EQ(acdbOpenAcDbObject(writeB, b, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(acdbOpenAcDbObject(readA1, a, AcDb::kForRead), Acad::eOk);
    ASSERT_EQ(acdbOpenAcDbObject(readA2, a, AcDb::kForRead), Acad::eOk);
    std::vector<host::OpenObject> open = host::openObjects();
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[0].id, a);
    EXPECT_EQ(open[0].mode, AcDb::kForRead);
    EXPECT_EQ(open[0].count, 2);
    EXPECT_EQ(open[0].className, L"DbTestNote");
    EXPECT_EQ(open[1].id, b);
    EXPECT_EQ(open[1].mode, AcDb::kForWrite);
    EXPECT_EQ(open[1].count, 1);
    EXPECT_FALSE(open[1].transaction);
    EXPECT_NE(host::describeOpenObjects(open).find(L"DbTestNote write 1"), std::wstring::npos);
    // Closing the first object opened leaves the later one listed alone.
    writeB->close();
    open = host::openObjects();
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].id, a);
    readA1->close();
    readA2->close();
    EXPECT_TRUE(host::openObjects().empty());
}

TEST_F(DbTest, DbAnAddedObjectIsOpenForWriteUntilClosed) {
    auto* note = new Note();
    AcDbObjectId id;
    ASSERT_EQ(db()->addAcDbObject(id, note), Acad::eOk);
    ASSERT_EQ(host::openObjects().size(), 1u);
    EXPECT_EQ(host::openObjects()[0].mode, AcDb::kForWrite);
    EXPECT_EQ(note->upgradeOpen(), Acad::eWasOpenForWrite);
    EXPECT_EQ(note->objectId(), id);
    EXPECT_TRUE(note->ownerId().isNull());
    note->close();
}

}  // namespace
