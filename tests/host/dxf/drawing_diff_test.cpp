// The drawing comparison: two drawings built alike, one of them then changed in one way, differ in
// exactly the objects and groups that change touched; what the writer alone varies never shows.
#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/dxf/drawing_diff.h"
#include "kestrel/host/dxf/read_result.h"
#include "kestrel/platform/utf8.h"
#include "tests/host/dxf/writer_fixture.h"
#include "tests/support/host_checks.h"

namespace writertest {
namespace {

using testsupport::appendEntity;
using testsupport::putRecord;

std::string hex(AcDbObjectId id) {
    return wideToUtf8(id.handle().text());
}

// "changed LINE 2A: [AcDbLine 11]" per object: what, kind, handle (the application for XML
// texts), place, then the context and code of each group.
std::vector<std::string> summary(const host::DrawingDiff& diff) {
    std::vector<std::string> lines;
    for (const host::ObjectDifference& o : diff.objects) {
        const bool xml = o.kind == L"XML";
        std::string line = wideToUtf8(host::diffWhatName(o.what)) + " " + wideToUtf8(o.kind) + " " +
                           wideToUtf8(xml ? o.place : o.handle) +
                           (xml || o.place.empty() ? "" : " in " + wideToUtf8(o.place)) + ":";
        for (const host::GroupDifference& g : o.groups) {
            line += " [" + wideToUtf8(g.context) + " " + std::to_string(g.code) + "]";
        }
        lines.push_back(line);
    }
    return lines;
}

// The XML repository as the module keeps it, its document in pieces of at most piece characters
// from the end: a new record, replacing one there was.
void putRepository(AcDbDatabase& db, const std::wstring& document, std::size_t piece) {
    AcDbObjectId folderId;
    auto root = open<AcDbDictionary>(db.namedObjectsDictionaryId(), AcDb::kForWrite);
    if (root->getAt(L"VLKX_XMLUndo", folderId) != Acad::eOk) {
        auto* folder = new AcDbDictionary();
        EXPECT_EQ(root->setAt(L"VLKX_XMLUndo", folder, folderId), Acad::eOk);
        folder->close();
    }
    root.reset();
    resbuf* items = nullptr;
    for (std::size_t at = document.size(); at > 0;) {
        const std::size_t start = at > piece ? at - piece : 0;
        resbuf* item = acutBuildList(1, document.substr(start, at - start).c_str(), 0);
        item->rbnext = items;
        items = item;
        at = start;
    }
    putRecord(folderId, L"Repository", items);
}

std::wstring repository(const wchar_t* settings) {
    return std::wstring(
               L"<appRepository><repositoryEntry refId=\"App.Notes\"><notes>"
               L"<repositoryEntry refId=\"inner\">n</repositoryEntry></notes>"
               L"</repositoryEntry><repositoryEntry refId=\"App.Settings\">") +
           settings + L"</repositoryEntry></appRepository>";
}

// XData of two applications (ACAD is always registered) on the entity, KESTREL's 1070 being number.
void setXData(AcDbObjectId entity, int number) {
    resbuf* xdata = acutBuildList(1001, L"ACAD", 1000, L"other", 1001, L"KESTREL", 1000,
                                  L"two\nlines", 1070, number, 0);
    EXPECT_EQ(open<AcDbEntity>(entity, AcDb::kForWrite)->setXData(xdata), Acad::eOk);
    acutRelRb(xdata);
}

// buildDrawing's content, XData of two applications on the line, a record "KESTREL_DATA" in the
// named object dictionary and an XML repository of two applications.
Drawing prepare(AcDbDatabase& db) {
    const Drawing d = buildDrawing(db);
    setXData(d.line, 5);
    putRecord(db.namedObjectsDictionaryId(), L"KESTREL_DATA",
              acutBuildList(1, L"settings", 70, 1, 0));
    putRepository(db, repository(L"<s u=\"mm\"/>"), 1000);
    return d;
}

class DrawingDiffTest : public WriterTest {};

TEST_F(DrawingDiffTest, DrawingDiffShowsExactlyTheObjectsAndGroupsAChangeTouched) {
    using Change = std::function<std::vector<std::string>(AcDbDatabase&, const Drawing&)>;
    const std::pair<const char*, Change> cases[] = {
        {"nothing changed",
         [](AcDbDatabase&, const Drawing&) { return std::vector<std::string>{}; }},
        // The dimension's block, which the writer makes with handles after the new ones, is
        // matched by its dimension; the layer table's count of records is not compared.
        {"entity added on a new layer",
         [](AcDbDatabase& db, const Drawing&) {
             const AcDbObjectId layer =
                 testsupport::addRecord<AcDbLayerTable>(&db, new AcDbLayerTableRecord(), L"NEW");
             auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0));
             line->setLayer(layer);
             const AcDbObjectId id = appendEntity(line, db.modelSpaceId());
             return std::vector<std::string>{"added LAYER " + hex(layer) + ":",
                                             "added LINE " + hex(id) + ":"};
         }},
        {"entity removed",
         [](AcDbDatabase&, const Drawing& d) {
             EXPECT_EQ(open<AcDbEntity>(d.arc, AcDb::kForWrite)->erase(), Acad::eOk);
             return std::vector<std::string>{"removed ARC " + hex(d.arc) + ":"};
         }},
        {"value changed",
         [](AcDbDatabase&, const Drawing& d) {
             open<AcDbLine>(d.line, AcDb::kForWrite)->setEndPoint(AcGePoint3d(5, 0, 0));
             return std::vector<std::string>{"changed LINE " + hex(d.line) + ": [AcDbLine 11]"};
         }},
        {"XData of one application changed",
         [](AcDbDatabase&, const Drawing& d) {
             setXData(d.line, 6);
             return std::vector<std::string>{"changed LINE " + hex(d.line) +
                                             ": [XData KESTREL 1070]"};
         }},
        {"extension dictionary entry added",
         [](AcDbDatabase&, const Drawing& d) {
             const AcDbObjectId xdict = open<AcDbEntity>(d.circle)->extensionDictionary();
             const AcDbObjectId id = putRecord(xdict, L"MORE", acutBuildList(1, L"more", 0));
             const std::string place = "extension dictionary of CIRCLE " + hex(d.circle);
             return std::vector<std::string>{
                 "changed DICTIONARY " + hex(xdict) + " in " + place + ": [entry MORE 360]",
                 "added XRECORD " + hex(id) + " in " + place + "/MORE:"};
         }},
        {"named dictionary entry changed",
         [](AcDbDatabase& db, const Drawing&) {
             AcDbObjectId id;
             EXPECT_EQ(
                 open<AcDbDictionary>(db.namedObjectsDictionaryId())->getAt(L"KESTREL_DATA", id),
                 Acad::eOk);
             resbuf* items = acutBuildList(1, L"settings", 70, 2, 0);
             EXPECT_EQ(open<AcDbXrecord>(id, AcDb::kForWrite)->setFromRbChain(items), Acad::eOk);
             acutRelRb(items);
             return std::vector<std::string>{"changed XRECORD " + hex(id) +
                                             " in KESTREL_DATA: [AcDbXrecord 70]"};
         }},
        // Replaced by a record cut into other pieces, as the module replaces it, the repository's
        // text is the same but for one application's.
        {"XML application text changed",
         [](AcDbDatabase& db, const Drawing&) {
             putRepository(db, repository(L"<s u=\"inch\"/>"), 30);
             return std::vector<std::string>{"changed XML App.Settings: [App.Settings 1]"};
         }},
    };
    for (const auto& [name, change] : cases) {
        SCOPED_TRACE(name);
        AcDbDatabase before;
        AcDbDatabase after;
        std::vector<std::string> expected;
        for (AcDbDatabase* db : {&before, &after}) {
            const Drawing d = prepare(*db);
            if (db == &after) {
                expected = change(*db, d);
            }
        }
        const host::DrawingDiff diff = host::diffDrawings(&before, &after);
        ASSERT_TRUE(diff.ok()) << wideToUtf8(diff.oldError + diff.newError);
        EXPECT_EQ(summary(diff), expected) << wideToUtf8(diff.text());
        EXPECT_EQ(diff.same(), expected.empty());
        EXPECT_TRUE(host::openObjects().empty());
    }
}

