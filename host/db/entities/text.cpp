// AcDbText: alignment through the font metric, extents, transforms and filing.
#include "kestrel/host/db/entities/text.h"

#include <cmath>
#include <cstring>

#include "kestrel/host/ge/angles.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbText, AcDbEntity, 0, 0, 0, TEXT, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbText";
constexpr Adesk::Int16 kBackward = 2;
constexpr Adesk::Int16 kUpsideDown = 4;

// The text's own axes in its OCS: x along the baseline, y up, after the generation flags.
struct TextFrame {
    AcGeVector3d x;
    AcGeVector3d y;
};

TextFrame frameOf(const host::TextFields& t) {
    const double c = std::cos(t.rotation);
    const double s = std::sin(t.rotation);
    TextFrame frame{{c, s, 0.0}, {-s, c, 0.0}};
    if ((t.generation & kBackward) != 0) {
        frame.x = -frame.x;
    }
    if ((t.generation & kUpsideDown) != 0) {
        frame.y = -frame.y;
    }
    return frame;
}

bool isDefaultAlignmentOf(const host::TextFields& t) {
    return t.horizontal == AcDb::kTextLeft && t.vertical == AcDb::kTextBase;
}

bool spansPoints(const host::TextFields& t) {
    return t.horizontal == AcDb::kTextAlign || t.horizontal == AcDb::kTextFit;
}

bool positiveFinite(double value) {
    return std::isfinite(value) && value > 0.0;
}

// Where the alignment point lies in the text's frame, relative to the position.
void alignmentOffset(const host::TextFields& t, double& dx, double& dy) {
    const double advance = host::textAdvance(t.text, t.height, t.widthFactor);
    switch (t.horizontal) {
        case AcDb::kTextCenter:
        case AcDb::kTextMid:
            dx = advance / 2.0;
            break;
        case AcDb::kTextRight:
            dx = advance;
            break;
        default:
            dx = 0.0;
    }
    if (t.horizontal == AcDb::kTextMid) {
        const host::TextBox box = host::measureText(t.text, t.height, t.widthFactor, t.oblique);
        dy = box.maxY > box.minY ? (box.minY + box.maxY) / 2.0 : t.height / 2.0;
        return;
    }
    switch (t.vertical) {
        case AcDb::kTextBottom:
            dy = -host::descentOf(t.height);
            break;
        case AcDb::kTextVertMid:
            dy = t.height / 2.0;
            break;
        case AcDb::kTextTop:
            dy = t.height;
            break;
        default:
            dy = 0.0;
    }
}

// Whether the values a DXF read gave describe a text.
bool isValidText(const host::TextFields& t) {
    return positiveFinite(t.height) && positiveFinite(t.widthFactor) && std::isfinite(t.rotation) &&
           std::isfinite(t.oblique) && t.horizontal >= AcDb::kTextLeft &&
           t.horizontal <= AcDb::kTextFit && !t.normal.isZeroLength();
}

// A subclass with no fields but the vertical mode.
struct NoFields {
    template <class Self, class Visitor>
    static void visitFields(Self&, Visitor&) {}
};

}  // namespace

AcDbText::AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style,
                   double height, double rotation) {
    m_text.position = position;
    m_text.text = text != nullptr ? text : L"";
    m_text.style = style;
    if (positiveFinite(height)) {
        m_text.height = height;
    }
    if (std::isfinite(rotation)) {
        m_text.rotation = normalizeAngle(rotation);
    }
}

template <class T, class Check>
Acad::ErrorStatus AcDbText::setAndRealign(T& field, const T& value, Check check) {
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk && !check(value)) {
        status = Acad::eInvalidInput;
    }
    if (status == Acad::eOk) {
        field = value;
        realign();
    }
    return status;
}

namespace {
const auto kAnyValue = [](const auto&) { return true; };
const auto kFinite = [](double value) { return std::isfinite(value); };
}  // namespace

AcGePoint3d AcDbText::position() const {
    assertReadEnabled();
    return host::ocsToWorld(m_text.normal, m_text.position);
}

Acad::ErrorStatus AcDbText::setPosition(const AcGePoint3d& position) {
    return setAndRealign(m_text.position, host::worldToOcs(m_text.normal, position), kAnyValue);
}

AcGePoint3d AcDbText::alignmentPoint() const {
    assertReadEnabled();
    return host::ocsToWorld(m_text.normal, m_text.alignment);
}

Acad::ErrorStatus AcDbText::setAlignmentPoint(const AcGePoint3d& point) {
    return setAndRealign(m_text.alignment, host::worldToOcs(m_text.normal, point), kAnyValue);
}

bool AcDbText::isDefaultAlignment() const {
    assertReadEnabled();
    return isDefaultAlignmentOf(m_text);
}

AcGeVector3d AcDbText::normal() const {
    return host::readField(this, m_text.normal);
}

