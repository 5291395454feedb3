// The application framework in process: message dispatch, initialisation and shutdown with the
// custom-class table, and the registration rule of module classes.
#include "kestrel/host/rx/app_framework.h"
#include "tests/host/app/docs_fixture.h"

// Two module classes, the second derived from the first.
class FrameworkBase : public AcRxObject {
public:
    KESTREL_APP_DECLARE_MEMBERS(FrameworkBase);
};
KESTREL_APP_DEFINE_MEMBERS(FrameworkBase, AcRxObject, 0, 0, 1, nullptr, nullptr, nullptr)

class FrameworkDerived : public FrameworkBase {
public:
    KESTREL_APP_DECLARE_MEMBERS(FrameworkDerived);
};
static AcRxObject* makeDerived() {
    return new FrameworkDerived();
}
KESTREL_APP_DEFINE_MEMBERS(FrameworkDerived, FrameworkBase, 29, 6, 0, makeDerived, L"FWDERIVED",
                           L"Framework test")

namespace {

// Records which handler ran.
class RecordingApp : public AcRxArxApp {
public:
    explicit RecordingApp(std::span<AcRxCustomClassEntry* const> classes)
        : AcRxArxApp(classes, false, false) {}

    AcRx::AppRetCode On_kLoadDwgMsg(void*) override { return handled(3); }
    AcRx::AppRetCode On_kEndDialogMsg(void*) override { return handled(15); }
    AcRx::AppRetCode On_kNullMsg(void*) override { return handled(0); }
    AcRx::AppRetCode On_kSaveMsg(void*) override {
        handled(9);
        return AcRx::kRetError;
    }
    void RegisterServerComponents() override { ++servers; }

    AcRx::AppRetCode handled(int code) {
        codes.push_back(code);
        return AcRx::kRetOK;
    }
    std::vector<int> codes;
    int servers = 0;
};

bool registered(const wchar_t* name) {
    return acrxClassDictionary->at(name) != nullptr;
}

class FrameworkTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_FALSE(registered(L"FrameworkBase"));
        EXPECT_FALSE(registered(L"FrameworkDerived"));
        EXPECT_TRUE(host::contractViolations().empty());
        host::clearContractViolations();
    }

    AcRxCustomClassEntry m_base{&FrameworkBase::desc, &FrameworkBase::rxInit, false};
    AcRxCustomClassEntry m_derived{&FrameworkDerived::desc, &FrameworkDerived::rxInit, false};
};

TEST_F(FrameworkTest, DispatchCallsTheHandlerOfEachCode) {
    RecordingApp app({});
    EXPECT_EQ(app.dispatch(AcRx::kLoadDwgMsg, nullptr), AcRx::kRetOK);
    EXPECT_EQ(app.dispatch(AcRx::kEndDialogMsg, nullptr), AcRx::kRetOK);
    EXPECT_EQ(app.dispatch(AcRx::kNullMsg, nullptr), AcRx::kRetOK);
    EXPECT_EQ(app.dispatch(AcRx::kSaveMsg, nullptr), AcRx::kRetError);
    EXPECT_EQ(app.dispatch(static_cast<AcRx::AppMsgCode>(16), nullptr), AcRx::kRetOK);
    EXPECT_EQ(app.dispatch(static_cast<AcRx::AppMsgCode>(-1), nullptr), AcRx::kRetOK);
    EXPECT_EQ(app.dispatch(AcRx::kCfgMsg, nullptr), AcRx::kRetOK);
    EXPECT_EQ(app.codes, (std::vector<int>{3, 15, 0, 9}));
}

TEST_F(FrameworkTest, InitRegistersTheTableAndUnloadRemovesItChildrenFirst) {
    AcRxCustomClassEntry* const table[] = {&m_base, nullptr, &m_derived};
    RecordingApp app(table);
    EXPECT_EQ(app.GetModuleInstance(), nullptr);
    EXPECT_EQ(FrameworkBase::desc(), nullptr);
    ASSERT_EQ(app.dispatch(AcRx::kInitAppMsg, nullptr), AcRx::kRetOK);
    EXPECT_EQ(app.GetModuleInstance(), platform::moduleInstance(&app));
    EXPECT_EQ(app.servers, 1);
    EXPECT_TRUE(m_base.registered);
    EXPECT_TRUE(m_derived.registered);
    ASSERT_NE(FrameworkDerived::desc(), nullptr);
    EXPECT_EQ(FrameworkDerived::desc()->myParent(), FrameworkBase::desc());
    EXPECT_EQ(FrameworkBase::desc()->proxyFlags(), 1);
    EXPECT_STREQ(FrameworkDerived::desc()->appName(), L"Framework test");

    FrameworkDerived* object = FrameworkDerived::cast(FrameworkDerived::desc()->create());
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->isKindOf(FrameworkBase::desc()));
    EXPECT_EQ(FrameworkBase::cast(object), object);
    delete object;

    // A second init finds the same class objects.
    AcRxClass* base = FrameworkBase::desc();
    ASSERT_EQ(app.dispatch(AcRx::kInitAppMsg, nullptr), AcRx::kRetOK);
    EXPECT_EQ(FrameworkBase::desc(), base);

    // The base comes first in the table: its child must go before it.
    ASSERT_EQ(app.dispatch(AcRx::kUnloadAppMsg, nullptr), AcRx::kRetOK);
    EXPECT_FALSE(m_base.registered);
    EXPECT_FALSE(m_derived.registered);
    EXPECT_EQ(FrameworkBase::desc(), nullptr);
    EXPECT_EQ(FrameworkDerived::desc(), nullptr);
    // isA answers by name, so it follows the removal.
    FrameworkBase plain;
    EXPECT_EQ(plain.isA(), nullptr);
}

TEST_F(FrameworkTest, InitAsksTheLinkerOnlyForKnownModules) {
    RecordingApp app({});
    // An application id the linker never gave out: refused, nothing else happens.
    ASSERT_EQ(app.dispatch(AcRx::kInitAppMsg, &app), AcRx::kRetOK);
    EXPECT_FALSE(app.IsUnlocked());
    EXPECT_FALSE(app.IsMDIAware());
    EXPECT_EQ(app.servers, 1);
}

using FrameworkDeathTest = FrameworkTest;

TEST_F(FrameworkDeathTest, AnotherClassOfTheSameNameAbortsRegistration) {
    EXPECT_DEATH(
        {
            FrameworkBase::rxInit();
            AcRxClass* mine = FrameworkBase::desc();
            deleteAcRxClass(mine);
            newAcRxClass(L"FrameworkBase", L"AcRxObject");
            FrameworkBase::rxInit();
        },
        "Class mismatch");
}

}  // namespace
