// Module loading and unloading, the module records, and the messages sent to modules.
#include "kestrel/host/rx/dynamic_linker.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <system_error>
#include <typeinfo>

#include "host/db/object_store.h"
#include "kestrel/host/app/command_line.h"
#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/app/editor.h"
#include "kestrel/host/app/session.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/host/rx/contract_violations.h"
#include "kestrel/platform/cstring.h"
#include "kestrel/platform/mfc_module.h"
#include "kestrel/platform/utf8.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxDynamicLinker, AcRxObject)

namespace {

using EntryPoint = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);
using ApiVersion = int (*)(int);

// One module the linker mapped. Its address is the module's application id.
struct Module {
    std::wstring path;  // canonical
    void* library = nullptr;
    HINSTANCE instance = nullptr;  // where the library is mapped
    EntryPoint entry = nullptr;
    bool loaded = false;  // false: kept mapped after kUnloadAppMsg
    bool unlocked = false;
    bool linked = false;  // mapped before the linker opened it: the program links it
    bool mdiAware = false;
    int dispatching = 0;
    std::set<AcRxClass*> classes;
};

std::vector<std::unique_ptr<Module>>& modules() {
    static auto* list = new std::vector<std::unique_ptr<Module>>();
    return *list;
}

AcRxDynamicLinker* theLinker() {
    static auto* linker = new AcRxDynamicLinker();
    return linker;
}

[[maybe_unused]] const bool kLinkerRegistered =
    (acrxSysRegistry()->atPut(ACRX_DYNAMIC_LINKER, theLinker()), true);

Module* moduleById(void* appId) {
    for (const auto& module : modules()) {
        if (module.get() == appId) {
            return module.get();
        }
    }
    return nullptr;
}

Module* moduleByPath(const std::wstring& path) {
    for (const auto& module : modules()) {
        if (module->path == path) {
            return module.get();
        }
    }
    return nullptr;
}

// The loaded module whose path or file name is name.
Module* moduleByName(const ACHAR* name) {
    if (name == nullptr) {
        return nullptr;
    }
    const std::filesystem::path wanted(wideToUtf8(name));
    for (const auto& module : modules()) {
        const std::filesystem::path path(wideToUtf8(module->path));
        if (module->loaded && (path == wanted || path.filename() == wanted)) {
            return module.get();
        }
    }
    return nullptr;
}

std::wstring canonicalPath(const ACHAR* path) {
    std::error_code error;
    const std::filesystem::path canonical =
        std::filesystem::weakly_canonical(std::filesystem::path(wideToUtf8(path)), error);
    return utf8ToWide(error ? wideToUtf8(path) : canonical.string());
}

std::set<AcRxClass*> registeredClasses() {
    std::set<AcRxClass*> classes;
    for (const auto& [name, entry] : acrxClassDictionary->entries()) {
        if (AcRxClass* cls = AcRxClass::cast(entry)) {
            classes.insert(cls);
        }
    }
    return classes;
}

// Where a class's code lies: its pseudo-constructor's library, or null for a class without one.
HINSTANCE classInstance(const AcRxClass* cls) {
    return cls->constructor() != nullptr
               ? platform::moduleInstance(reinterpret_cast<const void*>(cls->constructor()))
               : nullptr;
}

// Notes as the module's every class registered now that was not in before, unless its code lies
// in another library (a library the module depends on, mapped with it). A module the program
// links registered its classes before it was loaded: it takes those whose code lies in it.
void claimClasses(Module& module, const std::set<AcRxClass*>& before) {
    for (AcRxClass* cls : registeredClasses()) {
        const bool appeared = before.count(cls) == 0;
        const HINSTANCE code = classInstance(cls);
        if ((appeared && (code == nullptr || code == module.instance)) ||
            (module.linked && code == module.instance)) {
            module.classes.insert(cls);
        }
    }
}

AcRx::AppRetCode dispatch(Module& module, AcRx::AppMsgCode msg, void* pkt) {
    const std::set<AcRxClass*> before = registeredClasses();
    ++module.dispatching;
    const AcRx::AppRetCode result = module.entry(msg, pkt);
    --module.dispatching;
    claimClasses(module, before);
    return result;
}

