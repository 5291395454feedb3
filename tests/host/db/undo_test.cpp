// Undo and redo: modification, creation and erasure across groups, commands and marks; what is
// refused and leaves everything as it was; nothing recorded while restoring; side databases.
#include <gtest/gtest.h>

#include "tests/host/db/db_fixture.h"
#include "kestrel/host/db/transaction.h"
#include "kestrel/host/db/undo.h"

namespace {

using dbtest::DbTest;
using dbtest::Note;

class UndoTest : public DbTest {
protected:
    AcDbUndoController* undo() { return db()->undoController(); }

    // A note made in its own command.
    AcDbObjectId commandNote(const std::wstring& text) {
        EXPECT_EQ(host::beginCommand(L"NOTE"), Acad::eOk);
        const AcDbObjectId id = addNote(text);
        EXPECT_EQ(host::endCommand(), Acad::eOk);
        return id;
    }
    void commandSet(AcDbObjectId id, const std::wstring& text) {
        EXPECT_EQ(host::beginCommand(L"SET"), Acad::eOk);
        setNoteText(id, text);
        EXPECT_EQ(host::endCommand(), Acad::eOk);
    }
    void commandErase(AcDbObjectId id, bool erasing) {
        EXPECT_EQ(host::beginCommand(L"ERASE"), Acad::eOk);
        dbtest::Held<Note> note = dbtest::open<Note>(id, AcDb::kForWrite, true);
        EXPECT_EQ(note->erase(erasing), Acad::eOk);
        note.reset();
        EXPECT_EQ(host::endCommand(), Acad::eOk);
    }
};

TEST_F(UndoTest, DbUndoAndRedoAModification) {
    const AcDbObjectId id = commandNote(L"one");
    commandSet(id, L"two");
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"one");
    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"two");
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"one");
}

TEST_F(UndoTest, DbUndoingACreationErasesAndRedoBringsItBack) {
    const AcDbObjectId id = commandNote(L"new");
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_TRUE(id.isErased());
    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_FALSE(id.isErased());
    EXPECT_EQ(noteText(id), L"new");
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_TRUE(id.isErased());
}

TEST_F(UndoTest, DbUndoAndRedoAnErasure) {
    const AcDbObjectId id = commandNote(L"keep");
    commandErase(id, true);
    EXPECT_TRUE(id.isErased());
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_FALSE(id.isErased());
    EXPECT_EQ(noteText(id), L"keep");
    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_TRUE(id.isErased());
    commandErase(id, false);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_TRUE(id.isErased());
}

TEST_F(UndoTest, DbAGroupRestoresTheStateAtItsStart) {
    const AcDbObjectId id = commandNote(L"start");
    ASSERT_EQ(host::beginCommand(L"MANY"), Acad::eOk);
    setNoteText(id, L"a");
    setNoteText(id, L"b");
    commandSet(id, L"nested");
    setNoteText(id, L"c");
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    EXPECT_EQ(undo()->undoDepth(), 2);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"start");
    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"c");
}

TEST_F(UndoTest, DbChangesOutsideCommandsCollectUntilTheNextBoundary) {
    const AcDbObjectId id = commandNote(L"0");
    setNoteText(id, L"1");
    setNoteText(id, L"2");
    EXPECT_EQ(undo()->undoDepth(), 2);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"0");
    ASSERT_EQ(host::redo(), Acad::eOk);
    setNoteText(id, L"3");
    ASSERT_EQ(host::beginCommand(L"X"), Acad::eOk);
    setNoteText(id, L"4");
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::undo(2), Acad::eOk);
    EXPECT_EQ(noteText(id), L"2");
    EXPECT_EQ(undo()->undoGroupNames(), (std::vector<std::wstring>{L"", L"NOTE"}));
}

TEST_F(UndoTest, DbACommandThatChangedNothingIsStillAStep) {
    const AcDbObjectId id = commandNote(L"a");
    ASSERT_EQ(host::beginCommand(L"IDLE"), Acad::eOk);
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_FALSE(id.isErased());
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_TRUE(id.isErased());
}

