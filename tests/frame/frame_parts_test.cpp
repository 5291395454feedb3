// The frame with stand-in parts (test_module_frame): the order of statics, entry and messages at
// load and unload, the custom-class table at messages 1 and 2, and the unload refused while a
// drawing holds objects of the module's registered class.
#include "kestrel/host/app/document.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/rx/app_framework.h"
#include "kestrel/host/rx/class.h"
#include "tests/frame/frame_fixture.h"

namespace {

using frame_test::classRegistered;
using frame_test::exported;
using frame_test::FrameTest;
using frame_test::kFramePartsPath;
using frame_test::Names;
using frame_test::partsTrace;
using frame_test::wide;

using EntryPoint = AcRx::AppRetCode(AcRx::AppMsgCode, void*);

const wchar_t kObjectClass[] = L"FramePartsObject";
const wchar_t kReactorClass[] = L"FramePartsDocReactor";

class FramePartsTest : public FrameTest {
protected:
    host::ModuleStatus load() { return host::loadModule(wide(kFramePartsPath).c_str()); }
    host::ModuleStatus unload() { return host::unloadModule(wide(kFramePartsPath).c_str()); }
    // Sends a message straight to the loaded module's entry point.
    AcRx::AppRetCode send(AcRx::AppMsgCode msg) {
        auto* entry = exported<EntryPoint>(kFramePartsPath, "acrxEntryPoint");
        EXPECT_NE(entry, nullptr);
        return entry != nullptr ? entry(msg, nullptr) : AcRx::kRetError;
    }
};

TEST_F(FramePartsTest, StaticsBuildInOrderBeforeTheEntryAndDieInReverseAfterIt) {
    ASSERT_EQ(load(), host::ModuleStatus::kOk);
    // Statics 4 to 6 before any MFC call, the class table at message 1 after all three.
    EXPECT_EQ(
        partsTrace(),
        (Names{L"object class registered, mfc 0", L"editor reactor attached, mfc 0",
               L"document reactor attached, mfc 0", L"document reactor class registered, mfc 3"}));
    EXPECT_EQ(acrxClassDictionary->numEntries(), m_classes + 2);
    EXPECT_EQ(acedEditor->numReactors(), m_editorReactors + 1);
    EXPECT_EQ(acDocManager->numReactors(), m_documentReactors + 1);

    host::clearCommandLine();
    ASSERT_EQ(unload(), host::ModuleStatus::kOk);
    // Message 2 deleted the reactor class; the entry detached (two more MFC calls) before the
    // reactors went, in reverse order, and the object class went last.
    EXPECT_EQ(partsTrace(), (Names{L"document reactor removed, mfc 5",
                                   L"editor reactor removed, object class, mfc 5"}));
    EXPECT_FALSE(classRegistered(kObjectClass));
    EXPECT_FALSE(classRegistered(kReactorClass));
}

TEST_F(FramePartsTest, RegisteredClassesCarryTheirRegistrationDetails) {
    ASSERT_EQ(load(), host::ModuleStatus::kOk);
    auto* object = AcRxClass::cast(acrxClassDictionary->at(kObjectClass));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->myParent(), AcDbObject::desc());
    int dwg = 0;
    int maintenance = 0;
    object->getClassVersion(dwg, maintenance);
    EXPECT_EQ(dwg, 29);
    EXPECT_EQ(maintenance, 6);
    EXPECT_STREQ(object->dxfName(), L"FRAMEPARTSOBJECT");
    auto* reactor = AcRxClass::cast(acrxClassDictionary->at(kReactorClass));
    ASSERT_NE(reactor, nullptr);
    EXPECT_EQ(reactor->myParent(), AcApDocManagerReactor::desc());
    EXPECT_EQ(reactor->proxyFlags(), 1);
    EXPECT_EQ(unload(), host::ModuleStatus::kOk);
}

// Messages sent again straight to the entry point: a second initialisation finds the same class,
// messages other than 1 and 2 touch no class, a shutdown removes only the table's classes (a
// second one finds nothing) and initialisation registers them again.
TEST_F(FramePartsTest, MessagesSentAgainKeepTheClassTableRight) {
    ASSERT_EQ(load(), host::ModuleStatus::kOk);
    AcRxObject* const reactor = acrxClassDictionary->at(kReactorClass);
    ASSERT_NE(reactor, nullptr);
    EXPECT_EQ(send(AcRx::kInitAppMsg), AcRx::kRetOK);
    EXPECT_EQ(acrxClassDictionary->at(kReactorClass), reactor);
    host::clearCommandLine();
    for (int code : {0, 3, 4, 5, 6, 9, 15, 16, 99}) {
        EXPECT_EQ(send(static_cast<AcRx::AppMsgCode>(code)), AcRx::kRetOK) << "message " << code;
    }
    EXPECT_TRUE(partsTrace().empty());
    EXPECT_EQ(acrxClassDictionary->numEntries(), m_classes + 2);
    for (int shutdown = 0; shutdown < 2; ++shutdown) {
        EXPECT_EQ(send(AcRx::kUnloadAppMsg), AcRx::kRetOK);
        EXPECT_FALSE(classRegistered(kReactorClass));
        EXPECT_TRUE(classRegistered(kObjectClass));
    }
    EXPECT_EQ(send(AcRx::kInitAppMsg), AcRx::kRetOK);
    EXPECT_TRUE(classRegistered(kReactorClass));
    EXPECT_EQ(unload(), host::ModuleStatus::kOk);
}

TEST_F(FramePartsTest, UnloadIsRefusedWhileADrawingHoldsObjectsOfTheModulesClass) {
    AcApDocument* doc = host::newDocument();
    ASSERT_EQ(load(), host::ModuleStatus::kOk);
    auto* objectClass = AcRxClass::cast(acrxClassDictionary->at(kObjectClass));
    ASSERT_NE(objectClass, nullptr);
    auto* object = AcDbObject::cast(objectClass->create());
    ASSERT_NE(object, nullptr);
    AcDbObjectId id;
    ASSERT_EQ(doc->database()->addAcDbObject(id, object), Acad::eOk);
    // Erased, as the module's undo objects are: still in the drawing.
    ASSERT_EQ(object->erase(), Acad::eOk);
    object->close();

    host::clearCommandLine();
    EXPECT_EQ(unload(), host::ModuleStatus::kClassesInUse);
    EXPECT_TRUE(partsTrace().empty());
    EXPECT_TRUE(classRegistered(kObjectClass));
    EXPECT_TRUE(classRegistered(kReactorClass));

    ASSERT_EQ(host::closeDocument(doc), Acad::eOk);
    EXPECT_EQ(unload(), host::ModuleStatus::kOk);
}

TEST_F(FramePartsTest, WithoutEditorServicesTheModuleStillLoadsAndUnloads) {
    host::setEditorServicesPresent(false);
    EXPECT_EQ(load(), host::ModuleStatus::kOk);
    EXPECT_EQ(unload(), host::ModuleStatus::kOk);
    host::setEditorServicesPresent(true);
    EXPECT_EQ(partsTrace(),
              (Names{L"object class registered, mfc 0", L"document reactor class registered, mfc 3",
                     L"editor reactor removed, object class, mfc 5"}));
}

}  // namespace
