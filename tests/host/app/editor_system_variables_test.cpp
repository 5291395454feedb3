// acedGetVar and acedSetVar: CLAYER and TEXTSTYLE against the working database, the view, UCS
// and viewport variables against the current document, and the refusals.
#include <cmath>
#include <string>

#include "kestrel/host/app/system_variables.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/resbuf.h"
#include "tests/host/app/editor_fixture.h"

namespace {

// The text value of a variable, or "<error>" when acedGetVar refuses.
std::wstring textVar(const wchar_t* name) {
    resbuf value{};
    if (acedGetVar(name, &value) != RTNORM || value.restype != RTSTR) {
        return L"<error>";
    }
    std::wstring text = value.resval.rstring;
    acutDelString(value.resval.rstring);
    return text;
}

int setText(const wchar_t* name, const wchar_t* text) {
    resbuf value{};
    value.restype = RTSTR;
    value.resval.rstring = const_cast<wchar_t*>(text);
    return acedSetVar(name, &value);
}

int setShort(const wchar_t* name, short number) {
    resbuf value{};
    value.restype = RTSHORT;
    value.resval.rint = number;
    return acedSetVar(name, &value);
}

short shortVar(const wchar_t* name) {
    resbuf value{};
    EXPECT_EQ(acedGetVar(name, &value), RTNORM);
    EXPECT_EQ(value.restype, RTSHORT);
    return value.resval.rint;
}

AcGePoint3d pointVar(const wchar_t* name) {
    resbuf value{};
    EXPECT_EQ(acedGetVar(name, &value), RTNORM);
    EXPECT_EQ(value.restype, RT3DPOINT);
    return {value.resval.rpoint[0], value.resval.rpoint[1], value.resval.rpoint[2]};
}

class SysVarTest : public EditorTest {
protected:
    // Adds a layer named name; frozen when asked.
    AcDbObjectId addLayer(const wchar_t* name, bool frozen = false) {
        auto* layer = new AcDbLayerTableRecord();
        EXPECT_EQ(layer->setIsFrozen(frozen), Acad::eOk);
        return testsupport::addRecord<AcDbLayerTable>(db(), layer, name);
    }
};

TEST_F(SysVarTest, ClayerFollowsTheWorkingDatabasesCurrentLayer) {
    EXPECT_EQ(textVar(L"CLAYER"), L"0");
    const AcDbObjectId walls = addLayer(L"Walls");
    EXPECT_EQ(setText(L"CLAYER", L"WALLS"), RTNORM);
    EXPECT_EQ(db()->clayer(), walls);
    EXPECT_EQ(textVar(L"clayer"), L"Walls");

    ASSERT_EQ(db()->setClayer(db()->layerZero()), Acad::eOk);
    EXPECT_EQ(textVar(L"CLAYER"), L"0");
}

TEST_F(SysVarTest, ClayerRefusesLayersThatCannotBeCurrent) {
    addLayer(L"Frozen", true);
    EXPECT_EQ(setText(L"CLAYER", L"Missing"), RTREJ);
    EXPECT_EQ(setText(L"CLAYER", L"Frozen"), RTREJ);
    EXPECT_EQ(db()->clayer(), db()->layerZero());
    EXPECT_EQ(setShort(L"CLAYER", 1), RTERROR);
    resbuf nullText{};
    nullText.restype = RTSTR;
    EXPECT_EQ(acedSetVar(L"CLAYER", &nullText), RTERROR);
    EXPECT_EQ(db()->clayer(), db()->layerZero());
}

TEST_F(SysVarTest, ClayerWorksWhileTheCallerHoldsTheTableAndRecord) {
    const AcDbObjectId walls = addLayer(L"Walls");
    {
        const auto table = testsupport::open<AcDbLayerTable>(db()->layerTableId());
        const auto record = testsupport::open<AcDbObject>(walls, AcDb::kForWrite);
        EXPECT_EQ(setText(L"CLAYER", L"Walls"), RTNORM);
        EXPECT_EQ(textVar(L"CLAYER"), L"Walls");
    }
    {
        const auto written =
            testsupport::open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForWrite);
        EXPECT_EQ(setText(L"CLAYER", L"0"), RTNORM);
    }
    EXPECT_EQ(db()->clayer(), db()->layerZero());
}

TEST_F(SysVarTest, DatabaseVariablesNeedAWorkingDatabase) {
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    EXPECT_EQ(textVar(L"CLAYER"), L"<error>");
    EXPECT_EQ(setText(L"CLAYER", L"0"), RTERROR);
    EXPECT_EQ(textVar(L"TEXTSTYLE"), L"<error>");
    acdbHostApplicationServices()->setWorkingDatabase(db());
    EXPECT_EQ(textVar(L"TEXTSTYLE"), L"Standard");
    EXPECT_EQ(setText(L"TEXTSTYLE", L"NoSuchStyle"), RTREJ);
}