TEST_F(UndoTest, DbMarksBoundUndoBack) {
    const AcDbObjectId id = commandNote(L"0");
    ASSERT_EQ(undo()->undoBack(), Acad::eNoUndoMark);
    ASSERT_EQ(undo()->setMark(), Acad::eOk);
    commandSet(id, L"1");
    ASSERT_EQ(undo()->setMark(), Acad::eOk);
    commandSet(id, L"2");
    setNoteText(id, L"3");
    EXPECT_EQ(undo()->markCount(), 2);
    ASSERT_EQ(undo()->undoBack(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"1");
    EXPECT_EQ(undo()->markCount(), 1);
    ASSERT_EQ(undo()->undoBack(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"0");
    EXPECT_FALSE(id.isErased());
    EXPECT_EQ(undo()->undoBack(), Acad::eNoUndoMark);
    ASSERT_EQ(host::redo(3), Acad::eOk);
    EXPECT_EQ(noteText(id), L"3");
    EXPECT_EQ(undo()->markCount(), 2);
    EXPECT_EQ(undo()->undoBack(3), Acad::eNoUndoMark);
    EXPECT_EQ(noteText(id), L"3");
    ASSERT_EQ(undo()->undoBack(2), Acad::eOk);
    EXPECT_EQ(noteText(id), L"0");
}

TEST_F(UndoTest, DbAMarkInsideACommandSplitsIt) {
    const AcDbObjectId id = commandNote(L"0");
    ASSERT_EQ(host::beginCommand(L"EDIT"), Acad::eOk);
    setNoteText(id, L"1");
    ASSERT_EQ(undo()->setMark(), Acad::eOk);
    setNoteText(id, L"2");
    ASSERT_EQ(undo()->undoBack(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"1");
    setNoteText(id, L"3");
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"1");
}

TEST_F(UndoTest, DbANewChangeAfterUndoDropsRedo) {
    const AcDbObjectId id = commandNote(L"a");
    commandSet(id, L"b");
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(undo()->redoDepth(), 1);
    commandSet(id, L"c");
    EXPECT_EQ(undo()->redoDepth(), 0);
    EXPECT_EQ(host::redo(), Acad::eNothingToRedo);
    EXPECT_EQ(noteText(id), L"c");
}

TEST_F(UndoTest, DbTooManyStepsAreRefusedWithNothingChanged) {
    const AcDbObjectId id = commandNote(L"a");
    commandSet(id, L"b");
    EXPECT_EQ(host::undo(3), Acad::eNothingToUndo);
    EXPECT_EQ(noteText(id), L"b");
    EXPECT_EQ(host::undo(0), Acad::eInvalidInput);
    EXPECT_EQ(host::redo(), Acad::eNothingToRedo);
    EXPECT_EQ(undo()->undoBack(0), Acad::eInvalidInput);
    EXPECT_EQ(host::endCommand(), Acad::eNoActiveCommand);
    EXPECT_EQ(undo()->undoDepth(), 2);
}

TEST_F(UndoTest, DbAnOpenObjectBlocksTheUndoThatWouldRestoreIt) {
    const AcDbObjectId id = commandNote(L"a");
    commandSet(id, L"b");
    {
        dbtest::Held<Note> reader = dbtest::open<Note>(id, AcDb::kForRead);
        EXPECT_EQ(host::undo(), Acad::eWasOpenForRead);
    }
    {
        dbtest::Held<Note> writer = dbtest::open<Note>(id, AcDb::kForWrite);
        EXPECT_EQ(host::undo(), Acad::eWasOpenForWrite);
    }
    EXPECT_EQ(noteText(id), L"b");
    EXPECT_EQ(undo()->undoDepth(), 2);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"a");
}

TEST_F(UndoTest, DbNothingIsRecordedWhileRestoring) {
    const AcDbObjectId watched = commandNote(L"w");
    const AcDbObjectId other = commandNote(L"o");
    commandSet(watched, L"w2");
    int calls = 0;
    Note::onRestored = [&] {
        ++calls;
        setNoteText(other, L"changed while restoring");
        EXPECT_TRUE(undo()->isUndoing());
    };
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(noteText(watched), L"w");
    EXPECT_EQ(undo()->undoDepth(), 2);
    EXPECT_EQ(undo()->redoDepth(), 1);
    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(noteText(watched), L"w2");
    Note::onRestored = nullptr;
    EXPECT_FALSE(undo()->isUndoing());
}

TEST_F(UndoTest, DbAFailingReadBackIsReportedAndTheWalkCompletes) {
    const AcDbObjectId a = commandNote(L"a");
    const AcDbObjectId b = commandNote(L"b");
    ASSERT_EQ(host::beginCommand(L"BOTH"), Acad::eOk);
    setNoteText(a, L"a2");
    setNoteText(b, L"b2");
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    Note::failReading = true;
    EXPECT_EQ(host::undo(), Acad::eRestoreFailed);
    Note::failReading = false;
    EXPECT_EQ(host::contractViolations().size(), 2u);
    host::clearContractViolations();
    EXPECT_EQ(undo()->redoDepth(), 1);
    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_EQ(noteText(a), L"a2");
    EXPECT_EQ(noteText(b), L"b2");
}

TEST_F(UndoTest, DbEntityPropertiesAndExtensionDictionariesUndo) {
    ASSERT_EQ(host::beginCommand(L"MARK"), Acad::eOk);
    const AcDbObjectId marker = addMarker(2.0);
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    AcDbObjectId dictionary;
    ASSERT_EQ(host::beginCommand(L"PROPS"), Acad::eOk);
    {
        dbtest::Held<AcDbEntity> entity = dbtest::open<AcDbEntity>(marker, AcDb::kForWrite);
        EXPECT_EQ(entity->setColorIndex(3), Acad::eOk);
        EXPECT_EQ(entity->setVisibility(AcDb::kInvisible), Acad::eOk);
        ASSERT_EQ(entity->createExtensionDictionary(), Acad::eOk);
        dictionary = entity->extensionDictionary();
    }
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::undo(), Acad::eOk);
    {
        dbtest::Held<AcDbEntity> entity = dbtest::open<AcDbEntity>(marker, AcDb::kForRead);
        EXPECT_EQ(entity->colorIndex(), 256);
        EXPECT_EQ(entity->visibility(), AcDb::kVisible);
        EXPECT_TRUE(entity->extensionDictionary().isNull());
    }
    EXPECT_TRUE(dictionary.isErased());
    ASSERT_EQ(host::redo(), Acad::eOk);
    dbtest::Held<AcDbEntity> entity = dbtest::open<AcDbEntity>(marker, AcDb::kForRead);
    EXPECT_EQ(entity->colorIndex(), 3);
    EXPECT_EQ(entity->extensionDictionary(), dictionary);
    EXPECT_FALSE(dictionary.isErased());
}

