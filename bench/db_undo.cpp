// Undoing a group of n modified objects, for n from 1,000 to 100,000: the cost per object must
// stay flat (linear in n). Alongside, the floor the undo stands on: filing the same objects out
// and back through a memory filer with no undo machinery around it.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/undo.h"

namespace {

class BenchNote : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(BenchNote);

    Acad::ErrorStatus setValue(int value) {
        const Acad::ErrorStatus status = requireWrite();
        if (status == Acad::eOk) {
            m_value = value;
        }
        return status;
    }
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override {
        const Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
        if (status == Acad::eOk) {
            filer->writeInt32(m_value);
            filer->writeString(m_text);
        }
        return filer->filerStatus();
    }
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override {
        const Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
        if (status == Acad::eOk) {
            filer->readInt32(&m_value);
            filer->readString(m_text);
        }
        return filer->filerStatus();
    }

private:
    Adesk::Int32 m_value = 0;
    std::wstring m_text = L"a short text filed with each state";
};

struct Drawing {
    explicit Drawing(int n) : db(std::make_unique<AcDbDatabase>(false, false)) {
        for (int i = 0; i < n; ++i) {
            auto* note = new BenchNote();
            AcDbObjectId id;
            db->addAcDbObject(id, note);
            note->close();
            ids.push_back(id);
        }
        db->undoController()->setMark();
    }
    // Changes every object in one command group.
    void modifyAll(int value) {
        db->undoController()->beginCommand(L"MODIFY");
        for (const AcDbObjectId& id : ids) {
            AcDbObject* object = nullptr;
            acdbOpenAcDbObject(object, id, AcDb::kForWrite);
            static_cast<BenchNote*>(object)->setValue(value);
            object->close();
        }
        db->undoController()->endCommand();
    }
    std::unique_ptr<AcDbDatabase> db;
    std::vector<AcDbObjectId> ids;
};

void BM_UndoGroup(benchmark::State& state) {
    Drawing d(static_cast<int>(state.range(0)));
    int value = 0;
    for (auto _ : state) {
        state.PauseTiming();
        d.modifyAll(++value);
        state.ResumeTiming();
        d.db->undoController()->undo(1);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_UndoGroup)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_FilingFloor(benchmark::State& state) {
    Drawing d(static_cast<int>(state.range(0)));
    std::vector<AcDbObject*> objects;
    for (const AcDbObjectId& id : d.ids) {
        AcDbObject* object = nullptr;
        acdbOpenAcDbObject(object, id, AcDb::kForWrite);
        objects.push_back(object);
    }
    d.db->disableUndoRecording(true);
    for (auto _ : state) {
        for (AcDbObject* object : objects) {
            host::DwgMemoryFiler filer(AcDb::kUndoFiler, d.db.get());
            object->dwgOutFields(&filer);
            filer.rewind();
            object->dwgInFields(&filer);
        }
    }
    for (AcDbObject* object : objects) {
        object->close();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FilingFloor)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

ACRX_DXF_DEFINE_MEMBERS(BenchNote, AcDbObject, 0, 0, 0, BENCHNOTE, BenchApp)

BENCHMARK_MAIN();
