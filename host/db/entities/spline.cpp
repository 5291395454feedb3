// AcDbSpline: NURBS evaluation (de Boor in homogeneous coordinates), global interpolation of
// fit points, exact extents by refined sampling, transforms and filing.
#include "kestrel/host/db/entities/spline.h"

#include <algorithm>
#include <cmath>

#include "kestrel/host/db/entity_support.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbSpline, AcDbCurve, 0, 0, 0, SPLINE, DrawHost);

namespace {

using Data = AcDbSpline::Data;

constexpr const wchar_t* kSubclass = L"AcDbSpline";
constexpr Adesk::Int16 kClosedFlag = 1;
constexpr Adesk::Int16 kPeriodicFlag = 2;
constexpr Adesk::Int16 kRationalFlag = 4;
constexpr int kSamplesPerSpan = 16;
constexpr int kMaxDegree = 25;

bool finitePoint(const AcGePoint3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool validNurbs(const Data& d) {
    const std::size_t n = d.controlPoints.size();
    if (d.degree < 1 || d.degree > kMaxDegree || n < static_cast<std::size_t>(d.degree) + 1 ||
        d.knots.size() != n + static_cast<std::size_t>(d.degree) + 1) {
        return false;
    }
    for (std::size_t i = 1; i < d.knots.size(); ++i) {
        if (!std::isfinite(d.knots[i]) || d.knots[i] < d.knots[i - 1]) {
            return false;
        }
    }
    if (d.knots[static_cast<std::size_t>(d.degree)] >= d.knots[n]) {
        return false;
    }
    if (!d.weights.empty() &&
        (d.weights.size() != n || std::any_of(d.weights.begin(), d.weights.end(), [](double w) {
             return !(std::isfinite(w) && w > 0.0);
         }))) {
        return false;
    }
    return std::all_of(d.controlPoints.begin(), d.controlPoints.end(), finitePoint);
}

double domainStart(const Data& d) {
    return d.knots[static_cast<std::size_t>(d.degree)];
}

double domainEnd(const Data& d) {
    return d.knots[d.controlPoints.size()];
}

// The knot span holding u (the last one for the domain's end).
std::size_t findSpan(const Data& d, double u) {
    const std::size_t p = static_cast<std::size_t>(d.degree);
    const std::size_t n = d.controlPoints.size() - 1;
    if (u >= d.knots[n + 1]) {
        return n;
    }
    const auto upper = std::upper_bound(d.knots.begin() + static_cast<std::ptrdiff_t>(p),
                                        d.knots.begin() + static_cast<std::ptrdiff_t>(n + 1), u);
    return static_cast<std::size_t>(upper - d.knots.begin()) - 1;
}

// The degree + 1 basis functions that are non-zero at u in span (The NURBS Book, A2.2).
std::vector<double> basis(const Data& d, std::size_t span, double u) {
    const std::size_t p = static_cast<std::size_t>(d.degree);
    std::vector<double> n(p + 1, 0.0);
    std::vector<double> left(p + 1, 0.0);
    std::vector<double> right(p + 1, 0.0);
    n[0] = 1.0;
    for (std::size_t j = 1; j <= p; ++j) {
        left[j] = u - d.knots[span + 1 - j];
        right[j] = d.knots[span + j] - u;
        double saved = 0.0;
        for (std::size_t r = 0; r < j; ++r) {
            const double denominator = right[r + 1] + left[j - r];
            const double temp = denominator == 0.0 ? 0.0 : n[r] / denominator;
            n[r] = saved + right[r + 1] * temp;
            saved = left[j - r] * temp;
        }
        n[j] = saved;
    }
    return n;
}

AcGePoint3d evaluate(const Data& d, double u) {
    const std::size_t span = findSpan(d, u);
    const std::vector<double> n = basis(d, span, u);
    const std::size_t p = static_cast<std::size_t>(d.degree);
    AcGeVector3d sum;
    double weightSum = 0.0;
    for (std::size_t j = 0; j <= p; ++j) {
        const std::size_t i = span - p + j;
        const double w = d.weights.empty() ? 1.0 : d.weights[i];
        sum += d.controlPoints[i].asVector() * (n[j] * w);
        weightSum += n[j] * w;
    }
    return AcGePoint3d::kOrigin + sum / weightSum;
}

// Solves a * x = b for each coordinate by elimination with partial pivoting; false when a is
// singular.
bool solve(std::vector<std::vector<double>> a, std::vector<AcGePoint3d>& b) {
    const std::size_t n = a.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row) {
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) {
                pivot = row;
            }
        }
        if (std::fabs(a[pivot][col]) < 1e-14) {
            return false;
        }
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t row = col + 1; row < n; ++row) {
            const double factor = a[row][col] / a[col][col];
            if (factor == 0.0) {
                continue;
            }
            for (std::size_t k = col; k < n; ++k) {
                a[row][k] -= factor * a[col][k];
            }
            b[row] = AcGePoint3d::kOrigin + (b[row].asVector() - b[col].asVector() * factor);
        }
    }
    for (std::size_t i = n; i-- > 0;) {
        AcGeVector3d value = b[i].asVector();
        for (std::size_t k = i + 1; k < n; ++k) {
            value -= b[k].asVector() * a[i][k];
        }
        b[i] = AcGePoint3d::kOrigin + value / a[i][i];
    }
    return true;
}

