// Transactions on a database: AcDbTransactionManager (one per database, owned by it) and
// AcTransaction. Objects obtained through a transaction stay open until the outermost transaction
// ends; an explicit close() on them is harmless. Ending a transaction keeps its changes; aborting
// restores every object it obtained to its state at the transaction's start and erases objects
// created in it (addNewlyCreatedDBRObject).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/rx/array.h"

class AcDbTransactionManager;

namespace host {
struct TransactionLog;
}

// Decisions where the host SDK leaves the behaviour to the host:
// - Only the top transaction hands out objects (eNotTopTransaction for another one). An object
//   already held by an active transaction is handed out again (upgraded to write when asked;
//   eHadMultipleReaders when other readers prevent that).
// - Changes made through ordinary opens during a transaction are not part of it and survive an
//   abort; changes to objects obtained through it are undone, and so are their undo records.
// - A transaction's objects pass to the enclosing transaction when it ends; the outermost end
//   closes them.
class DRAWHOST_API AcTransaction : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcTransaction);
    ~AcTransaction() override;

    // Opens id through the transaction. Refusals as acdbOpenAcDbObject, plus eNotTopTransaction
    // and eWrongDatabase (an id of another database); obj null on refusal.
    Acad::ErrorStatus getObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                bool openErased = false);
    // The objects this transaction holds (not those of enclosing ones).
    Acad::ErrorStatus getAllObjects(AcArray<AcDbObject*>& objects) const;
    AcDbTransactionManager* transactionManager() const { return m_manager; }

private:
    friend class AcDbTransactionManager;
    AcTransaction(AcDbTransactionManager* manager, std::uint32_t serial);

    AcDbTransactionManager* m_manager;
    std::uint32_t m_serial;
    std::unique_ptr<host::TransactionLog> m_log;
};

class DRAWHOST_API AcDbTransactionManager {
public:
    explicit AcDbTransactionManager(AcDbDatabase* database);
    ~AcDbTransactionManager();

    AcDbTransactionManager(const AcDbTransactionManager&) = delete;
    AcDbTransactionManager& operator=(const AcDbTransactionManager&) = delete;

    AcDbDatabase* database() const { return m_database; }

    // Starts a transaction nested in the current one; never null; owned by the manager.
    AcTransaction* startTransaction();
    // Ends the top transaction, keeping its changes; eNoActiveTransactions when none.
    Acad::ErrorStatus endTransaction();
    // Aborts the top transaction, restoring its objects; eNoActiveTransactions when none.
    Acad::ErrorStatus abortTransaction();
    int numActiveTransactions() const { return static_cast<int>(m_stack.size()); }
    // The top transaction, or null.
    AcTransaction* topTransaction() const;
    // getObject on the top transaction; eNoActiveTransactions when none.
    Acad::ErrorStatus getObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                bool openErased = false);
    // Hands a new object, just added to the database and open for write, to the top transaction:
    // the transaction closes it and an abort erases it. Refusals: eNoActiveTransactions,
    // eNullObjectPointer, eNoDatabase, eWrongDatabase, eNotOpenForWrite (not open for write by
    // its creator alone), and eInvalidInput for add false (a transaction gives nothing back).
    Acad::ErrorStatus addNewlyCreatedDBRObject(AcDbObject* obj, bool add = true);

    // Host use: called by AcDbObject::assertWriteEnabled for objects a transaction holds.
    void recordModification(AcDbObject* object);
    // Host use: the database is being destroyed; releases every transaction without restoring.
    void discardAll();

private:
    void release(AcTransaction& transaction);
    void restore(AcTransaction& transaction, AcTransaction* outer);
    void merge(AcTransaction& inner, AcTransaction& outer);

    AcDbDatabase* m_database;
    std::uint32_t m_nextSerial = 1;
    std::vector<std::unique_ptr<AcTransaction>> m_stack;
};
