// AcDbTable: the grid, its rectangle, transforms and the ACAD_TABLE filing.
#include "kestrel/host/db/entities/table.h"

#include <cmath>
#include <numeric>

#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/ge/angles.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbTable, AcDbBlockReference, 0, 0, 0, ACAD_TABLE, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbTable";
constexpr std::size_t kPieceLength = 250;
constexpr int kMaxCells = 10000000;

bool positiveFinite(double value) {
    return std::isfinite(value) && value > 0.0;
}

// Resizes the grid, keeping the cells that stay.
void resize(AcDbTable::Grid& grid, std::size_t rows, std::size_t columns) {
    const std::size_t oldColumns = grid.columnWidths.size();
    std::vector<std::wstring> cells(rows * columns);
    for (std::size_t r = 0; r < std::min(rows, grid.rowHeights.size()); ++r) {
        for (std::size_t c = 0; c < std::min(columns, oldColumns); ++c) {
            cells[r * columns + c] = std::move(grid.cells[r * oldColumns + c]);
        }
    }
    grid.cells = std::move(cells);
    grid.rowHeights.resize(rows, AcDbTable::kDefaultRowHeight);
    grid.columnWidths.resize(columns, AcDbTable::kDefaultColumnWidth);
}

bool validGrid(const AcDbTable::Grid& grid) {
    return grid.cells.size() == grid.rowHeights.size() * grid.columnWidths.size() &&
           std::all_of(grid.rowHeights.begin(), grid.rowHeights.end(), positiveFinite) &&
           std::all_of(grid.columnWidths.begin(), grid.columnWidths.end(), positiveFinite);
}

}  // namespace

int AcDbTable::numRows() const {
    return static_cast<int>(host::readField(this, m_grid).rowHeights.size());
}

int AcDbTable::numColumns() const {
    return static_cast<int>(host::readField(this, m_grid).columnWidths.size());
}

Acad::ErrorStatus AcDbTable::setSize(int rows, int columns) {
    if (rows < 0 || columns < 0 || static_cast<long long>(rows) * columns > kMaxCells) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        resize(m_grid, static_cast<std::size_t>(rows), static_cast<std::size_t>(columns));
    }
    return status;
}

Acad::ErrorStatus AcDbTable::setNumRows(int rows) {
    return setSize(rows, numColumns());
}

Acad::ErrorStatus AcDbTable::setNumColumns(int columns) {
    return setSize(numRows(), columns);
}

double AcDbTable::rowHeight(int row) const {
    const Grid& grid = host::readField(this, m_grid);
    return row >= 0 && row < numRows() ? grid.rowHeights[static_cast<std::size_t>(row)] : 0.0;
}

Acad::ErrorStatus AcDbTable::setRowHeight(int row, double height) {
    if (row < 0 || row >= numRows()) {
        return Acad::eInvalidIndex;
    }
    return positiveFinite(height)
               ? host::writeField(this, m_grid.rowHeights[static_cast<std::size_t>(row)], height)
               : Acad::eInvalidInput;
}

double AcDbTable::columnWidth(int column) const {
    const Grid& grid = host::readField(this, m_grid);
    return column >= 0 && column < numColumns()
               ? grid.columnWidths[static_cast<std::size_t>(column)]
               : 0.0;
}

Acad::ErrorStatus AcDbTable::setColumnWidth(int column, double width) {
    if (column < 0 || column >= numColumns()) {
        return Acad::eInvalidIndex;
    }
    return positiveFinite(width)
               ? host::writeField(this, m_grid.columnWidths[static_cast<std::size_t>(column)],
                                  width)
               : Acad::eInvalidInput;
}

std::ptrdiff_t AcDbTable::cellIndex(int row, int column) const {
    if (row < 0 || column < 0 || row >= numRows() || column >= numColumns()) {
        return -1;
    }
    return static_cast<std::ptrdiff_t>(row) * numColumns() + column;
}

