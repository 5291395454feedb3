// The undo object: its runtime class, binary and DXF filing both ways, the refusals of newer
// versions and damaged DXF input through the host's filers, and the application name that no
// restored state changes.
#include "xmlrepo/xml_undo_object.h"
#include <fstream>
#include <sstream>

#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/host/rx/dictionary.h"
#include "tests/xmlrepo/repository_fixture.h"
#include "xmlrepo/xml_undo_object_table.h"

namespace {

using host::DxfItem;
using host::DxfItemList;
using repotest::HeardList;
using repotest::RepositoryTest;

DxfItem text(int code, const wchar_t* value) {
    return DxfItem{code, std::wstring(value)};
}

DxfItem integer(int code, std::int64_t value) {
    return DxfItem{code, value};
}

class UndoObjectTest : public RepositoryTest {
protected:
    // An object outside any database (always write-enabled) holding xml.
    static std::unique_ptr<CVLKXMLUndoObject> objectWith(const wchar_t* xml) {
        auto object = std::make_unique<CVLKXMLUndoObject>();
        object->setXml(xml, false);
        return object;
    }

    // Reads items as the object's DXF description: the status, the object's text in xml.
    static Acad::ErrorStatus readDxf(DxfItemList items, std::wstring& xml,
                                     std::wstring* message = nullptr, DxfItem* next = nullptr) {
        auto object = objectWith(L"<old/>");
        host::DxfItemFiler filer(std::move(items));
        const Acad::ErrorStatus status = object->dxfInFields(&filer);
        xml = object->xml().str();
        if (message != nullptr) {
            *message = filer.errorMessage();
        }
        if (next != nullptr) {
            filer.readItem(*next);
        }
        return status;
    }

    static DxfItemList header() { return {text(100, CVLKXMLUndoObject::kSubclassName)}; }
};

TEST_F(UndoObjectTest, UndoObjectClassIsRegisteredWithItsDetails) {
    AcRxClass* cls = CVLKXMLUndoObject::desc();
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(acrxClassDictionary->at(L"CVLKXMLUndoObject"), cls);
    EXPECT_EQ(cls->myParent(), AcDbObject::desc());
    int dwg = 0;
    int maintenance = 0;
    cls->getClassVersion(dwg, maintenance);
    EXPECT_EQ(dwg, 29);
    EXPECT_EQ(maintenance, 6);
    EXPECT_EQ(cls->proxyFlags(), 0);
    EXPECT_STREQ(cls->dxfName(), L"VLKXMLUNDOOBJECT");
    // Four quoted fields separated by one blank.
    const std::wstring app = cls->appName();
    EXPECT_EQ(app.rfind(L"\"VLKXUNDOOBJECTAPP\" \"|Product Desc:", 0), 0u);
    EXPECT_NE(app.find(L"\" \"|Company:"), std::wstring::npos);
    EXPECT_NE(app.find(L"\" \"|WEB Address:"), std::wstring::npos);
    EXPECT_EQ(std::count(app.begin(), app.end(), L'"'), 8);
    // Its pseudo-constructor makes an empty object.
    std::unique_ptr<AcRxObject> made(cls->create());
    auto* object = CVLKXMLUndoObject::cast(made.get());
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->xml().IsEmpty());
    EXPECT_TRUE(object->appName().IsEmpty());
}

TEST_F(UndoObjectTest, UndoObjectDwgFilingRoundTripsAndNotifies) {
    auto notifier = registerNotifier();
    auto source = objectWith(L"<a>\x00E9\x4E2D</a>");
    host::DwgMemoryFiler filer(AcDb::kUndoFiler, db());
    ASSERT_EQ(source->dwgOutFields(&filer), Acad::eOk);
    filer.rewind();
    auto target = objectWith(L"<old/>");
    target->setAppName(L"Mine");
    ASSERT_EQ(target->dwgInFields(&filer), Acad::eOk);
    EXPECT_TRUE(filer.atEnd());
    EXPECT_EQ(target->xml(), L"<a>\x00E9\x4E2D</a>");
    // The name is not filed: the object stays its application's.
    EXPECT_EQ(target->appName(), L"Mine");
    EXPECT_EQ(notifier->heard, (HeardList{{'R', L"Mine", L"<a>\x00E9\x4E2D</a>"}}));
}

