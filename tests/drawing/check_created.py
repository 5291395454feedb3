"""Reads a drawing made with every creating member of CVLKCDraw with ezdxf, audits it, and
compares the geometry ezdxf sees with the JSON the host wrote of the same drawing. Exit status 0
when everything agrees; the differences are printed otherwise.

usage: check_created.py DRAWING.dxf EXPECTED.json
"""
import json
import math
import sys

import ezdxf

TOLERANCE = 1e-9


def vertex_points(entity):
    return [list(v.dxf.location) for v in entity.vertices]


# Fields that are not plain DXF attributes of the entity.
SPECIAL = {
    "closed": lambda e: bool(e.closed if e.dxftype() == "LWPOLYLINE" else e.is_closed),
    "points": vertex_points,
    "points_xy": lambda e: ([list(p) for p in e.get_points("xy")] if e.dxftype() == "LWPOLYLINE"
                            else [p[:2] for p in vertex_points(e)]),
    "attribs": lambda e: [[a.dxf.tag, a.dxf.text] for a in e.attribs],
    "kind": lambda e: e.dxf.dimtype & 7,
    "elevation_z": lambda e: (e.dxf.elevation if e.dxftype() == "LWPOLYLINE"
                              else e.dxf.elevation[2]),
}


def plain(value):
    if isinstance(value, (list, tuple)) or hasattr(value, "xyz"):
        return [plain(v) for v in value]
    return value


def differences(where, expected, actual):
    if isinstance(expected, list):
        if not isinstance(actual, list) or len(expected) != len(actual):
            return [f"{where}: expected {expected}, ezdxf has {actual}"]
        found = []
        for index, (e, a) in enumerate(zip(expected, actual)):
            found += differences(f"{where}[{index}]", e, a)
        return found
    if isinstance(expected, float) or isinstance(actual, float):
        if isinstance(actual, (int, float)) and math.isclose(expected, actual,
                                                             abs_tol=TOLERANCE):
            return []
    elif expected == actual:
        return []
    return [f"{where}: expected {expected!r}, ezdxf has {actual!r}"]


def compare_layout(name, layout, expected):
    entities = list(layout)
    if len(entities) != len(expected):
        return [f"{name}: {len(expected)} entities expected, ezdxf has {len(entities)}"]
    problems = []
    for entity, row in zip(entities, expected):
        where = f"{name} {row['type']} {row['handle']}"
        if entity.dxftype() != row["type"] or entity.dxf.handle != row["handle"]:
            problems.append(f"{where}: ezdxf has {entity.dxftype()} {entity.dxf.handle}")
            continue
        for field, value in row["fields"].items():
            getter = SPECIAL.get(field)
            actual = getter(entity) if getter else entity.dxf.get(field)
            problems += differences(f"{where} {field}", value, plain(actual))
    return problems


def main():
    drawing, expected_path = sys.argv[1], sys.argv[2]
    with open(expected_path, encoding="utf-8") as f:
        expected = json.load(f)
    doc = ezdxf.readfile(drawing)
    auditor = doc.audit()
    problems = [f"audit error {e.code}: {e.message}" for e in auditor.errors]
    problems += [f"audit fix {e.code}: {e.message}" for e in auditor.fixes]
    problems += compare_layout("model", doc.modelspace(), expected["model"])
    problems += compare_layout("paper", doc.layouts.get("Layout1"), expected["paper"])
    for name, types in expected["blocks"].items():
        block = doc.blocks.get(name)
        actual = [e.dxftype() for e in block] if block is not None else None
        problems += differences(f"block {name}", types, actual)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
