// CXMLMarkupDoc editing: every change replaces one stretch of the document text and then shifts
// the offsets of what follows it, so the index always describes the text exactly. Each operation
// checks everything that could refuse it before it changes anything.
#include <algorithm>
#include <climits>
#include <cwchar>

#include "kestrel/xmlrepo/xml_markup_doc.h"
#include "xmlrepo/xml_markup_reader.h"

using kestrel::xml::ElementRecord;
using kestrel::xml::Node;
using kestrel::xml::NodeReader;

namespace {

bool validName(const wchar_t* name) {
    if (name == nullptr || !kestrel::xml::isNameStart(*name)) {
        return false;
    }
    for (const wchar_t* p = name; *p; ++p) {
        if (kestrel::xml::isSpace(*p) ||
            std::wstring_view(L"<>=/\\?!&'\"").find(*p) != std::wstring_view::npos) {
            return false;
        }
    }
    return true;
}

// How a start tag reads on its own: one element node over the whole tag, its name and whether it
// is an empty-element tag. Two tags that read alike index alike.
struct TagReading {
    bool whole = false;
    bool empty = false;
    std::wstring_view name;
    bool operator==(const TagReading&) const = default;
};

TagReading readTag(std::wstring_view tag) {
    NodeReader reader(tag.data(), static_cast<int>(tag.size()), 0);
    Node node;
    reader.next(node);
    TagReading reading;
    reading.whole =
        node.type == kestrel::xml::kNodeElement && node.length == static_cast<int>(tag.size());
    reading.empty = (node.flags & kestrel::xml::kNodeEmptyElement) != 0;
    reading.name = tag.substr(static_cast<std::size_t>(node.nameStart),
                              static_cast<std::size_t>(node.nameLength));
    return reading;
}

}  // namespace

struct CXMLMarkupDoc::Place {
    int parent;
    int prev;
    int offset;
};

bool CXMLMarkupDoc::fail(const wchar_t* reason) {
    m_error = reason;
    return false;
}

bool CXMLMarkupDoc::fits(long long added) {
    return static_cast<long long>(length()) + added <= INT_MAX;
}

// --- Index maintenance -----------------------------------------------------------------------

void CXMLMarkupDoc::replaceText(int offset, int removed, std::wstring_view text) {
    std::wstring doc = m_document.takeStr();
    doc.replace(static_cast<std::size_t>(offset), static_cast<std::size_t>(removed), text);
    m_document = CString(std::move(doc));
}

// The element after `n` in document order within the subtree of `root`, or 0.
int CXMLMarkupDoc::nextInSubtree(int n, int root) const {
    if (record(n).firstChild != 0) {
        return record(n).firstChild;
    }
    while (n != root && record(n).nextSibling == 0) {
        n = record(n).parent;
    }
    return n == root ? 0 : record(n).nextSibling;
}

void CXMLMarkupDoc::shiftSubtree(int i, int delta) {
    for (int n = i; n != 0; n = nextInSubtree(n, i)) {
        record(n).start += delta;
    }
}

// Text changed by `delta` code units after element `prev` (or, with prev 0, before the first
// child) of `parent`: the following siblings and everything after the parent move, the parent
// and its ancestors grow.
void CXMLMarkupDoc::shiftAfter(int prev, int parent, int delta) {
    for (int s = prev != 0 ? record(prev).nextSibling : record(parent).firstChild; s != 0;
         s = record(s).nextSibling) {
        shiftSubtree(s, delta);
    }
    for (int p = parent; p != 0; p = record(p).parent) {
        record(p).length += delta;
        for (int s = record(p).nextSibling; s != 0; s = record(s).nextSibling) {
            shiftSubtree(s, delta);
        }
    }
    record(0).length += delta;
}

void CXMLMarkupDoc::unlink(int i) {
    const int parent = record(i).parent;
    const int first = record(parent).firstChild;
    const int next = record(i).nextSibling;
    if (i == first) {
        if (next != 0) {
            record(next).prevSibling = record(i).prevSibling;
            record(next).set(Record::kFirstChild);
        }
        record(parent).firstChild = next;
        return;
    }
    const int prev = record(i).prevSibling;
    record(prev).nextSibling = next;
    record(next != 0 ? next : first).prevSibling = prev;
}

int CXMLMarkupDoc::allocateRecord() {
    if (m_releasedHead != 0) {
        const int i = m_releasedHead;
        m_releasedHead = record(i).nextSibling;
        return i;
    }
    if (m_firstFree == m_index.size()) {
        growIndex();
    }
    return m_firstFree++;
}

// Puts element `i` and everything inside it on the chain of released records; `i` must be
// unlinked (or its parent's child list dropped) by the caller.
void CXMLMarkupDoc::releaseSubtree(int i) {
    std::vector<int> released;
    for (int n = i; n != 0; n = nextInSubtree(n, i)) {
        released.push_back(n);
    }
    for (const int n : released) {
        record(n).parent = -1;
        record(n).nextSibling = m_releasedHead;
        m_releasedHead = n;
    }
}

