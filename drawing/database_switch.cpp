// CDatabaseSwitch: the working database switched through the host's application services, and
// the second database read from a drawing file.
#include "kestrel/drawing/database_switch.h"

#include <memory>

#include "kestrel/host/db/database.h"

namespace {

AcDbDatabase* workingDatabase() {
    return acdbHostApplicationServices()->workingDatabase();
}

}  // namespace

CDatabaseSwitch::CDatabaseSwitch() : m_currentDatabase(workingDatabase()) {}

CDatabaseSwitch::CDatabaseSwitch(AcDbDatabase* second, bool deleteSecond)
    : m_currentDatabase(workingDatabase()),
      m_secondDatabase(second),
      m_deleteSecond(deleteSecond) {}

CDatabaseSwitch::CDatabaseSwitch(const wchar_t* path, int shareMode)
    : m_currentDatabase(workingDatabase()) {
    setSecondDatabase(path, shareMode);
}

CDatabaseSwitch::~CDatabaseSwitch() {
    setActiveDatabaseCurrent();
    dropSecond(nullptr);
}

Acad::ErrorStatus CDatabaseSwitch::setSecondDatabase(const wchar_t* path, int shareMode) {
    auto database = std::make_unique<AcDbDatabase>(false, false);
    const Acad::ErrorStatus status = database->readDwgFile(path, shareMode, false, nullptr);
    if (status == Acad::eOk) {
        setSecondDatabase(database.release(), true);
    }
    return status;
}

void CDatabaseSwitch::setSecondDatabase(AcDbDatabase* second, bool deleteSecond) {
    dropSecond(second);
    m_secondDatabase = second;
    m_deleteSecond = deleteSecond;
}

void CDatabaseSwitch::setActiveDatabaseSecond() {
    if (m_secondDatabase != nullptr) {
        acdbHostApplicationServices()->setWorkingDatabase(m_secondDatabase);
    }
}

void CDatabaseSwitch::setActiveDatabaseCurrent() {
    if (m_currentDatabase != nullptr) {
        acdbHostApplicationServices()->setWorkingDatabase(m_currentDatabase);
    }
}

void CDatabaseSwitch::setDeleteSecondDatabase(bool deleteSecond) {
    m_deleteSecond = deleteSecond;
}

AcDbDatabase* CDatabaseSwitch::getSecondDatabasePtr() {
    return m_secondDatabase;
}

void CDatabaseSwitch::dropSecond(const AcDbDatabase* keep) {
    if (!m_deleteSecond || m_secondDatabase == nullptr || m_secondDatabase == keep) {
        return;
    }
    if (workingDatabase() == m_secondDatabase) {
        setActiveDatabaseCurrent();
    }
    delete m_secondDatabase;
    m_secondDatabase = nullptr;
}