void report(bool printit, const wchar_t* action, const std::wstring& path,
            const std::wstring& reason) {
    if (printit) {
        CString line;
        line.Format(L"Cannot %s %s: %s\n", action, path, reason);
        host::printToCommandLine(line.str());
    }
}

// Whether the object's code or storage lies in the module: its class's type information (and so
// its virtual functions) or the object itself (a static of the module).
bool ownedBy(const AcRxObject* object, HINSTANCE instance) {
    return instance != nullptr && (platform::moduleInstance(object) == instance ||
                                   platform::moduleInstance(&typeid(*object)) == instance);
}

// The reactors of the editor and the document manager that belong to the module.
template <class Reactor>
std::vector<Reactor*> moduleReactors(const std::vector<Reactor*>& reactors, HINSTANCE instance) {
    std::vector<Reactor*> owned;
    for (Reactor* reactor : reactors) {
        if (ownedBy(reactor, instance)) {
            owned.push_back(reactor);
        }
    }
    return owned;
}

// Takes reactors the unmapped module left attached off the list: notifying them would run code
// that is gone. The pointers are only compared, never followed.
template <class Service, class Reactor>
void detachLeftovers(Service* service, const std::vector<Reactor*>& reactors,
                     const std::wstring& path) {
    for (Reactor* reactor : reactors) {
        if (service->hasReactor(reactor)) {
            service->removeReactor(reactor);
            host::noteContractViolation(L"module " + path +
                                        L" left a reactor attached when it was unmapped");
        }
    }
}

// A library the process has mapped, held without mapping it (RTLD_NOLOAD) while the object
// lives; empty when the library is not mapped.
class MappedLibrary {
public:
    explicit MappedLibrary(const char* name) : m_library(dlopen(name, RTLD_LAZY | RTLD_NOLOAD)) {}
    ~MappedLibrary() {
        if (m_library != nullptr) {
            dlclose(m_library);
        }
    }
    MappedLibrary(const MappedLibrary&) = delete;
    MappedLibrary& operator=(const MappedLibrary&) = delete;

    explicit operator bool() const { return m_library != nullptr; }
    void* symbol(const char* name) const {
        return m_library != nullptr ? dlsym(m_library, name) : nullptr;
    }
    // The loader's record of the library, or null.
    const link_map* linkMap() const {
        link_map* map = nullptr;
        return m_library != nullptr && dlinfo(m_library, RTLD_DI_LINKMAP, &map) == 0 ? map
                                                                                      : nullptr;
    }

private:
    void* m_library;
};

// Whether the library of that file is mapped in the process.
bool isMapped(const std::wstring& path) {
    return static_cast<bool>(MappedLibrary(wideToUtf8(path).c_str()));
}

// Closes the library and, when that unmapped it, reports the classes and reactors the module
// left behind. The program or another module may keep the library mapped: then its code is
// still there and nothing it left behind dangles.
void closeLibrary(Module& module) {
    const auto editorReactors = moduleReactors(host::hostEditor()->reactors(), module.instance);
    const auto documentReactors =
        moduleReactors(host::hostDocManager()->reactors(), module.instance);
    dlclose(module.library);
    module.library = nullptr;
    if (isMapped(module.path)) {
        module.classes.clear();
        return;
    }
    detachLeftovers(host::hostEditor(), editorReactors, module.path);
    detachLeftovers(host::hostDocManager(), documentReactors, module.path);
    const std::set<AcRxClass*> now = registeredClasses();
    for (AcRxClass* cls : module.classes) {
        if (now.count(cls) != 0) {
            host::noteContractViolation(L"module " + module.path + L" left class " + cls->name() +
                                        L" registered when it was unmapped");
        }
    }
    module.classes.clear();
}

void forget(Module* module) {
    auto& list = modules();
    list.erase(std::find_if(list.begin(), list.end(),
                            [module](const auto& owned) { return owned.get() == module; }));
}

// Every object of db, erased ones included.
template <class Visit>
void forEachObject(AcDbDatabase* db, Visit visit) {
    for (std::uint32_t slot : db->objectStore()->slots()) {
        if (AcDbObject* object = host::slotAt(slot).object) {
            visit(object);
        }
    }
}

