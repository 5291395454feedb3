// Undo groups and marks of one database: recording object states, closing groups at boundaries,
// and replaying groups in either direction through the objects' own filing.
#include "kestrel/host/db/undo.h"

#include <algorithm>
#include <utility>

#include "host/db/object_access.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/transaction.h"

namespace host {

// A group of records, or a mark (no records).
struct UndoGroup {
    std::uint32_t serial = 0;
    std::wstring name;
    bool isMark = false;
    bool isCommand = false;  // a command's first group: kept even when empty
    std::vector<StateRecord> records;

    bool keep() const {
        return isMark || isCommand ||
               std::any_of(records.begin(), records.end(),
                           [](const StateRecord& r) { return r.slot != nullptr; });
    }
};

}  // namespace host

namespace {

// The number of entries from the top of list down to its count-th mark (toMarks) or count-th
// group (marks above it included), or 0 when list holds fewer.
std::size_t entriesFor(const std::vector<std::unique_ptr<host::UndoGroup>>& list, int count,
                       bool toMarks) {
    int found = 0;
    for (std::size_t i = list.size(); i-- > 0;) {
        if (list[i]->isMark == toMarks && ++found == count) {
            return list.size() - i;
        }
    }
    return 0;
}

}  // namespace

AcDbUndoController::AcDbUndoController(AcDbDatabase* database, bool recording)
    : m_database(database), m_recording(recording) {}

AcDbUndoController::~AcDbUndoController() = default;

Acad::ErrorStatus AcDbUndoController::checkBoundary() const {
    return m_database->transactionManager()->numActiveTransactions() > 0 ? Acad::eTransactionOpen
                                                                         : Acad::eOk;
}

void AcDbUndoController::closeOpenGroup() {
    if (m_open != nullptr && m_open->keep()) {
        m_undo.push_back(std::move(m_open));
    }
    m_open.reset();
}

host::UndoGroup& AcDbUndoController::openGroup() {
    if (m_open == nullptr) {
        m_open = std::make_unique<host::UndoGroup>();
        m_open->serial = m_nextSerial++;
        m_open->name = inCommand() ? m_commandName : std::wstring();
    }
    return *m_open;
}

