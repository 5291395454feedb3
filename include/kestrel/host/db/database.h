// AcDbDatabase, one drawing held in memory: its object store (handle -> slot), its undo
// controller and transaction manager, its symbol tables and named object dictionary, and the
// working-database services (acdbHostApplicationServices). A database owns every object added to
// it and destroys them with itself; ids of a destroyed database turn stale (see object_id.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/db_enums.h"
#include "kestrel/host/db/handle.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/rx/error_status.h"
#include "kestrel/host/rx/object.h"

class AcDbObject;
class AcDbDictionary;
class AcDbSymbolTable;
class AcDbBlockTable;
class AcDbLayerTable;
class AcDbLinetypeTable;
class AcDbTextStyleTable;
class AcDbDimStyleTable;
class AcDbRegAppTable;
class AcDbViewTable;
class AcDbUCSTable;
class AcDbViewportTable;
class AcDbUndoController;
class AcDbTransactionManager;
class AcDbIdMapping;

namespace host {
class ObjectStore;
struct DxfItem;
}
namespace host::dxf {
struct DrawingRoots;
}

// Decisions where the host SDK leaves the behaviour to the host:
// - A database made with noDocument false records undo (it stands for a document's drawing);
//   one made with noDocument true (a side database, read from a file) records none until
//   disableUndoRecording(false). undoController() is never null either way.
// - Destroying a database with objects still open or transactions still active destroys them
//   anyway and notes a contract violation (see host/harness.h).
// - Destroying the working database leaves no working database (workingDatabase() is null).
class DRAWHOST_API AcDbDatabase : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbDatabase);

    // An empty database, or with buildDefaultDrawing the default drawing contents (tables with
    // their standard records, the named object dictionary, current layer and styles).
    explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
    ~AcDbDatabase() override;

    AcDbDatabase(const AcDbDatabase&) = delete;
    AcDbDatabase& operator=(const AcDbDatabase&) = delete;

    // --- Objects ---------------------------------------------------------------------------

    // Adds obj without an owner; the database then owns it and it is open for write (the caller
    // closes it). eNullObjectPointer for null, eAlreadyInDb when obj is in a database already.
    Acad::ErrorStatus addAcDbObject(AcDbObjectId& id, AcDbObject* obj);
    Acad::ErrorStatus addAcDbObject(AcDbObject* obj);
    // Host use (containers, file reading): adds obj with the given owner, under handle when it is
    // not null (eHandleInUse when another object has it); records the creation for undo; obj is
    // open for write on success and unchanged on failure.
    Acad::ErrorStatus addObject(AcDbObject* obj, AcDbObjectId ownerId, AcDbObjectId& id,
                                AcDbHandle handle = AcDbHandle());

    // The id of the object with that handle. With createIfNotFound an unknown handle gets an
    // empty slot (filled later by addObject with that handle; opening it gives
    // eNullObjectPointer meanwhile). eNullHandle, eKeyNotFound otherwise; id unchanged on failure.
    Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound,
                                      const AcDbHandle& handle, Adesk::UInt32 xRefId = 0);
    // Host use: the object of a live id of this database without opening it, or null. Callers
    // only read through it (names for look-ups, class tests) or hold the object open themselves.
    AcDbObject* objectAt(AcDbObjectId id) const;
    // The next handle the database will give out.
    AcDbHandle handseed() const;
    // Objects in the database, erased ones included.
    std::int64_t approxNumObjects() const;
    // The database's serial number, unique in the process; names it in ads_names.
    std::uint64_t serial() const { return m_serial; }
    // Host use: the object store behind the ids.
    host::ObjectStore* objectStore() const { return m_store.get(); }

    // --- Undo and transactions ---------------------------------------------------------------

    // Never null; owned by the database.
    AcDbUndoController* undoController() const { return m_undo.get(); }
    void disableUndoRecording(bool disable);
    bool undoRecording() const;
    // Never null; owned by the database.
    AcDbTransactionManager* transactionManager() const { return m_transactions.get(); }

    // --- Tables, dictionaries, current records (implemented with the table classes) ----------

    Acad::ErrorStatus getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbLayerTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbTextStyleTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbDimStyleTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbRegAppTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbViewTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbUCSTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbViewportTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getLinetypeTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getTextStyleTable(AcDbTextStyleTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getDimStyleTable(AcDbDimStyleTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getRegAppTable(AcDbRegAppTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getViewTable(AcDbViewTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getUCSTable(AcDbUCSTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getViewportTable(AcDbViewportTable*& table, AcDb::OpenMode mode);

    AcDbObjectId blockTableId() const;
    AcDbObjectId layerTableId() const;
    AcDbObjectId linetypeTableId() const;
    AcDbObjectId textStyleTableId() const;
    AcDbObjectId dimStyleTableId() const;
    AcDbObjectId regAppTableId() const;
    AcDbObjectId viewTableId() const;
    AcDbObjectId UCSTableId() const;
    AcDbObjectId viewportTableId() const;

    Acad::ErrorStatus getNamedObjectsDictionary(AcDbDictionary*& dictionary, AcDb::OpenMode mode);
    AcDbObjectId namedObjectsDictionaryId() const;

    AcDbObjectId clayer() const;
    Acad::ErrorStatus setClayer(AcDbObjectId layerId);
    AcDbObjectId textstyle() const;
    Acad::ErrorStatus setTextstyle(AcDbObjectId styleId);
    AcDbObjectId dimstyle() const;
    Acad::ErrorStatus setDimstyle(AcDbObjectId styleId);
    AcDbObjectId currentSpaceId() const;
    AcDbObjectId modelSpaceId() const;
    AcDbObjectId paperSpaceId() const;
    AcDbObjectId layerZero() const;
    AcDbObjectId continuousLinetype() const;
    AcDbObjectId byLayerLinetype() const;
    AcDbObjectId byBlockLinetype() const;

    // True when the regapp table holds a record of that name (compared without regard to case).
    bool isRegisteredApp(const wchar_t* name) const;

    // --- Copying (bodies in host/db/deep_clone.cpp and host/db/insert.cpp) ----------------------

    // Copies the entities objectIds (of this database) with everything they own into the block
    // table record owner, filling idMap (host/db/deep_clone.h); ids the copies hold are
    // translated unless deferXlation (a later call with the same mapping translates them).
    // Refusals before anything is copied: eNullObjectId, eWrongDatabase, eWasErased,
    // eNotThatKindOfClass (an owner that is not a block record, an object that is not an
    // entity), and the owner's open status.
    Acad::ErrorStatus deepCloneObjects(AcDbObjectIdArray& objectIds, AcDbObjectId& owner,
                                       AcDbIdMapping& idMap, bool deferXlation = false);
    // Copies source's model space into a new block named blockName (blockId receives it), with
    // the layers, linetypes, styles and nested blocks the copies use; records of the same name
    // in this database are kept. eNullPtr, eDuplicateRecordName (nothing changed), and the
    // name rules of the block table. source is never changed.
    Acad::ErrorStatus insert(AcDbObjectId& blockId, const ACHAR* blockName, AcDbDatabase* source,
                             bool preserveSourceDatabase = true);
    // As above for source's block sourceBlockName, copied under destinationBlockName;
    // eKeyNotFound when source has no such block.
    Acad::ErrorStatus insert(AcDbObjectId& blockId, const ACHAR* sourceBlockName,
                             const ACHAR* destinationBlockName, AcDbDatabase* source,
                             bool preserveSourceDatabase = true);

    // --- Drawing files (bodies in host/dxf) ---------------------------------------------------

    // Reads the drawing file fileName (DXF of any release from R12 on, ASCII or binary) into
    // this database, keeping its handles and repairing what can be repaired
    // (host::lastDrawingRead() in host/dxf/read_result.h lists the repairs). shareMode is the
    // host's share flag (0x20 denies others writing). On failure the database is left as it was
    // and host::lastDrawingFileMessage() (host/dxf/file_message.h) says where and what.
    Acad::ErrorStatus readDwgFile(const ACHAR* fileName, int shareMode = 0x20,
                                  bool allowCPConversion = false,
                                  const wchar_t* password = nullptr);
    // Writes this database to fileName as ASCII DXF through a temporary file beside it, renamed
    // over the target only when complete: a failed save leaves a former file intact.
    Acad::ErrorStatus saveAs(const ACHAR* fileName);

    // Host use (file reading): adds what every drawing has and this database lacks: the nine
    // tables, the standard records (linetypes ByBlock, ByLayer and Continuous, layer "0", text
    // and dimension style "Standard", application "ACAD", "*Active" viewport, both layout
    // blocks), the named object dictionary with its entries ACAD_GROUP and ACAD_LAYOUT, and the
    // layouts of both layout blocks; the current layer and styles default to "0" and
    // "Standard". Records are found by name. added(what) is called for each table, record and
    // dictionary added (not for the dictionary entries and layouts, which older drawings never
    // have).
    void completeDrawing(const std::function<void(const std::wstring& what)>& added);
    // Host use (file reading): as completeDrawing for the tables and their records only.
    void completeTables(const std::function<void(const std::wstring& what)>& added);
    // Host use (file reading): takes the tables and records a drawing file names as this
    // database's.
    void takeRoots(const host::dxf::DrawingRoots& roots);
    // Host use (file reading): exchanges this database's objects with source's and takes its
    // tables, records, named object dictionary and kept header variables; the undo history is
    // dropped.
    void takeContentsOf(AcDbDatabase& source);
    // Host use (file reading and writing): the header variables a drawing file gave that the
    // database does not model, as read: each a 9 group (its name) and its value groups. A save
    // writes them in place of its defaults.
    std::vector<host::DxfItem>& keptHeaderVariables() { return m_keptHeader; }

private:
    // Fills an empty database with the default drawing: what completeDrawing adds, with every
    // standard entry of the named object dictionary and the "Normal" plot style.
    void buildDefaultDrawing();
    void completeTables(const std::function<void(const std::wstring& what)>& added,
                        std::span<const wchar_t* const> dictionaries);

    std::uint64_t m_serial = 0;
    std::unique_ptr<host::ObjectStore> m_store;
    std::unique_ptr<AcDbUndoController> m_undo;
    std::unique_ptr<AcDbTransactionManager> m_transactions;
    std::vector<host::DxfItem> m_keptHeader;

    // Filled by completeDrawing and the table classes.
    AcDbObjectId m_blockTableId;
    AcDbObjectId m_layerTableId;
    AcDbObjectId m_linetypeTableId;
    AcDbObjectId m_textStyleTableId;
    AcDbObjectId m_dimStyleTableId;
    AcDbObjectId m_regAppTableId;
    AcDbObjectId m_viewTableId;
    AcDbObjectId m_ucsTableId;
    AcDbObjectId m_viewportTableId;
    AcDbObjectId m_namedObjectsDictionaryId;
    AcDbObjectId m_clayerId;
    AcDbObjectId m_textstyleId;
    AcDbObjectId m_dimstyleId;
    AcDbObjectId m_currentSpaceId;
    AcDbObjectId m_modelSpaceId;
    AcDbObjectId m_paperSpaceId;
    AcDbObjectId m_layerZeroId;
    AcDbObjectId m_continuousLinetypeId;
    AcDbObjectId m_byLayerLinetypeId;
    AcDbObjectId m_byBlockLinetypeId;
};

// The host's application services: which database is the working one.
class DRAWHOST_API AcDbHostApplicationServices {
public:
    // The working database, or null when there is none.
    AcDbDatabase* workingDatabase() const { return m_workingDatabase; }
    // Makes db (null allowed) the working database; the caller keeps ownership.
    void setWorkingDatabase(AcDbDatabase* db) { m_workingDatabase = db; }

private:
    AcDbDatabase* m_workingDatabase = nullptr;
};

// The process's application services; never null.
DRAWHOST_API AcDbHostApplicationServices* acdbHostApplicationServices();
