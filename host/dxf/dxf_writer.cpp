// The DXF writer: a first pass plans which objects the file holds and the figures the header and
// CLASSES need (extents, handle seed, class counts, dimension blocks), then the sections are
// streamed in file order. Facts about an object's class are looked up once per class.
#include "kestrel/host/dxf/dxf_writer.h"

#include <cmath>
#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "host/db/object_store.h"
#include "host/dxf/dxf_conventions.h"
#include "host/dxf/dxf_text_writer.h"
#include "host/dxf/flat_marks.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/dimension_graphics.h"
#include "kestrel/host/db/entities/owned_entities.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/sequence_end.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/raw_object.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/symbol_table.h"
#include "kestrel/host/ge/extents.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/platform/utf8.h"

namespace host::dxf {
namespace {

// An entity's thickness along its extrusion direction.
constexpr int kThicknessCode = 39;

// What the file filer needs to know of the object being written.
struct ObjectContext {
    std::wstring_view dxfName;
    const wchar_t* tableName = nullptr;       // set for a symbol table: "2 NAME" follows "0 TABLE"
    const wchar_t* dimensionBlock = nullptr;  // set for a dimension given a block by the writer
    bool entity = false;
    bool raw = false;  // kept as read: its groups hold the file's own values
    bool paperSpace = false;
    bool dimStyle = false;
};

class DrawingWriter;

// The filer objects write a file through: converts angles and points to the file's conventions,
// names references by handle, and adds the groups a file needs around the object's own.
class FileFiler : public AcDbDxfFiler {
public:
    FileFiler(AcDbDatabase* db, DxfTextWriter& out, DrawingWriter& writer)
        : AcDbDxfFiler(AcDb::kFileFiler, db), m_out(out), m_writer(writer) {}

    void beginObject(const ObjectContext& context) {
        m_context = context;
        m_inXData = false;
        m_inDimension = false;
    }

protected:
    Acad::ErrorStatus nextItem(const DxfItem*&) override { return Acad::eEndOfFile; }
    bool sourceExhausted() const override { return true; }
    Acad::ErrorStatus putItem(const DxfItem& item) override;

private:
    // A real; an angle (in radians) goes to the file in degrees.
    Acad::ErrorStatus putReal(int code, double value, bool angle);
    // A point with its Z group unless it is a 2D point (read without Z, or filed as 2D).
    Acad::ErrorStatus putPoint(int code, const AcGePoint3d& point, bool point2d);

    DxfTextWriter& m_out;
    DrawingWriter& m_writer;  // names the objects references point at
    ObjectContext m_context;
    bool m_inXData = false;
    bool m_inDimension = false;  // inside the AcDbDimension subclass of such a dimension
};

Acad::ErrorStatus FileFiler::putReal(int code, double value, bool angle) {
    if (!std::isfinite(value)) {
        return setError(Acad::eInvalidInput, L"group %d holds a real that is not finite", code);
    }
    if (angle) {
        m_out.angle(code, value);
    } else {
        m_out.real(code, value);
    }
    return Acad::eOk;
}

Acad::ErrorStatus FileFiler::putPoint(int code, const AcGePoint3d& p, bool point2d) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
        return setError(Acad::eInvalidInput, L"group %d holds a point that is not finite", code);
    }
    m_out.point(code, p, !point2d);
    return Acad::eOk;
}

// One CLASS record of the CLASSES section.
struct ClassEntry {
    std::wstring className;
    std::wstring appName;
    int proxyFlags = 0;
    bool entity = false;
    int count = 0;
    bool operator==(const ClassEntry&) const = default;
};

// The application the CLASSES section names for the host's own classes and for kept objects.
constexpr const wchar_t* kStandardClassApp = L"ObjectDBX Classes";

std::wstring classApp(const AcRxClass* cls) {
    const wchar_t* app = cls->appName();
    return app == nullptr || std::wstring_view(app) == L"DrawHost" ? kStandardClassApp : app;
}

// The anonymous block the writer adds for a dimension that has no block of its own, drawing it
// (see dimension_graphics.h): other programs require every dimension to name the block that
// shows it, and show what that block holds.
struct DimensionBlock {
    std::wstring name;
    std::uint64_t record = 0;
    DimensionGraphics graphics;
};

// Fills a CLASS record: the format's own for well-known names, else the registered class's
// (objects kept raw name their DXF name as class).
void describeClass(ClassEntry& entry, const ObjectContext& context, const AcRxClass* cls) {
    if (const ClassRecord* known = findClassRecord(context.dxfName)) {
        entry.className = known->className;
        entry.appName = known->appName;
        entry.proxyFlags = known->proxyFlags;
    } else {
        entry.className = context.raw ? std::wstring(context.dxfName) : cls->name();
        entry.appName = context.raw ? kStandardClassApp : classApp(cls);
        entry.proxyFlags = context.raw ? 0 : cls->proxyFlags();
    }
    entry.entity = context.entity;
}

// Marks of the reachability walk (0: not decided yet).
constexpr std::uint8_t kUnreachable = 1;
constexpr std::uint8_t kReachable = 2;

// Closes an object opened by the writer.
struct Closer {
    void operator()(AcDbObject* object) const { object->close(); }
};
using Opened = std::unique_ptr<AcDbObject, Closer>;

