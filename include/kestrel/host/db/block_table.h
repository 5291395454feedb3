// The block table and its records: model space, paper space and block definitions, each owning
// the entities appended to it. Appending and setters need the record open for write.
#pragma once

#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/symbol_table.h"

class AcDbEntity;
class AcDbBlockTableRecordIterator;

// Decisions where the host SDK leaves the behaviour to the host:
// - appendAcDbEntity takes an entity not yet in a database; one without a layer first gets the
//   database defaults (current layer, ByLayer linetype). The entity stays open for write (the
//   caller closes it). Refusals, nothing changed: eNullObjectPointer, eAlreadyInDb, eNoDatabase
//   (record not in a database), eNotOpenForWrite.
// - Entities are walked in the order they were appended; an iterator walks the entities as they
//   were when it was made, skipping those erased meanwhile when asked.
// - Erasing a block definition erases its entities (all must open for write, else nothing is
//   erased). "*Model_Space" and "*Paper_Space" keep their names and cannot be erased.
// - Names may start with '*' (layouts and anonymous blocks).
// - DXF of the record (the BLOCK_RECORD entry): 100 "AcDbBlockTableRecord", 2 name, 340 layout,
//   70 insertion units, 280 explodable, 281 scale uniformly. Base point, flags, path and
//   description belong to the block's BLOCK entity in a file: dxfOutBlockBegin/dxfInBlockBegin
//   file them as 100 "AcDbBlockBegin", 2 name, 70 flags, 10 base point, 3 name, 1 path,
//   4 description.
class DRAWHOST_API AcDbBlockTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockTableRecord);
    AcDbBlockTableRecord() = default;
    ~AcDbBlockTableRecord() override = default;

    static constexpr Adesk::Int16 kAnonymous = 1;

    // Appends entity (see the class comment); id receives its id.
    Acad::ErrorStatus appendAcDbEntity(AcDbEntity* entity);
    Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity);
    // A new iterator over the entities, owned by the caller; eOk.
    Acad::ErrorStatus newIterator(AcDbBlockTableRecordIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;

    AcGePoint3d origin() const { return readField(m_origin); }
    Acad::ErrorStatus setOrigin(const AcGePoint3d& origin) { return writeField(m_origin, origin); }
    // The external reference path; empty for an ordinary block. Valid while the record is open.
    Acad::ErrorStatus pathName(const wchar_t*& path) const;
    Acad::ErrorStatus setPathName(const wchar_t* path);
    Acad::ErrorStatus comments(const wchar_t*& text) const;
    Acad::ErrorStatus setComments(const wchar_t* text);
    bool isAnonymous() const { return flagBit(kAnonymous); }
    Acad::ErrorStatus setIsAnonymous(bool anonymous) { return setFlagBit(kAnonymous, anonymous); }
    // True for model space and paper space layouts ("*Model_Space", "*Paper_Space...").
    bool isLayout() const;
    AcDbObjectId getLayoutId() const { return readField(m_layoutId); }
    Acad::ErrorStatus setLayoutId(AcDbObjectId id) { return writeField(m_layoutId, id); }
    bool explodable() const { return readField(m_explodable); }
    Acad::ErrorStatus setExplodable(bool explodable) {
        return writeField(m_explodable, explodable);
    }
    Adesk::Int16 blockInsertUnits() const { return readField(m_units); }
    Acad::ErrorStatus setBlockInsertUnits(Adesk::Int16 units) { return writeField(m_units, units); }

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.text(2, self.m_name);
        v.id(340, self.m_layoutId, host::RefKind::kSoftPointer);
        v.int16(70, self.m_units);
        v.flag(280, self.m_explodable);
        v.flag(281, self.m_scaleUniformly);
    }

    // The fields of the block's BLOCK entity in a drawing file, from its AcDbBlockBegin marker
    // on (the writer of the file puts the entity's own groups first).
    struct BlockBeginFields {
        template <class Self, class Visitor>
        static void visitFields(Self& self, Visitor& v) {
            v.text(2, self.m_name);
            v.int16(70, self.m_flags);
            v.point3d(10, self.m_origin);
            v.text(3, self.m_name);
            v.text(1, self.m_pathName);
            v.text(4, self.m_comments);
        }
    };
    Acad::ErrorStatus dxfOutBlockBegin(AcDbDxfFiler* filer) const;
    // Refuses a missing marker (eBadDxfSequence) or an invalid name (eInvalidSymbolTableName,
    // name unchanged), with the filer's message; needs write.
    Acad::ErrorStatus dxfInBlockBegin(AcDbDxfFiler* filer);

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    bool allowsStarPrefix() const override { return true; }
    bool isNameFixed() const override;
    Acad::ErrorStatus subErase(bool erasing) override;

private:
    AcGePoint3d m_origin;
    std::wstring m_pathName;
    std::wstring m_comments;
    AcDbObjectId m_layoutId;
    Adesk::Int16 m_units = 0;
    bool m_explodable = true;
    bool m_scaleUniformly = false;
    std::vector<AcDbObjectId> m_entities;  // in the order they were appended
};

// Walks a block's entities as they were when the iterator was made.
class DRAWHOST_API AcDbBlockTableRecordIterator {
public:
    // Host use: AcDbBlockTableRecord::newIterator makes iterators.
    AcDbBlockTableRecordIterator(std::vector<AcDbObjectId> ids, bool atBeginning, bool skipDeleted);
    virtual ~AcDbBlockTableRecordIterator() = default;

    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const { return m_cursor.done(); }
    void step(bool forward = true, bool skipDeleted = true);
    // eInvalidIndex when done (id unchanged).
    Acad::ErrorStatus getEntityId(AcDbObjectId& id) const;
    // Opens the current entity; eInvalidIndex when done, else the open's status; null on failure.
    Acad::ErrorStatus getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                bool openErasedEntity = false) const;
    // To the entity; eInvalidInput (position unchanged) when it is not walked.
    Acad::ErrorStatus seek(AcDbObjectId id);
    Acad::ErrorStatus seek(const AcDbEntity* entity);

private:
    host::IdCursor m_cursor;
};

class DRAWHOST_API AcDbBlockTableIterator : public AcDbSymbolTableIteratorOf<AcDbBlockTableRecord> {
public:
    using AcDbSymbolTableIteratorOf::AcDbSymbolTableIteratorOf;
};

// The block table: the model space, paper space and block definition records by name.
class DRAWHOST_API AcDbBlockTable
    : public AcDbSymbolTableOf<AcDbBlockTableRecord, AcDbBlockTableIterator> {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockTable);
    AcDbBlockTable() = default;
    ~AcDbBlockTable() override = default;
};

// The names of the two layout blocks every drawing has.
inline constexpr wchar_t ACDB_MODEL_SPACE[] = L"*Model_Space";
inline constexpr wchar_t ACDB_PAPER_SPACE[] = L"*Paper_Space";