TEST_F(UndoObjectTest, UndoObjectDwgStateOfANewerVersionIsRefused) {
    auto notifier = registerNotifier();
    auto source = objectWith(L"<new/>");
    host::DwgMemoryFiler filer(AcDb::kUndoFiler, db());
    ASSERT_EQ(source->AcDbObject::dwgOutFields(&filer), Acad::eOk);
    filer.writeUInt32(2);
    filer.writeString(L"<new/>");
    filer.rewind();
    auto target = objectWith(L"<old/>");
    EXPECT_EQ(target->dwgInFields(&filer), Acad::eNewerObjectVersion);
    EXPECT_EQ(target->xml(), L"<old/>");
    EXPECT_TRUE(notifier->heard.empty());
}

TEST_F(UndoObjectTest, UndoObjectDwgStateCutShortIsRefused) {
    auto source = objectWith(L"<a/>");
    host::DwgMemoryFiler filer(AcDb::kUndoFiler, db());
    ASSERT_EQ(source->AcDbObject::dwgOutFields(&filer), Acad::eOk);
    filer.writeUInt32(1);
    filer.rewind();
    auto target = objectWith(L"<old/>");
    EXPECT_EQ(target->dwgInFields(&filer), Acad::eEndOfFile);
    EXPECT_EQ(target->xml(), L"<old/>");
    // Another kind of value where the version belongs.
    host::DwgMemoryFiler wrong(AcDb::kUndoFiler, db());
    source->AcDbObject::dwgOutFields(&wrong);
    wrong.writeString(L"not a version");
    wrong.rewind();
    EXPECT_NE(target->dwgInFields(&wrong), Acad::eOk);
    EXPECT_EQ(target->xml(), L"<old/>");
}

TEST_F(UndoObjectTest, UndoObjectDxfOutWritesMarkerVersionAndText) {
    auto object = objectWith(L"<a x=\"1\"/>");
    host::DxfItemFiler filer;
    ASSERT_EQ(object->dxfOutFields(&filer), Acad::eOk);
    const DxfItemList& items = filer.items();
    ASSERT_GE(items.size(), 3u);
    const DxfItemList tail(items.end() - 3, items.end());
    EXPECT_EQ(tail, (DxfItemList{text(100, L"CVLKXMLUndoObject"), integer(90, 1),
                                 text(1, L"<a x=\"1\"/>")}));
    // And reads back.
    filer.rewind();
    auto copy = objectWith(L"<old/>");
    ASSERT_EQ(copy->dxfInFields(&filer), Acad::eOk);
    EXPECT_EQ(copy->xml(), L"<a x=\"1\"/>");
}