// What the writer needs to know of a class, the same for all its objects (a raw object's DXF
// name is its own: dxfName and builtIn do not hold for raw classes).
struct ClassInfo {
    const AcRxClass* cls = nullptr;
    const wchar_t* dxfName = nullptr;
    bool builtIn = false;
    bool entity = false;
    bool raw = false;
    bool dimension = false;
    bool dimStyle = false;
    bool symbolTable = false;
    bool symbolRecord = false;
    bool ownsEntities = false;  // vertices or attributes, and a sequence end
};

// Figures the first pass finds for the header and CLASSES.
struct Plan {
    AcDbExtents extents;
    std::uint64_t handseed = 0;
    std::map<std::wstring, ClassEntry> classes;
};

// The room a text in memory reserves per object of the database, about what drawings need, so
// that the string rarely grows (each growth copies the whole text).
constexpr std::size_t kBytesPerObject = 256;

// A sink that drops what it is given: the first pass measured alone.
class DroppingSink final : public DxfSink {
public:
    int write(std::string_view) override { return 0; }
    int rewind() override { return 0; }
};

// A walk of the entities of an open block, in order, that goes on once the block is closed.
std::unique_ptr<AcDbBlockTableRecordIterator> blockEntities(const AcDbObject* block) {
    AcDbBlockTableRecordIterator* created = nullptr;
    AcDbBlockTableRecord::cast(block)->newIterator(created);
    return std::unique_ptr<AcDbBlockTableRecordIterator>(created);
}

class DrawingWriter {
public:
    DrawingWriter(AcDbDatabase* db, DxfSink& sink)
        : m_db(db),
          m_out(sink),
          m_filer(db, m_out, *this),
          m_nextHandle(db->handseed().value()) {}

    WriteResult write();
    // The first pass alone.
    WriteResult planOnly();

    // The handle a file names id by: 0 for objects the file leaves out. References repeat (an
    // owner, a layer), so the last answer is kept.
    std::uint64_t handleOf(const AcDbObjectId& id) {
        if (id != m_lastReference) {
            m_lastReference = id;
            m_lastReferenceHandle = isWritten(id) ? id.handle().value() : 0;
        }
        return m_lastReferenceHandle;
    }

private:
    bool isWritten(const AcDbObjectId& id);
    bool hasDrawing();
    bool reachable(const AcDbObject* object);
    ClassInfo classInfo(const AcDbObject* object);
    void plan();
    void planClass(const AcDbObject* object, const ClassInfo& info);
    void planDimensionBlocks(const std::vector<AcDbObjectId>& dimensions);
    void planExtents();
    void planHandseed();
    bool writeSections();
    bool failSink();
    void writeDimensionBlockRecords();
    void writeDimensionBlocks();
    void writeDimensionGraphics(const DimensionBlock& block);
    // Group 0 and the entity groups every graphic of a dimension block starts with.
    void beginGraphic(const char* dxfName, std::uint64_t record, const char* subclass);

    bool fail(Acad::ErrorStatus status, const std::wstring& message);
    bool failObject(Acad::ErrorStatus status, const AcDbObject* object, const std::wstring& what);
    bool open(AcDbObjectId id, Opened& object);
    bool checkXData(const AcDbObject* object);
    // Writes an open object of the class info describes.
    bool writeOpened(const AcDbObject* object, const ClassInfo& info, ObjectContext context);
    bool writeObject(AcDbObjectId id, ObjectContext context = {});
    bool writeEntity(AcDbObjectId id, bool paperSpace);
    bool writeOwnedEntities(const std::vector<AcDbObjectId>& owned, bool paperSpace);

    void beginSection(const wchar_t* name);
    void endSection();
    bool writeTables();
    bool writeBlocks();
    bool writeBlockEntities(AcDbObjectId blockId, bool paperSpace);
    bool writeBlockMarker(const AcDbBlockTableRecord* block, bool end, bool paperSpace);
    // The groups a BLOCK (end false) or ENDBLK entity starts with, up to its layer: a handle of
    // its own, its block record as owner, 67 1 in paper space.
    void writeBlockMarkerHead(bool end, std::uint64_t record, bool paperSpace);
    bool writeEntities();
    bool writeObjects();
    void writeHeader();
    // Writes a kept header variable's value groups, from at up to the next variable's name.
    void writeKeptValues(const std::vector<DxfItem>& kept, std::size_t at);
    void writeClasses();
    std::wstring recordName(AcDbObjectId id);

    AcDbDatabase* m_db;
    DxfTextWriter m_out;
    FileFiler m_filer;
    std::uint64_t m_nextHandle;
    FlatMarks m_reachable;  // by handle: kReachable, kUnreachable (also while being decided)
    AcDbObjectId m_lastReference;
    std::uint64_t m_lastReferenceHandle = 0;
    std::vector<ClassInfo> m_classInfo;
    std::size_t m_lastClassInfo = 0;
    std::vector<AcDbObjectId> m_objects;  // OBJECTS, in order
    std::vector<DimensionBlock> m_dimensionBlocks;
    std::unordered_map<std::uint64_t, std::size_t> m_dimensionBlockOf;  // by dimension handle
    Plan m_plan;
    std::map<std::wstring, ClassEntry> m_classes;  // those written
    WriteResult m_result;
};

