// The layer table and its records: colour, linetype, and the off, frozen and locked states a
// layer gives the entities on it. Setters need the record open for write (eNotOpenForWrite).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/color.h"
#include "kestrel/host/db/symbol_table.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - A new layer has colour 7, is on, thawed, unlocked and plotted, with the default line weight
//   (-3). Its linetype is null until it is added to a database, which then gives it "Continuous"
//   unless one was set.
// - A layer colour is a palette colour (1..255) or a true colour; by layer, by block, foreground
//   and none are refused with eInvalidInput.
// - setIsFrozen(true) on the database's current layer answers eInvalidLayer and changes nothing.
// - Layer "0" keeps its name; it and the current layer cannot be erased (eCannotBeErased).
// - DXF: 100 "AcDbLayerTableRecord", 2 name, 70 flags (1 frozen, 2 frozen in new viewports,
//   4 locked), 290 plotted, 370 line weight, 62 colour index (negative while off), 420 RGB of a
//   true colour, 6 linetype name. Reading an unknown linetype name sets eKeyNotFound with a
//   message.
class DRAWHOST_API AcDbLayerTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbLayerTableRecord);
    AcDbLayerTableRecord();
    ~AcDbLayerTableRecord() override = default;

    static constexpr Adesk::Int16 kFrozen = 1;
    static constexpr Adesk::Int16 kFrozenInNewViewports = 2;
    static constexpr Adesk::Int16 kLocked = 4;

    bool isFrozen() const { return flagBit(kFrozen); }
    Acad::ErrorStatus setIsFrozen(bool frozen);
    bool isOff() const { return readField(m_off); }
    Acad::ErrorStatus setIsOff(bool off) { return writeField(m_off, off); }
    bool isLocked() const { return flagBit(kLocked); }
    Acad::ErrorStatus setIsLocked(bool locked) { return setFlagBit(kLocked, locked); }
    bool VPDFLT() const { return flagBit(kFrozenInNewViewports); }
    Acad::ErrorStatus setVPDFLT(bool frozen) { return setFlagBit(kFrozenInNewViewports, frozen); }
    bool isPlottable() const { return readField(m_plottable); }
    Acad::ErrorStatus setIsPlottable(bool plottable) { return writeField(m_plottable, plottable); }
    Adesk::Int16 lineWeight() const { return readField(m_lineWeight); }
    Acad::ErrorStatus setLineWeight(Adesk::Int16 weight) {
        return writeField(m_lineWeight, weight);
    }

    AcCmColor color() const { return readField(m_color); }
    // eInvalidInput for a colour a layer cannot have (see the class comment).
    Acad::ErrorStatus setColor(const AcCmColor& color);
    AcDbObjectId linetypeObjectId() const { return readField(m_linetypeId); }
    Acad::ErrorStatus setLinetypeObjectId(AcDbObjectId id) { return writeField(m_linetypeId, id); }

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        visitNameAndFlags(self, v);
        v.flag(290, self.m_plottable);
        v.int16(370, self.m_lineWeight);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    bool isNameFixed() const override;
    Acad::ErrorStatus subErase(bool erasing) override;
    void subAddedToDatabase() override;

private:
    AcCmColor m_color;
    bool m_off = false;
    bool m_plottable = true;
    Adesk::Int16 m_lineWeight = -3;
    AcDbObjectId m_linetypeId;
};

class DRAWHOST_API AcDbLayerTableIterator : public AcDbSymbolTableIteratorOf<AcDbLayerTableRecord> {
public:
    using AcDbSymbolTableIteratorOf::AcDbSymbolTableIteratorOf;
};

// The layer table: layers by name; "0" is always there.
class DRAWHOST_API AcDbLayerTable
    : public AcDbSymbolTableOf<AcDbLayerTableRecord, AcDbLayerTableIterator> {
public:
    ACRX_DECLARE_MEMBERS(AcDbLayerTable);
    AcDbLayerTable() = default;
    ~AcDbLayerTable() override = default;
};