ACHAR* AcDbTable::textString(int row, int column) const {
    const std::ptrdiff_t index = cellIndex(row, column);
    return index < 0 ? nullptr : host::copyText(m_grid.cells[static_cast<std::size_t>(index)]);
}

Acad::ErrorStatus AcDbTable::setTextString(int row, int column, const ACHAR* text) {
    const std::ptrdiff_t index = cellIndex(row, column);
    if (index < 0) {
        return Acad::eInvalidIndex;
    }
    return text == nullptr
               ? Acad::eNullPtr
               : host::writeField(this, m_grid.cells[static_cast<std::size_t>(index)], text);
}

double AcDbTable::width() const {
    const Grid& grid = host::readField(this, m_grid);
    return std::accumulate(grid.columnWidths.begin(), grid.columnWidths.end(), 0.0);
}

double AcDbTable::height() const {
    const Grid& grid = host::readField(this, m_grid);
    return std::accumulate(grid.rowHeights.begin(), grid.rowHeights.end(), 0.0);
}

AcGeVector3d AcDbTable::direction() const {
    return host::ocsDirection(normal(), rotation());
}

Acad::ErrorStatus AcDbTable::setDirection(const AcGeVector3d& direction) {
    const AcGeVector3d n = normal();
    const AcGeVector3d inPlane = direction - n * direction.dotProduct(n);
    return inPlane.isZeroLength() ? Acad::eInvalidInput : setRotation(host::ocsAngle(n, inPlane));
}

void AcDbTable::corners(AcGePoint3d (&points)[4]) const {
    const AcGeVector3d across = direction() * width();
    const AcGeVector3d down = -normal().crossProduct(direction()) * height();
    points[0] = position();
    points[1] = points[0] + across;
    points[2] = points[1] + down;
    points[3] = points[0] + down;
}

