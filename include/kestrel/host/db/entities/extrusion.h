// host::Extrusion, the thickness and extrusion direction of lines and points, kept out of line
// while they have their defaults (0 and the Z axis) so the common entity stays small, and
// host::ExtrusionFields, which lets a field list visit the two values as plain fields.
#pragma once

#include <memory>
#include <type_traits>

#include "kestrel/export.h"
#include "kestrel/host/ge/vector3d.h"
#include "kestrel/host/rx/error_status.h"

class AcDbObject;
class AcDbDxfFiler;

namespace host {

class DRAWHOST_API Extrusion {
public:
    Extrusion() = default;
    Extrusion(const Extrusion& other) { *this = other; }
    Extrusion& operator=(const Extrusion& other) {
        set(other.thickness(), other.normal());
        return *this;
    }

    double thickness() const { return m_data ? m_data->thickness : 0.0; }
    const AcGeVector3d& normal() const { return m_data ? m_data->normal : kDefaultNormal; }
    // Stores the values (as given: callers validate the normal); defaults free the storage.
    void set(double thickness, const AcGeVector3d& normal) {
        if (thickness == 0.0 && normal.x == 0.0 && normal.y == 0.0 && normal.z == 1.0) {
            m_data.reset();
        } else if (m_data) {
            *m_data = {thickness, normal};
        } else {
            m_data = std::make_unique<Data>(Data{thickness, normal});
        }
    }

    // The setters of an entity that keeps an extrusion: requireWrite on owner first; the normal
    // must not be zero (eInvalidInput), it is kept as a unit vector.
    Acad::ErrorStatus setThickness(AcDbObject* owner, double thickness);
    Acad::ErrorStatus setNormal(AcDbObject* owner, const AcGeVector3d& normal);
    // After a DXF read: refuses a zero normal with the filer's error, else makes it a unit vector.
    Acad::ErrorStatus checkDxf(AcDbDxfFiler* filer, const wchar_t* className);

private:
    struct Data {
        double thickness;
        AcGeVector3d normal;
    };
    static constexpr AcGeVector3d kDefaultNormal{0.0, 0.0, 1.0};

    std::unique_ptr<Data> m_data;
};

// Copies of an extrusion's values for a field list to visit (39 thickness, 210 normal); when
// the extrusion is not const they are stored back as the view goes out of scope.
template <class Ext>
struct ExtrusionFields {
    explicit ExtrusionFields(Ext& owner)
        : m_owner(owner), thickness(owner.thickness()), normal(owner.normal()) {}
    ~ExtrusionFields() {
        if constexpr (!std::is_const_v<Ext>) {
            m_owner.set(thickness, normal);
        }
    }
    ExtrusionFields(const ExtrusionFields&) = delete;
    ExtrusionFields& operator=(const ExtrusionFields&) = delete;

private:
    Ext& m_owner;

public:
    double thickness;
    AcGeVector3d normal;
};

}  // namespace host