int CXMLMarkupDoc::lineBreakAfter(int offset, int limit) const {
    const wchar_t* doc = text();
    if (offset < limit && doc[offset] == L'\n') {
        return offset + 1;
    }
    if (offset + 1 < limit && doc[offset] == L'\r' && doc[offset + 1] == L'\n') {
        return offset + 2;
    }
    return offset;
}

// --- Inserting -------------------------------------------------------------------------------

std::wstring CXMLMarkupDoc::endTagOf(int i) const {
    return L"</" + std::wstring(tagName(i)) + L">";
}

// Gives element `i`, which has no end tag, the content `inner` and the end tag `endTag`.
void CXMLMarkupDoc::openElement(int i, std::wstring_view inner, std::wstring_view endTag) {
    const Record r = record(i);
    const int tagEnd = r.contentStart();
    // "<name .../>" loses its "/" and nothing else: what stood before the "/" (a blank, a quote
    // or the name) cannot make the shortened tag read differently.
    const int cut = r.has(Record::kNotEnded) ? tagEnd - 1 : tagEnd - 2;
    std::wstring replacement = L">";
    replacement.append(inner).append(endTag);
    replaceText(cut, tagEnd - cut, replacement);
    const int startTag = cut - r.start + 1;
    Record& opened = record(i);
    opened.setTagLengths(startTag, static_cast<int>(endTag.size()));
    opened.length = startTag + static_cast<int>(inner.size() + endTag.size());
    opened.clear(Record::kNotEnded);
    shiftAfter(i, r.parent, opened.length - r.length);
}

CXMLMarkupDoc::Place CXMLMarkupDoc::place(bool asChild) const {
    Place p{};
    p.parent = asChild ? m_currentPos : m_parentPos;
    const int after = asChild ? m_childPos : m_currentPos;
    const bool onNode =
        !asChild && m_nodeType != kNodeElement && (m_nodeOffset != 0 || m_nodeLength != 0);
    const int limit = p.parent != 0 ? record(p.parent).contentEnd() : length();
    if (onNode) {
        p.prev = after;
        p.offset = lineBreakAfter(m_nodeOffset + m_nodeLength, limit);
    } else if (after != 0) {
        p.prev = after;
        p.offset = lineBreakAfter(record(after).end(), limit);
    } else {
        const int first = record(p.parent).firstChild;
        p.prev = first != 0 ? record(first).prevSibling : 0;
        p.offset = limit;
    }
    return p;
}

// Inserts `markup`, whose elements are `parts` (offsets relative to the markup, links 1-based
// into `parts`, the first part the top element), after the current node or as a child.
bool CXMLMarkupDoc::insert(bool asChild, std::wstring markup, const std::vector<Record>& parts,
                           int options) {
    if (asChild && !hasElement()) {
        return fail(L"No current element");
    }
    const int parent = asChild ? m_currentPos : m_parentPos;
    if (parent == 0 && record(0).firstChild != 0) {
        return fail(L"The document already has a root element");
    }
    int depth = 0;
    for (const Record& part : parts) {
        depth = std::max(depth, part.level());
    }
    const int base = parent != 0 ? record(parent).level() + 1 : 0;
    if (base + depth > Record::kMaxLevel) {
        return fail(L"Element nested too deep");
    }
    const bool opening = parent != 0 && record(parent).endTagLength() == 0;
    const std::wstring endTag = opening ? endTagOf(parent) : std::wstring();
    if (static_cast<int>(endTag.size()) > Record::kMaxEndTag) {
        return fail(L"End tag of the parent element too long");
    }
    const std::wstring_view lineBreak = (options & kWriteNoLines) ? L"" : L"\r\n";
    markup += lineBreak;
    if (!fits(static_cast<long long>(markup.size() + endTag.size() + lineBreak.size())) ||
        static_cast<long long>(m_firstFree) + static_cast<long long>(parts.size()) >= INT_MAX) {
        return fail(L"Document too long");
    }
    if (opening) {
        openElement(parent, lineBreak, endTag);
    }
    const Place p = place(asChild);
    replaceText(p.offset, 0, markup);
    shiftAfter(p.prev, parent, static_cast<int>(markup.size()));
    std::vector<int> index(parts.size() + 1, 0);
    for (std::size_t k = 1; k <= parts.size(); ++k) {
        index[k] = allocateRecord();
    }
    for (std::size_t k = 1; k <= parts.size(); ++k) {
        Record r = parts[k - 1];
        r.start += p.offset;
        r.setLevel(r.level() + base);
        r.parent = index[static_cast<std::size_t>(r.parent)];
        r.firstChild = index[static_cast<std::size_t>(r.firstChild)];
        r.nextSibling = index[static_cast<std::size_t>(r.nextSibling)];
        r.prevSibling = index[static_cast<std::size_t>(r.prevSibling)];
        record(index[k]) = r;
    }
    linkAfter(index[1], parent, p.prev);
    if (asChild) {
        m_childPos = index[1];
    } else {
        m_currentPos = index[1];
        m_childPos = 0;
        m_nodeType = kNodeElement;
        m_nodeOffset = m_nodeLength = 0;
    }
    return true;
}

