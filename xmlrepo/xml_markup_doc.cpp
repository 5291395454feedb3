// CXMLMarkupDoc parsing, navigation and reading: the element parser that builds the index in one
// pass over the node reader, and the operations that move the position and read the text.
// Edits live in xml_markup_edit.cpp, file input and output in xml_markup_file.cpp.
#include "kestrel/xmlrepo/xml_markup_doc.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cwchar>

#include "xmlrepo/xml_markup_reader.h"

using kestrel::xml::AttributeScanner;
using kestrel::xml::Node;
using kestrel::xml::NodeReader;

namespace {

// Records left idle after a parse beyond which the index is trimmed to the records in use.
constexpr int kIdleRecordsKept = 1024;

// Characters of spare text storage kept on top of twice a new text's length: below that, setting
// a text reuses the storage of the former one.
constexpr std::size_t kReusedSlack = 64;

// Name equality for the parser's end tags: names are short, and a call to a library compare
// costs more than the loop.
bool sameShortName(const wchar_t* a, const wchar_t* b, int length, bool fold) {
    if (fold) {
        return kestrel::xml::sameName(a, b, length, true);
    }
    for (int i = 0; i < length; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

std::wstring quoted(std::wstring_view name) {
    return L"'" + std::wstring(name) + L"'";
}

}  // namespace

struct CXMLMarkupDoc::OpenElement {
    int index;
    int nameStart;
    int nameLength;
};

struct CXMLMarkupDoc::SavedPositions {
    struct Entry {
        std::wstring name;
        int parent;
        int current;
        int child;
    };
    static std::size_t bucketOf(const wchar_t* name) {
        unsigned sum = 0;
        for (; *name; ++name) {
            sum += static_cast<unsigned>(*name);
        }
        return sum % 7;
    }
    std::array<std::vector<Entry>, 7> buckets;
};

CXMLMarkupDoc::CXMLMarkupDoc() {
    SetDocument(nullptr);
}

CXMLMarkupDoc::~CXMLMarkupDoc() = default;

bool CXMLMarkupDoc::SetDocument(const wchar_t* text) {
    // The old text's storage is reused when it is at most twice what the new text needs, so
    // setting documents of like size in turn allocates nothing; larger storage goes now rather
    // than stay as spare capacity.
    const std::size_t length = text != nullptr ? std::wcslen(text) : 0;
    if (m_document.str().capacity() > 2 * length + kReusedSlack) {
        m_document = CString(text);
    } else {
        m_document = text;
    }
    m_error.Empty();
    return parse();
}

bool CXMLMarkupDoc::SetDocument(CString&& text) {
    m_document = std::move(text);
    m_error.Empty();
    return parse();
}

CString CXMLMarkupDoc::TakeDocument() {
    CString text(m_document.takeStr());
    m_error.Empty();
    parse();
    return text;
}

void CXMLMarkupDoc::resetPositions() {
    m_parentPos = m_currentPos = m_childPos = 0;
    m_nodeType = m_nodeOffset = m_nodeLength = 0;
}

void CXMLMarkupDoc::ResetPosition() {
    resetPositions();
}

bool CXMLMarkupDoc::growIndex() {
    // The first free index plus half of it; an index shrunk to its one document record still
    // gains a record.
    const long long first = m_firstFree;
    return m_index.grow(std::max(first + first / 2, first + 1));
}

bool CXMLMarkupDoc::parse() {
    std::wstring previous = m_error.takeStr();
    resetPositions();
    m_savedPositions.reset();
    m_firstFree = 1;
    m_releasedHead = 0;
    const std::size_t size = m_document.str().size();
    const bool tooLong = size > static_cast<std::size_t>(INT_MAX);
    m_index.grow(tooLong ? 8 : static_cast<long long>(size / 64 + 8));
    record(0) = Record{};
    std::wstring problem;
    if (tooLong) {
        problem = L"Document too long";
        record(0).set(Record::kIllFormed);
    } else if (size == 0) {
        problem = L"Empty document";
    } else {
        const int root = parseElements();
        problem = m_error.takeStr();
        record(0).length = length();
        if (root == 0) {
            problem = L"No root element";
        } else if (record(root).nextSibling != 0 && !record(root).has(Record::kNotEnded)) {
            problem = L"Root element has sibling";
        }
        if (m_index.size() - m_firstFree > kIdleRecordsKept) {
            m_index.shrinkTo(m_firstFree);
        }
    }
    resetPositions();
    if (!previous.empty() && !problem.empty()) {
        previous += L", ";
    }
    m_error = CString(std::move(previous += problem));
    const Record& document = record(0);
    return !document.has(Record::kIllFormed) && document.firstChild != 0 &&
           record(document.firstChild).nextSibling == 0;
}

// Links i into the children of `parent` after `prev` (0: first). Defined beside the parser, whose
// appends it serves once per element, so that it inlines there.
void CXMLMarkupDoc::linkAfter(int i, int parent, int prev) {
    record(i).parent = parent;
    record(i).clear(Record::kFirstChild);
    const int first = record(parent).firstChild;
    if (prev == 0) {
        if (first != 0) {
            record(i).prevSibling = record(first).prevSibling;
            record(first).prevSibling = i;
            record(first).clear(Record::kFirstChild);
        } else {
            record(i).prevSibling = i;
        }
        record(i).nextSibling = first;
        record(parent).firstChild = i;
        record(i).set(Record::kFirstChild);
        return;
    }
    const int next = record(prev).nextSibling;
    record(i).prevSibling = prev;
    record(i).nextSibling = next;
    record(prev).nextSibling = i;
    record(next != 0 ? next : first).prevSibling = i;
}

// Fills record i for a start tag the parser just read and appends it as the last child of
// `parent`; the parser's append of linkAfter, writing each record once.
void CXMLMarkupDoc::appendParsed(int i, int parent, int level, int start, int startTagLength) {
    Record& p = record(parent);
    const int first = p.firstChild;
    std::uint32_t flagsLevel = static_cast<std::uint32_t>(level);
    int prev = i;
    if (first == 0) {
        p.firstChild = i;
        flagsLevel |= Record::kFirstChild;
    } else {
        Record& f = record(first);
        prev = f.prevSibling;
        f.prevSibling = i;
        record(prev).nextSibling = i;
    }
    record(i) = Record{
        start, startTagLength, static_cast<std::uint32_t>(startTagLength), flagsLevel, parent, 0, 0,
        prev};
}

// Builds the records of the whole document under record 0. Problems go to m_error, the first
// one winning; returns the first element found, or 0.
int CXMLMarkupDoc::parseElements() {
    const wchar_t* doc = text();
    const bool fold = ignoreCase();
    NodeReader reader(doc, length(), 0);
    Node node;
    std::vector<OpenElement> stack;
    stack.reserve(6);
    int first = 0;
    bool moved = false;
    auto problem = [&](const std::wstring& message) {
        record(0).set(Record::kIllFormed);
        record(stack.empty() ? 0 : stack.back().index).set(Record::kIllData);
        if (m_error.IsEmpty()) {
            m_error = CString(message);
        }
    };
    auto nameAt = [&](int start, int count) { return std::wstring_view(doc + start, count); };
    for (;;) {
        reader.next(node);
        if (node.type == kestrel::xml::kNodeElement) {
            const int level = static_cast<int>(stack.size());
            if (level > Record::kMaxLevel) {
                problem(L"Element " + quoted(nameAt(node.nameStart, node.nameLength)) +
                        L" at offset " + std::to_wstring(node.start) + L" nested too deep");
                continue;
            }
            if (m_firstFree == m_index.size() && !growIndex()) {
                problem(L"Element at offset " + std::to_wstring(node.start) + L" beyond the index");
                continue;
            }
            const int i = m_firstFree++;
            const int parent = stack.empty() ? 0 : stack.back().index;
            appendParsed(i, parent, level, node.start, node.length);
            if (first == 0) {
                first = i;
            }
            if (!(node.flags & kestrel::xml::kNodeEmptyElement)) {
                if (stack.size() == stack.capacity()) {
                    stack.reserve(2 * stack.size() + 6);
                }
                stack.push_back({i, node.nameStart, node.nameLength});
            }
        } else if (node.type == kestrel::xml::kNodeEndTag) {
            std::size_t k = stack.size();
            while (k > 0 && !(stack[k - 1].nameLength == node.nameLength &&
                              sameShortName(doc + stack[k - 1].nameStart, doc + node.nameStart,
                                            node.nameLength, fold))) {
                --k;
            }
            if (k == 0) {
                problem(L"No start tag for end tag " +
                        quoted(nameAt(node.nameStart, node.nameLength)) + L" at offset " +
                        std::to_wstring(node.start));
                continue;
            }
            if (k < stack.size() && m_error.IsEmpty()) {
                const OpenElement& top = stack.back();
                m_error = CString(L"End tag " + quoted(nameAt(node.nameStart, node.nameLength)) +
                                  L" at offset " + std::to_wstring(node.start + 1) +
                                  L" does not match start tag " +
                                  quoted(nameAt(top.nameStart, top.nameLength)) + L" at offset " +
                                  std::to_wstring(record(top.index).start));
            }
            if (k < stack.size()) {
                closeUnended(stack, k, moved);
            }
            Record& r = record(stack[k - 1].index);
            r.length = node.start + node.length - r.start;
            r.setTagLengths(r.startTagLength(), node.length);
            stack.pop_back();
        } else if (node.type == kestrel::xml::kNodeError) {
            problem(kestrel::xml::describe(node));
        } else if (node.type == kestrel::xml::kNodeDocumentEnd) {
            if (!stack.empty() && m_error.IsEmpty()) {
                const OpenElement& top = stack.back();
                m_error = CString(L"Element " + quoted(nameAt(top.nameStart, top.nameLength)) +
                                  L" at offset " + std::to_wstring(record(top.index).start) +
                                  L" not ended");
            }
            closeUnended(stack, 0, moved);
            break;
        }
    }
    if (moved) {
        // Children moved up a level keep their old level until here; parents come first.
        for (int i = 1; i < m_firstFree; ++i) {
            const int parent = record(i).parent;
            record(i).setLevel(parent == 0 ? 0 : record(parent).level() + 1);
        }
    }
    return first;
}

// Closes stack[from..] as elements without end tag: each becomes empty and its children follow it
// as siblings, so all of them end up, in document order, under the parent of stack[from].
void CXMLMarkupDoc::closeUnended(std::vector<OpenElement>& stack, std::size_t from, bool& moved) {
    if (from >= stack.size()) {
        return;
    }
    const int parent = from == 0 ? 0 : stack[from - 1].index;
    bool illData = false;
    for (std::size_t j = from; j < stack.size(); ++j) {
        const int e = stack[j].index;
        Record& r = record(e);
        r.set(Record::kNotEnded);
        r.setTagLengths(r.startTagLength(), 0);
        r.length = r.startTagLength();
        if (r.has(Record::kIllData)) {
            illData = true;
            r.clear(Record::kIllData);
        }
        const int child = r.firstChild;
        if (child == 0) {
            continue;
        }
        // e is the last child of `parent` here: splice its children in right after it.
        const int last = record(child).prevSibling;
        for (int c = child; c != 0; c = record(c).nextSibling) {
            record(c).parent = parent;
        }
        record(child).clear(Record::kFirstChild);
        record(child).prevSibling = e;
        r.nextSibling = child;
        r.firstChild = 0;
        record(record(parent).firstChild).prevSibling = last;
        moved = true;
    }
    record(0).set(Record::kIllFormed);
    if (illData) {
        record(parent).set(Record::kIllData);
    }
    stack.resize(from);
}

// --- Navigation ------------------------------------------------------------------------------

std::wstring_view CXMLMarkupDoc::tagName(int i) const {
    const wchar_t* doc = text();
    const Record& r = record(i);
    const int end = r.start + r.startTagLength();
    int q = r.start + 1;
    while (q < end && !kestrel::xml::isSpace(doc[q]) && doc[q] != L'/' && doc[q] != L'>') {
        ++q;
    }
    return std::wstring_view(doc + r.start + 1, static_cast<std::size_t>(q - r.start - 1));
}

bool CXMLMarkupDoc::matches(int i, const wchar_t* name) const {
    if (name == nullptr || *name == L'\0') {
        return true;
    }
    int nameStart;
    int nameLength;
    kestrel::xml::searchName(text(), length(), record(i).start, nameStart, nameLength);
    return kestrel::xml::nameMatches(name, text() + nameStart, nameLength, ignoreCase());
}

bool CXMLMarkupDoc::FindElement(const wchar_t* name) {
    int candidate =
        m_currentPos != 0 ? record(m_currentPos).nextSibling : record(m_parentPos).firstChild;
    while (candidate != 0 && !matches(candidate, name)) {
        candidate = record(candidate).nextSibling;
    }
    if (candidate == 0) {
        return false;
    }
    m_currentPos = candidate;
    m_parentPos = record(candidate).parent;
    m_childPos = 0;
    m_nodeType = kNodeElement;
    m_nodeOffset = m_nodeLength = 0;
    return true;
}

bool CXMLMarkupDoc::EnterElement() {
    if (!hasElement()) {
        return false;
    }
    m_parentPos = m_currentPos;
    m_currentPos = m_childPos;
    m_childPos = 0;
    m_nodeOffset = m_nodeLength = 0;
    m_nodeType = m_currentPos != 0 ? kNodeElement : kNodeNone;
    return true;
}

bool CXMLMarkupDoc::LeaveElement() {
    if (m_parentPos == 0) {
        return false;
    }
    m_childPos = m_currentPos;
    m_currentPos = m_parentPos;
    m_parentPos = record(m_currentPos).parent;
    m_nodeType = kNodeElement;
    m_nodeOffset = m_nodeLength = 0;
    return true;
}

bool CXMLMarkupDoc::FindChildElement(const wchar_t* name) {
    if (!hasElement() && !FindElement(nullptr)) {
        return false;
    }
    int candidate =
        m_childPos != 0 ? record(m_childPos).nextSibling : record(m_currentPos).firstChild;
    while (candidate != 0 && !matches(candidate, name)) {
        candidate = record(candidate).nextSibling;
    }
    if (candidate == 0) {
        return false;
    }
    m_childPos = candidate;
    return true;
}

// Where node navigation goes on: after the current node, the current element, or at the start
// of the level.
int CXMLMarkupDoc::nodeScanStart() const {
    if (m_nodeType != kNodeElement && (m_nodeOffset != 0 || m_nodeLength != 0)) {
        return m_nodeOffset + m_nodeLength;
    }
    if (m_currentPos != 0) {
        return record(m_currentPos).end();
    }
    return m_parentPos != 0 ? record(m_parentPos).contentStart() : 0;
}

bool CXMLMarkupDoc::FindNode(int types) {
    const int end = m_parentPos != 0 ? record(m_parentPos).contentEnd() : length();
    NodeReader reader(text(), end, nodeScanStart());
    int element = m_currentPos;
    int expected = element != 0 ? record(element).nextSibling : record(m_parentPos).firstChild;
    Node node;
    for (;;) {
        reader.next(node);
        int type = node.type;
        if (type == kestrel::xml::kNodeDocumentEnd) {
            return false;
        }
        if (type == kNodeElement && expected != 0 && record(expected).start == node.start) {
            element = expected;
            expected = record(element).nextSibling;
            reader.setOffset(record(element).end());
            if (types & kNodeElement) {
                m_currentPos = element;
                m_childPos = 0;
                m_nodeType = kNodeElement;
                m_nodeOffset = m_nodeLength = 0;
                return true;
            }
            continue;
        }
        if (type == kestrel::xml::kNodeEndTag) {
            type = kNodeLoneEndTag;
        } else if (type == kestrel::xml::kNodeError || type == kNodeElement) {
            type = kNodeError;  // also an element the index could not hold
        }
        if (types & type) {
            m_currentPos = element;
            m_childPos = 0;
            m_nodeType = type;
            m_nodeOffset = node.start;
            m_nodeLength = node.length;
            return true;
        }
    }
}

CString CXMLMarkupDoc::GetNodeName() const {
    const wchar_t* doc = text();
    switch (m_nodeType) {
        case kNodeNone:
            return CString();
        case kNodeElement:
            return GetTagName();
        case kNodeText:
        case kNodeWhitespace:
            return CString(L"#text");
        case kNodeCData:
            return CString(L"#cdata-section");
        case kNodeComment:
            return CString(L"#comment");
        case kNodeError: {
            NodeReader reader(doc, m_nodeOffset + m_nodeLength, m_nodeOffset);
            Node node;
            reader.next(node);
            const std::wstring message = kestrel::xml::describe(node);
            return CString(message.empty() ? L"#error" : message);
        }
        default: {
            // Processing instruction target, declaration keyword, lone end tag name.
            const int end = m_nodeOffset + m_nodeLength;
            int q = m_nodeOffset + 2;
            while (q < end && !kestrel::xml::isSpace(doc[q]) && doc[q] != L'>' && doc[q] != L'?' &&
                   doc[q] != L'/' && doc[q] != L'[') {
                ++q;
            }
            const int first = std::min(m_nodeOffset + 2, q);
            return CString(doc + first, q - first);
        }
    }
}

CString CXMLMarkupDoc::GetNodeText() const {
    if (hasElement()) {
        const Record& r = record(m_currentPos);
        return CString(text() + r.start, r.length);
    }
    if (m_nodeType == kNodeNone) {
        return CString();
    }
    return CString(text() + m_nodeOffset, m_nodeLength);
}

// --- Reading ---------------------------------------------------------------------------------

CString CXMLMarkupDoc::GetAttribute(const wchar_t* name) const {
    if (name == nullptr) {
        return CString();
    }
    int from;
    int end;
    if (hasElement()) {
        const Record& r = record(m_currentPos);
        from = r.start + 1;
        end = r.contentStart();
    } else if (m_nodeType == kNodeProcessing) {
        from = m_nodeOffset + 2;
        end = m_nodeOffset + m_nodeLength;
    } else {
        return CString();
    }
    const wchar_t* doc = text();
    AttributeScanner scanner(doc, from, end);
    kestrel::xml::Attribute attribute;
    while (scanner.next(attribute)) {
        if (kestrel::xml::nameMatches(name, doc + attribute.nameStart, attribute.nameLength,
                                      ignoreCase())) {
            return attribute.hasEquals ? CString(kestrel::xml::decodeText(
                                             doc + attribute.valueStart, attribute.valueLength))
                                       : CString(kestrel::xml::decodeText(doc + attribute.nameStart,
                                                                          attribute.nameLength));
        }
    }
    return CString();
}

CString CXMLMarkupDoc::GetAttributeName(int index) const {
    if (!hasElement() || index < 0) {
        return CString();
    }
    const Record& r = record(m_currentPos);
    AttributeScanner scanner(text(), r.start + 1, r.contentStart());
    kestrel::xml::Attribute attribute;
    for (int i = 0; scanner.next(attribute); ++i) {
        if (i == index) {
            return CString(text() + attribute.nameStart, attribute.nameLength);
        }
    }
    return CString();
}

CString CXMLMarkupDoc::GetElementContent() const {
    if (!hasElement()) {
        return CString();
    }
    const Record& r = record(m_currentPos);
    const int count = r.contentEnd() - r.contentStart();
    return count > 0 ? CString(text() + r.contentStart(), count) : CString();
}

CString CXMLMarkupDoc::GetElementText() const {
    if (!hasElement()) {
        return CString();
    }
    const Record& r = record(m_currentPos);
    const wchar_t* doc = text();
    NodeReader reader(doc, r.contentEnd(), r.contentStart());
    int child = r.firstChild;
    std::wstring out;
    Node node;
    for (reader.next(node); node.type != kestrel::xml::kNodeDocumentEnd; reader.next(node)) {
        if (node.type == kNodeElement && child != 0 && record(child).start == node.start) {
            reader.setOffset(record(child).end());
            child = record(child).nextSibling;
        } else if (node.type == kNodeText || node.type == kNodeWhitespace) {
            out += kestrel::xml::decodeText(doc + node.start, node.length);
        } else if (node.type == kNodeCData) {
            const int inner = std::min(9, node.length - 3);
            out.append(doc + node.start + inner, doc + node.start + node.length - 3);
        }
    }
    return CString(std::move(out));
}

CString CXMLMarkupDoc::GetTagName() const {
    return hasElement() ? CString(std::wstring(tagName(m_currentPos))) : CString();
}

CString CXMLMarkupDoc::GetElementPath() const {
    if (!hasElement()) {
        return CString();
    }
    std::vector<int> chain;
    for (int i = m_currentPos; i != 0; i = record(i).parent) {
        chain.push_back(i);
    }
    std::wstring path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        int nameStart;
        int nameLength;
        kestrel::xml::searchName(text(), length(), record(*it).start, nameStart, nameLength);
        const std::wstring name(text() + nameStart, static_cast<std::size_t>(nameLength));
        int count = 1;
        for (int s = record(record(*it).parent).firstChild; s != *it; s = record(s).nextSibling) {
            count += matches(s, name.c_str()) ? 1 : 0;
        }
        path += L"/" + name;
        if (count >= 2) {
            path += L"[" + std::to_wstring(count) + L"]";
        }
    }
    return CString(std::move(path));
}

int CXMLMarkupDoc::GetElementFlags() const {
    return hasElement() ? static_cast<int>(record(m_currentPos).flags()) : 0;
}

// --- Saved positions -------------------------------------------------------------------------

bool CXMLMarkupDoc::SavePosition(const wchar_t* name) {
    if (name == nullptr || *name == L'\0') {
        return false;
    }
    if (!m_savedPositions) {
        m_savedPositions = std::make_unique<SavedPositions>();
    }
    const int current = m_currentPos;
    auto& bucket = m_savedPositions->buckets[SavedPositions::bucketOf(name)];
    for (auto& entry : bucket) {
        if (entry.name == name) {
            entry = {name, m_parentPos, current, m_childPos};
            return true;
        }
    }
    bucket.push_back({name, m_parentPos, current, m_childPos});
    return true;
}

bool CXMLMarkupDoc::RestorePosition(const wchar_t* name) {
    if (name == nullptr || *name == L'\0' || !m_savedPositions) {
        return false;
    }
    for (const auto& entry : m_savedPositions->buckets[SavedPositions::bucketOf(name)]) {
        if (entry.name == name) {
            m_parentPos = entry.parent;
            m_currentPos = entry.current;
            m_childPos = entry.child;
            m_nodeType = m_currentPos != 0 ? kNodeElement : kNodeNone;
            m_nodeOffset = m_nodeLength = 0;
            return true;
        }
    }
    return false;
}

void CXMLMarkupDoc::dropStalePositions() {
    if (!m_savedPositions) {
        return;
    }
    for (auto& bucket : m_savedPositions->buckets) {
        std::erase_if(bucket, [this](const SavedPositions::Entry& entry) {
            return record(entry.parent).released() || record(entry.current).released() ||
                   record(entry.child).released();
        });
    }
}

// --- Text encoding ---------------------------------------------------------------------------

CString CXMLMarkupDoc::EncodeText(const wchar_t* text, int options) {
    const std::wstring_view source =
        text != nullptr ? std::wstring_view(text) : std::wstring_view();
    return CString(
        kestrel::xml::encodeText(source.data(), static_cast<int>(source.size()), options));
}

CString CXMLMarkupDoc::DecodeText(const wchar_t* text) {
    const std::wstring_view source =
        text != nullptr ? std::wstring_view(text) : std::wstring_view();
    return CString(kestrel::xml::decodeText(source.data(), static_cast<int>(source.size())));
}
