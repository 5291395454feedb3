// Layers of the working database: CVLKCLayerTablePtr creates, finds, lists, deletes and makes
// current layers by name or id (opening the layer table only inside each call), and
// CVLKCLayerPtr holds one layer record open, collects the entities on it and moves entities to it.
#pragma once

#include "kestrel/access/cx_ptr.h"
#include "kestrel/export.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/platform/cstring.h"
#include "kestrel/platform/cstring_array.h"

class AcDbEntity;
class AcDbLayerTable;
class CVLKCLayerTablePtr;

// One layer record, open for the pointer's lifetime (fields and states of CxPtr).
//
// open(id) makes no class test: the id of any other kind of object opens as well and the pointer
// holds that object. Only the members every object has may then be used through it (getId, the
// object's erase, close, ...); no entity lies on it, so getAllEntity finds none and deleteLayer
// erases the object alone. Neither open nor createLayer closes a record the pointer already
// holds: it stays open, out of the pointer's reach, so callers pass an empty pointer.
//
// Decisions where the interface leaves the behaviour open:
// - open(name) with a name the table lacks answers false with status eKeyNotFound (or the
//   table's refusal) and leaves the object held as it was.
// - On an empty pointer getId answers the null id, getAllEntity empties ids and answers 0, and
//   both moveEntityToLayer forms answer false with status eNullObjectPointer, opening nothing.
// - Both moveEntityToLayer forms lower a record held for write to read around their setLayer
//   calls and raise it again afterwards (status then holds the raise's answer).
class KESTREL_API CVLKCLayerPtr : public CxPtr<AcDbLayerTableRecord> {
public:
    // Empty.
    CVLKCLayerPtr() = default;
    // Open as open(id, mode); empty on failure, the reason in status().
    CVLKCLayerPtr(const AcDbObjectId& id, AcDb::OpenMode mode);
    // Open as open(name, mode); empty on failure.
    CVLKCLayerPtr(const wchar_t* name, AcDb::OpenMode mode);
    CVLKCLayerPtr(const CVLKCLayerPtr&) = delete;
    // Changes nothing and returns this pointer.
    CVLKCLayerPtr& operator=(CVLKCLayerPtr&) {
        return *this;
    }

    // Opens the object id in mode, whatever its class: true when it opened; status() holds the
    // answer. A record held before is not closed.
    bool open(const AcDbObjectId& id, AcDb::OpenMode mode);
    // Opens the working database's layer called name (letter case ignored); false when there is
    // none.
    bool open(const wchar_t* name, AcDb::OpenMode mode);
    // The record's id; a record held for write is lowered to read and raised again around it.
    AcDbObjectId getId();
    // Replaces ids by the entities on this layer in every block (model space, layouts, block
    // definitions), erased ones left out; their number.
    int getAllEntity(AcDbObjectIdArray & ids);
    // Puts the entity (and its sub-entities) on this layer: true when setLayer answered eOk.
    bool moveEntityToLayer(const AcDbObjectId& entityId);
    // Moves the entities in order and stops at the first that does not open or move: true when
    // all moved (an empty list answers whether status() was eOk).
    bool moveEntityToLayer(const AcDbObjectIdArray& entityIds);

private:
    friend class CVLKCLayerTablePtr;

    // Takes a record that was just added to its table (open for write) and records write mode;
    // a record held before is not closed.
    void hold(AcDbLayerTableRecord * record);
    // setLayer(this layer) on the open entity, with the record lowered around it as described.
    Acad::ErrorStatus putOnLayer(AcDbEntity & entity);
    // Lowers a record held for write to read; true when it did.
    bool lower();
};

// The layer table of the working database, opened inside each call and closed before it returns.
// status() holds the status of the last host call a member recorded.
//
// Decisions where the interface leaves the behaviour open:
// - status() is eOk until a member records another.
// - getLayerName, setCurrent(id) and getCurrent(name) read the name of any symbol-table record
//   and refuse other objects with eNotThatKindOfClass (34).
// - createLayer with a null name answers false with status eNullPtr; with properties, a null
//   linetype name leaves the linetype alone, as "Continuous" does.
// - A record that cannot be named or added is deleted again; nothing is left behind.
class KESTREL_API CVLKCLayerTablePtr {
public:
    CVLKCLayerTablePtr() = default;
    CVLKCLayerTablePtr(const CVLKCLayerTablePtr&) = default;
    // Copies status.
    CVLKCLayerTablePtr& operator=(const CVLKCLayerTablePtr&) = default;

    // Adds the layer name with the host's default properties, or opens the existing one, and
    // leaves it open for write in layer; makeCurrent then makes it current (the result is then
    // that of setCurrent). False when the table does not open or the record is refused.
    bool createLayer(const wchar_t* name, CVLKCLayerPtr& layer, bool makeCurrent);
    // As above, then sets colour (1..255; other values leave it), the off, frozen and locked
    // states, and the linetype (looked up, "CONTINUOUS" when the drawing lacks it) unless it is
    // "Continuous" in any letter case. Also changes an existing layer. Setter failures are not
    // reported.
    bool createLayer(const wchar_t* name, int colour, bool makeCurrent, const wchar_t* linetype,
                     bool off, bool frozen, bool locked);
    // Erases every entity on the layer, then the layer: true when the layer was erased. A layer
    // that does not open for write loses nothing. The id of another kind of object opens as a
    // layer does (no class test), and that object alone is erased.
    bool deleteLayer(const AcDbObjectId& layerId);
    bool deleteLayer(const wchar_t* name);
    // The current layer ("CLAYER"), or the null id.
    AcDbObjectId getCurrent();
    // The current layer's name as its record spells it; false, name unchanged, when unreadable.
    bool getCurrent(CString & name);
    // Makes the layer current through "CLAYER": true when the table has it (the host's answer to
    // the variable is not looked at).
    bool setCurrent(const wchar_t* name);
    bool setCurrent(const AcDbObjectId& layerId);
    // Opens the layer (by id: any object) for read in layer; the result of layer.open.
    bool getLayer(const wchar_t* name, CVLKCLayerPtr& layer);
    bool getLayer(const AcDbObjectId& layerId, CVLKCLayerPtr& layer);
    // The record's name; false, name unchanged, when it does not open.
    bool getLayerName(const AcDbObjectId& layerId, CString& name);
    // The id of the layer called name; false, id unchanged, when there is none.
    bool getLayerObjectId(const wchar_t* name, AcDbObjectId& id);
    // Replaces names (ids) by those of all layers in table order; their number (0, output
    // unchanged, when the table does not open). A layer that does not open is left out; status
    // holds the answer of each layer's open, the reading of names is not looked at.
    int allLayerNames(CStringArray & names);
    int allLayerObjectIds(AcDbObjectIdArray & ids);

    // The status of the last host call recorded.
    Acad::ErrorStatus status() const {
        return m_status;
    }

private:
    // Looks name up in the open table: true with id; status holds getAt's answer when the table
    // has the name and is left alone when it does not.
    bool lookUp(const AcDbLayerTable& table, const wchar_t* name, AcDbObjectId& id);
    // Adds a new record called name to the table open for write and hands it to layer.
    bool addLayer(AcDbLayerTable & table, const wchar_t* name, CVLKCLayerPtr& layer);
    // Sets the record's linetype to linetype, or "CONTINUOUS", or the null id.
    void setLinetype(AcDbLayerTableRecord & record, const wchar_t* linetype);
    // The value of "CLAYER" (eOk), or false.
    bool currentLayerName(CString & name);

    Acad::ErrorStatus m_status = Acad::eOk;
};