TEST_F(SysVarTest, UnknownNamesAndNullArgumentsAreErrors) {
    resbuf value{};
    value.restype = 12345;
    EXPECT_EQ(acedGetVar(L"NOSUCHVAR", &value), RTERROR);
    EXPECT_EQ(value.restype, 12345);
    EXPECT_EQ(acedGetVar(nullptr, &value), RTERROR);
    EXPECT_EQ(acedGetVar(L"CLAYER", nullptr), RTERROR);
    EXPECT_EQ(setShort(L"NOSUCHVAR", 1), RTERROR);
    EXPECT_EQ(acedSetVar(L"TILEMODE", nullptr), RTERROR);
}

TEST_F(SysVarTest, ViewportVariablesCheckTheirValues) {
    EXPECT_EQ(shortVar(L"TILEMODE"), 1);
    EXPECT_EQ(setShort(L"TILEMODE", 0), RTNORM);
    EXPECT_EQ(shortVar(L"TILEMODE"), 0);
    EXPECT_EQ(setShort(L"TILEMODE", 2), RTREJ);
    EXPECT_EQ(shortVar(L"TILEMODE"), 0);

    EXPECT_EQ(setShort(L"CVPORT", 1), RTNORM);
    EXPECT_EQ(setShort(L"CVPORT", 0), RTREJ);
    EXPECT_EQ(shortVar(L"CVPORT"), 1);

    resbuf real{};
    real.restype = RTREAL;
    real.resval.rreal = 1.0;
    EXPECT_EQ(acedSetVar(L"TILEMODE", &real), RTERROR);
    EXPECT_EQ(shortVar(L"TILEMODE"), 0);
}

TEST_F(SysVarTest, ViewVariablesAreReadOnly) {
    resbuf direction{};
    direction.restype = RT3DPOINT;
    direction.resval.rpoint[0] = 1.0;
    EXPECT_EQ(acedSetVar(L"VIEWDIR", &direction), RTREJ);
    EXPECT_TRUE(pointVar(L"VIEWDIR").isEqualTo(AcGePoint3d(0, 0, 1)));
    resbuf twist{};
    twist.restype = RTREAL;
    twist.resval.rreal = 1.0;
    EXPECT_EQ(acedSetVar(L"VIEWTWIST", &twist), RTREJ);
    EXPECT_EQ(setText(L"DWGNAME", L"x.dxf"), RTREJ);
}

TEST_F(SysVarTest, ViewportVariablesBelongToEachDocument) {
    EXPECT_EQ(setShort(L"TILEMODE", 0), RTNORM);
    AcApDocument* second = host::newDocument();
    EXPECT_EQ(shortVar(L"TILEMODE"), 1);
    EXPECT_EQ(host::activateDocument(m_doc), Acad::eOk);
    EXPECT_EQ(shortVar(L"TILEMODE"), 0);
    EXPECT_EQ(host::closeDocument(second), Acad::eOk);
}

TEST_F(SysVarTest, UcsVariablesAndPointsInUserCoordinates) {
    EXPECT_EQ(shortVar(L"WORLDUCS"), 1);
    ASSERT_EQ(host::setUcs(AcGePoint3d(1, 2, 3), AcGeVector3d(0, 2, 0), AcGeVector3d(-1, 0, 0)),
              Acad::eOk);
    EXPECT_EQ(shortVar(L"WORLDUCS"), 0);
    EXPECT_TRUE(pointVar(L"UCSORG").isEqualTo(AcGePoint3d(1, 2, 3)));
    EXPECT_TRUE(pointVar(L"UCSXDIR").isEqualTo(AcGePoint3d(0, 1, 0)));
    EXPECT_TRUE(pointVar(L"UCSYDIR").isEqualTo(AcGePoint3d(-1, 0, 0)));
    // The view looks down world z at the world origin: in this UCS the target lies at
    // (-2, 1, -3) and the direction is unchanged, z being shared.
    EXPECT_TRUE(pointVar(L"TARGET").isEqualTo(AcGePoint3d(-2, 1, -3)));
    EXPECT_TRUE(pointVar(L"VIEWDIR").isEqualTo(AcGePoint3d(0, 0, 1)));
}

TEST_F(SysVarTest, DrawingNameVariablesFollowTheDocument) {
    const std::wstring name = textVar(L"DWGNAME");
    EXPECT_EQ(name, m_doc->fileName());
    EXPECT_EQ(name.rfind(L"Drawing", 0), 0u);
    EXPECT_EQ(textVar(L"DWGPREFIX"), L"");
}

}  // namespace
