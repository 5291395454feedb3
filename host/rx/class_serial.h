// The serial number of a class object: a number no other class object of the process has had.
// Code that kept a class's address tells by it whether the class there is still the one it kept,
// since a class deleted and another one made may share an address.
#pragma once

#include <cstdint>

class AcRxClass;

namespace host::rx {

// The class's serial number; 0 for null or an address that holds no class now.
std::uint64_t classSerial(const AcRxClass* cls);

}  // namespace host::rx
