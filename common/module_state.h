// The module-wide state that several subsystems share: the per-database registries of XML
// repositories and undo tables, and the name of the block that new entities go to. All of it
// lives from the module's mapping to its unmapping and is used on the host's main thread only.
#pragma once

#include <boost/shared_ptr.hpp>
#include <map>

#include "kestrel/platform/cstring.h"

class AcDbDatabase;
class CApplicationRepository;
class CVLKXMLUndoObjectTable;

namespace kestrel {

// Database to its repository or undo table; at most one entry per database. The entries are
// shared pointers, so a class that is only declared here is destroyed with the deleter its
// owner's file gave it.
using RepositoryRegistry = std::map<AcDbDatabase*, boost::shared_ptr<CApplicationRepository>>;
using UndoTableRegistry = std::map<AcDbDatabase*, boost::shared_ptr<CVLKXMLUndoObjectTable>>;

// The repository registry (empty at load, cleared at unmapping, last of the statics).
RepositoryRegistry& repositoryRegistry();
// The undo-table registry (empty at load, cleared at unmapping before the repositories).
UndoTableRegistry& undoTableRegistry();
// The block entity creation appends to: "*Model_Space" from load; a caller that changes it puts
// the former name back.
CString& targetSpaceName();

}  // namespace kestrel