// A description of the objects of the module's classes that live databases hold, or empty.
std::wstring objectsInUse(const Module& module) {
    std::size_t count = 0;
    const AcRxClass* first = nullptr;
    for (AcDbDatabase* db : host::liveDatabases()) {
        forEachObject(db, [&](AcDbObject* object) {
            AcRxClass* cls = object->isA();
            if (module.classes.count(cls) != 0) {
                first = first != nullptr ? first : cls;
                ++count;
            }
        });
    }
    if (count == 0) {
        return std::wstring();
    }
    CString text;
    text.Format(L"drawings still hold %d object(s) of its classes (%s)", static_cast<int>(count),
                first->name());
    return text.str();
}

// The module's own definition of name; one found in a library the module depends on (a client
// module linked against another module) does not count.
void* ownSymbol(const Module& module, const char* name) {
    void* symbol = dlsym(module.library, name);
    return symbol != nullptr && platform::moduleInstance(symbol) == module.instance ? symbol
                                                                                    : nullptr;
}

// Looks the entry points up and checks the version; kOk or the reason to refuse.
host::ModuleStatus bind(Module& module, std::wstring& reason) {
    module.entry = reinterpret_cast<EntryPoint>(ownSymbol(module, "acrxEntryPoint"));
    if (module.entry == nullptr) {
        reason = L"it has no acrxEntryPoint";
        return host::ModuleStatus::kNoEntryPoint;
    }
    auto version = reinterpret_cast<ApiVersion>(ownSymbol(module, "acrxGetApiVersion"));
    if (version == nullptr) {
        reason = L"it has no acrxGetApiVersion";
        return host::ModuleStatus::kNoApiVersion;
    }
    const int answer = version(host::kAcrxApiVersion);
    if ((answer >> 16) != (host::kAcrxApiVersion >> 16)) {
        CString text;
        text.Format(L"it was built for API version %X, the host has %X", answer,
                    host::kAcrxApiVersion);
        reason = text.str();
        return host::ModuleStatus::kWrongApiVersion;
    }
    return host::ModuleStatus::kOk;
}

