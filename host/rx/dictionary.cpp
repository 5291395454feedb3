// AcRxDictionary and the system registry.
#include "kestrel/host/rx/dictionary.h"

#include "kestrel/host/rx/class.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxDictionary, AcRxObject)

AcRxObject* AcRxDictionary::at(const wchar_t* key) const {
    if (key == nullptr) {
        return nullptr;
    }
    auto found = m_entries.find(key);
    return found != m_entries.end() ? found->second : nullptr;
}

AcRxObject* AcRxDictionary::atPut(const wchar_t* key, AcRxObject* pObject) {
    if (key == nullptr || pObject == nullptr) {
        return nullptr;
    }
    AcRxObject*& entry = m_entries[key];
    AcRxObject* previous = entry;
    entry = pObject;
    return previous;
}

AcRxObject* AcRxDictionary::remove(const wchar_t* key) {
    if (key == nullptr) {
        return nullptr;
    }
    auto found = m_entries.find(key);
    if (found == m_entries.end()) {
        return nullptr;
    }
    AcRxObject* removed = found->second;
    m_entries.erase(found);
    return removed;
}

AcRxDictionary* acrxSysRegistry() {
    // Never destroyed: statics of other libraries may look services up during process exit.
    static AcRxDictionary* registry = [] {
        auto* created = new AcRxDictionary();
        created->atPut(ACRX_CLASS_DICTIONARY, &host::rx::classDictionary());
        return created;
    }();
    return registry;
}
