// acedTrans between world, user, display and object coordinates; host::setUcs;
// acedSetCurrentView and the view variables that follow it.
#include <cmath>
#include <limits>

#include "kestrel/host/app/coordinates.h"
#include "kestrel/host/app/system_variables.h"
#include "kestrel/host/app/view.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/view_table.h"
#include "tests/host/app/editor_fixture.h"

namespace {

constexpr double kHalfPi = 1.5707963267948966;

resbuf system(short code) {
    resbuf rb{};
    rb.restype = RTSHORT;
    rb.resval.rint = code;
    return rb;
}

// Converts p between the systems; fails the test when acedTrans refuses.
AcGePoint3d trans(const AcGePoint3d& p, short from, short to, int disp = 0) {
    const resbuf fromRb = system(from);
    const resbuf toRb = system(to);
    ads_point in = {p.x, p.y, p.z};
    ads_point out = {0, 0, 0};
    EXPECT_EQ(acedTrans(in, &fromRb, &toRb, disp, out), RTNORM);
    return {out[0], out[1], out[2]};
}

double realVar(const wchar_t* name) {
    resbuf value{};
    EXPECT_EQ(acedGetVar(name, &value), RTNORM);
    EXPECT_EQ(value.restype, RTREAL);
    return value.resval.rreal;
}

AcGePoint3d pointVar(const wchar_t* name) {
    resbuf value{};
    EXPECT_EQ(acedGetVar(name, &value), RTNORM);
    return {value.resval.rpoint[0], value.resval.rpoint[1], value.resval.rpoint[2]};
}

class ViewTest : public EditorTest {
protected:
    // Makes the view with this target, direction and twist current.
    void setView(const AcGePoint3d& target, const AcGeVector3d& direction, double twist) {
        AcDbViewTableRecord view;
        ASSERT_EQ(view.setTarget(target), Acad::eOk);
        ASSERT_EQ(view.setViewDirection(direction), Acad::eOk);
        ASSERT_EQ(view.setViewTwist(twist), Acad::eOk);
        ASSERT_EQ(acedSetCurrentView(&view, AcDbObjectId()), Acad::eOk);
    }
};

TEST_F(ViewTest, UserCoordinatesFollowTheUcs) {
    EXPECT_TRUE(trans({1, 2, 3}, 0, 1).isEqualTo({1, 2, 3}));
    ASSERT_EQ(host::setUcs({10, 0, 0}, {0, 1, 0}, {-1, 0, 0}), Acad::eOk);
    EXPECT_TRUE(trans({11, 2, 5}, 0, 1).isEqualTo({2, -1, 5}));
    EXPECT_TRUE(trans({2, -1, 5}, 1, 0).isEqualTo({11, 2, 5}));
    // A displacement turns with the axes but does not move with the origin.
    EXPECT_TRUE(trans({1, 0, 0}, 0, 1, 1).isEqualTo({0, -1, 0}));
}

TEST_F(ViewTest, SetUcsRefusesAxesThatAreNoSystem) {
    ASSERT_EQ(host::setUcs({1, 1, 1}, {2, 0, 0}, {0, 3, 0}), Acad::eOk);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(host::setUcs({0, 0, 0}, {0, 0, 0}, {0, 1, 0}), Acad::eInvalidInput);
    EXPECT_EQ(host::setUcs({0, 0, 0}, {1, 0, 0}, {1, 1, 0}), Acad::eInvalidInput);
    EXPECT_EQ(host::setUcs({nan, 0, 0}, {1, 0, 0}, {0, 1, 0}), Acad::eInvalidInput);
    // The axes were kept at unit length and the refusals changed nothing.
    EXPECT_TRUE(trans({2, 1, 1}, 0, 1).isEqualTo({1, 0, 0}));
}

TEST_F(ViewTest, DisplayCoordinatesFollowTargetDirectionAndTwist) {
    setView({10, 0, 0}, {0, 0, 1}, kHalfPi);
    // A positive twist shows the drawing turned counter-clockwise.
    EXPECT_TRUE(trans({11, 0, 0}, 0, 2).isEqualTo({0, 1, 0}));
    EXPECT_TRUE(trans({0, 1, 0}, 2, 0).isEqualTo({11, 0, 0}));

    // Looking along world x: display x is world y and display y is world z.
    setView({0, 0, 0}, {5, 0, 0}, 0.0);
    EXPECT_TRUE(trans({7, 2, 3}, 0, 2).isEqualTo({2, 3, 7}));
}

TEST_F(ViewTest, ConversionsCompose) {
    ASSERT_EQ(host::setUcs({1, 2, 3}, {0, 0, 1}, {1, 0, 0}), Acad::eOk);
    setView({4, -2, 1}, {1, 1, 1}, 0.3);
    const AcGePoint3d p(0.5, -7, 2);
    EXPECT_TRUE(trans(trans(p, 1, 2), 2, 0).isEqualTo(trans(p, 1, 0)));
    EXPECT_TRUE(trans(trans(p, 0, 2), 2, 1).isEqualTo(trans(p, 0, 1)));
}

TEST_F(ViewTest, ObjectCoordinatesFromANormal) {
    resbuf normal{};
    normal.restype = RT3DPOINT;
    normal.resval.rpoint[0] = 1.0;
    const resbuf world = system(0);
    ads_point p = {0, 2, 3};
    ASSERT_EQ(acedTrans(p, &world, &normal, 0, p), RTNORM);
    EXPECT_TRUE(AcGePoint3d(p[0], p[1], p[2]).isEqualTo({2, 3, 0}));
}

TEST_F(ViewTest, TransRefusesUnknownSystems) {
    const resbuf world = system(0);
    const resbuf paper = system(3);
    resbuf zeroNormal{};
    zeroNormal.restype = RT3DPOINT;
    resbuf text{};
    text.restype = RTSTR;
    ads_point p = {1, 2, 3};
    ads_point out = {9, 9, 9};
    EXPECT_EQ(acedTrans(p, &world, &paper, 0, out), RTERROR);
    EXPECT_EQ(acedTrans(p, &zeroNormal, &world, 0, out), RTERROR);
    EXPECT_EQ(acedTrans(p, &text, &world, 0, out), RTERROR);
    EXPECT_EQ(acedTrans(p, nullptr, &world, 0, out), RTERROR);
    EXPECT_EQ(acedTrans(p, &world, &world, 0, nullptr), RTERROR);
    EXPECT_EQ(out[0], 9.0);
}

TEST_F(ViewTest, SetCurrentViewIsWhatTheHarnessAndVariablesShow) {
    AcDbViewTableRecord view;
    ASSERT_EQ(view.setCenterPoint({3, 4}), Acad::eOk);
    ASSERT_EQ(view.setHeight(6), Acad::eOk);
    ASSERT_EQ(view.setWidth(8), Acad::eOk);
    ASSERT_EQ(view.setTarget({1, 1, 0}), Acad::eOk);
    ASSERT_EQ(view.setLensLength(35), Acad::eOk);
    ASSERT_EQ(view.setFrontClipDistance(2), Acad::eOk);
    ASSERT_EQ(view.setBackClipDistance(-2), Acad::eOk);
    ASSERT_EQ(view.setFrontClipEnabled(true), Acad::eOk);
    ASSERT_EQ(view.setIsPaperspaceView(true), Acad::eOk);
    ASSERT_EQ(acedSetCurrentView(&view, AcDbObjectId()), Acad::eOk);

    const host::ViewState current = host::currentView();
    EXPECT_TRUE(current.center.isEqualTo({3, 4}));
    EXPECT_DOUBLE_EQ(current.height, 6);
    EXPECT_DOUBLE_EQ(current.width, 8);
    EXPECT_TRUE(current.frontClipEnabled);
    EXPECT_TRUE(current.paperspaceView);
    EXPECT_DOUBLE_EQ(realVar(L"VIEWSIZE"), 6);
    EXPECT_DOUBLE_EQ(realVar(L"LENSLENGTH"), 35);
    EXPECT_DOUBLE_EQ(realVar(L"FRONTZ"), 2);
    EXPECT_DOUBLE_EQ(realVar(L"BACKZ"), -2);
    // The centre is measured from the target in display coordinates.
    EXPECT_TRUE(pointVar(L"VIEWCTR").isEqualTo({4, 5, 0}));
    EXPECT_TRUE(pointVar(L"TARGET").isEqualTo({1, 1, 0}));
}

TEST_F(ViewTest, SetCurrentViewRefusals) {
    setView({1, 2, 3}, {0, 0, 1}, 0.0);
    AcDbViewTableRecord view;
    EXPECT_EQ(acedSetCurrentView(nullptr, AcDbObjectId()), Acad::eNullPtr);
    EXPECT_EQ(acedSetCurrentView(&view, db()->layerZero()), Acad::eNotApplicable);
    ASSERT_EQ(view.setTarget({std::numeric_limits<double>::infinity(), 0, 0}), Acad::eOk);
    EXPECT_EQ(acedSetCurrentView(&view, AcDbObjectId()), Acad::eInvalidInput);
    AcDbViewTableRecord twisted;
    ASSERT_EQ(twisted.setViewTwist(std::numeric_limits<double>::quiet_NaN()), Acad::eOk);
    EXPECT_EQ(acedSetCurrentView(&twisted, AcDbObjectId()), Acad::eInvalidInput);
    EXPECT_TRUE(host::currentView().target.isEqualTo({1, 2, 3}));
}

TEST_F(ViewTest, EachDocumentKeepsItsView) {
    setView({5, 5, 5}, {0, 0, 1}, 0.0);
    AcApDocument* second = host::newDocument();
    EXPECT_TRUE(host::currentView().target.isEqualTo({0, 0, 0}));
    ASSERT_EQ(host::activateDocument(m_doc), Acad::eOk);
    EXPECT_TRUE(host::currentView().target.isEqualTo({5, 5, 5}));
    EXPECT_EQ(host::closeDocument(second), Acad::eOk);
}

}  // namespace