Acad::ErrorStatus FileFiler::putItem(const DxfItem& item) {
    int code = item.code;
    if (code == 0) {
        m_out.text(0, m_context.dxfName);
        if (m_context.tableName != nullptr) {
            m_out.text(2, m_context.tableName);
        }
        return Acad::eOk;
    }
    if (code == 1001) {
        m_inXData = true;
    } else if (!m_inXData && m_context.entity && code == 67) {
        return Acad::eOk;  // the writer states the space itself
    } else if (!m_inXData && m_context.dimStyle && code == 5) {
        code = kDimStyleHandleCode;
    } else if (m_inDimension && code == 2) {
        return Acad::eOk;  // the block the writer gave the dimension replaces it
    } else if (code == kThicknessCode && m_context.entity && !m_context.raw &&
               item.real() == 0.0) {
        // Files leave a thickness of 0, the default, out; a reader of another program fails
        // to place an entity that states it, and other writers never do.
        return Acad::eOk;
    } else if (code == 100) {
        m_inDimension = false;
    }
    if (const auto* text = std::get_if<std::wstring>(&item.value)) {
        m_out.text(code, *text);
    } else if (const auto* real = std::get_if<double>(&item.value)) {
        return putReal(code, *real, item.angle);
    } else if (const auto* point = std::get_if<AcGePoint3d>(&item.value)) {
        return putPoint(code, *point, item.point2d);
    } else if (const auto* integer = std::get_if<std::int64_t>(&item.value)) {
        m_out.integer(code, *integer);
    } else if (const auto* bytes = std::get_if<std::vector<unsigned char>>(&item.value)) {
        m_out.bytes(code, bytes->data(), bytes->size());
    } else if (const auto* id = std::get_if<AcDbObjectId>(&item.value)) {
        m_out.handle(code, m_writer.handleOf(*id));
    }
    if (code == 100 && m_context.entity && m_context.paperSpace && !m_inXData &&
        item.text() == L"AcDbEntity") {
        m_out.integer(67, 1);
    }
    if (code == 100 && m_context.dimensionBlock != nullptr && item.text() == L"AcDbDimension") {
        m_out.text(2, m_context.dimensionBlock);
        m_inDimension = true;
    }
    return Acad::eOk;
}

bool DrawingWriter::isWritten(const AcDbObjectId& id) {
    if (id.isNull() || id.database() != m_db || id.isErased()) {
        return false;
    }
    const std::uint8_t mark = m_reachable.get(id.handle().value());
    if (mark != 0) {
        return mark == kReachable;
    }
    const AcDbObject* object = m_db->objectAt(id);
    return object != nullptr && reachable(object);
}

ClassInfo DrawingWriter::classInfo(const AcDbObject* object) {
    const AcRxClass* cls = object->isA();
    if (m_lastClassInfo < m_classInfo.size() && m_classInfo[m_lastClassInfo].cls == cls) {
        return m_classInfo[m_lastClassInfo];
    }
    for (std::size_t i = 0; i < m_classInfo.size(); ++i) {
        if (m_classInfo[i].cls == cls) {
            m_lastClassInfo = i;
            return m_classInfo[i];
        }
    }
    ClassInfo info;
    info.cls = cls;
    info.entity = AcDbEntity::cast(object) != nullptr;
    info.raw = AcDbRawObject::cast(object) || AcDbRawEntity::cast(object);
    info.dimension = AcDbDimension::cast(object) != nullptr;
    info.symbolTable = AcDbSymbolTable::cast(object) != nullptr;
    info.symbolRecord = AcDbSymbolTableRecord::cast(object) != nullptr;
    info.ownsEntities = AcDb2dPolyline::cast(object) || AcDb3dPolyline::cast(object) ||
                        AcDbBlockReference::cast(object);
    if (!info.raw) {
        info.dxfName = cls->dxfName() != nullptr ? cls->dxfName() : cls->name();
        info.builtIn = isBuiltInDxfName(info.dxfName);
        info.dimStyle = std::wstring_view(info.dxfName) == L"DIMSTYLE";
    }
    m_classInfo.push_back(info);
    m_lastClassInfo = m_classInfo.size() - 1;
    return m_classInfo.back();
}

// Roots are the named object dictionary and the symbol tables; everything else needs a live
// owner that is reachable.
bool DrawingWriter::reachable(const AcDbObject* object) {
    AcDbHandle objectHandle;
    object->getAcDbHandle(objectHandle);
    const std::uint64_t handle = objectHandle.value();
    if (const std::uint8_t mark = m_reachable.get(handle); mark != 0) {
        return mark == kReachable;
    }
    bool result = false;
    if (!object->isErased()) {
        const AcDbObjectId owner = object->ownerId();
        if (owner.isNull()) {
            result = object->objectId() == m_db->namedObjectsDictionaryId() ||
                     AcDbSymbolTable::cast(object);
        } else if (const AcDbObject* ownerObject = m_db->objectAt(owner)) {
            m_reachable.set(handle, kUnreachable);  // an owner loop ends here
            result = reachable(ownerObject);
        }
    }
    m_reachable.set(handle, result ? kReachable : kUnreachable);
    return result;
}

