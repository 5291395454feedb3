// The drawing audit: what the writer makes keeps every rule, and the audit catches each rule
// broken on its own, naming the object and its line.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/dxf/drawing_audit.h"
#include "kestrel/platform/utf8.h"
#include "tests/host/dxf/writer_fixture.h"
#include "tests/support/host_checks.h"

namespace writertest {
namespace {

std::string joined(const std::vector<host::AuditFinding>& findings) {
    std::string text;
    for (const host::AuditFinding& f : findings) {
        text += wideToUtf8(f.text()) + "\n";
    }
    return text;
}

std::string textOfGroups(const std::vector<Group>& groups) {
    std::string text;
    for (const Group& g : groups) {
        text += std::to_string(g.code) + "\n" + g.value + "\n";
    }
    return text;
}

// The index of the group after the object's group 0 that has code and value, or npos.
std::size_t find(const std::vector<Group>& groups, const Group& wanted, std::size_t from = 0) {
    for (std::size_t i = from; i < groups.size(); ++i) {
        if (groups[i] == wanted) {
            return i;
        }
    }
    return std::string::npos;
}

// The group whose code stands on line (counted from 1) of text.
Group groupAtLine(const std::string& text, std::size_t line) {
    std::size_t at = 0;
    for (std::size_t n = 1; n < line && at != std::string::npos; ++n) {
        at = text.find('\n', at) + 1;
    }
    const std::vector<Group> groups = groupsOf(text.substr(at));
    return groups.empty() ? Group{-1, ""} : groups.front();
}

class DrawingAuditTest : public WriterTest {};

TEST_F(DrawingAuditTest, DrawingAuditDefaultAndFullDrawingsKeepEveryRule) {
    AcDbDatabase plain;
    AcDbDatabase full;
    buildDrawing(full);
    for (AcDbDatabase* db : {&plain, &full}) {
        SCOPED_TRACE(db == &plain ? "default drawing" : "drawing with every structure");
        testsupport::expectSoundDrawing(db);
    }
}

TEST_F(DrawingAuditTest, DrawingAuditErasedAndUnownedObjectsLeaveNoDanglingReference) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    for (AcDbObjectId id : {d.line, d.insert}) {
        EXPECT_EQ(open<AcDbEntity>(id, AcDb::kForWrite)->erase(), Acad::eOk);
    }
    EXPECT_EQ(open<AcDbBlockTableRecord>(d.block, AcDb::kForWrite)->erase(), Acad::eOk);
    auto* loose = new AcDbXrecord();
    AcDbObjectId looseId;
    ASSERT_EQ(db.addAcDbObject(looseId, loose), Acad::eOk);
    loose->close();
    const std::string text = textOf(db);
    const auto faults = host::auditDrawingFile(text);
    EXPECT_TRUE(faults.empty()) << joined(faults);
    const auto groups = groupsOf(text);
    for (AcDbObjectId gone : {d.line, d.insert, d.block, looseId}) {
        EXPECT_TRUE(objectGroups(groups, gone).empty());
    }
}

struct Breakage {
    host::AuditCode code;                            // the rule it breaks
    const char* expected;                            // part of the finding it must give
    std::function<void(std::vector<Group>&)> apply;  // breaks one rule
};

TEST_F(DrawingAuditTest, DrawingAuditCatchesEachRuleBrokenAlone) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    const std::vector<Group> good = groupsOf(textOf(db));
    ASSERT_TRUE(host::auditDrawingFile(textOfGroups(good)).empty());
    const std::string line = valueOf(objectGroups(good, d.line), 5);
    const std::string layerZero = valueOf(objectGroups(good, db.layerZero()), 5);
    // Replaces the value of the first group (code, old) at or after the object line's group 0.
    const std::string owner = valueOf(objectGroups(good, d.line), 330);
    const auto replaceInLine = [line](int code, std::string old, std::string value) {
        return [=](std::vector<Group>& g) {
            const std::size_t at = find(g, Group{code, old}, find(g, Group{5, line}));
            ASSERT_NE(at, std::string::npos) << code << " " << old;
            g[at].value = value;
        };
    };
    const std::vector<Breakage> breakages = {
        {host::AuditCode::kSections, "no EOF", [](std::vector<Group>& g) { g.pop_back(); }},
        {host::AuditCode::kSections, "sections out of order",
         [](std::vector<Group>& g) {
             g[find(g, Group{2, "CLASSES"})].value = "CLASSEZ";
         }},
        {host::AuditCode::kHeader, "header lacks $ACADVER",
         [](std::vector<Group>& g) {
             g[find(g, Group{9, "$ACADVER"})].value = "$ACADVERSION";
         }},
        {host::AuditCode::kHandle, "not below $HANDSEED",
         [](std::vector<Group>& g) {
             g[find(g, Group{9, "$HANDSEED"}) + 1].value = "20";
         }},
        {host::AuditCode::kHandle, "handle used twice", replaceInLine(5, line, layerZero)},
        {host::AuditCode::kReference, "which no object has", replaceInLine(330, owner, "FFF")},
        {host::AuditCode::kSubclassMarker, "first subclass marker", replaceInLine(100, "AcDbEntity", "AcDbLine")},
        {host::AuditCode::kUndefinedName, "layer Nowhere does not exist", replaceInLine(8, "Walls", "Nowhere")},
        {host::AuditCode::kXData, "unregistered application", replaceInLine(1001, "KESTREL", "STRANGER")},
        {host::AuditCode::kMissingRecord, "APPID ACAD is missing",
         [](std::vector<Group>& g) {
             g[find(g, Group{2, "ACAD"})].value = "ACAX";
         }},
        {host::AuditCode::kHandle, "carries its handle under 5",
         [](std::vector<Group>& g) {
             g[find(g, Group{0, "DIMSTYLE"}) + 1].code = 5;
         }},
        {host::AuditCode::kPaperSpace, "marked paper space outside it",
         [line](std::vector<Group>& g) {
             const std::size_t at = find(g, Group{100, "AcDbEntity"}, find(g, Group{5, line}));
             g.insert(g.begin() + static_cast<long>(at) + 1, Group{67, "1"});
         }},
        {host::AuditCode::kPaperSpace, "in paper space without 67 1",
         [](std::vector<Group>& g) {
             g.erase(g.begin() + static_cast<long>(find(g, Group{67, "1"})));
         }},
        {host::AuditCode::kXData, "XData text longer than 255", replaceInLine(1000, "two^Jlines", std::string(256, 'x'))},
        {host::AuditCode::kBlock, "has no ENDBLK",
         [](std::vector<Group>& g) {
             g[find(g, Group{0, "ENDBLK"})].value = "ENDBLX";
         }},
    };
    for (const Breakage& b : breakages) {
        std::vector<Group> broken = good;
        b.apply(broken);
        const std::string text = textOfGroups(broken);
        const auto findings = host::auditDrawingFile(text);
        const auto found = std::find_if(findings.begin(), findings.end(), [&](const auto& f) {
            return wideToUtf8(f.text()).find(b.expected) != std::string::npos;
        });
        ASSERT_NE(found, findings.end()) << "expected '" << b.expected << "', got:\n"
                                         << joined(findings);
        EXPECT_EQ(found->code, b.code) << b.expected;
        if (!found->kind.empty()) {  // an object's finding names the line of its group 0
            EXPECT_EQ(groupAtLine(text, found->line), (Group{0, wideToUtf8(found->kind)}))
                << b.expected;
        }
    }
}

TEST_F(DrawingAuditTest, DrawingAuditUnreadableTextAndUnwritableDrawingGiveOneFinding) {
    const auto unreadable =
        host::auditDrawingFile("  0\nSECTION\n  2\nHEADER\nten\n$ACADVER\n");
    ASSERT_EQ(unreadable.size(), 1u);
    EXPECT_EQ(unreadable[0].code, host::AuditCode::kUnreadable);
    EXPECT_EQ(unreadable[0].line, 5u);
    EXPECT_EQ(wideToUtf8(unreadable[0].text()), "line 5: group code 'ten' is not a number");

    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    const auto held = open<AcDbEntity>(d.line, AcDb::kForWrite);
    const auto unwritable = host::auditDrawing(&db);
    ASSERT_EQ(unwritable.size(), 1u);
    EXPECT_EQ(unwritable[0].code, host::AuditCode::kUnreadable);
    EXPECT_NE(wideToUtf8(unwritable[0].fault).find("cannot be written: "), std::string::npos);
}

}  // namespace
}  // namespace writertest