// Control points and knots of the clamped spline through d.fitPoints (The NURBS Book, A9.1);
// false (d unchanged) when the points do not make a curve.
bool interpolate(Data& d, int order) {
    const std::vector<AcGePoint3d>& q = d.fitPoints;
    if (q.size() < 2 || order < 2 || !std::all_of(q.begin(), q.end(), finitePoint)) {
        return false;
    }
    const std::size_t n = q.size() - 1;
    const std::size_t p = std::min<std::size_t>(static_cast<std::size_t>(order - 1), n);
    double total = 0.0;
    for (std::size_t k = 1; k <= n; ++k) {
        total += q[k].distanceTo(q[k - 1]);
    }
    if (total == 0.0) {
        return false;
    }
    std::vector<double> params(n + 1, 0.0);
    for (std::size_t k = 1; k < n; ++k) {
        params[k] = params[k - 1] + q[k].distanceTo(q[k - 1]) / total;
    }
    params[n] = 1.0;
    Data result = d;
    result.degree = static_cast<int>(p);
    result.weights.clear();
    result.knots.assign(n + p + 2, 0.0);
    for (std::size_t j = 1; j + p <= n; ++j) {
        double sum = 0.0;
        for (std::size_t i = j; i < j + p; ++i) {
            sum += params[i];
        }
        result.knots[j + p] = sum / static_cast<double>(p);
    }
    std::fill(result.knots.end() - static_cast<std::ptrdiff_t>(p + 1), result.knots.end(), 1.0);
    result.controlPoints.assign(n + 1, AcGePoint3d::kOrigin);
    std::vector<std::vector<double>> a(n + 1, std::vector<double>(n + 1, 0.0));
    for (std::size_t k = 0; k <= n; ++k) {
        const std::size_t span = findSpan(result, params[k]);
        const std::vector<double> values = basis(result, span, params[k]);
        for (std::size_t j = 0; j <= p; ++j) {
            a[k][span - p + j] = values[j];
        }
    }
    std::vector<AcGePoint3d> b = q;
    if (!solve(std::move(a), b)) {
        return false;
    }
    result.controlPoints = std::move(b);
    d = std::move(result);
    return true;
}

