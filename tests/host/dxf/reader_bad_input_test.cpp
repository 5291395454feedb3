// Damaged and wrong input, broken one thing at a time: each read fails with its status and a
// message saying where and what, and leaves the database exactly as it was.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/raw_object.h"
#include "tests/host/dxf/reader_fixture.h"

namespace {

using dxftest::DrawingText;
using dxftest::open;

const std::string kLine =
    "100\nAcDbEntity\n8\n0\n100\nAcDbLine\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n"
    "31\n0\n";

// A database with one line of its own; checks that a failed read changed none of it.
class DxfReaderBadInput : public dxftest::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        m_line = testsupport::appendEntity(new AcDbLine(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 5, 6)),
                                           m_db.modelSpaceId());
        m_objects = m_db.approxNumObjects();
        m_seed = m_db.handseed();
        m_layerZero = m_db.layerZero();
    }

    // Reads bytes, expects status and a message containing each of the parts.
    void expectRefused(const std::string& bytes, Acad::ErrorStatus status,
                       std::initializer_list<const char*> parts) {
        EXPECT_EQ(readText(m_db, bytes), status) << message();
        for (const char* part : parts) {
            EXPECT_NE(message().find(part), std::string::npos)
                << "'" << part << "' not in: " << message();
        }
        expectUnchanged();
    }

    void expectUnchanged() {
        EXPECT_EQ(m_db.approxNumObjects(), m_objects);
        EXPECT_EQ(m_db.handseed(), m_seed);
        EXPECT_EQ(m_db.layerZero(), m_layerZero);
        auto line = open<AcDbLine>(m_line);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->endPoint(), AcGePoint3d(4, 5, 6));
        EXPECT_EQ(line->ownerId(), m_db.modelSpaceId());
    }

    AcDbDatabase m_db{true, true};
    AcDbObjectId m_line;
    AcDbObjectId m_layerZero;
    std::int64_t m_objects = 0;
    AcDbHandle m_seed;
};

TEST_F(DxfReaderBadInput, FilesThatCannotBeRead) {
    const std::wstring missing = m_files.widePath("missing.dxf");
    EXPECT_EQ(m_db.readDwgFile(missing.c_str()), Acad::eFileNotFound);
    EXPECT_EQ(message(), wideToUtf8(missing) + ": no such file");
    expectUnchanged();

    const std::wstring folder = utf8ToWide(m_files.folder().string());
    EXPECT_EQ(m_db.readDwgFile(folder.c_str()), Acad::eFileAccessError);
    EXPECT_EQ(message(), wideToUtf8(folder) + ": not a file");
    expectUnchanged();

    EXPECT_EQ(m_db.readDwgFile(nullptr), Acad::eInvalidInput);
    EXPECT_EQ(m_db.readDwgFile(L""), Acad::eInvalidInput);
    expectUnchanged();

    const std::wstring locked = write("locked.dxf", DrawingText().str());
    std::filesystem::permissions(m_files.path("locked.dxf"), std::filesystem::perms::none);
    if (geteuid() != 0) {  // the superuser reads any file
        EXPECT_EQ(m_db.readDwgFile(locked.c_str()), Acad::eFileAccessError);
        EXPECT_NE(message().find("cannot be opened for reading"), std::string::npos);
        expectUnchanged();
    }
    std::filesystem::permissions(m_files.path("locked.dxf"), std::filesystem::perms::owner_all);
}

TEST_F(DxfReaderBadInput, ReadsAreRefusedWhileObjectsAreOpen) {
    {
        auto line = open<AcDbLine>(m_line);
        EXPECT_EQ(readText(m_db, DrawingText().str()), Acad::eWasOpenForWrite);
    }
    expectUnchanged();
}

