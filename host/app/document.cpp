// AcApDocument's state.
#include "kestrel/host/app/document.h"

#include "kestrel/host/db/database.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocument, AcRxObject)

AcApDocument::AcApDocument(std::unique_ptr<AcDbDatabase> database, std::wstring fileName,
                           bool named)
    : m_database(std::move(database)), m_fileName(std::move(fileName)), m_named(named) {}

AcApDocument::~AcApDocument() = default;

AcAp::DocLockMode AcApDocument::myLockMode() const {
    return m_locks.empty() ? AcAp::kNotLocked : m_locks.back();
}

AcAp::DocLockMode AcApDocument::outerLockMode() const {
    return m_locks.size() < 2 ? AcAp::kNotLocked : m_locks[m_locks.size() - 2];
}

void AcApDocument::setFile(std::wstring path) {
    m_fileName = std::move(path);
    m_named = true;
}
