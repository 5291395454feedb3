// CVLKCBinaryData: construction and destruction. Neither allocates or frees the block; it belongs
// to whoever filled the holder.
#include "kestrel/access/binary_data.h"

CVLKCBinaryData::CVLKCBinaryData() : m_data(nullptr), m_size(0) {}

CVLKCBinaryData::~CVLKCBinaryData() {
    m_data = nullptr;
    m_size = 0;
}