bool CXMLMarkupDoc::addElement(bool asChild, const wchar_t* name, const wchar_t* text,
                               int options) {
    if (!validName(name)) {
        return fail(L"Incorrect element name");
    }
    const std::wstring tag(name);
    Record part{};
    std::wstring markup = L"<" + tag;
    int endTag = 0;
    if (text != nullptr && *text != L'\0') {
        markup += L">";
        markup += kestrel::xml::encodeText(text, static_cast<int>(std::wcslen(text)), options);
        markup += L"</" + tag + L">";
        endTag = static_cast<int>(tag.size()) + 3;
    } else if (options & kWriteNoEnd) {
        markup += L">";
        part.set(Record::kNotEnded);
    } else {
        markup += (options & kWriteXhtmlSpace) ? L" />" : L"/>";
    }
    const int startTag =
        endTag != 0 ? static_cast<int>(tag.size()) + 2 : static_cast<int>(markup.size());
    if (startTag > Record::kMaxStartTag || endTag > Record::kMaxEndTag) {
        return fail(L"Element name too long");
    }
    part.length = static_cast<int>(markup.size());
    part.setTagLengths(startTag, endTag);
    return insert(asChild, std::move(markup), {part}, options);
}

bool CXMLMarkupDoc::addSubDocument(bool asChild, const wchar_t* document, int options) {
    CXMLMarkupDoc sub;
    sub.SetDocFlags(m_docFlags);
    if (!sub.SetDocument(document)) {
        return fail((L"Sub-document not well-formed: " + sub.m_error.str()).c_str());
    }
    const Record root = sub.record(sub.record(0).firstChild);
    std::vector<Record> parts;
    parts.reserve(static_cast<std::size_t>(sub.m_firstFree - 1));
    for (int i = 1; i < sub.m_firstFree; ++i) {
        Record r = sub.record(i);
        r.start -= root.start;
        parts.push_back(r);
    }
    std::wstring markup(sub.text() + root.start, static_cast<std::size_t>(root.length));
    return insert(asChild, std::move(markup), parts, options & kWriteNoLines);
}

bool CXMLMarkupDoc::AddElement(const wchar_t* name, const wchar_t* text, int options) {
    return addElement(false, name, text, options);
}

bool CXMLMarkupDoc::AddChildElement(const wchar_t* name, const wchar_t* text, int options) {
    return addElement(true, name, text, options);
}

bool CXMLMarkupDoc::AddSubDocument(const wchar_t* document, int options) {
    return addSubDocument(false, document, options);
}

bool CXMLMarkupDoc::AddChildSubDocument(const wchar_t* document, int options) {
    return addSubDocument(true, document, options);
}

// --- Changing ---------------------------------------------------------------------------------

bool CXMLMarkupDoc::SetAttribute(const wchar_t* name, const wchar_t* value, int options) {
    if (!hasElement()) {
        return fail(L"No current element");
    }
    if (!validName(name)) {
        return fail(L"Incorrect attribute name");
    }
    const int cur = m_currentPos;
    const Record r = record(cur);
    const wchar_t* doc = text();
    const std::wstring_view source = value != nullptr ? value : L"";
    const std::wstring encoded =
        L"\"" +
        kestrel::xml::encodeText(source.data(), static_cast<int>(source.size()),
                                 (options & kWriteReferences) | kestrel::xml::kEncodeQuotes) +
        L"\"";
    kestrel::xml::AttributeScanner scanner(doc, r.start + 1, r.contentStart());
    kestrel::xml::Attribute attribute;
    bool found = false;
    while (!found && scanner.next(attribute)) {
        found = kestrel::xml::nameMatches(name, doc + attribute.nameStart, attribute.nameLength,
                                          ignoreCase());
    }
    int at;
    int removed = 0;
    std::wstring insertion;
    if (found && attribute.hasEquals) {
        at = attribute.rawStart;
        removed = attribute.rawEnd - attribute.rawStart;
        insertion = encoded;
    } else if (found) {
        at = attribute.nameStart + attribute.nameLength;
        insertion = L"=" + encoded;
    } else {
        const int nameEnd = r.start + 1 + static_cast<int>(tagName(cur).size());
        at = scanner.tagEnd();
        while (at > nameEnd && kestrel::xml::isSpace(doc[at - 1])) {
            --at;
        }
        insertion = L" " + std::wstring(name) + L"=" + encoded;
    }
    const std::wstring_view oldTag(doc + r.start, static_cast<std::size_t>(r.startTagLength()));
    std::wstring newTag(oldTag.substr(0, static_cast<std::size_t>(at - r.start)));
    newTag += insertion;
    newTag += oldTag.substr(static_cast<std::size_t>(at + removed - r.start));
    if (!(readTag(newTag) == readTag(oldTag))) {
        return fail(L"Attribute would change the element's tag");
    }
    const int delta = static_cast<int>(insertion.size()) - removed;
    if (!fits(delta)) {
        return fail(L"Document too long");
    }
    replaceText(at, removed, insertion);
    Record& changed = record(cur);
    changed.setTagLengths(static_cast<int>(newTag.size()), r.endTagLength());
    changed.length += delta;
    for (int c = changed.firstChild; c != 0; c = record(c).nextSibling) {
        shiftSubtree(c, delta);
    }
    shiftAfter(cur, r.parent, delta);
    return true;
}

