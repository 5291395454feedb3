// The look-up shared by the module's two per-database registries (repositories and undo tables):
// the working database's entry, made when missing or left by another database at the same
// address. Host main thread only.
#pragma once

#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>
#include <map>

#include "kestrel/host/db/database.h"

namespace kestrel {

// The working database's entry of registry, or a new Entry (constructed while that database is
// the working database) stored in its place. An entry whose databaseSerial() is not the
// database's serial belonged to a destroyed database and is replaced. Null without a working
// database.
template <class Entry>
boost::shared_ptr<Entry> workingDatabaseEntry(
    std::map<AcDbDatabase*, boost::shared_ptr<Entry>>& registry) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr) {
        return {};
    }
    auto found = registry.find(db);
    if (found != registry.end() && found->second->databaseSerial() == db->serial()) {
        return found->second;
    }
    boost::shared_ptr<Entry> made = boost::make_shared<Entry>();
    registry[db] = made;
    return made;
}

// Removes the working database's entry, if any.
template <class Entry>
void releaseWorkingDatabaseEntry(std::map<AcDbDatabase*, boost::shared_ptr<Entry>>& registry) {
    if (AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase()) {
        registry.erase(db);
    }
}

}  // namespace kestrel
