// dxflib and DIME as the drawing-file benchmarks use them (see dxf_peer_libraries.h).
#include "bench/support/dxf_peer_libraries.h"

#include <dime/Input.h>
#include <dime/Model.h>
#include <dime/Output.h>
#include <dime/entities/Line.h>
#include <dime/sections/EntitiesSection.h>
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "kestrel/host/sample_drawings.h"

namespace dxfbench {
namespace {

// Keeps what dxflib reports, as an application building its own model of the drawing would.
class KeepingAdapter : public DL_CreationAdapter {
public:
    void addLayer(const DL_LayerData& data) override { m_texts.push_back(data.name); }
    void addLine(const DL_LineData& data) override { m_lines.push_back(data); }
    void addPolyline(const DL_PolylineData& data) override { m_polylines.push_back(data); }
    void addVertex(const DL_VertexData& data) override { m_vertices.push_back(data); }
    void addXRecord(const std::string& handle) override { m_texts.push_back(handle); }
    void addXRecordString(int, const std::string& value) override { m_texts.push_back(value); }
    void addXRecordReal(int, double value) override { m_reals.push_back(value); }
    void addXRecordInt(int, int value) override { m_integers.push_back(value); }
    void addXRecordBool(int, bool value) override { m_integers.push_back(value); }
    void addXDataApp(const std::string& name) override { m_texts.push_back(name); }
    void addXDataString(int, const std::string& value) override { m_texts.push_back(value); }
    void addXDataReal(int, double value) override { m_reals.push_back(value); }
    void addXDataInt(int, int value) override { m_integers.push_back(value); }
    void addDictionary(const DL_DictionaryData& data) override { m_texts.push_back(data.handle); }
    void addDictionaryEntry(const DL_DictionaryEntryData& data) override {
        m_texts.push_back(data.name);
        m_texts.push_back(data.handle);
    }

private:
    std::vector<DL_LineData> m_lines;
    std::vector<DL_PolylineData> m_polylines;
    std::vector<DL_VertexData> m_vertices;
    std::vector<std::string> m_texts;
    std::vector<double> m_reals;
    std::vector<int> m_integers;
};

// What DIME prints to the standard error while reading path again (DIME reports its reading
// errors there only), its lines joined by "; ".
std::string dimeMessages(const std::string& path) {
    FILE* capture = std::tmpfile();
    if (capture == nullptr) {
        return "";
    }
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(fileno(capture), 2);
    {
        dimeInput input;
        dimeModel model;
        input.setFile(path.c_str()) && model.read(&input);
    }
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::rewind(capture);
    std::string messages;
    char line[512];
    while (std::fgets(line, sizeof line, capture) != nullptr) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        messages += (messages.empty() || text.empty() ? "" : "; ") + text;
    }
    std::fclose(capture);
    return messages;
}

// Header, tables and blocks of a file, as dxflib's documentation writes them.
void writeDxflibPreamble(DL_Dxf& dxf, DL_WriterA& writer) {
    dxf.writeHeader(writer);
    writer.sectionEnd();
    writer.sectionTables();
    dxf.writeVPort(writer);
    writer.tableLinetypes(3);
    dxf.writeLinetype(writer, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(writer, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(writer, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    writer.tableEnd();
    writer.tableLayers(1);
    dxf.writeLayer(writer, DL_LayerData("0", 0),
                   DL_Attributes("", DL_Codes::black, 100, "CONTINUOUS", 1.0));
    writer.tableEnd();
    writer.tableStyle(1);
    dxf.writeStyle(writer, DL_StyleData("standard", 0, 2.5, 1.0, 0.0, 0, 2.5, "txt", ""));
    writer.tableEnd();
    dxf.writeView(writer);
    dxf.writeUcs(writer);
    writer.tableAppid(1);
    dxf.writeAppid(writer, "ACAD");
    writer.tableEnd();
    dxf.writeDimStyle(writer, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(writer);
    writer.tableEnd();
    writer.sectionEnd();
    writer.sectionBlocks();
    for (const char* name : {"*Model_Space", "*Paper_Space"}) {
        dxf.writeBlock(writer, DL_BlockData(name, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(writer, name);
    }
    writer.sectionEnd();
}

}  // namespace

RunResult loadWithDxflib(const std::string& path) {
    auto adapter = std::make_shared<KeepingAdapter>();
    DL_Dxf dxf;
    if (!dxf.in(path, adapter.get())) {
        return {nullptr, "dxflib cannot open the file"};
    }
    return {adapter, {}};
}

RunResult loadWithDime(const std::string& path) {
    auto model = std::make_shared<dimeModel>();
    dimeInput input;
    if (!input.setFile(path.c_str())) {
        return {nullptr, "DIME cannot open the file"};
    }
    if (!model->read(&input)) {
        return {nullptr, "DIME cannot read the file: " + dimeMessages(path)};
    }
    return {model, {}};
}

RunResult saveLinesWithDxflib(int count, const std::string& path) {
    DL_Dxf dxf;
    const std::unique_ptr<DL_WriterA> writer(dxf.out(path.c_str(), DL_Codes::AC1015));
    if (writer == nullptr) {
        return {nullptr, "dxflib cannot open " + path};
    }
    writeDxflibPreamble(dxf, *writer);
    writer->sectionEntities();
    const DL_Attributes attributes("0", 256, -1, "BYLAYER", 1.0);
    for (int i = 0; i < count; ++i) {
        const host::SampleLine line = host::sampleLine(i);
        dxf.writeLine(*writer,
                      DL_LineData(line.start.x, line.start.y, line.start.z, line.end.x, line.end.y,
                                  line.end.z),
                      attributes);
    }
    writer->sectionEnd();
    dxf.writeObjects(*writer);
    dxf.writeObjectsEnd(*writer);
    writer->dxfEOF();
    writer->close();
    return {};
}

std::shared_ptr<dimeModel> dimeLineModel(int count) {
    auto model = std::make_shared<dimeModel>();
    model->insertSection(new dimeEntitiesSection());
    for (int i = 0; i < count; ++i) {
        const host::SampleLine line = host::sampleLine(i);
        auto* entity = new dimeLine();
        entity->setCoords(0, dimeVec3f(line.start.x, line.start.y, line.start.z));
        entity->setCoords(1, dimeVec3f(line.end.x, line.end.y, line.end.z));
        model->addEntity(entity);
    }
    return model;
}

RunResult saveWithDime(dimeModel& model, const std::string& path) {
    dimeOutput output;
    if (!output.setFilename(path.c_str())) {
        return {nullptr, "DIME cannot open " + path};
    }
    if (!model.write(&output)) {
        return {nullptr, "DIME cannot write " + path};
    }
    return {};
}

}  // namespace dxfbench
