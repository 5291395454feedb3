// The export marks of Kestrel's two libraries. Both are built with hidden visibility, so only what
// carries a mark is part of a library's interface: DRAWHOST_API marks the classes and functions of
// the headless host with its platform layer (libdrawhost), KESTREL_API those of the module
// (libkestrel). A class's mark covers its members and the classes nested in it; templates and
// inline functions need none, but a template's instantiations that a library exports are declared
// with the mark (extern template class KESTREL_API CxEntity<AcDbLine>), which keeps them exported
// where their argument is only declared.
#pragma once

// The GNU spelling, which clang also takes in an explicit instantiation declaration.
#define DRAWHOST_API __attribute__((visibility("default")))
#define KESTREL_API __attribute__((visibility("default")))