// Walks the store once. Entities of the format's own kinds need nothing planned (their blocks'
// walks write them, references to them are decided when met); every other object is placed
// (OBJECTS, dimensions) and counted for CLASSES when the file holds it.
void DrawingWriter::plan() {
    const AcDbObjectId root = m_db->namedObjectsDictionaryId();
    m_objects.push_back(root);
    std::vector<AcDbObjectId> dimensions;
    for (std::uint32_t slot : m_db->objectStore()->slots()) {
        const AcDbObject* object = host::slotAt(slot).object;
        if (object == nullptr) {
            continue;
        }
        const ClassInfo& info = classInfo(object);
        if ((info.entity && !info.dimension && info.builtIn) || !reachable(object)) {
            continue;
        }
        if (info.dimension) {
            dimensions.push_back(object->objectId());
        }
        if (!info.entity && !info.symbolTable && !info.symbolRecord &&
            object->objectId() != root) {
            m_objects.push_back(object->objectId());
        }
        if (!info.builtIn) {
            planClass(object, info);
        }
    }
    planDimensionBlocks(dimensions);
    planExtents();
    planHandseed();
}

// Counts object under its DXF name unless the format defines the name (a raw object's name is
// read from it, opened for read: one that cannot be opened fails the writing pass).
void DrawingWriter::planClass(const AcDbObject* object, const ClassInfo& info) {
    ObjectContext context;
    context.entity = info.entity;
    context.raw = info.raw;
    std::wstring rawName;
    if (info.raw) {
        AcDbObject* opened = nullptr;
        if (acdbOpenAcDbObject(opened, object->objectId(), AcDb::kForRead) != Acad::eOk) {
            return;
        }
        rawName = dxfNameOf(opened);
        opened->close();
        if (isBuiltInDxfName(rawName)) {
            return;
        }
        context.dxfName = rawName;
    } else {
        context.dxfName = info.dxfName;
    }
    ClassEntry& entry = m_plan.classes[std::wstring(context.dxfName)];
    if (entry.count++ == 0) {
        describeClass(entry, context, info.cls);
    }
}

// The extents of the model-space entities, as the header gives them. An entity that cannot be
// opened fails the writing pass.
void DrawingWriter::planExtents() {
    AcDbObject* block = nullptr;
    if (acdbOpenAcDbObject(block, m_db->modelSpaceId(), AcDb::kForRead) != Acad::eOk) {
        return;
    }
    const std::unique_ptr<AcDbBlockTableRecordIterator> it = blockEntities(block);
    block->close();
    for (; !it->done(); it->step()) {
        AcDbObjectId id;
        it->getEntityId(id);
        AcDbEntity* entity = nullptr;
        if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) {
            return;
        }
        AcDbExtents extents;
        if (entity->getGeomExtents(extents) == Acad::eOk && !extents.isEmpty()) {
            m_plan.extents.addExt(extents);
        }
        entity->close();
    }
}

// The handle seed above the handles the writer gives: a BLOCK and an ENDBLK per block record,
// those of the dimension blocks and their graphics.
void DrawingWriter::planHandseed() {
    m_plan.handseed = m_nextHandle;
    AcDbBlockTable* table = nullptr;
    if (acdbOpenObject(table, m_db->blockTableId(), AcDb::kForRead) != Acad::eOk) {
        return;
    }
    AcDbSymbolTableIterator* created = nullptr;
    table->newIterator(created);
    std::unique_ptr<AcDbSymbolTableIterator> it(created);
    table->close();
    for (; !it->done(); it->step()) {
        m_plan.handseed += 2;
    }
    for (const DimensionBlock& block : m_dimensionBlocks) {
        m_plan.handseed += 2 + block.graphics.lines.size() + block.graphics.arcs.size() +
                           block.graphics.arrows.size() + block.graphics.labels.size();
    }
}

// Gives each dimension without a written block a new name "*D<n>" that no block has.
void DrawingWriter::planDimensionBlocks(const std::vector<AcDbObjectId>& dimensions) {
    AcDbBlockTable* table = nullptr;
    if (dimensions.empty() ||
        acdbOpenObject(table, m_db->blockTableId(), AcDb::kForRead) != Acad::eOk) {
        return;
    }
    int next = 1;
    for (const AcDbObjectId& id : dimensions) {
        AcDbDimension* dimension = nullptr;
        if (acdbOpenObject(dimension, id, AcDb::kForRead) != Acad::eOk) {
            continue;  // writing it reports the failure
        }
        if (isWritten(dimension->dimBlockId())) {
            dimension->close();
            continue;
        }
        DimensionGraphics graphics = dimensionGraphics(dimension);
        dimension->close();
        std::wstring name;
        do {
            name = L"*D" + std::to_wstring(next++);
        } while (table->has(name.c_str()));
        m_dimensionBlockOf.emplace(id.handle().value(), m_dimensionBlocks.size());
        m_dimensionBlocks.push_back(DimensionBlock{name, m_nextHandle++, std::move(graphics)});
    }
    table->close();
}

void DrawingWriter::writeDimensionBlockRecords() {
    for (const DimensionBlock& block : m_dimensionBlocks) {
        m_out.ascii(0, "BLOCK_RECORD");
        m_out.handle(5, block.record);
        m_out.handle(330, m_db->blockTableId().handle().value());
        m_out.ascii(100, "AcDbSymbolTableRecord");
        m_out.ascii(100, "AcDbBlockTableRecord");
        m_out.text(2, block.name);
        m_out.handle(340, 0);
        m_out.integer(70, 0);
        m_out.integer(280, 1);
        m_out.integer(281, 0);
    }
}