// Golden-section search for the extreme of one coordinate between lo and hi.
double refineExtreme(const Data& d, unsigned axis, double lo, double hi, bool maximum) {
    constexpr double kGolden = 0.6180339887498949;
    auto value = [&](double u) {
        const double c = evaluate(d, u)[axis];
        return maximum ? -c : c;
    };
    for (int k = 0; k < 200 && hi - lo > 1e-14 * (1.0 + std::fabs(hi)); ++k) {
        const double m1 = hi - kGolden * (hi - lo);
        const double m2 = lo + kGolden * (hi - lo);
        if (value(m1) < value(m2)) {
            hi = m2;
        } else {
            lo = m1;
        }
    }
    return 0.5 * (lo + hi);
}

void addCurveExtents(const Data& d, AcDbExtents& extents) {
    std::vector<double> samples;
    for (std::size_t i = static_cast<std::size_t>(d.degree); i < d.controlPoints.size(); ++i) {
        const double a = d.knots[i];
        const double b = d.knots[i + 1];
        for (int k = 0; b > a && k < kSamplesPerSpan; ++k) {
            samples.push_back(a + (b - a) * k / kSamplesPerSpan);
        }
    }
    samples.push_back(domainEnd(d));
    std::vector<AcGePoint3d> points;
    for (double u : samples) {
        points.push_back(evaluate(d, u));
        extents.addPoint(points.back());
    }
    for (unsigned axis = 0; axis < 3; ++axis) {
        for (std::size_t k = 1; k + 1 < points.size(); ++k) {
            const double c = points[k][axis];
            const double before = points[k - 1][axis];
            const double after = points[k + 1][axis];
            const bool peak = c >= before && c >= after && (c > before || c > after);
            const bool trough = c <= before && c <= after && (c < before || c < after);
            if (peak || trough) {
                extents.addPoint(
                    evaluate(d, refineExtreme(d, axis, samples[k - 1], samples[k + 1], peak)));
            }
        }
    }
}

}  // namespace

AcDbSpline::AcDbSpline(const AcGePoint3dArray& fitPoints, int order, double fitTolerance) {
    m_data.fitPoints.assign(fitPoints.begin(), fitPoints.end());
    m_data.fitTolerance = fitTolerance;
    if (!interpolate(m_data, order)) {
        m_data = Data();
    }
}

AcDbSpline::AcDbSpline(int degree, Adesk::Boolean rational, Adesk::Boolean closed,
                       Adesk::Boolean periodic, const AcGePoint3dArray& controlPoints,
                       const AcGeDoubleArray& knots, const AcGeDoubleArray& weights,
                       double controlPtTol, double knotTol) {
    setNurbsData(degree, rational, closed, periodic, controlPoints, knots, weights, controlPtTol,
                 knotTol);
}

int AcDbSpline::degree() const {
    return host::readField(this, m_data.degree);
}

bool AcDbSpline::isRational() const {
    return !host::readField(this, m_data.weights).empty();
}

bool AcDbSpline::isPeriodic() const {
    return (host::readField(this, m_data.flags) & kPeriodicFlag) != 0;
}

bool AcDbSpline::isClosed() const {
    return (host::readField(this, m_data.flags) & kClosedFlag) != 0;
}

int AcDbSpline::numControlPoints() const {
    return static_cast<int>(host::readField(this, m_data.controlPoints).size());
}

Acad::ErrorStatus AcDbSpline::checkedPoint(const std::vector<AcGePoint3d>& points, int index,
                                           AcGePoint3d& point) const {
    assertReadEnabled();
    if (index < 0 || static_cast<std::size_t>(index) >= points.size()) {
        return Acad::eInvalidIndex;
    }
    point = points[static_cast<std::size_t>(index)];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getControlPointAt(int index, AcGePoint3d& point) const {
    return checkedPoint(m_data.controlPoints, index, point);
}

Acad::ErrorStatus AcDbSpline::setControlPointAt(int index, const AcGePoint3d& point) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_data.controlPoints.size()) {
        return Acad::eInvalidIndex;
    }
    if (!finitePoint(point)) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_data.controlPoints[static_cast<std::size_t>(index)] = point;
        m_data.fitPoints.clear();
    }
    return status;
}

