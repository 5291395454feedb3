// The complete drawing text the reader tests start from.
#include "tests/host/dxf/reader_fixture.h"

namespace dxftest {
namespace {

std::string table(const char* name, const char* handle, const std::string& records) {
    return std::string("0\nTABLE\n2\n") + name + "\n5\n" + handle +
           "\n330\n0\n100\nAcDbSymbolTable\n70\n0\n" + records + "0\nENDTAB\n";
}

std::string record(const char* type, const char* handle, const char* owner, const char* marker,
                   const std::string& fields) {
    return std::string("0\n") + type + "\n5\n" + handle + "\n330\n" + owner +
           "\n100\nAcDbSymbolTableRecord\n100\n" + marker + "\n" + fields;
}

std::string linetype(const char* handle, const char* name) {
    return record("LTYPE", handle, "5", "AcDbLinetypeTableRecord",
                  std::string("2\n") + name + "\n70\n0\n3\n\n72\n65\n73\n0\n40\n0.0\n");
}

std::string blockRecord(const char* handle, const char* name) {
    return record("BLOCK_RECORD", handle, "1", "AcDbBlockTableRecord",
                  std::string("2\n") + name + "\n");
}

std::string block(const char* handle, const char* endHandle, const char* owner, const char* name) {
    return std::string("0\nBLOCK\n5\n") + handle + "\n330\n" + owner +
           "\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockBegin\n2\n" + name +
           "\n70\n0\n10\n0.0\n20\n0.0\n30\n0.0\n3\n" + name + "\n1\n\n0\nENDBLK\n5\n" + endHandle +
           "\n330\n" + owner + "\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockEnd\n";
}

}  // namespace

std::string DrawingText::str() const {
    std::string text = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1024\n9\n$HANDSEED\n5\n100\n" +
                       m_header + "0\nENDSEC\n";
    text += "0\nSECTION\n2\nTABLES\n";
    text += table("VPORT", "8", "");
    text +=
        table("LTYPE", "5",
              linetype("14", "ByBlock") + linetype("15", "ByLayer") + linetype("16", "Continuous"));
    text += table(
        "LAYER", "2",
        record("LAYER", "10", "2", "AcDbLayerTableRecord", "2\n0\n70\n0\n62\n7\n6\nContinuous\n") +
            m_layers);
    text += table("STYLE", "3",
                  record("STYLE", "11", "3", "AcDbTextStyleTableRecord",
                         "2\nStandard\n70\n0\n40\n0.0\n41\n1.0\n50\n0.0\n71\n0\n42\n2.5\n3\n"
                         "txt\n4\n\n"));
    text += table("VIEW", "6", "");
    text += table("UCS", "7", "");
    text += table("APPID", "9",
                  record("APPID", "12", "9", "AcDbRegAppTableRecord", "2\nACAD\n70\n0\n"));
    text += table("DIMSTYLE", "A",
                  "0\nDIMSTYLE\n105\n27\n330\nA\n100\nAcDbSymbolTableRecord\n100\n"
                  "AcDbDimStyleTableRecord\n2\nStandard\n70\n0\n");
    text += table(
        "BLOCK_RECORD", "1",
        blockRecord("1F", "*Model_Space") + blockRecord("1B", "*Paper_Space") + m_blockRecords);
    text += "0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n";
    text += block("20", "21", "1F", "*Model_Space") + block("1C", "1D", "1B", "*Paper_Space");
    text += m_blocks + "0\nENDSEC\n";
    text += "0\nSECTION\n2\nENTITIES\n" + m_entities + "0\nENDSEC\n";
    text += "0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n281\n1\n" +
            m_nodEntries + m_objects + "0\nENDSEC\n0\nEOF\n";
    return text;
}

}  // namespace dxftest
