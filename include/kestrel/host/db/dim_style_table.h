// The dimension style table and its records: the dimension variables a drawing file carries,
// each with its DXF group code. Setters need the record open for write (eNotOpenForWrite).
#pragma once

#include <string>

#include "kestrel/export.h"
#include "kestrel/host/db/color.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/symbol_table.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - The variables kept are those below (the sizes, gaps, flags, precisions and colours of a
//   dimension plus its text style); defaults are the imperial defaults of a new drawing.
// - Colours are palette colours; DXF carries their index (0 by block, 256 by layer).
// - The database's current dimension style cannot be erased (eCannotBeErased).
// - DXF: 100 "AcDbDimStyleTableRecord", 2 name, 70 flags, 3 dimpost, 4 dimapost, the variables
//   under their codes below, 340 text style.

// X(type, kind, name, SetName, code, default) for every scalar variable.
#define KESTREL_DIM_VARIABLES(X)                           \
    X(double, real, dimscale, Dimscale, 40, 1.0)           \
    X(double, real, dimasz, Dimasz, 41, 0.18)              \
    X(double, real, dimexo, Dimexo, 42, 0.0625)            \
    X(double, real, dimdli, Dimdli, 43, 0.38)              \
    X(double, real, dimexe, Dimexe, 44, 0.18)              \
    X(double, real, dimrnd, Dimrnd, 45, 0.0)               \
    X(double, real, dimdle, Dimdle, 46, 0.0)               \
    X(double, real, dimtp, Dimtp, 47, 0.0)                 \
    X(double, real, dimtm, Dimtm, 48, 0.0)                 \
    X(double, real, dimtxt, Dimtxt, 140, 0.18)             \
    X(double, real, dimcen, Dimcen, 141, 0.09)             \
    X(double, real, dimtsz, Dimtsz, 142, 0.0)              \
    X(double, real, dimaltf, Dimaltf, 143, 25.4)           \
    X(double, real, dimlfac, Dimlfac, 144, 1.0)            \
    X(double, real, dimtvp, Dimtvp, 145, 0.0)              \
    X(double, real, dimtfac, Dimtfac, 146, 1.0)            \
    X(double, real, dimgap, Dimgap, 147, 0.09)             \
    X(bool, flag, dimtol, Dimtol, 71, false)               \
    X(bool, flag, dimlim, Dimlim, 72, false)               \
    X(bool, flag, dimtih, Dimtih, 73, true)                \
    X(bool, flag, dimtoh, Dimtoh, 74, true)                \
    X(bool, flag, dimse1, Dimse1, 75, false)               \
    X(bool, flag, dimse2, Dimse2, 76, false)               \
    X(Adesk::Int16, int16, dimtad, Dimtad, 77, 0)          \
    X(Adesk::Int16, int16, dimzin, Dimzin, 78, 0)          \
    X(bool, flag, dimalt, Dimalt, 170, false)              \
    X(Adesk::Int16, int16, dimaltd, Dimaltd, 171, 2)       \
    X(bool, flag, dimtofl, Dimtofl, 172, false)            \
    X(bool, flag, dimsah, Dimsah, 173, false)              \
    X(bool, flag, dimtix, Dimtix, 174, false)              \
    X(bool, flag, dimsoxd, Dimsoxd, 175, false)            \
    X(AcCmColor, color, dimclrd, Dimclrd, 176, kByBlock()) \
    X(AcCmColor, color, dimclre, Dimclre, 177, kByBlock()) \
    X(AcCmColor, color, dimclrt, Dimclrt, 178, kByBlock()) \
    X(Adesk::Int16, int16, dimadec, Dimadec, 179, 0)       \
    X(Adesk::Int16, int16, dimdec, Dimdec, 271, 4)         \
    X(Adesk::Int16, int16, dimtdec, Dimtdec, 272, 4)       \
    X(Adesk::Int16, int16, dimaunit, Dimaunit, 275, 0)     \
    X(Adesk::Int16, int16, dimlunit, Dimlunit, 277, 2)     \
    X(Adesk::Int16, int16, dimjust, Dimjust, 280, 0)       \
    X(Adesk::Int16, int16, dimtolj, Dimtolj, 283, 1)       \
    X(Adesk::Int16, int16, dimatfit, Dimatfit, 289, 3)

// A dimension style: the dimension variables listed above, each with a getter and a setter.
class DRAWHOST_API AcDbDimStyleTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbDimStyleTableRecord);
    AcDbDimStyleTableRecord() = default;
    ~AcDbDimStyleTableRecord() override = default;

#define KESTREL_DIM_ACCESSORS(type, kind, name, SetName, code, initial) \
    type name() const {                                                 \
        return readField(m_##name);                                     \
    }                                                                   \
    Acad::ErrorStatus set##SetName(type value) {                        \
        return writeField(m_##name, value);                             \
    }
    KESTREL_DIM_VARIABLES(KESTREL_DIM_ACCESSORS)
#undef KESTREL_DIM_ACCESSORS

    // The prefix/suffix texts, valid until the record changes or is closed.
    const wchar_t* dimpost() const {
        return readField(&m_dimpost)->c_str();
    }
    Acad::ErrorStatus setDimpost(const wchar_t* text);
    const wchar_t* dimapost() const {
        return readField(&m_dimapost)->c_str();
    }
    Acad::ErrorStatus setDimapost(const wchar_t* text);
    AcDbObjectId dimtxsty() const {
        return readField(m_dimtxsty);
    }
    Acad::ErrorStatus setDimtxsty(AcDbObjectId styleId) {
        return writeField(m_dimtxsty, styleId);
    }

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        visitNameAndFlags(self, v);
        v.text(3, self.m_dimpost);
        v.text(4, self.m_dimapost);
#define KESTREL_DIM_VISIT(type, kind, name, SetName, code, initial) v.kind(code, self.m_##name);
        KESTREL_DIM_VARIABLES(KESTREL_DIM_VISIT)
#undef KESTREL_DIM_VISIT
        v.id(340, self.m_dimtxsty, host::RefKind::kHardPointer);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    Acad::ErrorStatus subErase(bool erasing) override;

private:
    static AcCmColor kByBlock() {
        AcCmColor color;
        color.setByBlock();
        return color;
    }

#define KESTREL_DIM_MEMBER(type, kind, name, SetName, code, initial) type m_##name = initial;
    KESTREL_DIM_VARIABLES(KESTREL_DIM_MEMBER)
#undef KESTREL_DIM_MEMBER
    std::wstring m_dimpost;
    std::wstring m_dimapost;
    AcDbObjectId m_dimtxsty;
    // The groups of a record read from a file that no variable above takes (the arrow blocks,
    // newer variables, ...), written back after the variables as they were read.
    host::DxfItemList m_keptGroups;
};

class DRAWHOST_API AcDbDimStyleTableIterator
    : public AcDbSymbolTableIteratorOf<AcDbDimStyleTableRecord> {
public:
    using AcDbSymbolTableIteratorOf::AcDbSymbolTableIteratorOf;
};

// The dimension style table: dimension styles by name.
class DRAWHOST_API AcDbDimStyleTable
    : public AcDbSymbolTableOf<AcDbDimStyleTableRecord, AcDbDimStyleTableIterator> {
public:
    ACRX_DECLARE_MEMBERS(AcDbDimStyleTable);
    AcDbDimStyleTable() = default;
    ~AcDbDimStyleTable() override = default;
};