TEST_F(UndoTest, DbBoundariesWaitForTransactions) {
    const AcDbObjectId id = commandNote(L"t");
    AcDbTransactionManager* manager = db()->transactionManager();
    manager->startTransaction();
    EXPECT_EQ(host::undo(), Acad::eTransactionOpen);
    EXPECT_EQ(host::beginCommand(L"X"), Acad::eTransactionOpen);
    EXPECT_EQ(undo()->setMark(), Acad::eTransactionOpen);
    ASSERT_EQ(manager->endTransaction(), Acad::eOk);
    EXPECT_FALSE(id.isErased());
    EXPECT_EQ(host::undo(), Acad::eOk);
}

TEST_F(UndoTest, DbSideDatabasesRecordNothingUnlessAsked) {
    AcDbDatabase side(false, true);
    AcDbUndoController* sideUndo = side.undoController();
    ASSERT_NE(sideUndo, nullptr);
    EXPECT_FALSE(side.undoRecording());
    const AcDbObjectId id = addNote(L"side", &side);
    setNoteText(id, L"changed");
    EXPECT_EQ(sideUndo->undoDepth(), 0);
    EXPECT_EQ(sideUndo->undo(), Acad::eNothingToUndo);
    EXPECT_EQ(sideUndo->setMark(), Acad::eUndoRecordingOff);
    side.disableUndoRecording(false);
    setNoteText(id, L"recorded");
    ASSERT_EQ(sideUndo->undo(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"changed");
}

TEST_F(UndoTest, DbAnErasedObjectOpenedAnywayStillRecordsItsChanges) {
    ASSERT_EQ(host::beginCommand(L"HIDDEN"), Acad::eOk);
    const AcDbObjectId id = addNote(L"v1");
    {
        dbtest::Held<Note> note = dbtest::open<Note>(id, AcDb::kForWrite);
        ASSERT_EQ(note->erase(), Acad::eOk);
    }
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    commandSet(id, L"v2");
    int restored = 0;
    Note::onRestored = [&] { ++restored; };
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(noteText(id), L"v1");
    EXPECT_TRUE(id.isErased());
    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_EQ(restored, 2);
    EXPECT_EQ(noteText(id), L"v2");
    EXPECT_TRUE(id.isErased());
}

TEST_F(UndoTest, DbTheDefaultDrawingIsNotUndoable) {
    EXPECT_EQ(undo()->undoDepth(), 0);
    EXPECT_EQ(host::undo(), Acad::eNothingToUndo);
}

}  // namespace
