// AcDbHatch: a filled or patterned area in its object coordinate system, bounded by loops that
// are kept as closed outlines of straight and bulged segments. Setters need write
// (eNotOpenForWrite otherwise).
#pragma once

#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/entities/polyline_shape.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/ge/ge_arrays.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - Loops are closed outlines (vertices with bulges). Loops read from DXF as edges are taken
//   when their edges are lines and circular arcs (turned into bulged vertices); elliptic and
//   spline edges are refused (eDxfReadFailed) so a reader can keep the hatch as it came.
// - The fill is not computed: extents are those of the loops (bulged segments exactly) and a
//   hatch without loops has none (eInvalidExtents).
// - Stretch points: the vertices of every loop, loop after loop.
// - Transforms: as for polylines (host::PolylineShape::checkTransform); the pattern angle
//   turns and the pattern scale follows a conformal transform.
// - The fill's own groups read from a drawing file (77 double, 78 pattern lines with their
//   definitions, 47 pixel size, 98 seed points, the gradient's 450-470 and whatever follows)
//   are kept with the file's values (the pattern lines' angles in degrees) and written back,
//   so that a patterned hatch passes through unchanged. A new pattern, angle or scale, or a
//   transform, drops them (the pattern lines and seeds were those of the former pattern and
//   place; readers rebuild a predefined pattern by its name).
// - DXF: 100 "AcDbHatch", 10 (0, 0, elevation), 210 normal, 2 pattern name, 70 solid fill,
//   71 associativity, 91 loop count, per loop 92 type (2 polyline added), 72 has bulges,
//   73 closed, 93 vertex count, 10 vertex and 42 bulge each, 97 source objects (0); then
//   75 style, 76 pattern type, 52 angle, 41 scale, then the kept fill groups or 77 double (0),
//   78 pattern lines (0), 98 seeds (0).
class DRAWHOST_API AcDbHatch : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbHatch);
    AcDbHatch() = default;
    ~AcDbHatch() override = default;

    enum HatchPatternType { kUserDefined = 0, kPreDefined = 1, kCustomDefined = 2 };
    enum HatchLoopType {
        kDefault = 0,
        kExternal = 1,
        kPolyline = 2,
        kDerived = 4,
        kTextbox = 8,
        kOutermost = 16,
    };

    double elevation() const;
    Acad::ErrorStatus setElevation(double elevation);
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    HatchPatternType patternType() const;
    const ACHAR* patternName() const;
    // The pattern "SOLID" makes a solid fill. eNullPtr for a null name, eInvalidInput for an
    // empty one.
    Acad::ErrorStatus setPattern(HatchPatternType type, const ACHAR* name);
    bool isSolidFill() const;
    double patternAngle() const;
    Acad::ErrorStatus setPatternAngle(double angle);
    double patternScale() const;
    // eInvalidInput for a scale that is not positive.
    Acad::ErrorStatus setPatternScale(double scale);
    bool associative() const;
    Acad::ErrorStatus setAssociative(bool associative);
    // The pattern lines read with the hatch from a drawing file, already turned and scaled
    // (none for a hatch made here or whose pattern changed since): each a family of parallel
    // lines at angle (radians) through base, the next one offset further, dashed by dashes
    // (positive a dash, negative a gap, zero a dot; none for a solid line).
    int numPatternDefinitions() const;
    // eInvalidIndex for an index without a line.
    Acad::ErrorStatus getPatternDefinitionAt(int index, double& angle, double& baseX,
                                             double& baseY, double& offsetX, double& offsetY,
                                             AcGeDoubleArray& dashes) const;

    int numLoops() const;
    // Appends a loop of vertices (OCS) with a bulge per vertex (missing ones count as 0);
    // eInvalidInput for fewer than two vertices.
    Acad::ErrorStatus appendLoop(Adesk::Int32 loopType, const AcGePoint2dArray& vertices,
                                 const AcGeDoubleArray& bulges);
    // eInvalidIndex for an index without a loop.
    Acad::ErrorStatus getLoopAt(int index, Adesk::Int32& loopType, AcGePoint2dArray& vertices,
                                AcGeDoubleArray& bulges) const;
    Acad::ErrorStatus removeLoopAt(int index);
    // The fill is not computed here; accepted for the SDK's shape.
    Acad::ErrorStatus evaluateHatch(bool underEstimateNumLines = false);

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

    // A loop: its type flags and its closed outline in the hatch's plane.
    struct Loop {
        Adesk::Int32 type = kDefault;
        host::PolylineShape shape;
    };

private:
    // Every loop's outline placed in the hatch's plane.
    host::PolylineShape placed(const Loop& loop) const;

    std::vector<Loop> m_loops;
    double m_elevation = 0.0;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    std::wstring m_patternName = L"SOLID";
    Adesk::Int16 m_patternType = kPreDefined;
    double m_patternAngle = 0.0;
    double m_patternScale = 1.0;
    bool m_associative = false;
    Adesk::Int16 m_style = 0;         // 75: odd parity, outermost, or ignore islands
    host::DxfItemList m_fillGroups;  // read after 41, written back as read

    // The pattern lines of m_fillGroups: 53 angle (in radians here), 43/44 base, 45/46 offset,
    // 79 then 49 dashes.
    struct PatternLine {
        double angle = 0.0;
        AcGePoint2d base;
        AcGeVector2d offset;
        std::vector<double> dashes;
    };
    std::vector<PatternLine> patternLines() const;
};