TEST_F(DxfReaderBadInput, ATruncatedFileIsCutShort) {
    const std::string whole = DrawingText().entities("0\nLINE\n5\n1A5\n330\n1F\n" + kLine).str();
    const auto lines = std::count(whole.begin(), whole.end(), '\n');
    expectRefused(
        whole.substr(0, whole.size() - 6), Acad::eDxfReadFailed,
        {("line " + std::to_string(lines - 1) + ": the file ends without 0 EOF: it is cut short")
             .c_str()});
    const std::size_t inEntities = whole.find("AcDbLine\n") + 9;
    expectRefused(whole.substr(0, inEntities), Acad::eDxfReadFailed, {"cut short"});
    expectRefused(whole.substr(0, inEntities - 1), Acad::eDxfReadFailed, {"cut short"});
    expectRefused(whole.substr(0, inEntities - 10), Acad::eInvalidDxfCode,
                  {"ends before the value of group code 100"});
    expectRefused("", Acad::eDxfReadFailed, {"line 1: the file ends without 0 EOF"});
    expectRefused("0\nSECTION\n2\nHEADER\n0\nEOF\n", Acad::eBadDxfSequence,
                  {"line 5: section HEADER is not closed by 0 ENDSEC"});
}

// The structure breaks at line 1, the codes later: the codes are the cause.
TEST_F(DxfReaderBadInput, DamagedCodesAreBlamedBeforeTheStructure) {
    expectRefused("0\nLINE\n1x\nA\n0\nEOF\n", Acad::eInvalidDxfCode,
                  {"line 3: group code '1x' is not a number"});
    expectRefused("0\nLINE\n8\n0\n", Acad::eDxfReadFailed,
                  {"line 5: the file ends without 0 EOF: it is cut short"});
}

TEST_F(DxfReaderBadInput, WrongCodesAndValuesNameTheirLine) {
    const std::string good = DrawingText().entities("0\nLINE\n5\n1A5\n330\n1F\n" + kLine).str();
    const std::size_t at = good.find("11\n1\n21");
    const auto lineOf = [&](std::size_t offset) {
        return "line " + std::to_string(std::count(good.begin(), good.begin() + offset, '\n') + 1) +
               ":";
    };
    std::string wrongCode = good;
    wrongCode.replace(at, 2, "1x");
    expectRefused(wrongCode, Acad::eInvalidDxfCode,
                  {lineOf(at).c_str(), "group code '1x' is not a number"});
    std::string wrongValue = good;
    wrongValue.replace(at + 3, 1, "one");
    expectRefused(wrongValue, Acad::eInvalidDxfCode,
                  {lineOf(at + 3).c_str(), "group 11: 'one' is not a finite number"});
    std::string unknownCode = good;
    unknownCode.replace(at, 2, "185");
    expectRefused(unknownCode, Acad::eInvalidDxfCode, {"unknown group code 185"});
}

TEST_F(DxfReaderBadInput, BrokenStructure) {
    expectRefused("0\nLINE\n0\nEOF\n", Acad::eBadDxfSequence,
                  {"line 1: expected 0 SECTION, found group 0 'LINE'"});
    expectRefused("0\nSECTION\n2\nHEADER\n0\nENDSEC\n0\nSECTION\n2\nHEADER\n0\nENDSEC\n0\nEOF\n",
                  Acad::eBadDxfSequence, {"line 9: second HEADER section"});
    expectRefused(DrawingText().entities(std::string("0\nCIRCLE\0\3\n8\n0\n", 15)).str(),
                  Acad::eBadDxfSequence, {"is not a name"});
    // A BLOCK whose ENDBLK was lost reads the next BLOCK as one of its entities.
    expectRefused(DrawingText().blocks("0\nBLOCK\n2\nA\n0\nBLOCK\n2\nB\n0\nENDBLK\n").str(),
                  Acad::eBadDxfSequence, {"0 BLOCK where an entity belongs"});
    expectRefused(DrawingText().objects("0\nTABLE\n5\n300\n330\nC\n").str(), Acad::eBadDxfSequence,
                  {"0 TABLE where an object belongs"});
    // A table record must be of its table's class: one laid out otherwise is not kept raw.
    expectRefused(
        DrawingText().layers("0\nLAYER\n5\n100\n330\n2\n100\nAcDbSymbolTableRecord\n2\nX\n").str(),
        Acad::eBadDxfSequence, {"expected subclass marker AcDbLayerTableRecord"});
    const std::string noEnd = DrawingText().blocks("0\nBLOCK\n5\n111\n330\n1F\n").str();
    expectRefused(noEnd, Acad::eBadDxfSequence, {"a block is not closed by 0 ENDBLK"});
    const std::string halfMarked =
        DrawingText().blocks("0\nBLOCK\n5\n111\n100\nAcDbEntity\n2\nB\n0\nENDBLK\n").str();
    expectRefused(halfMarked, Acad::eBadDxfSequence, {"BLOCK without its AcDbBlockBegin part"});
    // A vertex after a polyline of the other kind, and a polyline without its end.
    const std::string planar =
        "0\nPOLYLINE\n5\n200\n330\n1F\n100\nAcDbEntity\n8\n0\n100\n"
        "AcDb2dPolyline\n66\n1\n10\n0\n20\n0\n30\n0\n";
    const std::string spatialVertex =
        "0\nVERTEX\n5\n201\n330\n200\n100\nAcDbEntity\n8\n0\n100\n"
        "AcDbVertex\n100\nAcDb3dPolylineVertex\n10\n1\n20\n1\n30\n1\n"
        "70\n32\n";
    expectRefused(DrawingText().entities(planar + spatialVertex + "0\nSEQEND\n5\n202\n").str(),
                  Acad::eBadDxfSequence, {"VERTEX does not fit the POLYLINE"});
    expectRefused(DrawingText().entities(planar).str(), Acad::eBadDxfSequence,
                  {"POLYLINE is not closed by 0 SEQEND"});
}