int AcDbSpline::numFitPoints() const {
    return static_cast<int>(host::readField(this, m_data.fitPoints).size());
}

bool AcDbSpline::hasFitData() const {
    return numFitPoints() > 0;
}

Acad::ErrorStatus AcDbSpline::getFitPointAt(int index, AcGePoint3d& point) const {
    return checkedPoint(m_data.fitPoints, index, point);
}

Acad::ErrorStatus AcDbSpline::setFitPointAt(int index, const AcGePoint3d& point) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_data.fitPoints.size()) {
        return Acad::eInvalidIndex;
    }
    Data changed = m_data;
    changed.fitPoints[static_cast<std::size_t>(index)] = point;
    if (!interpolate(changed, m_data.degree + 1)) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_data = std::move(changed);
    }
    return status;
}

Acad::ErrorStatus AcDbSpline::purgeFitData() {
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_data.fitPoints.clear();
    }
    return status;
}

Acad::ErrorStatus AcDbSpline::getNurbsData(int& degree, Adesk::Boolean& rational,
                                           Adesk::Boolean& closed, Adesk::Boolean& periodic,
                                           AcGePoint3dArray& controlPoints, AcGeDoubleArray& knots,
                                           AcGeDoubleArray& weights, double& controlPtTol,
                                           double& knotTol) const {
    assertReadEnabled();
    degree = m_data.degree;
    rational = !m_data.weights.empty();
    closed = (m_data.flags & kClosedFlag) != 0;
    periodic = (m_data.flags & kPeriodicFlag) != 0;
    controlPoints.setLogicalLength(0);
    for (const AcGePoint3d& p : m_data.controlPoints) {
        controlPoints.append(p);
    }
    knots.setLogicalLength(0);
    for (double k : m_data.knots) {
        knots.append(k);
    }
    weights.setLogicalLength(0);
    for (double w : m_data.weights) {
        weights.append(w);
    }
    controlPtTol = m_data.controlTolerance;
    knotTol = m_data.knotTolerance;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::setNurbsData(int degree, Adesk::Boolean rational,
                                           Adesk::Boolean closed, Adesk::Boolean periodic,
                                           const AcGePoint3dArray& controlPoints,
                                           const AcGeDoubleArray& knots,
                                           const AcGeDoubleArray& weights, double controlPtTol,
                                           double knotTol) {
    Data data;
    data.degree = degree;
    data.flags =
        static_cast<Adesk::Int16>((closed ? kClosedFlag : 0) | (periodic ? kPeriodicFlag : 0) |
                                  (rational ? kRationalFlag : 0));
    data.controlPoints.assign(controlPoints.begin(), controlPoints.end());
    data.knots.assign(knots.begin(), knots.end());
    if (rational) {
        data.weights.assign(weights.begin(), weights.end());
    }
    data.controlTolerance = controlPtTol;
    data.knotTolerance = knotTol;
    data.normal = m_data.normal;
    if (!validNurbs(data) || (rational && data.weights.empty())) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_data = std::move(data);
    }
    return status;
}

double AcDbSpline::startParam() const {
    assertReadEnabled();
    return m_data.controlPoints.empty() ? 0.0 : domainStart(m_data);
}

double AcDbSpline::endParam() const {
    assertReadEnabled();
    return m_data.controlPoints.empty() ? 0.0 : domainEnd(m_data);
}

