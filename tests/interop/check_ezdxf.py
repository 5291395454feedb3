"""Loads a drawing the host saved with ezdxf, audits it, and compares what ezdxf sees with the
JSON summary the host wrote of the same drawing. Exit status 0 when everything agrees; the
differences are printed otherwise.

usage: check_ezdxf.py DRAWING.dxf SUMMARY.json
"""
import json
import sys

import ezdxf
from ezdxf.entities import Dictionary, XRecord

from drawing_content import audit_problems, differences, plain


def value_of(code, value):
    """A tag value in the summary's terms: hex for chunks, lists for points."""
    if isinstance(value, (bytes, bytearray)):
        return value.hex().upper()
    if isinstance(value, tuple) or hasattr(value, "xyz"):
        return [float(c) for c in value]
    return value


def tags_of(tags):
    return [[tag.code, value_of(tag.code, tag.value)] for tag in tags]


def layer_of(entity):
    """The layer; read from the tags for kinds ezdxf keeps as tags only (ACAD_TABLE)."""
    try:
        return entity.dxf.layer
    except ezdxf.DXFAttributeError:
        return entity.xtags.get_subclass("AcDbEntity").get_first_value(8)


def vertex_points(entity):
    return [list(v.dxf.location) for v in entity.vertices]


# The geometry fields that are not plain DXF attributes of the entity.
FIELDS = {
    "closed": lambda e: bool(e.closed if e.dxftype() == "LWPOLYLINE" else e.is_closed),
    "points": vertex_points,
    "points_xy": lambda e: ([list(p) for p in e.get_points("xy")] if e.dxftype() == "LWPOLYLINE"
                            else [p[:2] for p in vertex_points(e)]),
    "kind": lambda e: e.dxf.dimtype & 7,
    "elevation_z": lambda e: (e.dxf.elevation if e.dxftype() == "LWPOLYLINE"
                              else e.dxf.elevation[2]),
}


def entity_row(entity, expected_row):
    """[type, handle, layer, fields]: the fields the host's row names, as ezdxf reads them."""
    names = expected_row[3] if expected_row is not None else {}
    fields = {name: plain(FIELDS[name](entity) if name in FIELDS else entity.dxf.get(name))
              for name in names}
    return [entity.dxftype(), entity.dxf.handle, layer_of(entity), fields]


def dictionary_tree(dictionary, xrecords):
    tree = {}
    for key, entry in dictionary.items():
        if isinstance(entry, Dictionary):
            tree[key] = dictionary_tree(entry, xrecords)
        elif isinstance(entry, XRecord):
            xrecords[entry.dxf.handle] = tags_of(entry.tags)
            tree[key] = "XRECORD " + entry.dxf.handle
        else:
            tree[key] = entry.dxftype() + " " + entry.dxf.handle
    return tree


def summarize(doc, expected):
    summary = {"model": [], "paper": [], "attributes": {}, "xdata": {},
               "extension_dictionaries": {}, "blocks": {}, "xrecords": {}}
    xrecords = summary["xrecords"]
    for name, layout in (("model", doc.modelspace()), ("paper", doc.layouts.get("Layout1"))):
        host_rows = expected[name]
        for index, entity in enumerate(layout):
            host_row = host_rows[index] if index < len(host_rows) else None
            summary[name].append(entity_row(entity, host_row))
            if entity.xdata is not None and len(entity.xdata.data):
                rows = []
                for app, tags in entity.xdata.data.items():
                    rows.append([1001, app])
                    rows.extend(tags_of(tags[1:] if tags and tags[0].code == 1001 else tags))
                summary["xdata"][entity.dxf.handle] = rows
            if entity.dxftype() == "INSERT":
                summary["attributes"][entity.dxf.handle] = [
                    [a.dxf.tag, a.dxf.text] for a in entity.attribs]
            if entity.has_extension_dict:
                summary["extension_dictionaries"][entity.dxf.handle] = dictionary_tree(
                    entity.get_extension_dict().dictionary, xrecords)
    # ezdxf adds the layer "Defpoints" to every drawing it loads.
    summary["layers"] = [layer.dxf.name for layer in doc.layers
                         if layer.dxf.name != "Defpoints" or "Defpoints" in expected["layers"]]
    for block in doc.blocks:
        if block.name.lower() in ("*model_space", "*paper_space"):
            continue
        # The "*D" blocks that draw dimensions are made on writing; undrawn_dimensions checks them.
        if not block.name.startswith("*D"):
            summary["blocks"][block.name] = [e.dxftype() for e in block]
    data = doc.rootdict.get("KESTREL_DATA")
    summary["named"] = dictionary_tree(data, xrecords) if data is not None else {}
    return summary


def undrawn_dimensions(doc):
    """The dimensions whose block draws no line or arc."""
    problems = []
    for entity in doc.entitydb.values():
        if entity.dxftype() == "DIMENSION":
            block = doc.blocks.get(entity.dxf.geometry)
            kinds = {e.dxftype() for e in block} if block is not None else set()
            if not kinds & {"LINE", "ARC"}:
                problems.append(f"dimension {entity.dxf.handle}: its block draws nothing")
    return problems


def main():
    drawing, summary_path = sys.argv[1], sys.argv[2]
    with open(summary_path, encoding="utf-8") as f:
        expected = json.load(f)
    doc = ezdxf.readfile(drawing)
    problems = audit_problems(doc)
    actual = summarize(doc, expected)
    expected_layers = sorted(expected["layers"])
    expected["layers"], actual["layers"] = expected_layers, sorted(actual["layers"])
    problems += differences("", expected, actual)
    problems += undrawn_dimensions(doc)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