TEST_F(DxfReaderBadInput, AbsurdSizesAreRefusedWithoutAllocatingThem) {
    expectRefused(DrawingText().entities("0\nLINE\n5\n1A5\n330\n1F\n62\n99999\n").str(),
                  Acad::eInvalidDxfCode, {"group 62: '99999' is out of range"});
    std::string xdata = "1001\nACAD\n";
    for (int i = 0; i < 40; ++i) {
        xdata += "1000\n" + std::string(250, 'x') + "\n";
    }
    const std::string text =
        DrawingText().entities("0\nLINE\n5\n1A5\n330\n1F\n" + kLine + xdata).str();
    const auto line = std::count(text.begin(), text.begin() + text.find("LINE\n5\n1A5"), '\n');
    expectRefused(text, Acad::eXDataSizeExceeded,
                  {("line " + std::to_string(line) + ": LINE: XData refused").c_str()});
}

// A count far beyond what follows is not believed: the class refuses the polyline and it is
// kept as it came, without room made for the vertices it announces.
TEST_F(DxfReaderBadInput, AnAnnouncedCountIsNotBelieved) {
    const std::string huge =
        "0\nLWPOLYLINE\n5\n1A5\n330\n1F\n100\nAcDbEntity\n8\n0\n100\n"
        "AcDbPolyline\n90\n2000000000\n70\n0\n10\n0\n20\n0\n";
    AcDbDatabase db(false, true);
    ASSERT_EQ(readText(db, DrawingText().entities(huge).str()), Acad::eOk) << message();
    auto kept = open<AcDbRawEntity>(dxftest::idOfHandle(db, L"1A5"));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->dxfName(), L"LWPOLYLINE");
    EXPECT_NE(std::find(kept->groups().begin(), kept->groups().end(),
                        host::DxfItem{90, std::int64_t{2000000000}}),
              kept->groups().end());
}

// Every cut of a real file fails cleanly (or reads, when the cut falls after EOF); every
// flipped byte either reads or fails with a message.
TEST_F(DxfReaderBadInput, CutsAndFlippedBytesOfARealFile) {
    std::ifstream in(dxftest::sampleFile("ezdxf_sample.dxf"), std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(whole.size(), 1000u);
    for (std::size_t cut = 0; cut < whole.size(); cut += whole.size() / 17) {
        EXPECT_NE(readText(m_db, whole.substr(0, cut)), Acad::eOk) << cut;
        EXPECT_EQ(message().find(wideToUtf8(m_files.widePath("read.dxf")) + ": line "), 0u)
            << message();
        expectUnchanged();
    }
    for (std::size_t at = 7; at < whole.size(); at += whole.size() / 23) {
        std::string flipped = whole;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x5A);
        AcDbDatabase db(false, true);
        if (readText(db, flipped) != Acad::eOk) {
            EXPECT_FALSE(message().empty());
        }
    }
}

}  // namespace