// Maps the module's file; kOk, or the reason it failed.
host::ModuleStatus map(Module& module, std::wstring& reason) {
    const std::set<AcRxClass*> before = registeredClasses();
    module.linked = isMapped(module.path);
    module.library = dlopen(wideToUtf8(module.path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module.library == nullptr) {
        const char* error = dlerror();
        reason = error != nullptr ? utf8ToWide(error) : L"dlopen failed";
        return host::ModuleStatus::kOpenFailed;
    }
    // The library's dynamic section lies inside it, so its address names the library.
    link_map* map = nullptr;
    if (dlinfo(module.library, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr) {
        module.instance = platform::moduleInstance(map->l_ld);
    }
    claimClasses(module, before);
    return host::ModuleStatus::kOk;
}

// The mapped file of a library the process holds, by the name a library needs it under.
std::string mappedFile(const char* name) {
    const MappedLibrary library(name);
    const link_map* map = library.linkMap();
    return map != nullptr && map->l_name != nullptr ? map->l_name : "";
}

// The files of the libraries the module's library needs (its DT_NEEDED entries), as mapped.
std::vector<std::string> neededLibraries(const Module& module) {
    link_map* map = nullptr;
    std::vector<std::string> files;
    if (dlinfo(module.library, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) {
        return files;
    }
    const char* strings = nullptr;
    for (const ElfW(Dyn)* entry = map->l_ld; entry->d_tag != DT_NULL; ++entry) {
        if (entry->d_tag == DT_STRTAB) {
            // The loader relocates the address in place on most platforms, not on all.
            const ElfW(Addr) address = entry->d_un.d_ptr;
            strings = reinterpret_cast<const char*>(address < map->l_addr ? address + map->l_addr
                                                                          : address);
        }
    }
    for (const ElfW(Dyn)* entry = map->l_ld; strings != nullptr && entry->d_tag != DT_NULL;
         ++entry) {
        if (entry->d_tag == DT_NEEDED) {
            if (std::string file = mappedFile(strings + entry->d_un.d_val); !file.empty()) {
                files.push_back(std::move(file));
            }
        }
    }
    return files;
}

// Whether the mapped library of that file defines an acrxEntryPoint of its own: a module.
bool isModuleLibrary(const std::string& path) {
    const MappedLibrary library(path.c_str());
    const void* entry = library.symbol("acrxEntryPoint");
    const link_map* map = library.linkMap();
    return entry != nullptr && map != nullptr &&
           platform::moduleInstance(entry) == platform::moduleInstance(map->l_ld);
}

// Checks that every module the module links against was loaded through the linker before it: a
// module never initialised would miss its messages, and its classes, registered while the client
// was mapped, would be taken for the client's. kOk, or the reason to refuse.
host::ModuleStatus checkDependencies(const Module& module, std::wstring& reason) {
    for (const std::string& file : neededLibraries(module)) {
        const std::wstring path = canonicalPath(utf8ToWide(file).c_str());
        if (moduleByPath(path) == nullptr && isModuleLibrary(file)) {
            reason = L"it needs module " + path + L", which is not loaded; load that first";
            return host::ModuleStatus::kDependencyNotLoaded;
        }
    }
    return host::ModuleStatus::kOk;
}

}  // namespace

bool AcRxDynamicLinker::loadModule(const ACHAR* fileName, bool printit, bool asCmd) {
    const host::ModuleStatus status = load(fileName, printit);
    return status == host::ModuleStatus::kOk || status == host::ModuleStatus::kAlreadyLoaded;
}

bool AcRxDynamicLinker::unloadModule(const ACHAR* fileName, bool printit, bool asCmd) {
    const host::ModuleStatus status = unload(fileName, printit);
    return status == host::ModuleStatus::kOk || status == host::ModuleStatus::kKeptMapped;
}

bool AcRxDynamicLinker::unlockApplication(void* appId) const {
    Module* module = moduleById(appId);
    if (module != nullptr) {
        module->unlocked = true;
    }
    return module != nullptr;
}

bool AcRxDynamicLinker::lockApplication(void* appId) const {
    Module* module = moduleById(appId);
    if (module != nullptr) {
        module->unlocked = false;
    }
    return module != nullptr;
}

bool AcRxDynamicLinker::isApplicationLocked(const ACHAR* name) const {
    const Module* module = moduleByName(name);
    return module != nullptr && !module->unlocked;
}

bool AcRxDynamicLinker::registerAppMDIAware(void* appId) const {
    Module* module = moduleById(appId);
    if (module != nullptr) {
        module->mdiAware = true;
    }
    return module != nullptr;
}

bool AcRxDynamicLinker::registerAppNotMDIAware(void* appId) const {
    Module* module = moduleById(appId);
    if (module != nullptr) {
        module->mdiAware = false;
    }
    return module != nullptr;
}

bool AcRxDynamicLinker::isAppMDIAware(const ACHAR* name) const {
    const Module* module = moduleByName(name);
    return module != nullptr && module->mdiAware;
}

host::ModuleStatus AcRxDynamicLinker::load(const ACHAR* path, bool printit) {
    if (path == nullptr || *path == L'\0') {
        report(printit, L"load", L"", L"no file name given");
        return host::ModuleStatus::kInvalidPath;
    }
    const std::wstring canonical = canonicalPath(path);
    Module* module = moduleByPath(canonical);
    if (module != nullptr && module->loaded) {
        return host::ModuleStatus::kAlreadyLoaded;
    }
    std::error_code error;
    if (module == nullptr && !std::filesystem::is_regular_file(wideToUtf8(canonical), error)) {
        report(printit, L"load", path, L"no such file");
        return host::ModuleStatus::kNotFound;
    }
    if (module == nullptr) {
        modules().push_back(std::make_unique<Module>());
        module = modules().back().get();
        module->path = canonical;
    }
    std::wstring reason;
    host::ModuleStatus status =
        module->library != nullptr ? host::ModuleStatus::kOk : map(*module, reason);
    if (status == host::ModuleStatus::kOk) {
        status = checkDependencies(*module, reason);
    }
    if (status == host::ModuleStatus::kOk) {
        status = bind(*module, reason);
    }
    if (status == host::ModuleStatus::kOk &&
        dispatch(*module, AcRx::kInitAppMsg, module) != AcRx::kRetOK) {
        reason = L"it refused to initialise";
        status = host::ModuleStatus::kInitRefused;
    }
    if (status != host::ModuleStatus::kOk) {
        report(printit, L"load", path, reason);
        if (module->library != nullptr) {
            closeLibrary(*module);
        }
        forget(module);
        return status;
    }
    module->loaded = true;
    for (AcApDocument* doc : host::hostDocManager()->documents()) {
        dispatch(*module, AcRx::kLoadDwgMsg, doc);
    }
    return status;
}

host::ModuleStatus AcRxDynamicLinker::unload(const ACHAR* path, bool printit) {
    Module* module =
        path != nullptr && *path != L'\0' ? moduleByPath(canonicalPath(path)) : nullptr;
    if (module == nullptr || !module->loaded) {
        report(printit, L"unload", path != nullptr ? path : L"", L"it is not loaded");
        return host::ModuleStatus::kNotLoaded;
    }
    if (module->dispatching > 0) {
        report(printit, L"unload", path, L"it is handling a message");
        return host::ModuleStatus::kUnloadRefused;
    }
    const std::wstring inUse = objectsInUse(*module);
    if (!inUse.empty()) {
        report(printit, L"unload", path, inUse);
        return host::ModuleStatus::kClassesInUse;
    }
    if (dispatch(*module, AcRx::kUnloadAppMsg, module) != AcRx::kRetOK) {
        report(printit, L"unload", path, L"it refused to unload");
        return host::ModuleStatus::kUnloadRefused;
    }
    module->loaded = false;
    if (!module->unlocked) {
        if (printit) {
            host::printToCommandLine(module->path + L" is locked and stays in memory\n");
        }
        return host::ModuleStatus::kKeptMapped;
    }
    closeLibrary(*module);
    forget(module);
    return host::ModuleStatus::kOk;
}

void AcRxDynamicLinker::broadcast(AcRx::AppMsgCode msg, void* pkt) {
    std::vector<Module*> loaded;
    for (const auto& module : modules()) {
        if (module->loaded) {
            loaded.push_back(module.get());
        }
    }
    for (Module* module : loaded) {
        if (moduleById(module) != nullptr && module->loaded) {
            dispatch(*module, msg, pkt);
        }
    }
}

std::vector<std::wstring> AcRxDynamicLinker::loadedModules() const {
    std::vector<std::wstring> paths;
    for (const auto& module : modules()) {
        if (module->loaded) {
            paths.push_back(module->path);
        }
    }
    return paths;
}

namespace host {

const wchar_t* moduleStatusText(ModuleStatus status) {
    switch (status) {
        case ModuleStatus::kOk:
            return L"kOk";
        case ModuleStatus::kAlreadyLoaded:
            return L"kAlreadyLoaded";
        case ModuleStatus::kInvalidPath:
            return L"kInvalidPath";
        case ModuleStatus::kNotFound:
            return L"kNotFound";
        case ModuleStatus::kOpenFailed:
            return L"kOpenFailed";
        case ModuleStatus::kNoEntryPoint:
            return L"kNoEntryPoint";
        case ModuleStatus::kNoApiVersion:
            return L"kNoApiVersion";
        case ModuleStatus::kWrongApiVersion:
            return L"kWrongApiVersion";
        case ModuleStatus::kInitRefused:
            return L"kInitRefused";
        case ModuleStatus::kNotLoaded:
            return L"kNotLoaded";
        case ModuleStatus::kClassesInUse:
            return L"kClassesInUse";
        case ModuleStatus::kUnloadRefused:
            return L"kUnloadRefused";
        case ModuleStatus::kKeptMapped:
            return L"kKeptMapped";
        case ModuleStatus::kDependencyNotLoaded:
            return L"kDependencyNotLoaded";
    }
    return L"kUnknown";
}

ModuleStatus loadModule(const wchar_t* path) {
    return theLinker()->load(path, true);
}

ModuleStatus unloadModule(const wchar_t* path) {
    return theLinker()->unload(path, true);
}

std::vector<std::wstring> loadedModules() {
    return theLinker()->loadedModules();
}

}  // namespace host
