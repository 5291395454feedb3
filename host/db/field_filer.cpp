// The visitor members of the field lists that need more than one filer call.

#include "kestrel/host/db/field_filer.h"

#include "kestrel/host/db/group_codes.h"

namespace host {

void DwgFieldWriter::id(int, const AcDbObjectId& v, RefKind kind) {
    switch (kind) {
        case RefKind::kSoftPointer:
            m_filer->writeSoftPointerId(v);
            break;
        case RefKind::kHardPointer:
            m_filer->writeHardPointerId(v);
            break;
        case RefKind::kSoftOwner:
            m_filer->writeSoftOwnershipId(v);
            break;
        case RefKind::kHardOwner:
            m_filer->writeHardOwnershipId(v);
            break;
    }
}

void DwgFieldReader::id(int, AcDbObjectId& v, RefKind kind) {
    switch (kind) {
        case RefKind::kSoftPointer: {
            AcDbSoftPointerId ref;
            if (m_filer->readSoftPointerId(&ref) == Acad::eOk) {
                v = ref;
            }
            break;
        }
        case RefKind::kHardPointer: {
            AcDbHardPointerId ref;
            if (m_filer->readHardPointerId(&ref) == Acad::eOk) {
                v = ref;
            }
            break;
        }
        case RefKind::kSoftOwner: {
            AcDbSoftOwnershipId ref;
            if (m_filer->readSoftOwnershipId(&ref) == Acad::eOk) {
                v = ref;
            }
            break;
        }
        case RefKind::kHardOwner: {
            AcDbHardOwnershipId ref;
            if (m_filer->readHardOwnershipId(&ref) == Acad::eOk) {
                v = ref;
            }
            break;
        }
    }
}

void DwgFieldReader::color(int, AcCmColor& v) {
    Adesk::UInt32 packed = 0;
    if (m_filer->readUInt32(&packed) == Acad::eOk && v.setColor(packed) != Acad::eOk) {
        m_filer->setFilerStatus(Acad::eInvalidInput);
    }
}

void DxfFieldWriter::flag(int code, bool v) {
    if (groupValueClass(code) == GroupValueClass::kBool) {
        m_filer->writeBool(code, v);
    } else {
        m_filer->writeInt16(code, v ? 1 : 0);
    }
}

void DxfFieldWriter::color(int code, const AcCmColor& v) {
    m_filer->writeInt16(code, static_cast<Adesk::Int16>(v.colorIndex()));
}

void DxfFieldReader::color(int code, AcCmColor& v) {
    if (code == m_item.code) {
        m_matched = v.setColorIndex(static_cast<std::uint16_t>(m_item.integer())) == Acad::eOk;
    }
}

}  // namespace host
