// Transactions: objects stay open until the outermost end, close() on them is harmless, ending
// keeps changes, aborting restores the objects obtained and erases the ones created, nesting,
// and how aborts and undo records fit together.
#include <gtest/gtest.h>

#include "tests/host/db/db_fixture.h"
#include "kestrel/host/db/transaction.h"
#include "kestrel/host/db/undo.h"

namespace {

using dbtest::DbTest;
using dbtest::Note;

class TransactionTest : public DbTest {
protected:
    AcDbTransactionManager* tm() { return db()->transactionManager(); }

    Note* get(AcDbObjectId id, AcDb::OpenMode mode) {
        AcDbObject* object = nullptr;
        EXPECT_EQ(tm()->getObject(object, id, mode), Acad::eOk);
        return static_cast<Note*>(object);
    }
};

TEST_F(TransactionTest, DbObjectsStayOpenUntilTheTransactionEnds) {
    const AcDbObjectId id = addNote(L"a");
    tm()->startTransaction();
    Note* note = get(id, AcDb::kForWrite);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->setText(L"b"), Acad::eOk);
    EXPECT_EQ(note->close(), Acad::eOk);
    EXPECT_EQ(note->close(), Acad::eOk);
    ASSERT_EQ(host::openObjects().size(), 1u);
    EXPECT_TRUE(host::openObjects()[0].transaction);
    EXPECT_TRUE(note->isTransactionResident());
    EXPECT_EQ(get(id, AcDb::kForRead), note);
    ASSERT_EQ(tm()->endTransaction(), Acad::eOk);
    EXPECT_TRUE(host::openObjects().empty());
    EXPECT_EQ(noteText(id), L"b");
}

TEST_F(TransactionTest, DbAbortRestoresObtainedObjectsAndErasesCreatedOnes) {
    const AcDbObjectId kept = addNote(L"before");
    tm()->startTransaction();
    get(kept, AcDb::kForWrite)->setText(L"during");
    auto* created = new Note();
    AcDbObjectId createdId;
    ASSERT_EQ(db()->addAcDbObject(createdId, created), Acad::eOk);
    ASSERT_EQ(tm()->addNewlyCreatedDBRObject(created), Acad::eOk);
    EXPECT_EQ(created->close(), Acad::eOk);
    ASSERT_EQ(tm()->abortTransaction(), Acad::eOk);
    EXPECT_EQ(noteText(kept), L"before");
    EXPECT_TRUE(createdId.isErased());
    EXPECT_TRUE(host::openObjects().empty());
}

