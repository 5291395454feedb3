// Fuzz target of the XML markup engine: parses any text, walks every node reading names,
// attributes, paths and contents, then applies edits chosen by the input. When the text was
// well-formed, each edit must leave an index that a fresh parse of the edited text reproduces.
// Input: byte 0 options (bit 0 ignore case, bit 1 bytes are code units instead of UTF-8),
// bytes 1-4 the seed of the edits, the rest the document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_markup_doc.h"

namespace {

// Everything navigation sees, walked without recursion so that deep documents are fine.
std::wstring walk(CXMLMarkupDoc& doc) {
    std::wstring out;
    doc.ResetPosition();
    int depth = 0;
    for (;;) {
        if (!doc.FindNode()) {
            if (depth == 0) {
                break;
            }
            doc.LeaveElement();
            --depth;
            continue;
        }
        out += std::to_wstring(doc.GetNodeType()) + L"|" + doc.GetNodeName().str() + L"|";
        if (doc.GetNodeType() == CXMLMarkupDoc::kNodeElement) {
            out += doc.GetElementContent().str() + L"|" + doc.GetElementText().str() + L"|";
            for (int i = 0; i < 8; ++i) {
                const CString name = doc.GetAttributeName(i);
                if (name.IsEmpty()) {
                    break;
                }
                out += name.str() + L"=" + doc.GetAttribute(name).str() + L"|";
            }
            if (depth < 64) {
                out += doc.GetElementPath().str();
            }
            doc.EnterElement();
            ++depth;
        } else {
            out += doc.GetNodeText().str() + L"|" + doc.GetAttribute(L"version").str();
        }
        out += L"\n";
    }
    doc.ResetPosition();
    return out;
}

std::wstring reparsed(const CXMLMarkupDoc& doc) {
    CXMLMarkupDoc fresh;
    fresh.SetDocFlags(doc.GetDocFlags());
    fresh.SetDocument(CString(doc.GetDocument()));
    return walk(fresh);
}

// Applies one random edit; false when it may have added an element without end tag, after which
// a fresh parse can pair the tags differently.
bool edit(CXMLMarkupDoc& doc, std::mt19937& random) {
    static const wchar_t* const kNames[] = {L"a", L"b", L"e", L"x:y", L"\u00e9"};
    static const wchar_t* const kTexts[] = {nullptr, L"", L"t", L"<&>'\"", L"]]>", L"&amp;"};
    doc.ResetPosition();
    doc.FindElement();
    for (int steps = static_cast<int>(random() % 6); steps > 0; --steps) {
        switch (random() % 4) {
            case 0:
                doc.EnterElement();
                break;
            case 1:
                doc.FindNode(static_cast<int>(random() % 0x10000) | CXMLMarkupDoc::kNodeError);
                break;
            case 2:
                doc.FindChildElement(random() % 2 ? kNames[random() % 5] : nullptr);
                break;
            default:
                doc.FindElement(kNames[random() % 5]);
                break;
        }
    }
    const wchar_t* name = kNames[random() % 5];
    const wchar_t* text = kTexts[random() % 6];
    const int options = static_cast<int>(random() % 0x200) & ~CXMLMarkupDoc::kWriteNoEnd;
    switch (random() % 9) {
        case 0:
            doc.AddElement(name, text, options);
            break;
        case 1:
            doc.AddChildElement(name, text, options);
            break;
        case 2:
            doc.SetAttribute(name, text, options);
            break;
        case 3:
            doc.SetElementText(text, options);
            break;
        case 4:
            doc.RemoveNode();
            break;
        case 5:
            doc.AddChildSubDocument(L"<s k='1'><t/>x<!--c--></s>", options);
            break;
        case 6:
            doc.AddSubDocument(L"<u/>", options);
            break;
        case 7:
            doc.SavePosition(name);
            doc.RemoveElement();
            doc.RestorePosition(name);
            break;
        default:
            doc.SavePosition(name);
            doc.RestorePosition(kNames[random() % 5]);
            return !doc.AddElement(name, nullptr, options | CXMLMarkupDoc::kWriteNoEnd);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    const std::uint8_t options = data[0];
    const std::uint32_t seed =
        data[1] | data[2] << 8 | data[3] << 16 | static_cast<std::uint32_t>(data[4]) << 24;
    data += 5;
    size -= 5;
    std::wstring text;
    if (options & 2) {
        text.assign(data, data + size);
    } else {
        text = utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    }
    CXMLMarkupDoc doc;
    doc.SetDocFlags(options & 1 ? CXMLMarkupDoc::kIgnoreCase : 0);
    const bool wellFormed = doc.SetDocument(CString(std::move(text)));
    walk(doc);
    std::mt19937 random(seed);
    bool comparable = wellFormed;
    for (int i = static_cast<int>(seed % 8); i > 0; --i) {
        comparable = edit(doc, random) && comparable;
        if (comparable && walk(doc) != reparsed(doc)) {
            std::abort();
        }
    }
    walk(doc);
    return 0;
}
