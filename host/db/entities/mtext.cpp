// AcDbMText: layout through the font metric, extents, transforms and filing of long contents.
#include "kestrel/host/db/entities/mtext.h"

#include <algorithm>
#include <cmath>

#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/db/raw_object.h"
#include "kestrel/host/ge/angles.h"
#include "kestrel/host/gi/text_metric.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbMText, AcDbEntity, 0, 0, 0, MTEXT, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbMText";
constexpr std::size_t kPieceLength = 250;
constexpr double kLinePitch = 5.0 / 3.0;
// The group that starts the columns' embedded object, and the lengths within it (widths,
// heights and gutter: 40 to 46).
constexpr int kEmbeddedObject = 101;
constexpr int kFirstLength = 40;
constexpr int kLastLength = 46;

bool positiveFinite(double value) {
    return std::isfinite(value) && value > 0.0;
}

bool notNegative(double value) {
    return std::isfinite(value) && value >= 0.0;
}

// The direction brought into the plane of normal; zero when it lies along the normal.
AcGeVector3d inPlane(const AcGeVector3d& direction, const AcGeVector3d& normal) {
    const AcGeVector3d n = normal.normal();
    const AcGeVector3d projected = direction - n * direction.dotProduct(n);
    return projected.isZeroLength() ? AcGeVector3d() : projected.normal();
}

// Both field lists of the class, for one DXF group at a time.
struct AllFields {
    AcDbMText& text;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        AcDbMText::visitFields(self.text, v);
        AcDbMText::visitTrailingFields(self.text, v);
    }
};

}  // namespace

AcGePoint3d AcDbMText::location() const {
    return host::readField(this, m_location);
}

Acad::ErrorStatus AcDbMText::setLocation(const AcGePoint3d& location) {
    return host::writeField(this, m_location, location);
}

AcGeVector3d AcDbMText::normal() const {
    return host::readField(this, m_normal);
}

Acad::ErrorStatus AcDbMText::setNormal(const AcGeVector3d& normal) {
    AcGeVector3d unit;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::unitNormal(normal, unit);
    }
    if (status == Acad::eOk) {
        const AcGeVector3d direction = inPlane(m_direction, unit);
        m_direction = direction.isZeroLength() ? host::ocsAxes(unit).x : direction;
        m_normal = unit;
    }
    return status;
}

AcGeVector3d AcDbMText::direction() const {
    return host::readField(this, m_direction);
}

Acad::ErrorStatus AcDbMText::setDirection(const AcGeVector3d& direction) {
    const AcGeVector3d unit = inPlane(direction, m_normal);
    return unit.isZeroLength() ? Acad::eInvalidInput : host::writeField(this, m_direction, unit);
}

double AcDbMText::rotation() const {
    assertReadEnabled();
    return host::ocsAngle(m_normal, m_direction);
}

Acad::ErrorStatus AcDbMText::setRotation(double angle) {
    return std::isfinite(angle)
               ? host::writeField(this, m_direction, host::ocsDirection(m_normal, angle))
               : Acad::eInvalidInput;
}

double AcDbMText::textHeight() const {
    return host::readField(this, m_height);
}

Acad::ErrorStatus AcDbMText::setTextHeight(double height) {
    return positiveFinite(height) ? host::writeField(this, m_height, height) : Acad::eInvalidInput;
}

double AcDbMText::width() const {
    return host::readField(this, m_width);
}

Acad::ErrorStatus AcDbMText::setWidth(double width) {
    return notNegative(width) ? host::writeField(this, m_width, width) : Acad::eInvalidInput;
}

AcDbMText::AttachmentPoint AcDbMText::attachment() const {
    return static_cast<AttachmentPoint>(host::readField(this, m_attachment));
}

Acad::ErrorStatus AcDbMText::setAttachment(AttachmentPoint attachment) {
    return attachment >= kTopLeft && attachment <= kBottomRight
               ? host::writeField(this, m_attachment, attachment)
               : Acad::eInvalidInput;
}

double AcDbMText::lineSpacingFactor() const {
    return host::readField(this, m_spacingFactor);
}

Acad::ErrorStatus AcDbMText::setLineSpacingFactor(double factor) {
    return notNegative(factor) ? host::writeField(this, m_spacingFactor, factor)
                               : Acad::eInvalidInput;
}

ACHAR* AcDbMText::contents() const {
    return host::copyText(host::readField(this, m_contents));
}

Acad::ErrorStatus AcDbMText::setContents(const ACHAR* text) {
    return text == nullptr ? Acad::eNullPtr : host::writeField(this, m_contents, text);
}

AcDbObjectId AcDbMText::textStyle() const {
    return host::readField(this, m_style);
}