Acad::ErrorStatus AcDbTable::getGeomExtents(AcDbExtents& extents) const {
    AcGePoint3d points[4];
    corners(points);
    AcDbExtents box;
    for (const AcGePoint3d& p : points) {
        box.addPoint(p);
    }
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analysePlanar(xform, normal(), planar);
    }
    if (status == Acad::eOk && (!planar.conformal || planar.mirrored)) {
        status = Acad::eCannotScaleNonUniformly;
    }
    if (status != Acad::eOk) {
        return status;
    }
    const AcGePoint3d moved = xform * position();
    const double turned = planar.mapAngle(rotation());
    setNormal(planar.normal);
    setPosition(moved);
    setRotation(turned);
    for (double& h : m_grid.rowHeights) {
        h *= planar.scale;
    }
    for (double& w : m_grid.columnWidths) {
        w *= planar.scale;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::getStretchPoints(AcGePoint3dArray& points) const {
    AcGePoint3d list[4];
    corners(list);
    for (const AcGePoint3d& p : list) {
        points.append(p);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::moveStretchPointsAt(const AcDbIntArray& indices,
                                                 const AcGeVector3d& offset) {
    for (int i = 0; i < indices.length(); ++i) {
        if (indices[i] < 0 || indices[i] > 3) {
            return Acad::eInvalidIndex;
        }
        if (indices[i] != 0) {
            return Acad::eNotApplicable;
        }
    }
    return host::moveStretchPoints(this, indices, 1,
                                   [&](int) { setPosition(position() + offset); });
}

Acad::ErrorStatus AcDbTable::explode(AcDbVoidPtrArray&) const {
    assertReadEnabled();
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbTable::dwgOutFields(AcDbDwgFiler* filer) const {
    Acad::ErrorStatus status = AcDbBlockReference::dwgOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    for (const auto* list : {&m_grid.rowHeights, &m_grid.columnWidths}) {
        filer->writeInt32(static_cast<Adesk::Int32>(list->size()));
        for (double value : *list) {
            filer->writeDouble(value);
        }
    }
    for (const std::wstring& cell : m_grid.cells) {
        filer->writeString(cell);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbTable::dwgInFields(AcDbDwgFiler* filer) {
    Acad::ErrorStatus status = AcDbBlockReference::dwgInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    Grid grid;
    for (auto* list : {&grid.rowHeights, &grid.columnWidths}) {
        Adesk::Int32 count = 0;
        status = filer->readInt32(&count);
        if (status != Acad::eOk || count < 0 || count > kMaxCells) {
            filer->setFilerStatus(Acad::eFilerError);
            return Acad::eFilerError;
        }
        list->assign(static_cast<std::size_t>(count), 0.0);
        for (double& value : *list) {
            filer->readDouble(&value);
        }
    }
    grid.cells.resize(grid.rowHeights.size() * grid.columnWidths.size());
    for (std::wstring& cell : grid.cells) {
        status = filer->readString(cell);
    }
    status = filer->filerStatus();
    if (status == Acad::eOk) {
        m_grid = std::move(grid);
    }
    return status;
}

Acad::ErrorStatus AcDbTable::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbBlockReference::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(100, kSubclass);
    filer->writeInt16(280, 0);
    filer->writeVector3d(11, direction());
    filer->writeInt32(90, 0);
    filer->writeInt32(91, numRows());
    filer->writeInt32(92, numColumns());
    for (int code = 93; code <= 96; ++code) {
        filer->writeInt32(code, 0);
    }
    for (double h : m_grid.rowHeights) {
        filer->writeDouble(141, h);
    }
    for (double w : m_grid.columnWidths) {
        filer->writeDouble(142, w);
    }
    for (const std::wstring& cell : m_grid.cells) {
        filer->writeInt16(171, 1);
        filer->writeInt16(172, 0);
        filer->writeInt16(173, 0);
        filer->writeInt16(174, 0);
        filer->writeInt16(175, 1);
        filer->writeInt16(176, 1);
        filer->writeInt32(91, 0);
        filer->writeInt16(178, 0);
        filer->writeDouble(145, 0.0);
        std::size_t at = 0;
        for (; cell.size() - at > kPieceLength; at += kPieceLength) {
            filer->writeString(2, cell.substr(at, kPieceLength));
        }
        filer->writeString(1, cell.substr(at));
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbTable::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbBlockReference::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s", kSubclass);
    }
    Grid grid;
    std::int64_t rows = 0;
    std::int64_t columns = 0;
    AcGeVector3d direction = this->direction();
    bool inCells = false;
    std::wstring pieces;
    status = host::readSubclassGroups(filer, [&](const host::DxfItem& item) {
        switch (item.code) {
            case 91:
                if (!inCells) {
                    rows = item.integer();
                }
                return true;
            case 92:
                columns = item.integer();
                return true;
            case 11:
                direction = item.point().asVector();
                return true;
            case 141:
                grid.rowHeights.push_back(item.real());
                return true;
            case 142:
                grid.columnWidths.push_back(item.real());
                return true;
            case 171:
                inCells = true;
                grid.cells.emplace_back();
                pieces.clear();
                return true;
            case 2:
                pieces += item.text();
                return true;
            case 1:
                if (!grid.cells.empty()) {
                    grid.cells.back() = pieces + item.text();
                }
                return true;
            default:
                return true;  // cell formats and table flags are not kept
        }
    });
    if (status != Acad::eOk) {
        return status;
    }
    if (static_cast<std::int64_t>(grid.rowHeights.size()) != rows ||
        static_cast<std::int64_t>(grid.columnWidths.size()) != columns || !validGrid(grid)) {
        return filer->setError(Acad::eDxfReadFailed,
                               L"AcDbTable: %lld rows and %lld columns do not match the sizes "
                               L"and cells read",
                               static_cast<long long>(rows), static_cast<long long>(columns));
    }
    m_grid = std::move(grid);
    return setDirection(direction) == Acad::eOk
               ? Acad::eOk
               : filer->setError(Acad::eDxfReadFailed, L"AcDbTable: direction along the normal");
}
