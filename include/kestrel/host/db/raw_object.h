// AcDbRawObject and AcDbRawEntity: objects and entities of kinds the host does not model, kept
// as the DXF name and groups a drawing file gave them so that a drawing passes through the host
// without losing anything. They file the same groups back (DXF, binary, acdbEntGet) unchanged.
#pragma once

#include <string>

#include "kestrel/export.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/object.h"

namespace host {

// The groups of one unmodelled object after its base class's own groups: read from a DXF filer
// up to the object's XData (1001), written back as read. Name groups keep their ids, so the
// references of a kept object follow handles like any other object's.
class DRAWHOST_API RawGroups {
public:
    const std::wstring& dxfName() const { return m_dxfName; }
    void setDxfName(std::wstring name) { m_dxfName = std::move(name); }
    const DxfItemList& groups() const { return m_groups; }

    // Reads every group up to the XData or the next object; the filer's status.
    Acad::ErrorStatus dxfIn(AcDbDxfFiler* filer);
    Acad::ErrorStatus dxfOut(AcDbDxfFiler* filer) const;
    // Binary filing of the name and the groups (undo, copies, deep clone). eFilerError for a
    // damaged record.
    Acad::ErrorStatus dwgIn(AcDbDwgFiler* filer);
    Acad::ErrorStatus dwgOut(AcDbDwgFiler* filer) const;

    // Host use: the groups the entity base did not take, written back after its own.
    DxfItemList& extraEntityGroups() { return m_entityExtras; }
    const DxfItemList& extraEntityGroups() const { return m_entityExtras; }

private:
    std::wstring m_dxfName;
    DxfItemList m_entityExtras;
    DxfItemList m_groups;
};

// Binary filing of a group list (undo, copies, deep clone of what a class keeps as groups);
// dwgInGroups leaves items unchanged and answers eFilerError for a damaged record.
DRAWHOST_API void dwgOutGroups(AcDbDwgFiler* filer, const DxfItemList& items);
DRAWHOST_API Acad::ErrorStatus dwgInGroups(AcDbDwgFiler* filer, DxfItemList& items);

// The DXF name a drawing file gives object: the kept name of a raw object or entity, else its
// class's DXF name (or class name when it has none). Never null for a non-null object.
DRAWHOST_API const wchar_t* dxfNameOf(const AcDbObject* object);

}  // namespace host

// An object the host does not model. Its base groups (handle, extension dictionary, owner) are
// the object's own; everything after them, subclass markers included, is kept as read.
// Decision: persistent reactor groups (102 {ACAD_REACTORS) are not kept; reading programs
// rebuild them.
class DRAWHOST_API AcDbRawObject : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbRawObject);
    AcDbRawObject() = default;
    // A raw object that files under dxfName.
    explicit AcDbRawObject(std::wstring dxfName) { m_raw.setDxfName(std::move(dxfName)); }
    ~AcDbRawObject() override = default;

    // The DXF name and the kept groups; valid while the object lives.
    const std::wstring& dxfName() const;
    const host::DxfItemList& groups() const;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    host::RawGroups m_raw;
};

// An entity the host does not model. Its entity groups (layer, linetype, colour, visibility)
// are the entity's own, so the layer walks and property edits of the host see it; the other
// groups of its AcDbEntity subclass (lineweight, paper space, ...) and every later subclass are
// kept as read and written back after them. It has no geometry (extents answer
// eInvalidExtents, transforms eNotApplicable).
class DRAWHOST_API AcDbRawEntity : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbRawEntity);
    AcDbRawEntity() = default;
    // A raw entity that files under dxfName.
    explicit AcDbRawEntity(std::wstring dxfName) { m_raw.setDxfName(std::move(dxfName)); }
    ~AcDbRawEntity() override = default;

    // The DXF name and the kept groups after the entity's own; valid while the entity lives.
    const std::wstring& dxfName() const;
    const host::DxfItemList& groups() const;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    host::RawGroups m_raw;
};
