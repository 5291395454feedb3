// Erasing the objects a container owns (open them all for write, then change them all) and the
// cursor its iterators walk with.

#include "kestrel/host/db/owned_objects.h"

#include "kestrel/host/db/open.h"

namespace host {

Acad::ErrorStatus eraseOwnedObjects(const std::vector<AcDbObjectId>& ids, bool erasing) {
    std::vector<AcDbObject*> opened;
    Acad::ErrorStatus status = Acad::eOk;
    for (const AcDbObjectId& id : ids) {
        if (id.isNull() || id.isErased() == erasing) {
            continue;
        }
        AcDbObject* object = nullptr;
        status = acdbOpenAcDbObject(object, id, AcDb::kForWrite, true);
        if (status != Acad::eOk) {
            break;
        }
        opened.push_back(object);
    }
    const bool allOpened = status == Acad::eOk;
    for (AcDbObject* object : opened) {
        if (allOpened) {
            const Acad::ErrorStatus erased = object->erase(erasing);
            status = status == Acad::eOk ? erased : status;
        }
        object->close();
    }
    return status;
}

IdCursor::IdCursor(std::vector<AcDbObjectId> ids, bool atBeginning, bool skipErased)
    : m_ids(std::move(ids)) {
    start(atBeginning, skipErased);
}

void IdCursor::start(bool atBeginning, bool skipErased) {
    m_position = atBeginning ? 0 : static_cast<std::ptrdiff_t>(m_ids.size()) - 1;
    if (skipErased) {
        skipErasedIds(atBeginning);
    }
}

bool IdCursor::done() const {
    return m_position < 0 || m_position >= static_cast<std::ptrdiff_t>(m_ids.size());
}

void IdCursor::skipErasedIds(bool forward) {
    while (!done() && m_ids[static_cast<std::size_t>(m_position)].isErased()) {
        m_position += forward ? 1 : -1;
    }
}

void IdCursor::step(bool forward, bool skipErased) {
    if (done()) {
        return;
    }
    m_position += forward ? 1 : -1;
    if (skipErased) {
        skipErasedIds(forward);
    }
}

AcDbObjectId IdCursor::current() const {
    return done() ? AcDbObjectId::kNull : m_ids[static_cast<std::size_t>(m_position)];
}

bool IdCursor::seek(AcDbObjectId id) {
    for (std::size_t i = 0; i < m_ids.size(); ++i) {
        if (m_ids[i] == id) {
            m_position = static_cast<std::ptrdiff_t>(i);
            return true;
        }
    }
    return false;
}

}  // namespace host
