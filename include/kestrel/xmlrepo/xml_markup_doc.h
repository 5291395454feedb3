// CXMLMarkupDoc: a small non-validating XML engine that keeps the whole document as one wide
// string plus an index of 32-byte element records pointing into it, and moves a position through
// that index. It never builds node objects; reading copies only what it returns.
// One object is used by one thread at a time; it is neither copied nor assigned.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/platform/cstring.h"
#include "kestrel/xmlrepo/xml_markup_index.h"

// Position model: the parent position is the element whose children are walked (0 = document
// level), the current position the current element of that level (0 = before the first), the
// child position a selected child of the current element (0 = none). Besides elements, the
// position can rest on a non-element node (FindNode); the current position is then the element
// before that node and the node type tells what is current.
//
// Parsing is forgiving: a document that is not well-formed is indexed as far as it goes (an
// element without end tag becomes empty and its children its following siblings; a stray end tag
// is ignored), the first problem is kept as the error text and SetDocument returns false.
//
// Decisions of this engine:
// - "Root element has sibling" replaces the element parser's message only when the root element
//   was ended: a root without end tag has its former children as siblings through the repair
//   alone, and the message about the missing end tag is kept ("<a><b>": "Element 'b' at offset 3
//   not ended"). SetDocument returns false either way.
// - Names compare without regard to case (document flag kIgnoreCase) for A-Z only.
// - Beyond the limits of an element record the document is not well-formed and the error text
//   says so: "Element tag at offset %d too long" (start tag over 4,194,303 code units), "Element
//   end tag at offset %d too long" (over 1,023), "Element '%s' at offset %d nested too deep"
//   (level over 65,535; the element is not indexed and node navigation reports it as a node
//   error), "Document too long" (over 2^31 - 1 code units; nothing is indexed).
// - A text that ends just after "<", "<!", "<!-" or "<![" is reported as "tag at offset %d
//   unterminated"; so is an unterminated element, attribute-list, entity or notation declaration.
// - A character reference to a value up to 0x10FFFF gives that character (a code unit holds any
//   character); wider values are cut to 16 bits, and a reference that comes to 0 stays as written.
// - In a document type declaration only inner declarations ("<!...>") nest; the ">" of any other
//   inner tag ends the declaration.
// - After a parse the index keeps only the records in use when more than 1,024 would be left idle.
// - Offsets, lengths and their limits count wchar_t code units, which are 32 bits wide here: one
//   unit a character, so offsets count characters and a character reference gives one unit.
// - A full index grows to the first free index plus half of it, the fraction dropped.
// - SaveFile replaces an existing file whole and keeps its permissions (and its owner and group
//   when the process may set them); a symbolic link is followed and kept, the file it names being
//   replaced. A target that is a folder fails with EISDIR's message, any other file that is not a
//   regular one with EINVAL's. The temporary file "<target>.~<process>.<n>" is removed on failure.
//
// Editing (each operation changes nothing and returns false when it cannot be done, and then sets
// the error text to the reason; on success the error text is left as it was):
// - New elements and sub-documents go after the current node, or at the end of the level when
//   nothing is current; children after the child position, or last. A new sibling becomes the
//   current element, a new child the child position. The document level takes one element only.
// - Adding a child or text to an element that has no end tag gives it one; an empty-element tag
//   loses only its "/" ("<a />" becomes "<a >"). The line break "\r\n" follows every new node
//   unless kWriteNoLines is given.
// - A sub-document must be well-formed on its own; only its root element is inserted.
// - Removing an element or node leaves nothing current: the next FindElement or FindNode goes on
//   with what followed it. Removing an element also removes one line break right after it.
//   A removal right after a damaged tag that stopped at the removed "<" (as "<" in "<<x/>a") is
//   refused when the text after it would read on into a different node.
// - Saved positions hold element positions only; removing an element drops those that named it.
// - An attribute edit that would change how the start tag reads (its name, its end, whether it is
//   an empty-element tag) is refused: giving a value to "b" in <a b/>, or adding an attribute to
//   a tag whose name holds "?" or "=", where attributes are taken to start.
// - Element and attribute names are refused unless they start with A-Z, "_", ":" or a code unit
//   from "a" (0x61) up, and hold no whitespace or any of < > = / \ ? ! & ' ".
class KESTREL_API CXMLMarkupDoc {
public:
    // Document flag: tag and attribute names compare without regard to case. Default off.
    static constexpr int kIgnoreCase = 8;

    // Writing options of the adding and setting operations (default 0: escaped text, line break
    // after each new node, "<name/>" for an element without text).
    static constexpr int kWriteCData = 1;       // text as CDATA sections
    static constexpr int kWriteNoLines = 2;     // no "\r\n" after new nodes
    static constexpr int kWriteXhtmlSpace = 4;  // "<name />" for an element without text
    static constexpr int kWriteReferences = 8;  // keep "&name;" and "&#n;" references as written
    static constexpr int kWriteNoEnd = 16;      // "<name>" alone for an element without text
    static constexpr int kWriteQuotes = 0x100;  // escape ' and " in text too