Acad::ErrorStatus AcDbMText::setTextStyle(AcDbObjectId style) {
    return host::writeField(this, m_style, style);
}

void AcDbMText::layout(double& left, double& bottom, double& right, double& top) const {
    const std::vector<std::wstring> lines = host::multilineTextLines(m_contents);
    double widest = 0.0;
    for (const std::wstring& line : lines) {
        widest = std::max(widest, host::textAdvance(line, m_height, 1.0));
    }
    const double tall =
        m_height + static_cast<double>(lines.size() - 1) * m_height * kLinePitch * m_spacingFactor;
    const int column = (m_attachment - 1) % 3;
    const int row = (m_attachment - 1) / 3;
    left = -widest * column / 2.0;
    right = left + widest;
    top = tall * row / 2.0;
    bottom = top - tall;
}

double AcDbMText::actualWidth() const {
    assertReadEnabled();
    double left = 0.0;
    double bottom = 0.0;
    double right = 0.0;
    double top = 0.0;
    layout(left, bottom, right, top);
    return right - left;
}

double AcDbMText::actualHeight() const {
    assertReadEnabled();
    double left = 0.0;
    double bottom = 0.0;
    double right = 0.0;
    double top = 0.0;
    layout(left, bottom, right, top);
    return top - bottom;
}

Acad::ErrorStatus AcDbMText::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    double left = 0.0;
    double bottom = 0.0;
    double right = 0.0;
    double top = 0.0;
    layout(left, bottom, right, top);
    const AcGeVector3d up = m_normal.crossProduct(m_direction).normal();
    AcDbExtents box;
    for (double x : {left, right}) {
        for (double y : {bottom, top}) {
            box.addPoint(m_location + m_direction * x + up * y);
        }
    }
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analysePlanar(xform, m_normal, planar);
    }
    if (status == Acad::eOk && !planar.conformal) {
        status = Acad::eCannotScaleNonUniformly;
    }
    if (status == Acad::eOk) {
        m_location = xform * m_location;
        m_direction = inPlane(xform * m_direction, planar.normal);
        m_normal = planar.normal;
        m_height *= planar.scale;
        m_width *= planar.scale;
        bool embedded = false;
        for (host::DxfItem& item : m_keptGroups) {
            embedded = embedded || item.code == kEmbeddedObject;
            if (embedded && item.code >= kFirstLength && item.code <= kLastLength) {
                item.value = item.real() * planar.scale;
            }
        }
    }
    return status;
}

namespace {

// The columns' values an embedded object gives, read once per question.
struct ColumnData {
    AcDbMText::ColumnType type = AcDbMText::kNoColumns;
    int count = 0;
    double width = 0.0;
    double gutter = 0.0;
    double definedHeight = 0.0;
    double totalWidth = 0.0;
    bool autoHeight = false;
    std::vector<double> heights;
};

ColumnData columnData(const host::DxfItemList& kept) {
    ColumnData data;
    const auto start = std::find_if(kept.begin(), kept.end(), [](const host::DxfItem& item) {
        return item.code == kEmbeddedObject;
    });
    for (auto it = start; it != kept.end(); ++it) {
        switch (it->code) {
            case 71: {
                const std::int64_t type = it->integer();
                data.type = type == 1 || type == 2 ? static_cast<AcDbMText::ColumnType>(type)
                                                   : AcDbMText::kNoColumns;
                break;
            }
            case 72:
                data.count = static_cast<int>(std::clamp<std::int64_t>(it->integer(), 0, 1000));
                break;
            case 44:
                data.width = it->real();
                break;
            case 45:
                data.gutter = it->real();
                break;
            case 41:
                data.definedHeight = it->real();
                break;
            case 42:
                data.totalWidth = it->real();
                break;
            case 73:
                data.autoHeight = it->integer() != 0;
                break;
            case 46:
                data.heights.push_back(it->real());
                break;
            default:
                break;
        }
    }
    // Dynamic columns of one height store no count: the total width holds them.
    const double pitch = data.width + data.gutter;
    if (data.type != AcDbMText::kNoColumns && data.count == 0 && pitch > 0.0 &&
        std::isfinite(data.totalWidth)) {
        data.count = static_cast<int>(
            std::clamp(std::round((data.totalWidth + data.gutter) / pitch), 1.0, 1000.0));
    }
    if (data.type == AcDbMText::kNoColumns) {
        data = ColumnData();
    }
    return data;
}

}  // namespace

AcDbMText::ColumnType AcDbMText::columnType() const {
    assertReadEnabled();
    return columnData(m_keptGroups).type;
}

