// CApplicationRepository: per drawing, the XML text of each client application as saved with
// the drawing, kept as one document in the named object dictionary (entry "VLKX_XMLUndo", record
// "Repository"). Used only by the undo table; held through the module's repository registry
// (GetRepository) on the host's main thread.
#pragma once

#include <boost/shared_ptr.hpp>
#include <cstdint>
#include <map>

#include "kestrel/platform/cstring.h"
#include "kestrel/platform/cstring_array.h"

// The document: "<appRepository>", then per application in ascending name order
// "<repositoryEntry refId=\"NAME\">TEXT</repositoryEntry>", then "</appRepository>", with no
// declaration, whitespace or escaping: a name holding a quote, "<" or "&" does not read back as
// written. Reading takes the first entry of a name and skips elements of other names.
//
// Decisions where the interface leaves the behaviour open:
// - A repository belongs to one database instance, recorded by its serial number; a registry
//   entry left by a destroyed database is replaced, never reused (see database_registry.h).
// - Without a working database GetRepository returns null.
class CApplicationRepository {
public:
    // Loads the working database's document (the result is not kept); empty without one.
    CApplicationRepository();
    CApplicationRepository(const CApplicationRepository&) = delete;
    CApplicationRepository& operator=(const CApplicationRepository&) = delete;

    // Replaces the entries by those of the working database's document; false (no entries) when
    // there is no record or its text is not well-formed.
    bool Load();
    // Writes the document into the working database; false when the record could not be
    // written (the entries are kept).
    bool Save();
    // Sets out to the document of the current entries and returns it.
    CString& BuildDocument(CString& out) const;
    // The application's text, empty when it has none.
    CString GetEntry(const wchar_t* appName) const;
    // Stores xml (null: empty) under appName without anything up to and including its first
    // "?>"; always true.
    bool SetEntry(const wchar_t* appName, const wchar_t* xml);
    // Empties names, appends the application names in ascending order, returns their number.
    int GetEntryNames(CStringArray& names) const;

    // The serial number of the database the repository belongs to.
    std::uint64_t databaseSerial() const { return m_databaseSerial; }

private:
    std::map<CString, CString> m_entries;
    std::uint64_t m_databaseSerial;
};

// The working database's repository, made (and loaded) when it has none; null without a
// working database.
boost::shared_ptr<CApplicationRepository> GetRepository();
// Drops the working database's repository from the registry; it goes with its last owner.
void ReleaseRepository();