Acad::ErrorStatus AcDbText::setNormal(const AcGeVector3d& normal) {
    AcGeVector3d unit;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::unitNormal(normal, unit);
    }
    if (status == Acad::eOk) {
        const AcGePoint3d position = host::ocsToWorld(m_text.normal, m_text.position);
        const AcGePoint3d alignment = host::ocsToWorld(m_text.normal, m_text.alignment);
        m_text.normal = unit;
        m_text.position = host::worldToOcs(unit, position);
        m_text.alignment = host::worldToOcs(unit, alignment);
    }
    return status;
}

double AcDbText::thickness() const {
    return host::readField(this, m_text.thickness);
}

Acad::ErrorStatus AcDbText::setThickness(double thickness) {
    return setAndRealign(m_text.thickness, thickness, kFinite);
}

double AcDbText::oblique() const {
    return host::readField(this, m_text.oblique);
}

Acad::ErrorStatus AcDbText::setOblique(double angle) {
    return setAndRealign(m_text.oblique, angle, kFinite);
}

double AcDbText::rotation() const {
    return host::readField(this, m_text.rotation);
}

Acad::ErrorStatus AcDbText::setRotation(double angle) {
    return setAndRealign(m_text.rotation, std::isfinite(angle) ? normalizeAngle(angle) : angle,
                         kFinite);
}

double AcDbText::height() const {
    return host::readField(this, m_text.height);
}

Acad::ErrorStatus AcDbText::setHeight(double height) {
    return setAndRealign(m_text.height, height, positiveFinite);
}

double AcDbText::widthFactor() const {
    return host::readField(this, m_text.widthFactor);
}

Acad::ErrorStatus AcDbText::setWidthFactor(double factor) {
    return setAndRealign(m_text.widthFactor, factor, positiveFinite);
}

bool AcDbText::isMirroredInX() const {
    return (host::readField(this, m_text.generation) & kBackward) != 0;
}

Acad::ErrorStatus AcDbText::mirrorInX(bool mirror) {
    const Adesk::Int16 bits = static_cast<Adesk::Int16>(mirror ? (m_text.generation | kBackward)
                                                               : (m_text.generation & ~kBackward));
    return setAndRealign(m_text.generation, bits, kAnyValue);
}

bool AcDbText::isMirroredInY() const {
    return (host::readField(this, m_text.generation) & kUpsideDown) != 0;
}

Acad::ErrorStatus AcDbText::mirrorInY(bool mirror) {
    const Adesk::Int16 bits = static_cast<Adesk::Int16>(
        mirror ? (m_text.generation | kUpsideDown) : (m_text.generation & ~kUpsideDown));
    return setAndRealign(m_text.generation, bits, kAnyValue);
}

AcDb::TextHorzMode AcDbText::horizontalMode() const {
    return static_cast<AcDb::TextHorzMode>(host::readField(this, m_text.horizontal));
}

Acad::ErrorStatus AcDbText::setHorizontalMode(AcDb::TextHorzMode mode) {
    return setAndRealign(m_text.horizontal, static_cast<Adesk::Int16>(mode), [](Adesk::Int16 m) {
        return m >= AcDb::kTextLeft && m <= AcDb::kTextFit;
    });
}

AcDb::TextVertMode AcDbText::verticalMode() const {
    return static_cast<AcDb::TextVertMode>(host::readField(this, m_text.vertical));
}

Acad::ErrorStatus AcDbText::setVerticalMode(AcDb::TextVertMode mode) {
    return setAndRealign(m_text.vertical, static_cast<Adesk::Int16>(mode), [](Adesk::Int16 m) {
        return m >= AcDb::kTextBase && m <= AcDb::kTextTop;
    });
}

ACHAR* AcDbText::textString() const {
    const std::wstring& text = host::readField(this, m_text.text);
    auto* copy = new ACHAR[text.size() + 1];
    std::wmemcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

const ACHAR* AcDbText::textStringConst() const {
    return host::readField(this, m_text.text).c_str();
}

Acad::ErrorStatus AcDbText::setTextString(const ACHAR* text) {
    if (text == nullptr) {
        return Acad::eNullPtr;
    }
    return setAndRealign(m_text.text, std::wstring(text), kAnyValue);
}

AcDbObjectId AcDbText::textStyle() const {
    return host::readField(this, m_text.style);
}

Acad::ErrorStatus AcDbText::setTextStyle(AcDbObjectId style) {
    return setAndRealign(m_text.style, style, kAnyValue);
}

Acad::ErrorStatus AcDbText::adjustAlignment(const AcDbDatabase*) {
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        realign();
    }
    return status;
}

void AcDbText::realign() {
    host::TextFields& t = m_text;
    if (isDefaultAlignmentOf(t)) {
        return;
    }
    if (spansPoints(t)) {
        const double dx = t.alignment.x - t.position.x;
        const double dy = t.alignment.y - t.position.y;
        const double span = std::hypot(dx, dy);
        const double advance = host::textAdvance(t.text, t.height, t.widthFactor);
        if (span == 0.0 || advance <= 0.0) {
            return;
        }
        const bool backward = (t.generation & kBackward) != 0;
        t.rotation = normalizeAngle(std::atan2(dy, dx) + (backward ? kGePi : 0.0));
        (t.horizontal == AcDb::kTextAlign ? t.height : t.widthFactor) *= span / advance;
        return;
    }
    double dx = 0.0;
    double dy = 0.0;
    alignmentOffset(t, dx, dy);
    const TextFrame frame = frameOf(t);
    t.position = t.alignment - frame.x * dx - frame.y * dy;
}

