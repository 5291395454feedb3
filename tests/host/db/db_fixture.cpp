// The database-core test fixture and the two test classes defined outside the host.
#include "tests/host/db/db_fixture.h"

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/resbuf.h"

using dbtest::DbTestMarker;

ACRX_DXF_DEFINE_MEMBERS(DbTestMarker, AcDbEntity, 27, 0, 0, DBTESTMARKER, DbTestApp)

namespace dbtest {

namespace {
constexpr int kVersionCode = 90;
constexpr int kTextCode = 1;
constexpr int kPositionCode = 10;
}  // namespace

AcRxClass* registerNote() {
    AcRxClass* cls = newAcRxClass(L"DbTestNote", L"AcDbObject", 29, 6, 0, &Note::create,
                                  L"DBTESTNOTE", L"\"DbTestApp\"");
    acrxBuildClassHierarchy();
    return cls;
}

Acad::ErrorStatus Note::dwgOutFields(AcDbDwgFiler* filer) const {
    assertReadEnabled();
    const Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeUInt32(kVersion);
    filer->writeString(m_text);
    return filer->filerStatus();
}

Acad::ErrorStatus Note::dwgInFields(AcDbDwgFiler* filer) {
    assertWriteEnabled();
    Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    Adesk::UInt32 version = 0;
    if ((status = filer->readUInt32(&version)) != Acad::eOk) {
        return status;
    }
    if (version > kVersion || failReading) {
        return Acad::eNewerObjectVersion;
    }
    std::wstring text;
    if ((status = filer->readString(text)) != Acad::eOk) {
        return status;
    }
    m_text = text;
    ++restored;
    if (onRestored) {
        onRestored();
    }
    return filer->filerStatus();
}

Acad::ErrorStatus Note::dxfOutFields(AcDbDxfFiler* filer) const {
    assertReadEnabled();
    const Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(100, L"DbTestNote");
    filer->writeUInt32(kVersionCode, kVersion);
    filer->writeString(kTextCode, m_text);
    return filer->filerStatus();
}

Acad::ErrorStatus Note::dxfInFields(AcDbDxfFiler* filer) {
    assertWriteEnabled();
    if (AcDbObject::dxfInFields(filer) != Acad::eOk || !filer->atSubclassData(L"DbTestNote")) {
        return filer->filerStatus();
    }
    resbuf rb;
    if (filer->readItem(&rb) != Acad::eOk || rb.restype != kVersionCode) {
        filer->pushBackItem();
        filer->setError(Acad::eMissingDxfField, L"\nError: expected group code %d (version #)",
                        kVersionCode);
        return filer->filerStatus();
    }
    if (static_cast<Adesk::UInt32>(rb.resval.rlong) > kVersion) {
        return Acad::eNewerObjectVersion;
    }
    for (;;) {
        const Acad::ErrorStatus status = filer->readItem(&rb);
        if (status == Acad::eEndOfFile) {
            break;
        }
        if (status != Acad::eOk) {
            return Acad::eDxfReadFailed;
        }
        if (rb.restype != kTextCode) {
            filer->pushBackItem();
            break;
        }
        m_text = rb.resval.rstring;
    }
    return filer->filerStatus();
}

AcDbObjectId DbTest::addNote(const std::wstring& text, AcDbDatabase* target) {
    auto* note = new Note();
    note->setText(text);
    AcDbObjectId id;
    EXPECT_EQ((target != nullptr ? target : db())->addAcDbObject(id, note), Acad::eOk);
    note->close();
    return id;
}

AcDbObjectId DbTest::addMarker(double x) {
    auto* marker = new DbTestMarker();
    marker->setPosition(AcGePoint3d(x, 0, 0));
    return testsupport::appendEntity(marker, db()->modelSpaceId());
}

std::wstring DbTest::noteText(AcDbObjectId id) {
    const auto note = testsupport::open<Note>(id, AcDb::kForRead, true);
    return note != nullptr ? note->text() : L"";
}

void DbTest::setNoteText(AcDbObjectId id, const std::wstring& text) {
    EXPECT_EQ(testsupport::open<Note>(id, AcDb::kForWrite, true)->setText(text), Acad::eOk);
}

}  // namespace dbtest

Acad::ErrorStatus DbTestMarker::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer);
    if (status == Acad::eOk) {
        filer->writePoint3d(m_position);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus DbTestMarker::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
    if (status == Acad::eOk) {
        filer->readPoint3d(&m_position);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus DbTestMarker::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer);
    if (status == Acad::eOk) {
        filer->writeString(100, L"DbTestMarker");
        filer->writePoint3d(dbtest::kPositionCode, m_position);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus DbTestMarker::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(L"DbTestMarker")) {
        return filer->setError(Acad::eBadDxfSequence, L"expected DbTestMarker");
    }
    host::DxfItem item;
    if (filer->readItem(item) != Acad::eOk || item.code != dbtest::kPositionCode) {
        return filer->setError(Acad::eMissingDxfField, L"expected the position");
    }
    m_position = item.point();
    return Acad::eOk;
}