int AcDbMText::columnCount() const {
    assertReadEnabled();
    return columnData(m_keptGroups).count;
}

double AcDbMText::columnWidth() const {
    assertReadEnabled();
    return columnData(m_keptGroups).width;
}

double AcDbMText::columnGutterWidth() const {
    assertReadEnabled();
    return columnData(m_keptGroups).gutter;
}

bool AcDbMText::columnAutoHeight() const {
    assertReadEnabled();
    return columnData(m_keptGroups).autoHeight;
}

Acad::ErrorStatus AcDbMText::getColumnHeight(int index, double& height) const {
    assertReadEnabled();
    const ColumnData data = columnData(m_keptGroups);
    if (index < 0 || index >= data.count) {
        return Acad::eInvalidIndex;
    }
    const bool own = data.type == kDynamicColumns && !data.autoHeight &&
                     static_cast<std::size_t>(index) < data.heights.size();
    height = own ? data.heights[static_cast<std::size_t>(index)] : data.definedHeight;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::getStretchPoints(AcGePoint3dArray& points) const {
    points.append(location());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::moveStretchPointsAt(const AcDbIntArray& indices,
                                                 const AcGeVector3d& offset) {
    return host::moveStretchPoints(this, indices, 1, [&](int) { m_location += offset; });
}

Acad::ErrorStatus AcDbMText::dwgOutFields(AcDbDwgFiler* filer) const {
    Acad::ErrorStatus status = host::dwgOutEntity<AcDbEntity>(*this, filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(m_contents);
    host::DwgFieldWriter writer(filer);
    visitTrailingFields(*this, writer);
    host::dwgOutGroups(filer, m_keptGroups);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbMText::dwgInFields(AcDbDwgFiler* filer) {
    Acad::ErrorStatus status = host::dwgInEntity<AcDbEntity>(*this, filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->readString(m_contents);
    host::DwgFieldReader reader(filer);
    visitTrailingFields(*this, reader);
    return host::dwgInGroups(filer, m_keptGroups);
}

Acad::ErrorStatus AcDbMText::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = host::dxfOutEntity<AcDbEntity>(*this, filer, kSubclass);
    if (status != Acad::eOk) {
        return status;
    }
    std::size_t at = 0;
    for (; m_contents.size() - at > kPieceLength; at += kPieceLength) {
        filer->writeString(3, m_contents.substr(at, kPieceLength));
    }
    filer->writeString(1, m_contents.substr(at));
    host::DxfFieldWriter writer(filer);
    visitTrailingFields(*this, writer);
    for (const host::DxfItem& item : m_keptGroups) {
        filer->writeItem(item);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbMText::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s", kSubclass);
    }
    std::wstring pieces;
    std::wstring last;
    bool haveText = false;
    std::wstring styleName;
    bool named = false;
    double rotation = 0.0;
    bool rotated = false;
    AllFields all{*this};
    host::DxfItemList kept;
    bool embedded = false;  // the embedded object reuses the subclass's codes for its own values
    status = host::readSubclassGroups(filer, [&](const host::DxfItem& item) {
        embedded = embedded || item.code == kEmbeddedObject;
        if (embedded) {
            kept.push_back(item);
            return true;
        }
        if (item.code == 3) {
            pieces += item.text();
            return true;
        }
        if (item.code == 1) {
            last = item.text();
            haveText = true;
            return true;
        }
        if (item.code == 7) {
            styleName = item.text();
            named = true;
            return true;
        }
        if (item.code == 50) {  // degrees in files, as other programs write and read it
            rotation = filer->angleOf(item);
            rotated = true;
            return true;
        }
        host::DxfFieldReader reader(filer, item);
        AllFields::visitFields(all, reader);
        if (!reader.matched()) {
            kept.push_back(item);
        }
        return true;
    });
    if (status == Acad::eOk && named) {
        status = host::resolveRecordName(filer, this, &AcDbDatabase::textStyleTableId, styleName,
                                         L"text style", m_style);
    }
    if (status == Acad::eOk &&
        (!positiveFinite(m_height) || m_attachment < kTopLeft || m_attachment > kBottomRight ||
         m_normal.isZeroLength() || inPlane(m_direction, m_normal).isZeroLength())) {
        status = filer->setError(Acad::eDxfReadFailed,
                                 L"AcDbMText: invalid height, attachment, normal or direction");
    }
    if (status == Acad::eOk) {
        m_normal.normalize();
        m_direction =
            rotated ? host::ocsDirection(m_normal, rotation) : inPlane(m_direction, m_normal);
        if (haveText || !pieces.empty()) {
            m_contents = pieces + last;
        }
        m_keptGroups = std::move(kept);
    }
    return status;
}
