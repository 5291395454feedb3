// The text style table and its records: font files, fixed height, width factor, obliquing angle
// and generation flags. Setters need the record open for write (eNotOpenForWrite).
#pragma once

#include <string>

#include "kestrel/export.h"
#include "kestrel/host/db/symbol_table.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - A new style has text size 0 (not fixed), width factor 1, obliquing angle 0, prior size 0.2,
//   font file "txt" and no big-font file.
// - setXScale refuses a factor that is not positive and finite, setTextSize and setPriorSize a
//   negative or non-finite size (eOutOfRange).
// - The database's current text style cannot be erased (eCannotBeErased).
// - DXF: 100 "AcDbTextStyleTableRecord", 2 name, 70 flags (1 shape file, 4 vertical), 40 size,
//   41 width factor, 50 obliquing angle, 71 generation flags (2 backwards, 4 upside down),
//   42 prior size, 3 font file, 4 big-font file.
class DRAWHOST_API AcDbTextStyleTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbTextStyleTableRecord);
    AcDbTextStyleTableRecord() = default;
    ~AcDbTextStyleTableRecord() override = default;

    static constexpr Adesk::Int16 kShapeFile = 1;
    static constexpr Adesk::Int16 kVertical = 4;

    bool isShapeFile() const { return flagBit(kShapeFile); }
    Acad::ErrorStatus setIsShapeFile(bool shapeFile) { return setFlagBit(kShapeFile, shapeFile); }
    bool isVertical() const { return flagBit(kVertical); }
    Acad::ErrorStatus setIsVertical(bool vertical) { return setFlagBit(kVertical, vertical); }
    double textSize() const { return readField(m_textSize); }
    Acad::ErrorStatus setTextSize(double size);
    double xScale() const { return readField(m_xScale); }
    Acad::ErrorStatus setXScale(double factor);
    double obliquingAngle() const { return readField(m_obliquingAngle); }
    Acad::ErrorStatus setObliquingAngle(double angle);
    double priorSize() const { return readField(m_priorSize); }
    Acad::ErrorStatus setPriorSize(double size);
    // Generation flags: 2 backwards, 4 upside down.
    Adesk::UInt8 flagBits() const { return static_cast<Adesk::UInt8>(readField(m_generation)); }
    Acad::ErrorStatus setFlagBits(Adesk::UInt8 bits) { return writeField(m_generation, bits); }
    // The font file name, valid until the record changes or is closed.
    Acad::ErrorStatus fileName(const wchar_t*& name) const;
    Acad::ErrorStatus setFileName(const wchar_t* name);
    Acad::ErrorStatus bigFontFileName(const wchar_t*& name) const;
    Acad::ErrorStatus setBigFontFileName(const wchar_t* name);

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        visitNameAndFlags(self, v);
        v.real(40, self.m_textSize);
        v.real(41, self.m_xScale);
        v.angle(50, self.m_obliquingAngle);
        v.int16(71, self.m_generation);
        v.real(42, self.m_priorSize);
        v.text(3, self.m_fileName);
        v.text(4, self.m_bigFontFileName);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    Acad::ErrorStatus subErase(bool erasing) override;

private:
    double m_textSize = 0.0;
    double m_xScale = 1.0;
    double m_obliquingAngle = 0.0;
    Adesk::Int16 m_generation = 0;
    double m_priorSize = 0.2;
    std::wstring m_fileName = L"txt";
    std::wstring m_bigFontFileName;
};

class DRAWHOST_API AcDbTextStyleTableIterator
    : public AcDbSymbolTableIteratorOf<AcDbTextStyleTableRecord> {
public:
    using AcDbSymbolTableIteratorOf::AcDbSymbolTableIteratorOf;
};

// The text style table: text styles by name; "Standard" is always there.
class DRAWHOST_API AcDbTextStyleTable
    : public AcDbSymbolTableOf<AcDbTextStyleTableRecord, AcDbTextStyleTableIterator> {
public:
    ACRX_DECLARE_MEMBERS(AcDbTextStyleTable);
    AcDbTextStyleTable() = default;
    ~AcDbTextStyleTable() override = default;
};
