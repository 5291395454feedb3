// Transactions: holding objects open, recording their states on first change, passing them to
// the enclosing transaction on end, restoring them on abort.
#include "kestrel/host/db/transaction.h"

#include <unordered_set>
#include <utility>

#include "host/db/object_access.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/undo.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcTransaction, AcRxObject)

namespace host {

struct TransactionLog {
    std::vector<ObjectSlot*> objects;  // first obtained in this transaction
    std::vector<StateRecord> records;  // states at the transaction's start, in change order
    std::unordered_set<ObjectSlot*> recorded;
    std::uint32_t undoGroupSerial = 0;  // the database's open undo group at the start
    std::size_t undoGroupSize = 0;      // and its record count then
};

}  // namespace host

AcTransaction::AcTransaction(AcDbTransactionManager* manager, std::uint32_t serial)
    : m_manager(manager), m_serial(serial), m_log(std::make_unique<host::TransactionLog>()) {}

AcTransaction::~AcTransaction() = default;

Acad::ErrorStatus AcTransaction::getObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                           bool openErased) {
    obj = nullptr;
    if (m_manager->topTransaction() != this) {
        return Acad::eNotTopTransaction;
    }
    if (id.isNull()) {
        return Acad::eNullObjectId;
    }
    host::ObjectSlot* slot = id.liveSlot();
    if (slot == nullptr) {
        return Acad::eStaleObjectId;
    }
    if (host::storeDatabase(slot->store) != m_manager->database()) {
        return Acad::eWrongDatabase;
    }
    AcDbObject* object = slot->object;
    if (object == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (object->isErased() && !openErased) {
        return Acad::eWasErased;
    }
    host::ObjectState& state = host::ObjectAccess::state(object);
    if (state.transactionHeld) {
        if (mode == AcDb::kForWrite && !state.writer) {
            if (state.readers > 1) {
                return Acad::eHadMultipleReaders;
            }
            state.readers = 0;
            state.writer = true;
        }
        obj = object;
        return Acad::eOk;
    }
    const Acad::ErrorStatus status = host::checkOpen(object, mode);
    if (status != Acad::eOk) {
        return status;
    }
    host::addOpen(object, mode);
    state.transactionHeld = true;
    m_log->objects.push_back(slot);
    obj = object;
    return Acad::eOk;
}

Acad::ErrorStatus AcTransaction::getAllObjects(AcArray<AcDbObject*>& objects) const {
    objects.removeAll();
    for (const host::ObjectSlot* slot : m_log->objects) {
        if (slot->object != nullptr) {
            objects.append(slot->object);
        }
    }
    return Acad::eOk;
}

AcDbTransactionManager::AcDbTransactionManager(AcDbDatabase* database) : m_database(database) {}

AcDbTransactionManager::~AcDbTransactionManager() = default;

AcTransaction* AcDbTransactionManager::startTransaction() {
    auto transaction = std::unique_ptr<AcTransaction>(new AcTransaction(this, m_nextSerial++));
    if (AcDbUndoController* undo = m_database->undoController()) {
        transaction->m_log->undoGroupSerial = undo->openGroupSerial();
        transaction->m_log->undoGroupSize = undo->openGroupSize();
    }
    m_stack.push_back(std::move(transaction));
    return m_stack.back().get();
}

AcTransaction* AcDbTransactionManager::topTransaction() const {
    return m_stack.empty() ? nullptr : m_stack.back().get();
}

Acad::ErrorStatus AcDbTransactionManager::getObject(AcDbObject*& obj, AcDbObjectId id,
                                                    AcDb::OpenMode mode, bool openErased) {
    obj = nullptr;
    AcTransaction* top = topTransaction();
    return top != nullptr ? top->getObject(obj, id, mode, openErased) : Acad::eNoActiveTransactions;
}

Acad::ErrorStatus AcDbTransactionManager::endTransaction() {
    if (m_stack.empty()) {
        return Acad::eNoActiveTransactions;
    }
    std::unique_ptr<AcTransaction> ended = std::move(m_stack.back());
    m_stack.pop_back();
    if (m_stack.empty()) {
        release(*ended);
    } else {
        merge(*ended, *m_stack.back());
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTransactionManager::abortTransaction() {
    if (m_stack.empty()) {
        return Acad::eNoActiveTransactions;
    }
    std::unique_ptr<AcTransaction> aborted = std::move(m_stack.back());
    m_stack.pop_back();
    restore(*aborted, m_stack.empty() ? nullptr : m_stack.back().get());
    release(*aborted);
    return Acad::eOk;
}

void AcDbTransactionManager::merge(AcTransaction& inner, AcTransaction& outer) {
    host::TransactionLog& from = *inner.m_log;
    host::TransactionLog& to = *outer.m_log;
    to.objects.insert(to.objects.end(), from.objects.begin(), from.objects.end());
    for (host::StateRecord& record : from.records) {
        if (record.slot->object != nullptr) {
            host::ObjectAccess::state(record.slot->object).transactionStamp = outer.m_serial;
        }
        if (to.recorded.insert(record.slot).second) {
            to.records.push_back(std::move(record));
        }
    }
}

void AcDbTransactionManager::restore(AcTransaction& transaction, AcTransaction* outer) {
    host::TransactionLog& log = *transaction.m_log;
    AcDbUndoController* undo = m_database->undoController();
    const bool sameGroup = undo != nullptr && undo->openGroupSerial() == log.undoGroupSerial;
    for (auto record = log.records.rbegin(); record != log.records.rend(); ++record) {
        AcDbObject* object = record->slot->object;
        if (object == nullptr) {
            continue;
        }
        const bool outerRecorded = outer != nullptr && outer->m_log->recorded.count(record->slot);
        host::ObjectAccess::state(object).transactionStamp = outerRecorded ? outer->m_serial : 0;
        host::restoreState(std::move(*record));
        if (sameGroup) {
            undo->dropRecord(object, log.undoGroupSize);
        }
    }
}

void AcDbTransactionManager::release(AcTransaction& transaction) {
    for (host::ObjectSlot* slot : transaction.m_log->objects) {
        if (slot->object != nullptr && host::ObjectAccess::state(slot->object).transactionHeld) {
            host::releaseTransactionHold(slot->object);
        }
    }
}

Acad::ErrorStatus AcDbTransactionManager::addNewlyCreatedDBRObject(AcDbObject* obj, bool add) {
    if (m_stack.empty()) {
        return Acad::eNoActiveTransactions;
    }
    if (obj == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (!add) {
        return Acad::eInvalidInput;
    }
    host::ObjectState& state = host::ObjectAccess::state(obj);
    if (state.slot == 0) {
        return Acad::eNoDatabase;
    }
    if (obj->database() != m_database) {
        return Acad::eWrongDatabase;
    }
    if (!state.writer || state.transactionHeld) {
        return Acad::eNotOpenForWrite;
    }
    AcTransaction& top = *m_stack.back();
    state.transactionHeld = true;
    host::ObjectSlot* slot = &host::slotAt(state.slot);
    top.m_log->objects.push_back(slot);
    if (top.m_log->recorded.insert(slot).second) {
        top.m_log->records.push_back(host::creationRecord(obj));
        state.transactionStamp = top.m_serial;
    }
    return Acad::eOk;
}

void AcDbTransactionManager::recordModification(AcDbObject* object) {
    host::ObjectState& state = host::ObjectAccess::state(object);
    if (m_stack.empty() || !state.transactionHeld) {
        return;
    }
    AcTransaction& top = *m_stack.back();
    if (state.transactionStamp == top.m_serial) {
        return;
    }
    state.transactionStamp = top.m_serial;
    if (top.m_log->recorded.insert(&host::slotAt(state.slot)).second) {
        top.m_log->records.push_back(host::captureState(object));
    }
}

void AcDbTransactionManager::discardAll() {
    while (!m_stack.empty()) {
        release(*m_stack.back());
        m_stack.pop_back();
    }
}
