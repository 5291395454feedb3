// The paper-space switch: the module-wide target-space name set at construction, by the two
// members, and back to model space at destruction whatever it was before.
#include "kestrel/drawing/paper_space_switch.h"

#include "drawing_fixture.h"

namespace {

using drawing_test::DrawingTest;

class DrawingPaperSpaceTest : public DrawingTest {
protected:
    static CString target() { return kestrel::targetSpaceName(); }
};

TEST_F(DrawingPaperSpaceTest, DrawingPaperSpaceSwitchSetsAndRestoresTheTarget) {
    EXPECT_EQ(target(), CString(L"*Model_Space"));
    {
        CVLKCSwitchToPaperSpace toPaper;
        EXPECT_EQ(target(), CString(L"*Paper_Space"));
        toPaper.SwitchToPaperSpace(L"*Paper_Space0");
        EXPECT_EQ(target(), CString(L"*Paper_Space0"));
        toPaper.SwitchToPaperSpace(nullptr);
        EXPECT_EQ(target(), CString(L"*Paper_Space0"));
        toPaper.SwitchToModelSpace();
        EXPECT_EQ(target(), CString(L"*Model_Space"));
        toPaper.SwitchToPaperSpace(L"*Paper_Space");
    }
    EXPECT_EQ(target(), CString(L"*Model_Space"));
}

TEST_F(DrawingPaperSpaceTest, DrawingPaperSpaceSwitchRestoresModelSpaceNotTheFormerName) {
    kestrel::targetSpaceName() = L"Layout2Block";
    { CVLKCSwitchToPaperSpace toPaper; }
    EXPECT_EQ(target(), CString(L"*Model_Space"));

    CVLKCSwitchToPaperSpace outer;
    {
        CVLKCSwitchToPaperSpace inner;
        inner.SwitchToPaperSpace(L"Other");
    }
    // The inner switch already returned to model space while the outer one lives.
    EXPECT_EQ(target(), CString(L"*Model_Space"));
}

TEST_F(DrawingPaperSpaceTest, DrawingPaperSpaceSwitchNameIsACopy) {
    wchar_t name[] = L"*Paper_Space7";
    CVLKCSwitchToPaperSpace toPaper;
    toPaper.SwitchToPaperSpace(name);
    name[0] = L'#';
    EXPECT_EQ(target(), CString(L"*Paper_Space7"));
    CVLKCSwitchToPaperSpace other;
    other = toPaper;
    EXPECT_EQ(target(), CString(L"*Paper_Space"));
}

}  // namespace