// What the file alone varies is no difference: read back and saved, the drawing holds what the
// writer made for the dimension as a block of its own, written with every default; times, the
// handle seed and the like differ from save to save; groups may come in another order. Other
// header variables differ.
TEST_F(DrawingDiffTest, DrawingDiffIgnoresWhatTheFileAloneVaries) {
    AcDbDatabase db;
    buildDrawing(db);
    const std::string text = textOf(db);
    std::ofstream(path("saved.dxf"), std::ios::binary) << text;
    AcDbDatabase read(false, true);
    ASSERT_TRUE(host::readDrawingFile(&read, widePath("saved.dxf")).ok());
    const host::DrawingDiff again = host::diffDrawings(&db, &read);
    EXPECT_TRUE(again.same()) << wideToUtf8(again.text());
    EXPECT_NE(textOf(read), text);

    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = text;
        const std::size_t at = changed.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? changed : changed.replace(at, from.size(), to);
    };
    const std::string stamped =
        replaced("$HANDSEED\n  5\n",
                 "$TDUPDATE\n 40\n2460000.5\n  9\n$VERSIONGUID\n  2\n{A}\n  9\n$HANDSEED\n  5\nFF");
    EXPECT_TRUE(host::diffDrawingFiles(text, stamped).same())
        << wideToUtf8(host::diffDrawingFiles(text, stamped).text());
    // Progress: each drawing's objects counted up to all of them, the old drawing first.
    std::vector<std::tuple<int, std::size_t, std::size_t>> told;
    host::diffDrawingFiles(text, stamped, [&](int drawing, std::size_t done, std::size_t total) {
        told.emplace_back(drawing, done, total);
    });
    ASSERT_FALSE(told.empty());
    const std::size_t objects = std::get<2>(told.front());
    ASSERT_EQ(told.size(), 2 * objects);
    for (std::size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i], std::make_tuple(i < objects ? 0 : 1, i % objects + 1, objects));
    }
    const std::string restamped =
        replaced("$HANDSEED\n  5\n",
                 "$TDUPDATE\n 40\n2460001.5\n  9\n$VERSIONGUID\n  2\n{B}\n  9\n$HANDSEED\n  5\n1");
    EXPECT_TRUE(host::diffDrawingFiles(stamped, restamped).same());

    // A line's end point moved before its start point: groups of other codes in another order.
    const std::size_t start = text.find("AcDbLine\n 10\n") + 9;
    const std::size_t end = text.find(" 11\n", start);
    const std::size_t endZ = text.find(" 31\n", end);
    ASSERT_NE(endZ, std::string::npos);
    const std::size_t after = text.find('\n', endZ + 4) + 1;
    const std::string reordered = text.substr(0, start) + text.substr(end, after - end) +
                                  text.substr(start, end - start) + text.substr(after);
    EXPECT_NE(reordered, text);
    EXPECT_TRUE(host::diffDrawingFiles(text, reordered).same());

    const host::DrawingDiff scale =
        host::diffDrawingFiles(text, replaced("$LTSCALE\n 40\n1.0\n", "$LTSCALE\n 40\n2.5\n"));
    ASSERT_EQ(scale.objects.size(), 1u) << wideToUtf8(scale.text());
    const std::size_t line = static_cast<std::size_t>(
        std::count(text.begin(), text.begin() + text.find("$LTSCALE"), '\n') + 2);
    EXPECT_EQ(scale.objects[0].groups.at(0).text(), L"$LTSCALE 40: 1 -> 2.5 (lines " +
                                                        std::to_wstring(line) + L", " +
                                                        std::to_wstring(line) + L")");

    const host::DrawingDiff unreadable = host::diffDrawingFiles(text, "0\nLINE\n10\nx\n");
    EXPECT_FALSE(unreadable.ok());
    EXPECT_TRUE(unreadable.oldError.empty());
    EXPECT_NE(unreadable.newError.find(L"line 4: group 10"), std::wstring::npos)
        << wideToUtf8(unreadable.newError);
    EXPECT_TRUE(unreadable.objects.empty());
    EXPECT_FALSE(host::diffDrawingFiles("", text).ok());
}

}  // namespace
}  // namespace writertest
