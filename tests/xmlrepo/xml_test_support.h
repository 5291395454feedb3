// Helpers of the markup engine tests: readable CString failures, and a dump of everything that
// navigation sees, used to compare an edited document with a fresh parse of its text.
#pragma once

#include <ostream>
#include <string>

#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_markup_doc.h"

inline void PrintTo(const CString& text, std::ostream* out) {
    *out << '"' << wideToUtf8(text.str()) << '"';
}

namespace xmltest {

// Every node of the current level and below: type, name, attributes and markup, one per line.
inline void dumpLevel(CXMLMarkupDoc& doc, std::wstring& out, const std::wstring& indent) {
    while (doc.FindNode()) {
        out += indent + std::to_wstring(doc.GetNodeType()) + L" " + doc.GetNodeName().str();
        if (doc.GetNodeType() == CXMLMarkupDoc::kNodeElement) {
            out += L" " + doc.GetElementPath().str();
            for (int i = 0; !doc.GetAttributeName(i).IsEmpty(); ++i) {
                const CString name = doc.GetAttributeName(i);
                out += L" " + name.str() + L"=" + doc.GetAttribute(name).str();
            }
            out += L" {" + doc.GetElementContent().str() + L"}\n";
            doc.EnterElement();
            dumpLevel(doc, out, indent + L"  ");
            doc.LeaveElement();
        } else {
            out += L" {" + doc.GetNodeText().str() + L"}\n";
        }
    }
}

// Dumps the whole document; leaves the position at the document level.
inline std::wstring dump(CXMLMarkupDoc& doc) {
    std::wstring out;
    doc.ResetPosition();
    dumpLevel(doc, out, L"");
    doc.ResetPosition();
    return out;
}

// Dump of a fresh parse of the document's text.
inline std::wstring dumpReparsed(const CXMLMarkupDoc& doc) {
    CXMLMarkupDoc fresh;
    fresh.SetDocFlags(doc.GetDocFlags());
    fresh.SetDocument(CString(doc.GetDocument()));
    return dump(fresh);
}

}  // namespace xmltest
