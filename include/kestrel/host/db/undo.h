// AcDbUndoController, the undo and redo of one database. Changes are recorded per object: the
// first change of an object in a group files its state (dwgOutFields, undo filer) with its erased
// flag, and adding an object records its creation, whose undoing erases the object. When an
// object made in a group is changed later in that group, the first change files its state as made
// into the creation's record, so that undoing the group also reads that state back. Undo walks a
// group's records backwards, files each object's current state for redo and reads the recorded
// one back (dwgInFields) without recording anything; redo is the mirror image. Owned by its
// database.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/rx/error_status.h"

class AcDbDatabase;
class AcDbObject;

namespace host {
struct UndoGroup;
}

// Decisions where the host SDK leaves the behaviour to the host:
// - Groups: beginCommand/endCommand bound a named group (nested commands join the outer one).
//   Outside a command, changes collect in an unnamed open group that the next boundary (begin or
//   end of a command, mark, undo, redo) closes. A command's group is kept even when it changed
//   nothing (undo then steps over it, as over any command); an empty unnamed group is dropped.
// - A mark (setMark) closes the open group; inside a command the rest of the command goes into a
//   new group of the same name (dropped again when it stays empty). undoBack(n) undoes the
//   groups back to the n-th latest mark, that mark included; with fewer marks it refuses
//   (eNoUndoMark) and changes nothing. Marks passed by undo go to the redo list with the groups
//   around them, so redo brings them back.
// - undo(n)/redo(n) step over n groups (marks do not count); with fewer groups available they
//   refuse (eNothingToUndo/eNothingToRedo) and change nothing. A new recorded change after an
//   undo drops the redo list.
// - Undo, redo, marks and command boundaries are refused with eTransactionOpen while a transaction
//   is active, and undo/redo with eWasOpenForWrite/eWasOpenForRead while an object they would
//   restore is open; nothing changes on refusal.
// - When an object's dwgInFields fails while its state is restored, the walk still completes
//   (so undo and redo stay paired), a contract violation is noted and eRestoreFailed returned.
// - With recording off (side databases) nothing is recorded; boundaries still succeed, undo and
//   redo find nothing to do and marks are refused with eUndoRecordingOff.
class DRAWHOST_API AcDbUndoController {
public:
    AcDbUndoController(AcDbDatabase* database, bool recording);
    ~AcDbUndoController();

    AcDbUndoController(const AcDbUndoController&) = delete;
    AcDbUndoController& operator=(const AcDbUndoController&) = delete;

    // Starts a command group named name (null: empty name); nested calls only count.
    Acad::ErrorStatus beginCommand(const wchar_t* name);
    // Ends the command group; eNoActiveCommand when no command is active.
    Acad::ErrorStatus endCommand();
    bool inCommand() const { return m_commandDepth > 0; }

    Acad::ErrorStatus setMark();
    // Undoes back to the count-th latest mark (count >= 1, else eInvalidInput).
    Acad::ErrorStatus undoBack(int count = 1);
    // Undoes count groups (count >= 1, else eInvalidInput).
    Acad::ErrorStatus undo(int count = 1);
    // Redoes count groups (count >= 1, else eInvalidInput).
    Acad::ErrorStatus redo(int count = 1);

    // Groups undo can step over, the open group included when it recorded something.
    int undoDepth() const;
    int redoDepth() const;
    // Marks that undoBack can reach.
    int markCount() const;
    // The names of the groups undo would step over, latest first (empty for unnamed groups).
    std::vector<std::wstring> undoGroupNames() const;

    bool isRecording() const { return m_recording; }
    // Turning recording off drops every recorded group and mark.
    void setRecording(bool recording);
    // True while undo or redo restores objects.
    bool isUndoing() const { return m_restoring; }

    // Host use: called by AcDbObject::assertWriteEnabled and AcDbDatabase::addObject.
    void recordModification(AcDbObject* object);
    void recordCreation(AcDbObject* object);
    // Host use: the serial of the open group and its record count, for transaction aborts.
    std::uint32_t openGroupSerial() const;
    std::size_t openGroupSize() const;
    // Host use: forgets object's record in the open group when it was made at or after
    // position since (a transaction abort has restored the state that record holds).
    void dropRecord(AcDbObject* object, std::size_t since);

private:
    enum class Direction { kUndo, kRedo };

    using GroupList = std::vector<std::unique_ptr<host::UndoGroup>>;

    void closeOpenGroup();
    host::UndoGroup& openGroup();
    void record(AcDbObject* object, bool creation);
    Acad::ErrorStatus checkBoundary() const;
    Acad::ErrorStatus stepBack(Direction direction, int count, bool toMarks,
                               Acad::ErrorStatus tooFew);
    Acad::ErrorStatus step(Direction direction, std::size_t entries);
    Acad::ErrorStatus checkRestorable(const GroupList& list, std::size_t entries) const;

    AcDbDatabase* m_database;
    bool m_recording;
    bool m_restoring = false;
    int m_commandDepth = 0;
    std::wstring m_commandName;
    std::uint32_t m_nextSerial = 1;
    std::unique_ptr<host::UndoGroup> m_open;               // the group collecting changes, or null
    std::vector<std::unique_ptr<host::UndoGroup>> m_undo;  // closed groups and marks, oldest first
    std::vector<std::unique_ptr<host::UndoGroup>> m_redo;  // undone groups and marks, latest last
};
