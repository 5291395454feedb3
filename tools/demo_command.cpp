// kestrel demo [FILE]: builds the showcase drawing in a new document, in commands as a user's
// session would, keeps XML texts of two applications with an undo and a redo in between, and
// saves it (kestrel-demo.dxf in the current folder by default).
#include <boost/make_shared.hpp>

#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_handler.h"
#include "tools/commands.h"
#include "tools/data_files.h"
#include "tools/demo_drawing.h"
#include "tools/demo_report.h"
#include "tools/host_session.h"
#include "tools/xml_listener.h"

namespace {

constexpr char kDefaultFile[] = "kestrel-demo.dxf";
constexpr char kBlockFile[] = "title_block.dxf";
constexpr wchar_t kSettingsApp[] = L"KestrelDemo.Settings";
constexpr wchar_t kNotesApp[] = L"KestrelDemo.Notes";
constexpr wchar_t kFirstSettings[] = L"<settings units=\"mm\" grid=\"10\"/>";
constexpr wchar_t kSecondSettings[] = L"<settings units=\"inch\" grid=\"0.5\"/>";

std::string xmlOf(const wchar_t* app) {
    CString xml;
    return _CXMLHandler::GetXML(app, xml) == Acad::eOk ? wideToUtf8(xml.str()) : "<unreadable>";
}

bool setXml(DemoReport& report, const wchar_t* app, const wchar_t* xml) {
    return report.step(_CXMLHandler::SetXML(app, xml) == Acad::eOk,
                       "set " + wideToUtf8(app) + ": " + wideToUtf8(xml));
}

// The texts of the two applications: two commands, then the second undone and redone. Each
// application's text is read once first, so that its first command can be undone too.
void keepXmlTexts(DemoReport& report) {
    report.section("XML repository:");
    auto listener = boost::make_shared<XmlListener>();
    _CXMLHandler::Register(listener);
    xmlOf(kSettingsApp);
    xmlOf(kNotesApp);
    {
        CommandScope command(L"KESTREL_XML_FIRST");
        setXml(report, kSettingsApp, kFirstSettings);
        setXml(report, kNotesApp, L"<notes><note author=\"demo\">First sketch</note></notes>");
    }
    {
        CommandScope command(L"KESTREL_XML_SECOND");
        setXml(report, kSettingsApp, kSecondSettings);
    }
    const bool undone = host::undo() == Acad::eOk;
    const std::string afterUndo = xmlOf(kSettingsApp);
    report.step(undone && afterUndo == wideToUtf8(kFirstSettings),
                "undo: " + wideToUtf8(kSettingsApp) + " is " + afterUndo + " again");
    const bool redone = host::redo() == Acad::eOk;
    const std::string afterRedo = xmlOf(kSettingsApp);
    report.step(redone && afterRedo == wideToUtf8(kSecondSettings),
                "redo: " + wideToUtf8(kSettingsApp) + " is " + afterRedo);
    int restored = 0;
    for (const XmlListener::Heard& heard : listener->heard()) {
        restored += heard.kind == XmlListener::Kind::kRestored ? 1 : 0;
    }
    report.step(restored == 2, "the notifier heard both texts restored");
}

}  // namespace

int runDemo(const Arguments& args) {
    if (args.size() > 1) {
        return wrongUsage("demo [FILE]");
    }
    const std::filesystem::path file = args.empty() ? kDefaultFile : args[0];
    const std::filesystem::path blockFile = shippedDataFile(kBlockFile);
    if (blockFile.empty()) {
        return failed(std::string("cannot find the shipped drawing ") + kBlockFile);
    }
    HostSession session;
    if (!session.ready()) {
        return failed(session.error());
    }
    AcApDocument* doc = session.newDrawing();
    DemoReport report;
    {
        CommandScope command(L"KESTREL_DEMO");
        report.section("Layers:");
        addDemoLayers(report);
        report.section("Entities:");
        addDemoEntities(report);
        report.section("Blocks:");
        addDemoTitleBlock(report, blockFile);
        report.section("Named dictionary:");
        addDemoDictionaryRecords(report);
    }
    keepXmlTexts(report);
    if (!session.saveDrawing(doc, file)) {
        return failed(session.error());
    }
    std::printf("Saved %s\n", file.string().c_str());
    if (report.failures() == 0) {
        return kExitOk;
    }
    // The module's own message about a failed step, if it gave one, is on the command line.
    const std::string log = wideToUtf8(host::commandLine());
    return failed(std::to_string(report.failures()) + " steps failed" +
                  (log.empty() ? std::string() : "; the host's command line:\n" + log));
}