Acad::ErrorStatus AcDbUndoController::beginCommand(const wchar_t* name) {
    const Acad::ErrorStatus status = checkBoundary();
    if (status != Acad::eOk) {
        return status;
    }
    if (m_commandDepth++ > 0) {
        return Acad::eOk;
    }
    closeOpenGroup();
    m_commandName = name != nullptr ? name : L"";
    if (m_recording) {
        openGroup().isCommand = true;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbUndoController::endCommand() {
    if (m_commandDepth == 0) {
        return Acad::eNoActiveCommand;
    }
    const Acad::ErrorStatus status = checkBoundary();
    if (status != Acad::eOk) {
        return status;
    }
    if (--m_commandDepth == 0) {
        closeOpenGroup();
        m_commandName.clear();
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbUndoController::setMark() {
    const Acad::ErrorStatus status = checkBoundary();
    if (status != Acad::eOk) {
        return status;
    }
    if (!m_recording) {
        return Acad::eUndoRecordingOff;
    }
    closeOpenGroup();
    auto mark = std::make_unique<host::UndoGroup>();
    mark->isMark = true;
    m_undo.push_back(std::move(mark));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbUndoController::undoBack(int count) {
    return stepBack(Direction::kUndo, count, true, Acad::eNoUndoMark);
}

Acad::ErrorStatus AcDbUndoController::undo(int count) {
    return stepBack(Direction::kUndo, count, false, Acad::eNothingToUndo);
}

Acad::ErrorStatus AcDbUndoController::redo(int count) {
    return stepBack(Direction::kRedo, count, false, Acad::eNothingToRedo);
}

// Closes the open group, then steps over count marks or groups of the list direction takes
// from; tooFew when that list holds fewer.
Acad::ErrorStatus AcDbUndoController::stepBack(Direction direction, int count, bool toMarks,
                                               Acad::ErrorStatus tooFew) {
    if (count < 1) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = checkBoundary();
    if (status != Acad::eOk) {
        return status;
    }
    closeOpenGroup();
    const GroupList& from = direction == Direction::kUndo ? m_undo : m_redo;
    const std::size_t entries = entriesFor(from, count, toMarks);
    return entries == 0 ? tooFew : step(direction, entries);
}

Acad::ErrorStatus AcDbUndoController::checkRestorable(const GroupList& list,
                                                      std::size_t entries) const {
    for (std::size_t i = list.size() - entries; i < list.size(); ++i) {
        for (const host::StateRecord& record : list[i]->records) {
            const AcDbObject* object = record.slot != nullptr ? record.slot->object : nullptr;
            if (object == nullptr) {
                continue;
            }
            const host::ObjectState& state = host::ObjectAccess::state(object);
            if (state.writer) {
                return Acad::eWasOpenForWrite;
            }
            if (state.readers > 0) {
                return Acad::eWasOpenForRead;
            }
        }
    }
    return Acad::eOk;
}

// Moves entries from the top of one list to the other, replaying each group into a mirror group
// that files the current states first; after a redo, the marks that followed come back too.
Acad::ErrorStatus AcDbUndoController::step(Direction direction, std::size_t entries) {
    GroupList& from = direction == Direction::kUndo ? m_undo : m_redo;
    GroupList& to = direction == Direction::kUndo ? m_redo : m_undo;
    Acad::ErrorStatus result = checkRestorable(from, entries);
    if (result != Acad::eOk) {
        return result;
    }
    m_restoring = true;
    for (std::size_t i = 0; i < entries; ++i) {
        std::unique_ptr<host::UndoGroup> group = std::move(from.back());
        from.pop_back();
        if (group->isMark) {
            to.push_back(std::move(group));
            continue;
        }
        auto mirror = std::make_unique<host::UndoGroup>();
        mirror->serial = m_nextSerial++;
        mirror->name = group->name;
        mirror->isCommand = group->isCommand;
        mirror->records.reserve(group->records.size());
        for (auto record = group->records.rbegin(); record != group->records.rend(); ++record) {
            AcDbObject* object = record->slot != nullptr ? record->slot->object : nullptr;
            if (object == nullptr) {
                continue;
            }
            mirror->records.push_back(host::captureState(object));
            const Acad::ErrorStatus status = host::restoreState(std::move(*record));
            if (result == Acad::eOk) {
                result = status;
            }
        }
        to.push_back(std::move(mirror));
    }
    while (direction == Direction::kRedo && !from.empty() && from.back()->isMark) {
        to.push_back(std::move(from.back()));
        from.pop_back();
    }
    m_restoring = false;
    return result;
}

int AcDbUndoController::undoDepth() const {
    const int closed = static_cast<int>(std::count_if(
        m_undo.begin(), m_undo.end(), [](const auto& group) { return !group->isMark; }));
    return closed + (m_open != nullptr && m_open->keep() ? 1 : 0);
}

int AcDbUndoController::redoDepth() const {
    return static_cast<int>(std::count_if(m_redo.begin(), m_redo.end(),
                                          [](const auto& group) { return !group->isMark; }));
}

int AcDbUndoController::markCount() const {
    return static_cast<int>(std::count_if(m_undo.begin(), m_undo.end(),
                                          [](const auto& group) { return group->isMark; }));
}

std::vector<std::wstring> AcDbUndoController::undoGroupNames() const {
    std::vector<std::wstring> names;
    if (m_open != nullptr && m_open->keep()) {
        names.push_back(m_open->name);
    }
    for (auto group = m_undo.rbegin(); group != m_undo.rend(); ++group) {
        if (!(*group)->isMark) {
            names.push_back((*group)->name);
        }
    }
    return names;
}

void AcDbUndoController::setRecording(bool recording) {
    m_recording = recording;
    if (!recording) {
        m_open.reset();
        m_undo.clear();
        m_redo.clear();
    }
}

void AcDbUndoController::record(AcDbObject* object, bool creation) {
    if (!m_recording || m_restoring) {
        return;
    }
    host::ObjectState& state = host::ObjectAccess::state(object);
    host::UndoGroup& group = openGroup();
    if (state.undoStamp == group.serial) {
        host::StateRecord& earlier = group.records[state.undoIndex];
        if (!creation && !earlier.hasState) {
            // The first change after the creation files the object as it was made, so undoing
            // the group reads that state back (the object's own filing sees the change undone)
            // before it erases the object.
            earlier.bytes = host::captureState(object).bytes;
            earlier.hasState = true;
        }
        return;
    }
    m_redo.clear();
    state.undoStamp = group.serial;
    state.undoIndex = static_cast<std::uint32_t>(group.records.size());
    group.records.push_back(creation ? host::creationRecord(object) : host::captureState(object));
}

void AcDbUndoController::recordModification(AcDbObject* object) {
    record(object, false);
}

void AcDbUndoController::recordCreation(AcDbObject* object) {
    record(object, true);
}

std::uint32_t AcDbUndoController::openGroupSerial() const {
    return m_open != nullptr ? m_open->serial : m_nextSerial;
}

std::size_t AcDbUndoController::openGroupSize() const {
    return m_open != nullptr ? m_open->records.size() : 0;
}

void AcDbUndoController::dropRecord(AcDbObject* object, std::size_t since) {
    host::ObjectState& state = host::ObjectAccess::state(object);
    if (m_open == nullptr || state.undoStamp != m_open->serial || state.undoIndex < since) {
        return;
    }
    m_open->records[state.undoIndex].slot = nullptr;
    state.undoStamp = 0;
}