// Each DXF description read into an object holding "<old/>": the status, the text after it and
// the filer's message.
TEST_F(UndoObjectTest, UndoObjectDxfInCases) {
    const std::wstring versionMessage = L"\nError: expected group code 90 (version #)";
    const auto described = [](std::initializer_list<DxfItem> items) {
        DxfItemList list = header();
        list.insert(list.end(), items);
        return list;
    };
    struct Case {
        const char* what;
        DxfItemList items;
        Acad::ErrorStatus status;
        std::wstring xml;
        std::wstring message;
    };
    const Case cases[] = {
        {"no version", described({text(1, L"<new/>")}), Acad::eMissingDxfField, L"<old/>",
         versionMessage},
        {"nothing after the marker", header(), Acad::eMissingDxfField, L"<old/>", versionMessage},
        {"version 2", described({integer(90, 2), text(1, L"<new/>")}), Acad::eNewerObjectVersion,
         L"<old/>", L""},
        {"version 2^32 - 1", described({integer(90, 0xFFFFFFFFLL), text(1, L"<new/>")}),
         Acad::eNewerObjectVersion, L"<old/>", L""},
        {"version -1", described({integer(90, -1), text(1, L"<new/>")}), Acad::eNewerObjectVersion,
         L"<old/>", L""},
        {"two texts", described({integer(90, 1), text(1, L"<first/>"), text(1, L"<second/>")}),
         Acad::eOk, L"<second/>", L""},
        {"a version without text", described({integer(90, 1)}), Acad::eOk, L"<old/>", L""},
        {"no marker", {integer(90, 1), text(1, L"<new/>")}, Acad::eOk, L"<old/>", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring xml;
        std::wstring message;
        EXPECT_EQ(readDxf(c.items, xml, &message), c.status);
        EXPECT_EQ(xml, c.xml);
        EXPECT_EQ(message, c.message);
    }
    // The group that ends the object is left for the next reader.
    std::wstring xml;
    DxfItem next;
    EXPECT_EQ(
        readDxf(described({integer(90, 1), text(1, L"<a/>"), integer(70, 3)}), xml, nullptr, &next),
        Acad::eOk);
    EXPECT_EQ(next, integer(70, 3));
}

TEST_F(UndoObjectTest, UndoObjectDxfInFailingReadGivesFiftyOneAfterTheTextsReadBeforeIt) {
    // A resbuf list whose fifth item has a code the host does not know: the text groups read
    // before it have replaced the text, the last one winning.
    resbuf* list = acutBuildList(100, CVLKXMLUndoObject::kSubclassName, 90, 1L, 1, L"<first/>", 1,
                                 L"<new/>", 0);
    resbuf* last = list;
    while (last->rbnext != nullptr) {
        last = last->rbnext;
    }
    last->rbnext = acutNewRb(RTSHORT);
    last->rbnext->restype = 9999;
    auto object = objectWith(L"<old/>");
    host::DxfResbufFiler filer(list, db());
    EXPECT_EQ(object->dxfInFields(&filer), Acad::eDxfReadFailed);
    EXPECT_EQ(object->xml(), L"<new/>");
    acutRelRb(list);
}

TEST_F(UndoObjectTest, UndoObjectInTheDatabaseIsErasedAndOwnerless) {
    CVLKXMLUndoObject* object = nullptr;
    ASSERT_EQ(GetUndoTable()->OpenUndoObject(L"App", object, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(object->isErased());
    EXPECT_TRUE(object->ownerId().isNull());
    EXPECT_EQ(object->database(), db());
    EXPECT_EQ(object->appName(), L"App");
    object->close();
}

// A drawing file written by another program that holds an undo object as a plain object of the
// OBJECTS section: its groups go through dxfInFields like those of any other object.
class UndoObjectFileTest : public RepositoryTest {
protected:
    // Saves the current drawing, adds an undo object with the given groups after the named
    // object dictionary's groups, and opens the file; the opened document or null.
    AcApDocument* openWithObject(const std::string& groups, Acad::ErrorStatus& status) {
        const std::wstring file = path("foreign.dxf");
        EXPECT_EQ(host::saveDocument(m_doc, file.c_str()), Acad::eOk);
        std::ifstream in(wideToUtf8(file));
        std::stringstream buffer;
        buffer << in.rdbuf();
        std::string text = buffer.str();
        const std::size_t objects = text.find("OBJECTS");
        const std::size_t end = text.find("ENDSEC", objects);
        const std::size_t line = text.rfind("\n", text.rfind("\n", end - 1) - 1) + 1;
        text.insert(line,
                    "  0\nVLKXMLUNDOOBJECT\n  5\nFFF0\n330\n0\n100\nCVLKXMLUndoObject\n" + groups);
        std::ofstream(wideToUtf8(file), std::ios::trunc) << text;
        return host::openDocument(file.c_str(), &status);
    }
};

TEST_F(UndoObjectFileTest, UndoObjectFromAFileKeepsItsText) {
    Acad::ErrorStatus status = Acad::eOk;
    AcApDocument* opened = openWithObject(" 90\n1\n  1\n<first/>\n  1\n<kept/>\n", status);
    ASSERT_NE(opened, nullptr) << wideToUtf8(host::lastDrawingFileMessage());
    AcDbObjectId id;
    ASSERT_EQ(opened->database()->getAcDbObjectId(id, false, AcDbHandle(L"FFF0")), Acad::eOk);
    const auto object = testsupport::open<CVLKXMLUndoObject>(id);
    EXPECT_EQ(object->xml(), L"<kept/>");
    EXPECT_TRUE(object->appName().IsEmpty());
}

TEST_F(UndoObjectFileTest, UndoObjectFromAFileWithoutVersionIsRefused) {
    Acad::ErrorStatus status = Acad::eOk;
    EXPECT_EQ(openWithObject("  1\n<x/>\n", status), nullptr);
    EXPECT_EQ(status, Acad::eMissingDxfField);
    EXPECT_NE(host::lastDrawingFileMessage().find(L"expected group code 90 (version #)"),
              std::wstring::npos)
        << wideToUtf8(host::lastDrawingFileMessage());
    EXPECT_EQ(openWithObject(" 90\n2\n  1\n<x/>\n", status), nullptr);
    EXPECT_EQ(status, Acad::eNewerObjectVersion);
}

}  // namespace