Acad::ErrorStatus AcDbSpline::getPointAtParam(double param, AcGePoint3d& point) const {
    assertReadEnabled();
    if (m_data.controlPoints.empty() || !(param >= domainStart(m_data)) ||
        !(param <= domainEnd(m_data))) {
        return Acad::eInvalidInput;
    }
    point = evaluate(m_data, param);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getStartPoint(AcGePoint3d& point) const {
    return m_data.controlPoints.empty() ? Acad::eDegenerateGeometry
                                        : getPointAtParam(startParam(), point);
}

Acad::ErrorStatus AcDbSpline::getEndPoint(AcGePoint3d& point) const {
    return m_data.controlPoints.empty() ? Acad::eDegenerateGeometry
                                        : getPointAtParam(endParam(), point);
}

bool AcDbSpline::getCurvePieces(std::vector<host::CurvePiece>&, bool) const {
    return false;
}

Acad::ErrorStatus AcDbSpline::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    if (m_data.controlPoints.empty()) {
        return Acad::eInvalidExtents;
    }
    AcDbExtents box;
    addCurveExtents(m_data, box);
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::transformBy(const AcGeMatrix3d& xform) {
    Acad::ErrorStatus status = requireWrite();
    host::PlanarTransform planar;
    if (status == Acad::eOk) {
        status = host::analysePlanar(xform, m_data.normal, planar);
    }
    if (status == Acad::eOk) {
        for (AcGePoint3d& p : m_data.controlPoints) {
            p = xform * p;
        }
        for (AcGePoint3d& p : m_data.fitPoints) {
            p = xform * p;
        }
        m_data.normal = planar.normal;
    }
    return status;
}

Acad::ErrorStatus AcDbSpline::getStretchPoints(AcGePoint3dArray& points) const {
    assertReadEnabled();
    for (const AcGePoint3d& p : hasFitData() ? m_data.fitPoints : m_data.controlPoints) {
        points.append(p);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::moveStretchPointsAt(const AcDbIntArray& indices,
                                                  const AcGeVector3d& offset) {
    const bool fitted = !m_data.fitPoints.empty();
    Data changed = m_data;
    std::vector<AcGePoint3d>& points = fitted ? changed.fitPoints : changed.controlPoints;
    for (int i = 0; i < indices.length(); ++i) {
        if (indices[i] < 0 || static_cast<std::size_t>(indices[i]) >= points.size()) {
            return Acad::eInvalidIndex;
        }
    }
    std::vector<bool> chosen(points.size(), false);
    for (int i = 0; i < indices.length(); ++i) {
        chosen[static_cast<std::size_t>(indices[i])] = true;
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (chosen[i]) {
            points[i] += offset;
        }
    }
    if (fitted && !interpolate(changed, m_data.degree + 1)) {
        return Acad::eDegenerateGeometry;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_data = std::move(changed);
    }
    return status;
}

Acad::ErrorStatus AcDbSpline::dwgOutFields(AcDbDwgFiler* filer) const {
    Acad::ErrorStatus status = AcDbCurve::dwgOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeInt32(m_data.degree);
    filer->writeInt16(m_data.flags);
    for (const auto* list : {&m_data.knots, &m_data.weights}) {
        filer->writeInt32(static_cast<Adesk::Int32>(list->size()));
        for (double value : *list) {
            filer->writeDouble(value);
        }
    }
    for (const auto* list : {&m_data.controlPoints, &m_data.fitPoints}) {
        filer->writeInt32(static_cast<Adesk::Int32>(list->size()));
        for (const AcGePoint3d& p : *list) {
            filer->writePoint3d(p);
        }
    }
    filer->writeDouble(m_data.knotTolerance);
    filer->writeDouble(m_data.controlTolerance);
    filer->writeDouble(m_data.fitTolerance);
    return filer->writeVector3d(m_data.normal);
}

namespace {

// Reads a counted list of values; false on a negative count or a read that fails.
template <class T, class Read>
bool readList(AcDbDwgFiler* filer, std::vector<T>& list, Read read) {
    Adesk::Int32 count = 0;
    if (filer->readInt32(&count) != Acad::eOk || count < 0) {
        return false;
    }
    list.clear();
    for (Adesk::Int32 i = 0; i < count; ++i) {
        T value{};
        if (read(&value) != Acad::eOk) {
            return false;
        }
        list.push_back(value);
    }
    return true;
}

}  // namespace

Acad::ErrorStatus AcDbSpline::dwgInFields(AcDbDwgFiler* filer) {
    Acad::ErrorStatus status = AcDbCurve::dwgInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    Data data;
    Adesk::Int32 degree = 0;
    filer->readInt32(&degree);
    filer->readInt16(&data.flags);
    data.degree = degree;
    auto readDouble = [filer](double* v) { return filer->readDouble(v); };
    auto readPoint = [filer](AcGePoint3d* p) { return filer->readPoint3d(p); };
    const bool listsRead = readList(filer, data.knots, readDouble) &&
                           readList(filer, data.weights, readDouble) &&
                           readList(filer, data.controlPoints, readPoint) &&
                           readList(filer, data.fitPoints, readPoint);
    filer->readDouble(&data.knotTolerance);
    filer->readDouble(&data.controlTolerance);
    filer->readDouble(&data.fitTolerance);
    status = filer->readVector3d(&data.normal);
    if (status == Acad::eOk && !listsRead) {
        filer->setFilerStatus(Acad::eFilerError);
        status = Acad::eFilerError;
    }
    if (status == Acad::eOk) {
        m_data = std::move(data);
    }
    return status;
}

Acad::ErrorStatus AcDbSpline::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbCurve::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(100, kSubclass);
    filer->writeVector3d(210, m_data.normal);
    filer->writeInt16(70, m_data.flags);
    filer->writeInt16(71, static_cast<Adesk::Int16>(m_data.degree));
    filer->writeInt16(72, static_cast<Adesk::Int16>(m_data.knots.size()));
    filer->writeInt16(73, static_cast<Adesk::Int16>(m_data.controlPoints.size()));
    filer->writeInt16(74, static_cast<Adesk::Int16>(m_data.fitPoints.size()));
    filer->writeDouble(42, m_data.knotTolerance);
    filer->writeDouble(43, m_data.controlTolerance);
    filer->writeDouble(44, m_data.fitTolerance);
    for (double k : m_data.knots) {
        filer->writeDouble(40, k);
    }
    for (double w : m_data.weights) {
        filer->writeDouble(41, w);
    }
    for (const AcGePoint3d& p : m_data.controlPoints) {
        filer->writePoint3d(10, p);
    }
    for (const AcGePoint3d& p : m_data.fitPoints) {
        filer->writePoint3d(11, p);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSpline::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s", kSubclass);
    }
    Data data;
    status = host::readSubclassGroups(filer, [&](const host::DxfItem& item) {
        switch (item.code) {
            case 210:
                data.normal = item.point().asVector();
                return true;
            case 70:
                data.flags = static_cast<Adesk::Int16>(item.integer());
                return true;
            case 71:
                data.degree = static_cast<int>(item.integer());
                return true;
            case 42:
                data.knotTolerance = item.real();
                return true;
            case 43:
                data.controlTolerance = item.real();
                return true;
            case 44:
                data.fitTolerance = item.real();
                return true;
            case 40:
                data.knots.push_back(item.real());
                return true;
            case 41:
                data.weights.push_back(item.real());
                return true;
            case 10:
                data.controlPoints.push_back(item.point());
                return true;
            case 11:
                data.fitPoints.push_back(item.point());
                return true;
            case 72:
            case 73:
            case 74:
                return true;  // counts: the lists say how many they hold
            default:
                return false;
        }
    });
    if (status != Acad::eOk) {
        return status;
    }
    if ((data.flags & kRationalFlag) == 0) {
        data.weights.clear();
    }
    if (data.controlPoints.empty() && !data.fitPoints.empty() &&
        !interpolate(data, data.degree + 1)) {
        return filer->setError(Acad::eDxfReadFailed, L"AcDbSpline: fit points make no curve");
    }
    if (!data.controlPoints.empty() && !validNurbs(data)) {
        return filer->setError(Acad::eDxfReadFailed,
                               L"AcDbSpline: degree, knots, control points and weights disagree");
    }
    status = host::checkDxfNormal(filer, kSubclass, data.normal);
    if (status == Acad::eOk) {
        m_data = std::move(data);
    }
    return status;
}