bool CXMLMarkupDoc::SetElementText(const wchar_t* text, int options) {
    if (!hasElement()) {
        return fail(L"No current element");
    }
    const int cur = m_currentPos;
    const Record r = record(cur);
    const std::wstring_view source = text != nullptr ? text : L"";
    const std::wstring encoded =
        kestrel::xml::encodeText(source.data(), static_cast<int>(source.size()),
                                 options & (kWriteCData | kWriteReferences | kWriteQuotes));
    if (r.endTagLength() == 0) {
        if (encoded.empty()) {
            return true;
        }
        const std::wstring endTag = endTagOf(cur);
        if (static_cast<int>(endTag.size()) > Record::kMaxEndTag) {
            return fail(L"End tag of the element too long");
        }
        if (!fits(static_cast<long long>(encoded.size() + endTag.size()))) {
            return fail(L"Document too long");
        }
        openElement(cur, encoded, endTag);
        return true;
    }
    const int removed = r.contentEnd() - r.contentStart();
    const int delta = static_cast<int>(encoded.size()) - removed;
    if (!fits(delta)) {
        return fail(L"Document too long");
    }
    for (int c = r.firstChild; c != 0;) {
        const int next = record(c).nextSibling;
        releaseSubtree(c);
        c = next;
    }
    record(cur).firstChild = 0;
    m_childPos = 0;
    dropStalePositions();
    replaceText(r.contentStart(), removed, encoded);
    record(cur).length += delta;
    shiftAfter(cur, r.parent, delta);
    return true;
}

// --- Removing ---------------------------------------------------------------------------------

// Whether removing [start, end) leaves every other node reading as before. Only a damaged tag
// that stopped at the "<" of the removed text could read on into what follows it.
bool CXMLMarkupDoc::joinsSafely(int start, int end) const {
    const wchar_t* doc = text();
    if (end >= length() || doc[end] == L'<') {
        return true;
    }
    int p = start - 1;
    while (p >= 0 && doc[p] != L'<' && doc[p] != L'>') {
        --p;
    }
    return p < 0 || doc[p] == L'>';
}

bool CXMLMarkupDoc::RemoveElement() {
    if (!hasElement()) {
        return fail(L"No current element");
    }
    const int cur = m_currentPos;
    const Record r = record(cur);
    const int prev = record(r.parent).firstChild == cur ? 0 : r.prevSibling;
    const int limit = r.parent != 0 ? record(r.parent).contentEnd() : length();
    const int removed = lineBreakAfter(r.end(), limit) - r.start;
    if (!joinsSafely(r.start, r.start + removed)) {
        return fail(L"Removal would join a damaged tag with what follows");
    }
    unlink(cur);
    releaseSubtree(cur);
    dropStalePositions();
    replaceText(r.start, removed, L"");
    shiftAfter(prev, r.parent, -removed);
    m_currentPos = prev;
    m_childPos = 0;
    m_nodeType = kNodeNone;
    m_nodeOffset = r.start;
    m_nodeLength = 0;
    return true;
}

bool CXMLMarkupDoc::RemoveNode() {
    if (hasElement()) {
        return RemoveElement();
    }
    if (m_nodeType == kNodeNone || m_nodeLength == 0) {
        return fail(L"No current node");
    }
    if (!joinsSafely(m_nodeOffset, m_nodeOffset + m_nodeLength)) {
        return fail(L"Removal would join a damaged tag with what follows");
    }
    replaceText(m_nodeOffset, m_nodeLength, L"");
    shiftAfter(m_currentPos, m_parentPos, -m_nodeLength);
    m_nodeType = kNodeNone;
    m_nodeLength = 0;
    return true;
}
