"""Compares, as ezdxf sees them, a drawing and the same drawing after it passed through the host
(read and saved): the second must load and audit clean, hold the same entities in each layout
(kind, handle, layer, XData), list the classes it shares with the original under the same
C++ names and, for the kinds the host keeps as they came, hold the same DXF attributes,
vertices and boundary paths.

usage: compare_files.py ORIGINAL.dxf PASSED.dxf
"""
import sys

import ezdxf

# Kinds the host models itself: it writes them from its own state, so their optional attributes
# may be spelled out where the original left them to their defaults.
MODELLED = {"LINE", "CIRCLE", "ARC", "ELLIPSE", "POINT", "RAY", "TEXT", "MTEXT", "SOLID",
            "3DFACE", "LWPOLYLINE", "INSERT", "ATTRIB", "ATTDEF", "DIMENSION", "SPLINE",
            "ACAD_TABLE"}


def plain(value):
    if isinstance(value, (bytes, bytearray)):
        return value.hex()
    if hasattr(value, "xyz"):
        return tuple(value.xyz)
    if isinstance(value, (list, tuple)):
        return [plain(v) for v in value]
    return value


def details(entity):
    kind = entity.dxftype()
    info = {"kind": kind, "layer": entity.dxf.layer}
    if entity.xdata is not None:
        info["xdata"] = {app: [(t.code, plain(t.value)) for t in tags]
                         for app, tags in entity.xdata.data.items()}
    if kind in MODELLED:
        return info
    info["attribs"] = {k: plain(v) for k, v in entity.dxf.all_existing_dxf_attribs().items()}
    if kind == "POLYLINE":
        info["vertices"] = [plain(v.dxf.location) for v in entity.vertices]
    if kind in ("LEADER", "WIPEOUT"):
        info["vertices"] = plain(list(entity.vertices if kind == "LEADER"
                                      else entity.boundary_path))
    if kind == "MLINE":
        info["vertices"] = [plain(v.location) for v in entity.vertices]
    if kind == "HATCH":
        info["paths"] = [[type(e).__name__ for e in p.edges] for p in entity.paths]
    return info


def layouts(doc):
    return {name: {e.dxf.handle: details(e) for e in doc.layouts.get(name)}
            for name in doc.layouts.names()}


def class_names(doc):
    """DXF name -> C++ class name of the CLASSES section."""
    return {cls.dxf.name: cls.dxf.cpp_class_name for cls in doc.classes.classes.values()}


def main():
    original = ezdxf.readfile(sys.argv[1])
    passed = ezdxf.readfile(sys.argv[2])
    auditor = passed.audit()
    problems = [f"audit error {e.code}: {e.message}" for e in auditor.errors]
    problems += [f"audit fix {e.code}: {e.message}" for e in auditor.fixes]
    before, after = layouts(original), layouts(passed)
    for layout in sorted(set(before) | set(after)):
        a, b = before.get(layout, {}), after.get(layout, {})
        if list(a) != list(b):
            problems.append(f"{layout}: entities {list(a)} became {list(b)}")
        for handle in a:
            if handle in b and a[handle] != b[handle]:
                problems.append(f"{layout} {handle}: {a[handle]} became {b[handle]}")
    original_classes = class_names(original)
    for name, cpp in class_names(passed).items():
        if name in original_classes and original_classes[name] != cpp:
            problems.append(f"class {name}: {original_classes[name]} became {cpp}")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
