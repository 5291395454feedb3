// AcDbTable: a grid of rows and columns with a text per cell, hanging from its insertion point
// (its top left corner) along its direction. A block reference by kind; it draws no block.
// Setters need write (eNotOpenForWrite otherwise); rows and columns count from 0.
#pragma once

#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/entities/block_reference.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - A new row is 1 high, a new column 5 wide; heights and widths must be positive
//   (eInvalidInput). Growing keeps the cells there are; shrinking drops the others.
// - A row or column without a cell gives eInvalidIndex (null text from textString).
// - Extents: the rectangle of the grid; stretch points: its corners, top left first, then top
//   right, bottom right, bottom left. Moving the top left corner moves the table; the others
//   are not stretchable (eNotApplicable).
// - Moves, rotations and uniform scaling apply (sizes scale); reflections and other transforms
//   give eCannotScaleNonUniformly (a table is never mirrored).
// - DXF (ACAD_TABLE): the block reference groups, then 100 "AcDbTable", 280 0, 11 direction,
//   90 0, 91 rows, 92 columns, 93 to 96 0, 141 row heights, 142 column widths, and per cell
//   171 1, 172 0, 173 0, 174 0, 175 1, 176 1, 91 0, 178 0, 145 0, then its text (2 for each
//   250-character piece before the last, 1 for the last).
class DRAWHOST_API AcDbTable : public AcDbBlockReference {
public:
    ACRX_DECLARE_MEMBERS(AcDbTable);
    AcDbTable() = default;
    ~AcDbTable() override = default;

    static constexpr double kDefaultRowHeight = 1.0;
    static constexpr double kDefaultColumnWidth = 5.0;

    int numRows() const;
    int numColumns() const;
    // eInvalidInput for a negative count.
    Acad::ErrorStatus setSize(int rows, int columns);
    Acad::ErrorStatus setNumRows(int rows);
    Acad::ErrorStatus setNumColumns(int columns);
    double rowHeight(int row) const;
    Acad::ErrorStatus setRowHeight(int row, double height);
    double columnWidth(int column) const;
    Acad::ErrorStatus setColumnWidth(int column, double width);
    // A new[] copy of the cell's text released by the caller; null for a cell that is not there.
    ACHAR* textString(int row, int column) const;
    // eNullPtr for null text.
    Acad::ErrorStatus setTextString(int row, int column, const ACHAR* text);
    double width() const;
    double height() const;
    AcGeVector3d direction() const;
    // eInvalidInput for a direction along the normal.
    Acad::ErrorStatus setDirection(const AcGeVector3d& direction);

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;
    Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

    // The filed grid; public for the host's own filing helpers.
    struct Grid {
        std::vector<double> rowHeights;
        std::vector<double> columnWidths;
        std::vector<std::wstring> cells;  // row by row
    };

private:
    // The index of a cell, or -1 when it is not there.
    std::ptrdiff_t cellIndex(int row, int column) const;
    // The grid's corners in the order of the stretch points.
    void corners(AcGePoint3d (&points)[4]) const;

    Grid m_grid;
};
