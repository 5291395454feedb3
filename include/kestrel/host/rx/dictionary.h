// AcRxDictionary, a name-to-object map of the runtime system, and the system registry that holds
// the host's services by name ("ClassDictionary", later the editor and the dynamic linker).
// A dictionary does not own its entries: whoever puts an object in removes and destroys it.
#pragma once

#include <map>
#include <string>

#include "kestrel/export.h"
#include "kestrel/host/rx/object.h"

// Names are compared exactly (case-sensitive); iteration runs in ascending name order.
class DRAWHOST_API AcRxDictionary : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcRxDictionary);

    AcRxDictionary() = default;
    ~AcRxDictionary() override = default;

    // The entry of that name, or null (also for a null name).
    AcRxObject* at(const wchar_t* key) const;
    // Sets the entry and returns the object it replaced (null if none); null key or object
    // changes nothing and returns null.
    AcRxObject* atPut(const wchar_t* key, AcRxObject* pObject);
    // Removes the entry and returns its object, or null when there was none.
    AcRxObject* remove(const wchar_t* key);
    bool has(const wchar_t* key) const { return at(key) != nullptr; }
    int numEntries() const { return static_cast<int>(m_entries.size()); }

    // The entries in name order, for walking; invalidated by atPut and remove.
    const std::map<std::wstring, AcRxObject*>& entries() const { return m_entries; }

private:
    std::map<std::wstring, AcRxObject*> m_entries;
};

// The name of the class dictionary's entry in the system registry.
#define ACRX_CLASS_DICTIONARY L"ClassDictionary"

// The system registry; never null, lives for the whole process.
DRAWHOST_API AcRxDictionary* acrxSysRegistry();

// The class dictionary (the system registry's "ClassDictionary"); never null.
#define acrxClassDictionary (AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_CLASS_DICTIONARY)))