void DrawingWriter::writeDimensionBlocks() {
    for (const DimensionBlock& block : m_dimensionBlocks) {
        writeBlockMarkerHead(false, block.record, false);
        m_out.ascii(100, "AcDbBlockBegin");
        m_out.text(2, block.name);
        m_out.integer(70, AcDbBlockTableRecord::kAnonymous);
        m_out.point(10, AcGePoint3d(), true);
        m_out.text(3, block.name);
        m_out.ascii(1, "");
        writeDimensionGraphics(block);
        writeBlockMarkerHead(true, block.record, false);
        m_out.ascii(100, "AcDbBlockEnd");
    }
}

void DrawingWriter::beginGraphic(const char* dxfName, std::uint64_t record, const char* subclass) {
    m_out.ascii(0, dxfName);
    m_out.handle(5, m_nextHandle++);
    m_out.handle(330, record);
    m_out.ascii(100, "AcDbEntity");
    m_out.ascii(8, "0");
    m_out.integer(62, 0);  // by block: the dimension's colour
    m_out.ascii(100, subclass);
}

// Lines, arcs, filled arrowheads and texts, in the world XY plane.
void DrawingWriter::writeDimensionGraphics(const DimensionBlock& block) {
    const DimensionGraphics& graphics = block.graphics;
    for (const DimensionGraphics::Line& line : graphics.lines) {
        beginGraphic("LINE", block.record, "AcDbLine");
        m_out.point(10, line.start, true);
        m_out.point(11, line.end, true);
    }
    for (const DimensionGraphics::Arc& arc : graphics.arcs) {
        beginGraphic("ARC", block.record, "AcDbCircle");
        m_out.point(10, arc.center, true);
        m_out.real(40, arc.radius);
        m_out.ascii(100, "AcDbArc");
        m_out.angle(50, arc.startAngle);
        m_out.angle(51, arc.endAngle);
    }
    for (const DimensionGraphics::Arrow& arrow : graphics.arrows) {
        beginGraphic("SOLID", block.record, "AcDbTrace");
        m_out.point(10, arrow.tip, true);
        m_out.point(11, arrow.baseLeft, true);
        m_out.point(12, arrow.baseRight, true);
        m_out.point(13, arrow.baseRight, true);
    }
    for (const DimensionGraphics::Label& label : graphics.labels) {
        beginGraphic("TEXT", block.record, "AcDbText");
        m_out.point(10, label.position, true);
        m_out.real(40, label.height);
        m_out.text(1, label.text);
        m_out.angle(50, label.rotation);
        m_out.integer(72, 1);  // centred on the point
        m_out.point(11, label.position, true);
        m_out.ascii(100, "AcDbText");
    }
}

bool DrawingWriter::fail(Acad::ErrorStatus status, const std::wstring& message) {
    if (m_result.status == Acad::eOk) {
        m_result.status = status;
        m_result.message = message;
    }
    return false;
}

bool DrawingWriter::failObject(Acad::ErrorStatus status, const AcDbObject* object,
                               const std::wstring& what) {
    const AcRxClass* cls = object->isA();
    return fail(status, L"object " + object->objectId().handle().text() + L" (" +
                            (cls != nullptr ? cls->name() : L"?") + L"): " + what);
}

bool DrawingWriter::open(AcDbObjectId id, Opened& object) {
    AcDbObject* opened = nullptr;
    const Acad::ErrorStatus status = acdbOpenAcDbObject(opened, id, AcDb::kForRead);
    if (status != Acad::eOk) {
        return fail(status, L"object " + id.handle().text() + L" cannot be opened for read: " +
                                acadErrorStatusText(status));
    }
    object.reset(opened);
    return true;
}

bool DrawingWriter::checkXData(const AcDbObject* object) {
    const int size = object->xDataSize();
    if (size == 0) {
        return true;
    }
    if (size > AcDbObject::kMaxXDataSize) {
        return failObject(Acad::eXDataSizeExceeded, object,
                          L"its XData takes " + std::to_wstring(size) + L" bytes, more than " +
                              std::to_wstring(AcDbObject::kMaxXDataSize));
    }
    resbuf* chain = object->xData();
    bool ok = true;
    for (const resbuf* rb = chain; rb != nullptr && ok; rb = rb->rbnext) {
        if (rb->restype == 1001 && !m_db->isRegisteredApp(rb->resval.rstring)) {
            ok = failObject(Acad::eUnregisteredApplication, object,
                            std::wstring(L"its XData application ") + rb->resval.rstring +
                                L" is not registered");
        } else if (rb->restype == 1000 && rb->resval.rstring != nullptr &&
                   std::wcslen(rb->resval.rstring) >
                       static_cast<std::size_t>(AcDbObject::kMaxXDataStringLength)) {
            ok = failObject(Acad::eStringTooLong, object,
                            L"an XData text (1000) is longer than 255 characters");
        }
    }
    acutRelRb(chain);
    return ok;
}

