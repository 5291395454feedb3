// CVLKCAttribPtr's measures: an attribute is a single-line text, measured as CVLKCTextPtr does.
#include "kestrel/drawing/attrib_ptr.h"

#include "kestrel/drawing/text_ptr.h"
#include "kestrel/host/db/entities/attribute.h"

double CVLKCAttribPtr::GetWidth() {
    return m_object == nullptr ? -1.0 : kestrel::textWidth(*m_object);
}

int CVLKCAttribPtr::GetTextBoundingBox(AcGePoint3dArray& points) {
    if (m_object == nullptr) {
        return 0;
    }
    kestrel::appendTextBoundingBox(*m_object, GetWidth(), points);
    return 1;
}