    // Node types (GetNodeType) and masks for FindNode.
    static constexpr int kNodeNone = 0;
    static constexpr int kNodeElement = 1;
    static constexpr int kNodeText = 2;
    static constexpr int kNodeWhitespace = 4;
    static constexpr int kNodeCData = 8;
    static constexpr int kNodeProcessing = 16;
    static constexpr int kNodeComment = 32;
    static constexpr int kNodeDocType = 64;
    static constexpr int kNodeLoneEndTag = 128;
    static constexpr int kNodeError = 32768;
    static constexpr int kNodeAny = 0x80FF;

    // Element flags (GetElementFlags).
    static constexpr int kElementFirstChild = 0x80000;
    static constexpr int kElementNotEnded = 0x100000;
    static constexpr int kElementIllData = 0x200000;
    static constexpr int kElementIllFormed = 0x800000;

    // Limits of an element record: longer tags and deeper nesting make a document ill-formed.
    static constexpr int kMaxStartTagLength = kestrel::xml::ElementRecord::kMaxStartTag;
    static constexpr int kMaxEndTagLength = kestrel::xml::ElementRecord::kMaxEndTag;
    static constexpr int kMaxLevel = kestrel::xml::ElementRecord::kMaxLevel;

    // An empty document, parsed as such ("Empty document" in the error text).
    CXMLMarkupDoc();
    ~CXMLMarkupDoc();
    CXMLMarkupDoc(const CXMLMarkupDoc&) = delete;
    CXMLMarkupDoc& operator=(const CXMLMarkupDoc&) = delete;

    // --- Document ---------------------------------------------------------------------------

    // Copies `text` (null: empty) and parses it; true when it is well-formed.
    bool SetDocument(const wchar_t* text);
    // Takes `text` over without copying it and parses it; true when it is well-formed.
    bool SetDocument(CString&& text);
    // Hands the document text over without copying it and leaves an empty document, as after
    // SetDocument(nullptr); with SetDocument(CString&&) a caller can reuse one text's storage.
    CString TakeDocument();
    // The document text; valid until the next change of the document.
    const CString& GetDocument() const { return m_document; }
    // The first problem of the last parse, or the message of the last file operation or
    // refused edit; empty when the last parse found nothing wrong.
    CString GetParseError() const { return m_error; }
    // Flags used by the next parse and by name comparisons (kIgnoreCase).
    int GetDocFlags() const { return m_docFlags; }
    void SetDocFlags(int flags) { m_docFlags = flags; }

    // --- Element navigation -----------------------------------------------------------------

    // Next element of the current level named `name` (null or empty: any name); false and no
    // change when there is none. A name matches a tag name it starts with when it goes on with
    // one of " =/[]" after it.
    bool FindElement(const wchar_t* name = nullptr);
    // Steps into the current element (its selected child, if any, becomes current); false when
    // no element is current.
    bool EnterElement();
    // Steps out to the parent element, which becomes current; false at the document level.
    bool LeaveElement();
    // Next child of the current element named `name` after the child position (null or empty:
    // any); selects the next element of the level first when none is current. False when none.
    bool FindChildElement(const wchar_t* name = nullptr);
    // Back to the document level with nothing current.
    void ResetPosition();

    // --- Reading the current element --------------------------------------------------------

    // Decoded value of attribute `name` of the current element (or of the current processing
    // instruction); the attribute's name for an attribute without "="; empty when there is none.
    CString GetAttribute(const wchar_t* name) const;
    // Name of the attribute at `index` (from 0) of the current element; empty when there is none.
    CString GetAttributeName(int index) const;
    // Raw text between the start tag and the end tag; empty without a current element.
    CString GetElementContent() const;
    // Decoded text of the text and CDATA nodes directly inside the current element; empty without
    // a current element.
    CString GetElementText() const;
    // Tag name of the current element; empty when none is current.
    CString GetTagName() const;
    // "/root/child[2]/..." of the current element ([n] from the second sibling of one name on);
    // empty when none is current.
    CString GetElementPath() const;
    // Flag bits (kElement...) of the current element; 0 when none is current.
    int GetElementFlags() const;

    // --- Node navigation --------------------------------------------------------------------

    // Next node of the current level whose type is in `types` (kNode... bits); elements are
    // stepped over whole. False and no change when none is left.
    bool FindNode(int types = kNodeAny);
    // Type of the current node (kNode...); kNodeNone when nothing is current.
    int GetNodeType() const { return m_nodeType; }
    // Tag name of an element or lone end tag, "#text" (also whitespace), "#cdata-section",
    // "#comment", the target of a processing instruction, the keyword of a declaration, the
    // message of a node error ("#error" when it has none); empty when nothing is current.
    CString GetNodeName() const;
    // Markup of the current node (for an element the whole element); empty when none.
    CString GetNodeText() const;