bool DrawingWriter::writeOpened(const AcDbObject* object, const ClassInfo& info,
                                ObjectContext context) {
    if (!checkXData(object)) {
        return false;
    }
    context.entity = info.entity;
    context.raw = info.raw;
    context.dxfName = info.raw ? dxfNameOf(object) : info.dxfName;
    context.dimStyle = info.raw ? context.dxfName == L"DIMSTYLE" : info.dimStyle;
    if (info.dimension && !m_dimensionBlockOf.empty()) {
        if (const auto found = m_dimensionBlockOf.find(object->objectId().handle().value());
            found != m_dimensionBlockOf.end()) {
            context.dimensionBlock = m_dimensionBlocks[found->second].name.c_str();
        }
    }
    if (info.raw ? !isBuiltInDxfName(context.dxfName) : !info.builtIn) {
        ClassEntry& entry = m_classes[std::wstring(context.dxfName)];
        if (entry.count++ == 0) {
            describeClass(entry, context, object->isA());
        }
    }
    m_filer.beginObject(context);
    const Acad::ErrorStatus status = object->dxfOut(&m_filer, true);
    if (status != Acad::eOk) {
        const std::wstring detail = m_filer.errorMessage();
        return failObject(status, object,
                          detail.empty()
                              ? std::wstring(L"filing failed: ") + acadErrorStatusText(status)
                              : detail);
    }
    return true;
}

bool DrawingWriter::writeObject(AcDbObjectId id, ObjectContext context) {
    Opened object;
    return open(id, object) && writeOpened(object.get(), classInfo(object.get()), context);
}

// The vertices or attributes an entity owns, then its sequence end; empty for other entities.
std::vector<AcDbObjectId> ownedEntities(const AcDbObject* entity) {
    std::unique_ptr<AcDbObjectIterator> it;
    AcDbSequenceEnd* end = nullptr;
    if (const auto* p = AcDb2dPolyline::cast(entity)) {
        it.reset(p->vertexIterator());
        p->openSequenceEnd(end, AcDb::kForRead);
    } else if (const auto* p3 = AcDb3dPolyline::cast(entity)) {
        it.reset(p3->vertexIterator());
        p3->openSequenceEnd(end, AcDb::kForRead);
    } else if (const auto* insert = AcDbBlockReference::cast(entity)) {
        it.reset(insert->attributeIterator());
    }
    std::vector<AcDbObjectId> ids;
    for (; it != nullptr && !it->done(); it->step()) {
        ids.push_back(it->objectId());
    }
    if (AcDbBlockReference::cast(entity) && !ids.empty()) {
        AcDbBlockReference::cast(entity)->openSequenceEnd(end, AcDb::kForRead);
    }
    if (end != nullptr) {
        ids.push_back(end->objectId());
        end->close();
    }
    return ids;
}

bool DrawingWriter::writeEntity(AcDbObjectId id, bool paperSpace) {
    Opened object;
    if (!open(id, object)) {
        return false;
    }
    ObjectContext context;
    context.paperSpace = paperSpace;
    const ClassInfo& info = classInfo(object.get());
    if (!writeOpened(object.get(), info, context)) {
        return false;
    }
    if (!info.ownsEntities) {
        return true;
    }
    const std::vector<AcDbObjectId> owned = ownedEntities(object.get());
    object.reset();
    return writeOwnedEntities(owned, paperSpace);
}

bool DrawingWriter::writeOwnedEntities(const std::vector<AcDbObjectId>& owned, bool paperSpace) {
    for (const AcDbObjectId& id : owned) {
        ObjectContext context;
        context.paperSpace = paperSpace;
        if (!id.isErased() && !writeObject(id, context)) {
            return false;
        }
    }
    return true;
}

void DrawingWriter::beginSection(const wchar_t* name) {
    m_out.ascii(0, "SECTION");
    m_out.text(2, name);
}

void DrawingWriter::endSection() {
    m_out.ascii(0, "ENDSEC");
}

bool DrawingWriter::writeTables() {
    beginSection(kSectionTables);
    for (const TableInfo& info : tableOrder()) {
        Opened table;
        if (!open((m_db->*info.tableId)(), table)) {
            return false;
        }
        ObjectContext context;
        context.tableName = info.dxfName;
        if (!writeOpened(table.get(), classInfo(table.get()), context)) {
            return false;
        }
        std::unique_ptr<AcDbSymbolTableIterator> it;
        AcDbSymbolTableIterator* created = nullptr;
        AcDbSymbolTable::cast(table.get())->newIterator(created);
        it.reset(created);
        for (; !it->done(); it->step()) {
            AcDbObjectId id;
            it->getRecordId(id);
            if (!writeObject(id)) {
                return false;
            }
        }
        if (info.tableId == &AcDbDatabase::blockTableId) {
            writeDimensionBlockRecords();
        }
        m_out.ascii(0, "ENDTAB");
    }
    endSection();
    return true;
}

void DrawingWriter::writeBlockMarkerHead(bool end, std::uint64_t record, bool paperSpace) {
    m_out.ascii(0, end ? "ENDBLK" : "BLOCK");
    m_out.handle(5, m_nextHandle++);
    m_out.handle(330, record);
    m_out.ascii(100, "AcDbEntity");
    if (paperSpace) {
        m_out.integer(67, 1);
    }
    m_out.ascii(8, "0");
}

