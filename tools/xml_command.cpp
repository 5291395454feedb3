// kestrel xml list|get|set FILE [APP] [XMLFILE]: an application's XML text in a drawing file,
// read and written through the module's XML interface, the drawing saved back by the host.
//
// Decisions of this command:
// - The repository keeps all applications' texts in one document without escaping, so one
//   broken text or name would lose them all when the drawing is next read: set refuses an
//   application name that is empty or holds '"', '<' or '&', and a text that is not well-formed
//   XML (or empty, which clears it) as the repository stores it, i.e. without anything up to its
//   first "?>".
// - get of an application the drawing holds no text for fails; get prints the text and a line
//   break, or writes it to XMLFILE as it is.
// - Texts are UTF-8; set drops a byte order mark at the start.
#include <algorithm>
#include <boost/make_shared.hpp>
#include <fstream>
#include <iostream>
#include <sstream>

#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_handler.h"
#include "kestrel/xmlrepo/xml_markup_doc.h"
#include "tools/commands.h"
#include "tools/host_session.h"
#include "tools/xml_listener.h"

namespace {

constexpr char kUsage[] = "xml list FILE | xml get FILE APP [XMLFILE] | xml set FILE APP [XMLFILE]";

// The applications whose texts the open drawing holds, in ascending name order.
std::vector<std::wstring> storedApplications() {
    auto listener = boost::make_shared<XmlListener>();
    _CXMLHandler::Register(listener);
    return listener->loadedApplications();
}

bool holds(const std::vector<std::wstring>& apps, const std::wstring& app) {
    return std::find(apps.begin(), apps.end(), app) != apps.end();
}

// The whole of standard input, or of the file at path, without a UTF-8 byte order mark; false
// when it cannot be read.
bool readText(const std::string* path, std::string& text) {
    std::stringstream buffer;
    if (path == nullptr) {
        buffer << std::cin.rdbuf();
    } else {
        std::ifstream in(*path, std::ios::binary);
        if (!in) {
            return false;
        }
        buffer << in.rdbuf();
    }
    text = buffer.str();
    if (text.rfind("\xef\xbb\xbf", 0) == 0) {
        text.erase(0, 3);
    }
    return path != nullptr || !std::cin.bad();
}

// Empty when the application may be given xml, else the reason.
std::string checkText(const std::wstring& app, std::wstring xml) {
    if (app.empty() || app.find_first_of(L"\"<&") != std::wstring::npos) {
        return "application names must not be empty nor hold '\"', '<' or '&'";
    }
    if (const std::size_t declarationEnd = xml.find(L"?>"); declarationEnd != std::wstring::npos) {
        xml.erase(0, declarationEnd + 2);
    }
    if (xml.find_first_not_of(L" \t\r\n") == std::wstring::npos) {
        return {};
    }
    CXMLMarkupDoc doc;
    return doc.SetDocument(xml.c_str())
               ? std::string()
               : "not well-formed XML: " + wideToUtf8(doc.GetParseError().str());
}

int listApplications() {
    for (const std::wstring& app : storedApplications()) {
        std::printf("%s\n", wideToUtf8(app).c_str());
    }
    return kExitOk;
}

int getText(const std::string& file, const std::string& app, const std::string* out) {
    const std::wstring name = utf8ToWide(app);
    CString xml;
    if (!holds(storedApplications(), name) ||
        _CXMLHandler::GetXML(name.c_str(), xml) != Acad::eOk) {
        return failed("no XML text for " + app + " in " + file);
    }
    const std::string text = wideToUtf8(xml.str());
    if (out == nullptr) {
        std::printf("%s\n", text.c_str());
        return kExitOk;
    }
    std::ofstream stream(*out, std::ios::binary);
    stream << text;
    stream.close();
    return stream ? kExitOk : failed("cannot write " + *out);
}

int setText(HostSession& session, AcApDocument* doc, const std::string& file,
            const std::string& app, const std::string& text) {
    const std::wstring name = utf8ToWide(app);
    const std::wstring xml = utf8ToWide(text);
    // Read once before the command, so that the change is one the host can undo.
    CString former;
    if (_CXMLHandler::GetXML(name.c_str(), former) != Acad::eOk) {
        return failed("cannot read the XML text of " + app + " in " + file);
    }
    Acad::ErrorStatus status;
    {
        CommandScope command(L"KESTREL_XML_SET");
        status = _CXMLHandler::SetXML(name.c_str(), xml.c_str());
    }
    if (status != Acad::eOk) {
        return failed("cannot set the XML text of " + app + ": status " +
                      std::to_string(static_cast<int>(status)));
    }
    if (!session.saveDrawing(doc, file)) {
        return failed(session.error());
    }
    std::printf("%s: %zu characters of XML for %s\n", file.c_str(), xml.size(), app.c_str());
    return kExitOk;
}

}  // namespace

int runXml(const Arguments& args) {
    const std::string action = args.empty() ? "" : args[0];
    const bool list = action == "list" && args.size() == 2;
    const bool getOrSet =
        (action == "get" || action == "set") && args.size() >= 3 && args.size() <= 4;
    if (!list && !getOrSet) {
        return wrongUsage(kUsage);
    }
    const std::string& file = args[1];
    const std::string* xmlFile = args.size() == 4 ? &args[3] : nullptr;
    std::string text;
    if (action == "set") {
        if (!readText(xmlFile, text)) {
            return failed("cannot read " + (xmlFile != nullptr ? *xmlFile : "standard input"));
        }
        if (const std::string problem = checkText(utf8ToWide(args[2]), utf8ToWide(text));
            !problem.empty()) {
            return failed(problem);
        }
    }
    HostSession session;
    AcApDocument* doc = session.openDrawing(file);
    if (doc == nullptr) {
        return failed(session.error());
    }
    if (list) {
        return listApplications();
    }
    return action == "get" ? getText(file, args[2], xmlFile)
                           : setText(session, doc, file, args[2], text);
}