    // --- Editing ----------------------------------------------------------------------------

    // Adds element `name` with optional `text` after the current node; it becomes current.
    bool AddElement(const wchar_t* name, const wchar_t* text = nullptr, int options = 0);
    // Adds element `name` with optional `text` as a child of the current element after the child
    // position; it becomes the child position.
    bool AddChildElement(const wchar_t* name, const wchar_t* text = nullptr, int options = 0);
    // Adds the root element of the well-formed `document` after the current node; it becomes
    // current. `options` takes kWriteNoLines.
    bool AddSubDocument(const wchar_t* document, int options = 0);
    // Adds the root element of the well-formed `document` as a child of the current element; it
    // becomes the child position.
    bool AddChildSubDocument(const wchar_t* document, int options = 0);
    // Sets attribute `name` of the current element to `value` (null: empty), written in double
    // quotes with quotes escaped; adds it at the end of the start tag when missing.
    bool SetAttribute(const wchar_t* name, const wchar_t* value, int options = 0);
    // Replaces the content of the current element by `text` (null: empty), escaped or as CDATA;
    // its child elements go with the old content.
    bool SetElementText(const wchar_t* text, int options = 0);
    // Removes the current element with everything inside it.
    bool RemoveElement();
    // Removes the current node, element or not.
    bool RemoveNode();

    // --- Saved positions --------------------------------------------------------------------

    // Saves the element position under `name` (null or empty: false), replacing one of the name.
    bool SavePosition(const wchar_t* name);
    // Restores the position saved under `name`; false when there is none.
    bool RestorePosition(const wchar_t* name);

    // --- Files ------------------------------------------------------------------------------

    // Reads a UTF-8 file and parses it; the error text starts with "<n> bytes to <m> wide chars".
    // False, with the system's message and the document unchanged, when it cannot be read.
    bool LoadFile(const wchar_t* path);
    // Writes the document as UTF-8 without byte-order mark through a temporary file renamed over
    // `path`; the error text becomes "<m> wide chars to <n> bytes", or the system's message when
    // it fails (false, the old file untouched).
    bool SaveFile(const wchar_t* path);

    // --- Text encoding ----------------------------------------------------------------------

    // `text` escaped for a document with the kWrite... options kWriteCData, kWriteReferences and
    // kWriteQuotes; null gives "".
    static CString EncodeText(const wchar_t* text, int options = 0);
    // `text` with entities and character references decoded as attribute values are; null: "".
    static CString DecodeText(const wchar_t* text);

    // Number of element records allocated.
    int GetIndexSize() const { return m_index.size(); }

private:
    struct SavedPositions;
    struct Place;
    struct OpenElement;

    using Record = kestrel::xml::ElementRecord;

    Record& record(int i) { return m_index[i]; }
    const Record& record(int i) const { return m_index[i]; }
    const wchar_t* text() const { return m_document.str().data(); }
    int length() const { return m_document.GetLength(); }
    bool ignoreCase() const { return (m_docFlags & kIgnoreCase) != 0; }
    bool hasElement() const { return m_nodeType == kNodeElement && m_currentPos != 0; }
    void resetPositions();

    bool parse();
    int parseElements();
    void closeUnended(std::vector<OpenElement>& stack, std::size_t from, bool& moved);
    bool growIndex();

    std::wstring_view tagName(int i) const;
    bool matches(int i, const wchar_t* name) const;
    int nodeScanStart() const;

    bool fail(const wchar_t* reason);
    bool fits(long long added);
    Place place(bool asChild) const;
    std::wstring endTagOf(int i) const;
    void openElement(int i, std::wstring_view inner, std::wstring_view endTag);
    bool insert(bool asChild, std::wstring markup, const std::vector<Record>& parts, int options);
    void replaceText(int offset, int removed, std::wstring_view text);
    int nextInSubtree(int n, int root) const;
    void shiftSubtree(int i, int delta);
    void shiftAfter(int prev, int parent, int delta);
    void linkAfter(int i, int parent, int prev);
    void appendParsed(int i, int parent, int level, int start, int startTagLength);
    void unlink(int i);
    int allocateRecord();
    void releaseSubtree(int i);
    void dropStalePositions();
    int lineBreakAfter(int offset, int limit) const;
    bool joinsSafely(int start, int end) const;
    bool addElement(bool asChild, const wchar_t* name, const wchar_t* text, int options);
    bool addSubDocument(bool asChild, const wchar_t* document, int options);

    CString m_document;
    CString m_error;
    int m_parentPos = 0;
    int m_currentPos = 0;
    int m_childPos = 0;
    int m_firstFree = 0;
    int m_releasedHead = 0;
    int m_nodeType = 0;
    int m_nodeOffset = 0;
    int m_nodeLength = 0;
    int m_docFlags = 0;
    std::unique_ptr<SavedPositions> m_savedPositions;
    kestrel::xml::ElementIndex m_index;
};
