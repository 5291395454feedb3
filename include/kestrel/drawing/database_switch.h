// CDatabaseSwitch: makes a second drawing database the host's working database for a while and
// puts back, at destruction, the working database of the moment the switch was built. The switch
// may own the second database (read from a drawing file, or handed over) and then deletes it.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/rx/error_status.h"

class AcDbDatabase;

// The current database is never owned. The destructor makes it the working database again (also
// when the second database was never made active), then deletes an owned second database.
//
// Decisions where the interface leaves the behaviour open:
// - Replacing a second database that the switch owns (either setSecondDatabase, a successful
//   read included) deletes the former one, unless the same database is set again; a failed read
//   changes nothing. When the database deleted is the working database, the current database
//   is made the working one first.
// - Copies take all three fields as they are, the delete flag included: of a switch that owns
//   its second database and its copies, all but one must clear the flag
//   (setDeleteSecondDatabase(false)), or the database is deleted twice. Assigning over a switch
//   that owns its second database does not delete it.
class KESTREL_API CDatabaseSwitch {
public:
    // Remembers the working database; no second database.
    CDatabaseSwitch();
    // Remembers the working database; second (may be null) is owned when deleteSecond is true.
    CDatabaseSwitch(AcDbDatabase * second, bool deleteSecond);
    // Remembers the working database and reads path as by setSecondDatabase; a failed read is
    // not reported (getSecondDatabasePtr() stays null).
    CDatabaseSwitch(const wchar_t* path, int shareMode);
    CDatabaseSwitch(const CDatabaseSwitch& other) = default;
    CDatabaseSwitch& operator=(const CDatabaseSwitch& other) = default;
    // Restores the working database, then deletes an owned second database.
    virtual ~CDatabaseSwitch();

    // Reads the drawing file path (share mode passed to the host unchanged) into a new database
    // that the switch owns: eOk, or the host's read status with the switch unchanged.
    Acad::ErrorStatus setSecondDatabase(const wchar_t* path, int shareMode);
    // Takes second (may be null) as the second database, owned when deleteSecond is true.
    void setSecondDatabase(AcDbDatabase * second, bool deleteSecond);
    // Makes the second database the working one; nothing when there is none.
    void setActiveDatabaseSecond();
    // Makes the remembered database the working one again; nothing when it is null.
    void setActiveDatabaseCurrent();
    // Whether the switch deletes the second database.
    void setDeleteSecondDatabase(bool deleteSecond);
    // The second database, or null; owned by the switch while the delete flag is set.
    AcDbDatabase* getSecondDatabasePtr();

private:
    // Deletes the second database if the switch owns it and it is not keep.
    void dropSecond(const AcDbDatabase* keep);

    AcDbDatabase* m_currentDatabase = nullptr;
    AcDbDatabase* m_secondDatabase = nullptr;
    bool m_deleteSecond = false;
};