bool DrawingWriter::writeBlockMarker(const AcDbBlockTableRecord* block, bool end, bool paperSpace) {
    writeBlockMarkerHead(end, block->objectId().handle().value(), paperSpace);
    if (end) {
        m_out.ascii(100, "AcDbBlockEnd");
        return true;
    }
    m_filer.beginObject(ObjectContext{L"BLOCK"});
    const Acad::ErrorStatus status = block->dxfOutBlockBegin(&m_filer);
    return status == Acad::eOk || failObject(status, block, L"its BLOCK entity could not be filed");
}

bool DrawingWriter::writeBlockEntities(AcDbObjectId blockId, bool paperSpace) {
    Opened block;
    if (!open(blockId, block)) {
        return false;
    }
    const std::unique_ptr<AcDbBlockTableRecordIterator> it = blockEntities(block.get());
    block.reset();
    for (; !it->done(); it->step()) {
        AcDbObjectId id;
        it->getEntityId(id);
        if (!writeEntity(id, paperSpace) || m_out.error() != 0) {
            return false;
        }
    }
    return true;
}

bool DrawingWriter::writeBlocks() {
    beginSection(kSectionBlocks);
    Opened table;
    if (!open(m_db->blockTableId(), table)) {
        return false;
    }
    AcDbSymbolTableIterator* created = nullptr;
    AcDbSymbolTable::cast(table.get())->newIterator(created);
    std::unique_ptr<AcDbSymbolTableIterator> it(created);
    table.reset();
    for (; !it->done(); it->step()) {
        AcDbObjectId id;
        it->getRecordId(id);
        Opened record;
        if (!open(id, record)) {
            return false;
        }
        const auto* block = AcDbBlockTableRecord::cast(record.get());
        const bool layoutBlock = id == m_db->modelSpaceId() || id == m_db->paperSpaceId();
        const bool paperSpace = block->isLayout() && id != m_db->modelSpaceId();
        if (!writeBlockMarker(block, false, paperSpace)) {
            return false;
        }
        record.reset();
        if (!layoutBlock && !writeBlockEntities(id, paperSpace)) {
            return false;
        }
        if (!open(id, record) ||
            !writeBlockMarker(AcDbBlockTableRecord::cast(record.get()), true, paperSpace)) {
            return false;
        }
    }
    writeDimensionBlocks();
    endSection();
    return true;
}

bool DrawingWriter::writeEntities() {
    beginSection(kSectionEntities);
    if (!writeBlockEntities(m_db->modelSpaceId(), false) ||
        !writeBlockEntities(m_db->paperSpaceId(), true)) {
        return false;
    }
    endSection();
    return true;
}

bool DrawingWriter::writeObjects() {
    beginSection(kSectionObjects);
    for (const AcDbObjectId& id : m_objects) {
        if (!writeObject(id) || m_out.error() != 0) {
            return false;
        }
    }
    endSection();
    return true;
}

std::wstring DrawingWriter::recordName(AcDbObjectId id) {
    const auto* record = AcDbSymbolTableRecord::cast(isWritten(id) ? m_db->objectAt(id) : nullptr);
    return record != nullptr ? record->nameForLookup() : std::wstring();
}

void DrawingWriter::writeHeader() {
    DxfTextWriter& out = m_out;
    out.ascii(0, "SECTION");
    out.text(2, kSectionHeader);
    const AcDbExtents& extents = m_plan.extents;
    const bool noExtents = extents.isEmpty();
    const AcGePoint3d extMin = noExtents ? AcGePoint3d(1e20, 1e20, 1e20) : extents.minPoint();
    const AcGePoint3d extMax = noExtents ? AcGePoint3d(-1e20, -1e20, -1e20) : extents.maxPoint();
    // The variables a drawing file gave, by name: where their values start among the kept groups.
    const std::vector<DxfItem>& kept = m_db->keptHeaderVariables();
    std::map<std::wstring_view, std::size_t> keptAt;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (kept[i].code == kVariableCode) {
            keptAt.emplace(kept[i].text(), i + 1);
        }
    }
    for (const HeaderVariable& v : headerVariables()) {
        out.text(kVariableCode, v.name);
        const AcGePoint3d fixedPoint(v.defaultValue[0], v.defaultValue[1], v.defaultValue[2]);
        const auto given = keptAt.find(v.name);
        if (given != keptAt.end()) {
            writeKeptValues(kept, given->second);
            keptAt.erase(given);
            continue;
        }
        switch (v.binding) {
            case HeaderBinding::kVersion:
                out.text(v.code, kFileVersion);
                break;
            case HeaderBinding::kHandleSeed:
                out.handle(v.code, m_plan.handseed);
                break;
            case HeaderBinding::kCurrentLayer:
                out.text(v.code, recordName(m_db->clayer()));
                break;
            case HeaderBinding::kCurrentTextStyle:
                out.text(v.code, recordName(m_db->textstyle()));
                break;
            case HeaderBinding::kCurrentDimStyle:
                out.text(v.code, recordName(m_db->dimstyle()));
                break;
            case HeaderBinding::kExtentsMin:
                out.point(v.code, extMin, true);
                break;
            case HeaderBinding::kExtentsMax:
                out.point(v.code, extMax, true);
                break;
            case HeaderBinding::kFixed:
            case HeaderBinding::kFormat:
                switch (v.kind) {
                    case HeaderKind::kText:
                        out.text(v.code, v.defaultText);
                        break;
                    case HeaderKind::kInt16:
                        out.integer(v.code, static_cast<std::int64_t>(v.defaultValue[0]));
                        break;
                    case HeaderKind::kReal:
                        out.real(v.code, v.defaultValue[0]);
                        break;
                    case HeaderKind::kPoint2d:
                    case HeaderKind::kPoint3d:
                        out.point(v.code, fixedPoint, v.kind == HeaderKind::kPoint3d);
                        break;
                    case HeaderKind::kHandle:
                        out.handle(v.code, static_cast<std::uint64_t>(v.defaultValue[0]));
                        break;
                }
                break;
        }
    }
    // The other variables the file gave, in its order.
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (kept[i].code == kVariableCode && keptAt.count(kept[i].text()) > 0) {
            out.text(kVariableCode, kept[i].text());
            writeKeptValues(kept, i + 1);
        }
    }
    out.ascii(0, "ENDSEC");
}

