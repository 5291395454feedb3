// Well-formedness: what the writer makes keeps every strict rule (tests/dxf/wellformed.h), and
// the checker itself catches each rule broken on its own.
#include <functional>
#include <string>
#include <vector>

#include "host/db/block_table.h"
#include "host/db/xrecord.h"
#include "tests/dxf/wellformed.h"
#include "tests/dxf/writer_fixture.h"

namespace writertest {
namespace {

std::string joined(const std::vector<std::string>& faults) {
    std::string text;
    for (const std::string& f : faults) {
        text += f + "\n";
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

class WriterWellFormedTest : public WriterTest {};

TEST_F(WriterWellFormedTest, WriterWellFormedDefaultAndFullDrawingsKeepEveryRule) {
    AcDbDatabase plain;
    AcDbDatabase full;
    buildDrawing(full);
    for (AcDbDatabase* db : {&plain, &full}) {
        SCOPED_TRACE(db == &plain ? "default drawing" : "drawing with every structure");
        const auto faults = dxftest::wellFormednessFaults(textOf(*db));
        EXPECT_TRUE(faults.empty()) << joined(faults);
    }
}

TEST_F(WriterWellFormedTest, WriterWellFormedErasedAndUnownedObjectsLeaveNoDanglingReference) {
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
    const auto faults = dxftest::wellFormednessFaults(text);
    EXPECT_TRUE(faults.empty()) << joined(faults);
    const auto groups = groupsOf(text);
    for (AcDbObjectId gone : {d.line, d.insert, d.block, looseId}) {
        EXPECT_TRUE(objectGroups(groups, gone).empty());
    }
}

struct Breakage {
    const char* expected;                            // part of the fault it must give
    std::function<void(std::vector<Group>&)> apply;  // breaks one rule
};

TEST_F(WriterWellFormedTest, WriterWellFormedCheckerCatchesEachRuleBrokenAlone) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    const std::vector<Group> good = groupsOf(textOf(db));
    ASSERT_TRUE(dxftest::wellFormednessFaults(textOfGroups(good)).empty());
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
        {"no EOF", [](std::vector<Group>& g) { g.pop_back(); }},
        {"sections out of order",
         [](std::vector<Group>& g) {
             g[find(g, Group{2, "CLASSES"})].value = "CLASSEZ";
         }},
        {"header lacks $ACADVER",
         [](std::vector<Group>& g) {
             g[find(g, Group{9, "$ACADVER"})].value = "$ACADVERSION";
         }},
        {"not below $HANDSEED",
         [](std::vector<Group>& g) {
             g[find(g, Group{9, "$HANDSEED"}) + 1].value = "20";
         }},
        {"handle used twice", replaceInLine(5, line, layerZero)},
        {"which no object has", replaceInLine(330, owner, "FFF")},
        {"first subclass marker", replaceInLine(100, "AcDbEntity", "AcDbLine")},
        {"layer Nowhere does not exist", replaceInLine(8, "Walls", "Nowhere")},
        {"unregistered application", replaceInLine(1001, "KESTREL", "STRANGER")},
        {"APPID ACAD is missing",
         [](std::vector<Group>& g) {
             g[find(g, Group{2, "ACAD"})].value = "ACAX";
         }},
        {"carries its handle under 5",
         [](std::vector<Group>& g) {
             g[find(g, Group{0, "DIMSTYLE"}) + 1].code = 5;
         }},
        {"marked paper space outside it",
         [line](std::vector<Group>& g) {
             const std::size_t at = find(g, Group{100, "AcDbEntity"}, find(g, Group{5, line}));
             g.insert(g.begin() + static_cast<long>(at) + 1, Group{67, "1"});
         }},
        {"in paper space without 67 1",
         [](std::vector<Group>& g) {
             g.erase(g.begin() + static_cast<long>(find(g, Group{67, "1"})));
         }},
        {"XData text longer than 255", replaceInLine(1000, "two^Jlines", std::string(256, 'x'))},
        {"has no ENDBLK",
         [](std::vector<Group>& g) {
             g[find(g, Group{0, "ENDBLK"})].value = "ENDBLX";
         }},
    };
    for (const Breakage& b : breakages) {
        std::vector<Group> broken = good;
        b.apply(broken);
        const std::string faults = joined(dxftest::wellFormednessFaults(textOfGroups(broken)));
        EXPECT_NE(faults.find(b.expected), std::string::npos)
            << "expected '" << b.expected << "', got:\n"
            << faults;
    }
}

}  // namespace
}  // namespace writertest