Acad::ErrorStatus AcDbText::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    const host::TextBox box =
        host::measureText(m_text.text, m_text.height, m_text.widthFactor, m_text.oblique);
    const TextFrame frame = frameOf(m_text);
    AcDbExtents result;
    for (double x : {box.minX, box.maxX}) {
        for (double y : {box.minY, box.maxY}) {
            result.addPoint(
                host::ocsToWorld(m_text.normal, m_text.position + frame.x * x + frame.y * y));
        }
    }
    host::addExtrusion(result, m_text.normal, m_text.thickness);
    extents = result;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::transformText(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = host::analysePlanar(xform, m_text.normal, planar);
    if (status == Acad::eOk && !planar.conformal) {
        status = Acad::eCannotScaleNonUniformly;
    }
    if (status != Acad::eOk) {
        return status;
    }
    m_text.position = planar.ocsToOcs * m_text.position;
    m_text.alignment = planar.ocsToOcs * m_text.alignment;
    m_text.normal = planar.normal;
    m_text.height *= planar.scale;
    m_text.thickness *= planar.normalStretch;
    m_text.rotation =
        normalizeAngle(planar.mapAngle(m_text.rotation) + (planar.mirrored ? kGePi : 0.0));
    if (planar.mirrored) {
        m_text.generation = static_cast<Adesk::Int16>(m_text.generation ^ kBackward);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::transformBy(const AcGeMatrix3d& xform) {
    const Acad::ErrorStatus status = requireWrite();
    return status == Acad::eOk ? transformText(xform) : status;
}

Acad::ErrorStatus AcDbText::getStretchPoints(AcGePoint3dArray& points) const {
    assertReadEnabled();
    if (isDefaultAlignmentOf(m_text) || spansPoints(m_text)) {
        points.append(host::ocsToWorld(m_text.normal, m_text.position));
    }
    if (!isDefaultAlignmentOf(m_text)) {
        points.append(host::ocsToWorld(m_text.normal, m_text.alignment));
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::moveStretchPointsAt(const AcDbIntArray& indices,
                                                const AcGeVector3d& offset) {
    assertReadEnabled();
    AcGePoint3d* points[2] = {nullptr, nullptr};
    int count = 0;
    if (isDefaultAlignmentOf(m_text) || spansPoints(m_text)) {
        points[count++] = &m_text.position;
    }
    if (!isDefaultAlignmentOf(m_text)) {
        points[count++] = &m_text.alignment;
    }
    const AcGeVector3d ocsOffset =
        host::worldToOcs(m_text.normal, AcGePoint3d::kOrigin + offset).asVector();
    const Acad::ErrorStatus status =
        host::moveStretchPoints(this, indices, count, [&](int i) { *points[i] += ocsOffset; });
    if (status == Acad::eOk) {
        realign();
    }
    return status;
}

Acad::ErrorStatus AcDbText::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbEntity>(*this, filer);
}

Acad::ErrorStatus AcDbText::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbEntity>(*this, filer);
}

Acad::ErrorStatus AcDbText::dxfOutTextSubclass(AcDbDxfFiler* filer) const {
    return host::dxfOutSubclass(filer, kSubclass, m_text);
}

Acad::ErrorStatus AcDbText::dxfInTextSubclass(AcDbDxfFiler* filer) {
    host::TextFields read = m_text;
    Acad::ErrorStatus status =
        host::dxfInNamedSubclass(filer, kSubclass, read, this, 7, &AcDbDatabase::textStyleTableId,
                                 L"text style", read.style);
    if (status == Acad::eOk && !isValidText(read)) {
        status = filer->setError(Acad::eDxfReadFailed,
                                 L"AcDbText: invalid height, width factor, angle, mode or normal");
    }
    if (status == Acad::eOk) {
        read.normal.normalize();
        m_text = read;
    }
    return status;
}

Acad::ErrorStatus AcDbText::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer);
    if (status == Acad::eOk) {
        status = dxfOutTextSubclass(filer);
    }
    if (status == Acad::eOk) {
        filer->writeString(100, kSubclass);
        status = filer->writeInt16(kVerticalCode, m_text.vertical);
    }
    return status;
}

Acad::ErrorStatus AcDbText::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
    if (status == Acad::eOk) {
        status = dxfInTextSubclass(filer);
    }
    if (status != Acad::eOk || atTextSubclassEnd(filer)) {
        return status;
    }
    NoFields none;
    return dxfInWithVertical(filer, kSubclass, none, kVerticalCode);
}

bool AcDbText::atTextSubclassEnd(AcDbDxfFiler* filer) const {
    if (filer->impliedSubclasses()) {
        return false;
    }
    if (filer->atEndOfObject()) {
        return true;
    }
    host::DxfItem next;
    if (filer->readItem(next) != Acad::eOk) {
        return true;
    }
    filer->pushBackItem();
    return next.code != 100;
}