void DrawingWriter::writeKeptValues(const std::vector<DxfItem>& kept, std::size_t at) {
    DxfTextWriter& out = m_out;
    for (; at < kept.size() && kept[at].code != kVariableCode; ++at) {
        const DxfItem& item = kept[at];
        if (const auto* text = std::get_if<std::wstring>(&item.value)) {
            out.text(item.code, *text);
        } else if (const auto* real = std::get_if<double>(&item.value)) {
            out.real(item.code, *real);
        } else if (const auto* point = std::get_if<AcGePoint3d>(&item.value)) {
            out.point(item.code, *point, !item.point2d);
        } else if (const auto* integer = std::get_if<std::int64_t>(&item.value)) {
            out.integer(item.code, *integer);
        } else if (const auto* bytes = std::get_if<std::vector<unsigned char>>(&item.value)) {
            out.bytes(item.code, bytes->data(), bytes->size());
        }
    }
}

void DrawingWriter::writeClasses() {
    DxfTextWriter& out = m_out;
    out.ascii(0, "SECTION");
    out.text(2, kSectionClasses);
    for (const auto& [name, entry] : m_plan.classes) {
        out.ascii(0, "CLASS");
        out.text(1, name);
        out.text(2, entry.className);
        out.text(3, entry.appName);
        out.integer(90, entry.proxyFlags);
        out.integer(91, entry.count);
        out.integer(280, 0);
        out.integer(281, entry.entity ? 1 : 0);
    }
    out.ascii(0, "ENDSEC");
}

// A database without its tables, layout blocks or named object dictionary (one made empty and
// never filled) has no drawing to write.
bool DrawingWriter::hasDrawing() {
    bool complete = !m_db->namedObjectsDictionaryId().isNull() && !m_db->modelSpaceId().isNull() &&
                    !m_db->paperSpaceId().isNull();
    for (const TableInfo& info : tableOrder()) {
        complete = complete && !(m_db->*info.tableId)().isNull();
    }
    return complete || fail(Acad::eNoDatabase,
                            L"the database holds no drawing (no tables, layout blocks or named "
                            L"object dictionary)");
}

bool DrawingWriter::writeSections() {
    writeHeader();
    writeClasses();
    if (!writeTables() || !writeBlocks() || !writeEntities() || !writeObjects()) {
        return false;
    }
    m_out.ascii(0, "EOF");
    return true;
}

bool DrawingWriter::failSink() {
    m_result.sinkError = m_out.error();
    return fail(Acad::eFileAccessError,
                L"the text could not be written: " + utf8ToWide(std::strerror(m_out.error())));
}

// Writes with the plan's figures; when the objects written give other figures (see
// dxf_writer.h), rewinds and writes again with those, which the same objects then give.
WriteResult DrawingWriter::write() {
    if (!hasDrawing()) {
        return m_result;
    }
    plan();
    const std::uint64_t firstMarkerHandle = m_nextHandle;
    for (int pass = 0; pass < 2; ++pass) {
        const bool written = writeSections();
        if (m_out.flush() != 0) {
            failSink();
        }
        if (!written || m_result.status != Acad::eOk) {
            return m_result;
        }
        if (m_nextHandle == m_plan.handseed && m_classes == m_plan.classes) {
            m_result.lines = m_out.lines();
            return m_result;
        }
        m_plan.handseed = m_nextHandle;
        m_plan.classes.swap(m_classes);
        m_classes.clear();
        m_nextHandle = firstMarkerHandle;
        if (m_out.rewind() != 0) {
            failSink();
            return m_result;
        }
    }
    fail(Acad::eInvalidInput, L"the drawing changed while it was written");
    return m_result;
}

WriteResult DrawingWriter::planOnly() {
    if (hasDrawing()) {
        plan();
    }
    return m_result;
}

}  // namespace

WriteResult writeDrawing(AcDbDatabase* db, DxfSink& sink) {
    DrawingWriter writer(db, sink);
    return writer.write();
}

WriteResult writeDrawing(AcDbDatabase* db, std::string& out) {
    DxfStringSink sink(out, static_cast<std::size_t>(db->approxNumObjects()) * kBytesPerObject);
    return writeDrawing(db, sink);
}

WriteResult planDrawing(AcDbDatabase* db) {
    DroppingSink sink;
    DrawingWriter writer(db, sink);
    return writer.planOnly();
}

}  // namespace host::dxf
