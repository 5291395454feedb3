"""Compares, as ezdxf sees them, a drawing and the same drawing after it passed through the host
(read and saved): the second must load and audit clean, every object in it must be owned by
what holds it, and it must hold the same content (drawing_content.py): tables, entities of
each layout and block with their geometry, texts, attributes, XData and extension
dictionaries, named dictionaries and groups, and the classes it shares with the original
under the same C++ names.

Where the original is damaged, the content expected is the one the host's repairs give:
records with invalid names are renamed (and references follow), references to undefined
layers and blocks add them (an empty block), undefined linetypes and text styles read as
ByLayer and Standard, references to missing objects are dropped, objects without a valid
handle of their own may get any handle, and text that does not decode reads as U+FFFD. A
spline given by fit points alone may gain control points that pass through them. Dimension
style variables that release-12 files cannot hold take the host's defaults.

usage: compare_files.py ORIGINAL.dxf PASSED.dxf
"""
import sys

import ezdxf
from ezdxf.entities import Dictionary

import drawing_content as content


def class_names(doc):
    """DXF name -> C++ class name of the CLASSES section."""
    return {cls.dxf.name: cls.dxf.cpp_class_name for cls in doc.classes.classes.values()}


def class_problems(original, passed):
    known = class_names(original)
    return [f"class {name}: {known[name]} became {cpp}"
            for name, cpp in class_names(passed).items() if name in known and known[name] != cpp]


def owner_problems(doc):
    """Objects whose owner is not the layout, dictionary or entity that holds them."""
    problems = []
    for layout in list(doc.layouts) + list(doc.blocks):
        owner = layout.block_record_handle
        for entity in layout:
            if entity.dxf.owner != owner:
                problems.append(f"{entity} in {layout.name}: owner {entity.dxf.owner}")
            if entity.has_extension_dict:
                xdict = entity.get_extension_dict().dictionary
                if xdict.dxf.owner != entity.dxf.handle:
                    problems.append(f"extension dictionary of {entity}: owner {xdict.dxf.owner}")
                problems += dictionary_owner_problems(xdict)
    return problems + dictionary_owner_problems(doc.rootdict)


def dictionary_owner_problems(dictionary):
    problems = []
    for name, entry in dictionary.items():
        if getattr(entry, "dxftype", lambda: "")() in ("DICTIONARY", "XRECORD"):
            if entry.dxf.owner != dictionary.dxf.handle:
                problems.append(f"{entry} under {name}: owner {entry.dxf.owner}, "
                                f"held by {dictionary.dxf.handle}")
            if isinstance(entry, Dictionary):
                problems += dictionary_owner_problems(entry)
    return problems


def renamed_records(original, passed, undefined):
    """table -> {invalid name: the name the host gave the record}, paired in table order with
    the names the passed drawing has that the original neither had nor referred to."""
    before = content.Drawing(original).table_keys()
    after = content.Drawing(passed).table_keys()
    renamed = {}
    for table, invalid in content.invalid_names(original).items():
        new = [n for n in after[table] if n not in before[table] and n not in undefined[table]]
        renamed[table] = dict(zip(invalid, new))
    return renamed


def expected_content(original, facts, passed):
    first = content.Drawing(original, facts)
    first.describe()
    drawing = content.Drawing(original, facts,
                              renamed_records(original, passed, first.undefined))
    expected = drawing.describe()
    for layer in drawing.undefined["layers"]:
        expected["layers"][layer] = content.ANY
    for block in drawing.undefined["blocks"]:
        expected["blocks"][block] = {"base_point": content.ANY, "entities": []}
    derived_control_points(expected)
    if original.dxfversion == "AC1009":
        later_dimension_variables(expected["dimstyles"])
    return expected


# Dimension style variables a release-12 file cannot hold: the reader that upgrades the drawing
# gives them its own defaults, which differ from program to program.
LATER_DIMENSION_VARIABLES = ("dimadec", "dimdec", "dimtdec", "dimtolj", "dimazin", "dimtmove",
                             "dimupt", "dimdsep", "dimatfit", "dimfrac", "dimlunit", "dimaunit",
                             "dimjust", "dimsd1", "dimsd2", "dimtzin", "dimaltz", "dimalttz",
                             "dimaltu", "dimaltrnd", "dimfxl", "dimfxlon", "dimjogang",
                             "dimtfill", "dimtfillclr", "dimarcsym", "dimlwd", "dimlwe")


def later_dimension_variables(dimstyles):
    for record in dimstyles.values():
        if isinstance(record, dict):
            for name in LATER_DIMENSION_VARIABLES:
                if name in record:
                    record[name] = content.ANY


def derived_control_points(description):
    """A spline given by fit points alone may be written with control points that pass through
    them (through_fit_points checks that): its control points, knots and weights are not
    compared."""
    if isinstance(description, dict):
        if description.get("kind") == "SPLINE" and description["fit_points"] and not (
                description["control_points"]):
            for name in ("control_points", "knots", "weights"):
                description[name] = content.ANY
        for value in description.values():
            derived_control_points(value)
    elif isinstance(description, list):
        for value in description:
            derived_control_points(value)


def main():
    original, facts = content.load(sys.argv[1])
    passed = ezdxf.readfile(sys.argv[2])
    problems = content.audit_problems(ezdxf.readfile(sys.argv[2]))
    problems += owner_problems(passed)
    problems += class_problems(original, passed)
    expected = expected_content(original, facts, passed)
    problems += content.differences("", expected, content.Drawing(passed).describe())
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