TEST_F(TransactionTest, DbAReadObjectUpgradesThroughTheTransaction) {
    const AcDbObjectId id = addNote(L"r");
    tm()->startTransaction();
    Note* note = get(id, AcDb::kForRead);
    EXPECT_EQ(note->setText(L"no"), Acad::eNotOpenForWrite);
    EXPECT_EQ(get(id, AcDb::kForWrite), note);
    EXPECT_EQ(note->setText(L"yes"), Acad::eOk);
    ASSERT_EQ(tm()->abortTransaction(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"r");
}

TEST_F(TransactionTest, DbOtherOpensStillConflict) {
    const AcDbObjectId id = addNote(L"c");
    AcDbObject* reader = nullptr;
    ASSERT_EQ(acdbOpenAcDbObject(reader, id, AcDb::kForRead), Acad::eOk);
    tm()->startTransaction();
    AcDbObject* object = nullptr;
    EXPECT_EQ(tm()->getObject(object, id, AcDb::kForWrite), Acad::eWasOpenForRead);
    ASSERT_EQ(tm()->getObject(object, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(tm()->getObject(object, id, AcDb::kForWrite), Acad::eHadMultipleReaders);
    reader->close();
    AcDbObject* writer = nullptr;
    EXPECT_EQ(acdbOpenAcDbObject(writer, id, AcDb::kForWrite), Acad::eWasOpenForRead);
    ASSERT_EQ(tm()->endTransaction(), Acad::eOk);
    ASSERT_EQ(acdbOpenAcDbObject(writer, id, AcDb::kForWrite), Acad::eOk);
    writer->close();
}

TEST_F(TransactionTest, DbNestedTransactionsAbortToTheirOwnStart) {
    const AcDbObjectId id = addNote(L"0");
    tm()->startTransaction();
    get(id, AcDb::kForWrite)->setText(L"outer");
    tm()->startTransaction();
    get(id, AcDb::kForWrite)->setText(L"inner");
    ASSERT_EQ(tm()->abortTransaction(), Acad::eOk);
    EXPECT_EQ(get(id, AcDb::kForRead)->text(), L"outer");
    tm()->startTransaction();
    get(id, AcDb::kForWrite)->setText(L"inner again");
    ASSERT_EQ(tm()->endTransaction(), Acad::eOk);
    EXPECT_EQ(host::openObjects().size(), 1u);
    ASSERT_EQ(tm()->abortTransaction(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"0");
}

TEST_F(TransactionTest, DbAnInnerObjectPassesToTheOuterTransaction) {
    const AcDbObjectId id = addNote(L"0");
    tm()->startTransaction();
    tm()->startTransaction();
    get(id, AcDb::kForWrite)->setText(L"1");
    ASSERT_EQ(tm()->endTransaction(), Acad::eOk);
    EXPECT_EQ(host::openObjects().size(), 1u);
    AcArray<AcDbObject*> objects;
    tm()->topTransaction()->getAllObjects(objects);
    EXPECT_EQ(objects.length(), 1);
    ASSERT_EQ(tm()->abortTransaction(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"0");
}

TEST_F(TransactionTest, DbAbortKeepsChangesMadeThroughOrdinaryOpens) {
    const AcDbObjectId outside = addNote(L"a");
    tm()->startTransaction();
    setNoteText(outside, L"b");
    ASSERT_EQ(tm()->abortTransaction(), Acad::eOk);
    EXPECT_EQ(noteText(outside), L"b");
}

TEST_F(TransactionTest, DbAnAbortedChangeLeavesNoUndoStep) {
    ASSERT_EQ(host::beginCommand(L"NOTE"), Acad::eOk);
    const AcDbObjectId id = addNote(L"0");
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::beginCommand(L"TRY"), Acad::eOk);
    tm()->startTransaction();
    get(id, AcDb::kForWrite)->setText(L"aborted");
    auto* created = new Note();
    AcDbObjectId createdId;
    ASSERT_EQ(db()->addAcDbObject(createdId, created), Acad::eOk);
    ASSERT_EQ(tm()->addNewlyCreatedDBRObject(created), Acad::eOk);
    ASSERT_EQ(tm()->abortTransaction(), Acad::eOk);
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::undo(), Acad::eOk);
    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_TRUE(createdId.isErased());
    EXPECT_EQ(noteText(id), L"0");
}

TEST_F(TransactionTest, DbACommittedChangeIsOneUndoStep) {
    const AcDbObjectId id = addNote(L"0");
    ASSERT_EQ(host::beginCommand(L"COMMIT"), Acad::eOk);
    tm()->startTransaction();
    get(id, AcDb::kForWrite)->setText(L"1");
    ASSERT_EQ(tm()->endTransaction(), Acad::eOk);
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(noteText(id), L"0");
}

TEST_F(TransactionTest, DbTransactionRefusals) {
    AcDbObject* object = nullptr;
    EXPECT_EQ(tm()->endTransaction(), Acad::eNoActiveTransactions);
    EXPECT_EQ(tm()->abortTransaction(), Acad::eNoActiveTransactions);
    EXPECT_EQ(tm()->getObject(object, addNote(L"x"), AcDb::kForRead), Acad::eNoActiveTransactions);
    auto* loose = new Note();
    EXPECT_EQ(tm()->addNewlyCreatedDBRObject(loose), Acad::eNoActiveTransactions);

    AcTransaction* outer = tm()->startTransaction();
    AcTransaction* inner = tm()->startTransaction();
    const AcDbObjectId id = addNote(L"y");
    EXPECT_EQ(outer->getObject(object, id, AcDb::kForRead), Acad::eNotTopTransaction);
    EXPECT_EQ(inner->getObject(object, AcDbObjectId::kNull, AcDb::kForRead), Acad::eNullObjectId);
    AcDbDatabase other(false, true);
    EXPECT_EQ(inner->getObject(object, addNote(L"z", &other), AcDb::kForRead),
              Acad::eWrongDatabase);
    EXPECT_EQ(tm()->addNewlyCreatedDBRObject(loose), Acad::eNoDatabase);
    EXPECT_EQ(tm()->addNewlyCreatedDBRObject(loose, false), Acad::eInvalidInput);
    {
        dbtest::Held<Note> reader = dbtest::open<Note>(id, AcDb::kForRead);
        EXPECT_EQ(tm()->addNewlyCreatedDBRObject(reader.get()), Acad::eNotOpenForWrite);
    }
    {
        dbtest::Held<Note> erased = dbtest::open<Note>(id, AcDb::kForWrite);
        erased->erase();
    }
    EXPECT_EQ(inner->getObject(object, id, AcDb::kForRead), Acad::eWasErased);
    ASSERT_EQ(inner->getObject(object, id, AcDb::kForRead, true), Acad::eOk);
    EXPECT_EQ(tm()->numActiveTransactions(), 2);
    ASSERT_EQ(tm()->endTransaction(), Acad::eOk);
    ASSERT_EQ(tm()->endTransaction(), Acad::eOk);
    delete loose;
}

TEST_F(TransactionTest, DbDestroyingADatabaseWithActiveTransactionsIsNoted) {
    auto side = std::make_unique<AcDbDatabase>(false, true);
    const AcDbObjectId id = addNote(L"s", side.get());
    side->transactionManager()->startTransaction();
    AcDbObject* object = nullptr;
    ASSERT_EQ(side->transactionManager()->getObject(object, id, AcDb::kForWrite), Acad::eOk);
    side.reset();
    EXPECT_TRUE(host::openObjects().empty());
    EXPECT_EQ(host::contractViolations().size(), 1u);
    host::clearContractViolations();
}

}  // namespace
