"""What ezdxf sees in a drawing, as plain values that two drawings can be compared by: the
tables, the entities of each layout and block with their attributes, sub-entities, XData and
extension dictionaries, the named dictionaries and the groups. Shared by the scripts that
check drawings the host wrote or passed through.

Names are compared case-free, as DXF names are. Texts are compared with the \\U+XXXX and
\\M+NXXXX escapes of older releases decoded. Handles appear only where the drawing fixes them
(see FileFacts); references to entities are written as the entity's place ("model[3]").
"""
import logging
import math
import re

import ezdxf
from ezdxf.document import Drawing as EzDrawing
from ezdxf.entities import Dictionary, DictionaryVar, XRecord
from ezdxf.filemanagement import dxf_file_info
from ezdxf.lldxf import loader
from ezdxf.lldxf.tagger import ascii_tags_loader, binary_tags_loader, tag_compiler
from ezdxf.lldxf.validator import is_binary_dxf_file, is_valid_table_name
from ezdxf.math import BSpline, Vec3

TOLERANCE = 1e-9
# Group codes of handles and pointers: the place of what they point at is compared instead.
HANDLE_CODES = {5, 105, 330, 360, 102, 1005} | set(range(320, 370)) | set(range(390, 400)) | {
    480, 481}
# Tables whose records entities name; name-valued attribute -> table ("name": of an INSERT).
NAME_REFERENCES = {"layer": "layers", "linetype": "linetypes", "style": "styles",
                   "name": "blocks", "dimstyle": "dimstyles"}
# A reference to a name no record has is read as this name.
UNDEFINED_FALLBACK = {"linetypes": "bylayer", "styles": "standard"}
# ezdxf holds these kinds only as tags: they are compared tag by tag.
TAG_ONLY = ("MULTILEADER", "ACAD_TABLE", "ACAD_PROXY_ENTITY")
# Attributes that carry meaning only in some states: (kind, attribute) -> whether it does.
MEANINGFUL = {
    **{(kind, "align_point"): lambda e: e.dxf.get("halign", 0) or e.dxf.get("valign", 0)
       for kind in ("TEXT", "ATTRIB", "ATTDEF")},
    ("VERTEX", "tangent"): lambda e: e.dxf.get("flags", 0) & 2,
}
# Defaults ezdxf does not name: (kind, attribute) -> value.
IMPLIED_DEFAULTS = {("VERTEX", "vertex_identifier"): 0, ("MTEXT", "width"): 0}
# An MTEXT's direction is given by a rotation in degrees or a direction vector (which wins):
# both are compared as the one angle they give.
MTEXT_DIRECTION = ("rotation", "text_direction")
# Codepage numbers of the \\M+N escapes.
MBCS = {"1": "cp932", "2": "cp950", "3": "cp949", "4": "cp1361", "5": "cp936"}
ESCAPE = re.compile(r"\\U\+([0-9A-Fa-f]{4})|\\M\+([1-5])([0-9A-Fa-f]{4})")


class Any:
    """Stands for a value that may be anything."""

    def __repr__(self):
        return "<any>"


ANY = Any()


class Optional(Any):
    """Stands for a value that may be anything or missing."""

    def __repr__(self):
        return "<optional>"


OPTIONAL = Optional()
# The record kinds of each table.
RECORDS = {"LAYER": "layers", "LTYPE": "linetypes", "STYLE": "styles", "DIMSTYLE": "dimstyles",
           "APPID": "appids"}


def decode(text):
    """text with the escapes of older releases decoded."""

    def one(match):
        if match.group(1):
            return chr(int(match.group(1), 16))
        return bytes.fromhex(match.group(3)).decode(MBCS[match.group(2)], "replace")

    return ESCAPE.sub(one, text)


def load(path, errors="replace"):
    """The drawing at path as ezdxf loads it, without auditing, so that damage stays visible,
    and the FileFacts of its file. Handles that are not hexadecimal are
    dropped before ezdxf sees them: it gives those objects new ones."""
    logging.getLogger("ezdxf").setLevel(logging.CRITICAL)
    if is_binary_dxf_file(path):
        with open(path, "rb") as stream:
            tags = binary_tags_loader(stream.read(), errors=errors)
        sections = loader.load_dxf_structure(tag_compiler(tags))
    else:
        encoding = dxf_file_info(path).encoding
        with open(path, encoding=encoding, errors=errors) as stream:
            sections = loader.load_dxf_structure(tag_compiler(ascii_tags_loader(stream)))
    sections.pop("THUMBNAILIMAGE", None)
    facts = FileFacts(sections)
    for entities in sections.values():
        for tags in entities:
            tags[1:] = [t for t in tags[1:] if t.code not in (5, 105) or is_handle(t.value)]
    doc = EzDrawing()
    doc._load_section_dict(sections)
    return doc, facts


def is_handle(value):
    return re.fullmatch(r"[0-9A-Fa-f]{1,16}", str(value)) is not None


def audit_problems(doc):
    auditor = doc.audit()
    return ([f"audit error {e.code}: {e.message}" for e in auditor.errors] +
            [f"audit fix {e.code}: {e.message}" for e in auditor.fixes])


class FileFacts:
    """What a file holds, beside what ezdxf makes of it. fixed: the handles the file gives its
    objects, each to the first object that has it (handle -> DXF name of that object);
    records: table -> the keys of the records the file holds (ezdxf adds defaults)."""

    def __init__(self, sections):
        self.fixed, self.records, seen = {}, {table: set() for table in RECORDS.values()}, set()
        for tags_list in sections.values():
            for tags in tags_list:
                kind = tags[0].value
                if kind in RECORDS and tags.has_tag(2):
                    self.records[RECORDS[kind]].add(key(tags.get_first_value(2)))
                handle = next((str(t.value).upper() for t in tags[1:] if t.code in (5, 105)),
                              None)
                if handle is not None and is_handle(handle) and handle not in seen:
                    self.fixed[handle] = kind
                seen.add(handle)


def plain(value):
    """A value as JSON-like data: tuples for vectors, hex for bytes, decoded texts."""
    if isinstance(value, str):
        return decode(value)
    if isinstance(value, (bytes, bytearray)):
        return value.hex()
    if hasattr(value, "xyz"):
        return tuple(float(c) for c in value.xyz)
    if isinstance(value, (list, tuple)):
        return [plain(v) for v in value]
    return value


def key(name):
    return decode(name).casefold()


class Drawing:
    """A drawing as ezdxf sees it, described for comparison. facts: the FileFacts of an
    original (None: every handle and record counts); renamed: table -> {old key: new key}."""

    def __init__(self, doc, facts=None, renamed=None):
        self.doc = doc
        self.facts = facts
        self.renamed = renamed or {}
        self.places = self._places()
        self.defined = {table: {self.renamed.get(table, {}).get(n, n) for n in names}
                        for table, names in self.table_keys().items()}
        self.undefined = {table: set() for table in self.defined}

    def table_keys(self):
        doc = self.doc
        tables = {"layers": doc.layers, "linetypes": doc.linetypes, "styles": doc.styles,
                  "dimstyles": doc.dimstyles, "appids": doc.appids}
        keys = {name: [key(r.dxf.name) for r in table] for name, table in tables.items()}
        keys["blocks"] = [key(b.name) for b in doc.blocks]
        return keys

    def _places(self):
        places = {}
        for name, layout in self.layouts():
            for index, entity in enumerate(layout):
                places[entity.dxf.handle.upper()] = f"{name}[{index}]"
        return places

    def layouts(self):
        yield "model", self.doc.modelspace()
        for name in self.doc.layouts.names_in_taborder()[1:]:
            yield name, self.doc.layouts.get(name)

    def handle(self, entity):
        handle = entity.dxf.handle.upper()
        if self.facts is None or self.facts.fixed.get(handle) == entity.dxftype():
            return handle
        return ANY

    def name(self, table, name):
        """The key of a record name as the drawing must read it."""
        name = key(name)
        name = self.renamed.get(table, {}).get(name, name)
        if table in self.defined and name not in self.defined[table]:
            self.undefined[table].add(name)
            return UNDEFINED_FALLBACK.get(table, name)
        return name

    def reference(self, handle):
        """A referenced object's place or kind; None when the drawing has no such object."""
        handle = str(handle).upper()
        if handle in self.places:
            return self.places[handle]
        target = self.doc.entitydb.get(handle)
        if target is None:
            return None
        return target.dxftype() + (" " + key(target.dxf.name) if target.dxf.hasattr("name")
                                   else "")

    def attributes(self, entity, skip=()):
        """Every DXF attribute, defaults filled in, names as keys, references resolved."""
        result, seen = {}, set()
        for attr in entity.DXFATTRIBS._attribs.values():
            name = attr.name
            if attr.code <= 0 or name in skip or (attr.alias and attr.alias in seen):
                continue
            seen.add(name)
            meaningful = MEANINGFUL.get((entity.dxftype(), name))
            if meaningful is not None and not meaningful(entity):
                continue
            if entity.dxf.hasattr(name):
                value = entity.dxf.get(name)
            elif attr.default is not None or (entity.dxftype(), name) in IMPLIED_DEFAULTS:
                value = IMPLIED_DEFAULTS.get((entity.dxftype(), name), attr.default)
            else:
                continue
            if attr.code in HANDLE_CODES:
                if name not in ("handle", "owner") and value not in (None, "0", ""):
                    result[name] = self.reference(value) or value
            elif name in NAME_REFERENCES and (name != "name" or entity.dxftype() == "INSERT"):
                result[name] = self.name(NAME_REFERENCES[name], value)
            else:
                result[name] = plain(value)
        return result

    def tags(self, tags):
        rows = []
        for tag in tags:
            value = self.reference(tag.value) if tag.code in HANDLE_CODES else plain(tag.value)
            rows.append([tag.code, value])
        return rows

    def entity(self, entity):
        kind = entity.dxftype()
        info = {"kind": kind, "handle": self.handle(entity),
                "attributes": self.attributes(entity, skip=("geometry",))}
        if kind == "MTEXT":
            for name in MTEXT_DIRECTION:
                info["attributes"].pop(name, None)
            info["attributes"]["direction_degrees"] = entity.get_rotation() % 360
        if kind in TAG_ONLY:
            info["tags"] = self.exported(entity)
        extra = EXTRAS.get(kind)
        if extra:
            info.update(extra(self, entity))
        if entity.xdata is not None and len(entity.xdata.data):
            info["xdata"] = {decode(app): self.tags(t) for app, t in entity.xdata.data.items()}
        if entity.has_extension_dict:
            info["extension_dictionary"] = self.dictionary(
                entity.get_extension_dict().dictionary)
        return info

    def exported(self, entity):
        from ezdxf.lldxf.tagwriter import TagCollector
        collector = TagCollector(dxfversion="AC1024")
        entity.export_dxf(collector)
        return [row for row in self.tags(collector.tags) if row[0] not in HANDLE_CODES]

    def dictionary(self, dictionary):
        tree = {}
        for name, entry in dictionary.items():
            if isinstance(entry, str):
                entry = self.doc.entitydb.get(entry)
            if entry is None:
                continue
            if isinstance(entry, Dictionary):
                tree[decode(name)] = self.dictionary(entry)
            elif isinstance(entry, XRecord):
                tree[decode(name)] = {"XRECORD": self.tags(entry.tags)}
            elif isinstance(entry, DictionaryVar):
                tree[decode(name)] = {"DICTIONARYVAR": plain(entry.value)}
            else:
                tree[decode(name)] = {entry.dxftype(): self.attributes(entry)}
        return tree

    def named_dictionaries(self):
        tree = self.dictionary(self.doc.rootdict)
        tree.pop("ACAD_GROUP", None)
        if "ACAD_LAYOUT" in tree:
            tree["ACAD_LAYOUT"] = sorted(tree["ACAD_LAYOUT"])
        return tree

    def groups(self):
        result = {}
        for name, group in self.doc.groups:
            # ezdxf keeps a group's members as a set: their order is lost on loading.
            members = [self.reference(e.dxf.handle) for e in group]
            result[decode(name)] = {"attributes": self.attributes(group),
                                    "members": sorted(m for m in members if m is not None)}
        return result

    def records(self, table):
        result = {}
        renames = self.renamed.get(table, {})
        for record in getattr(self.doc, table):
            info = self.attributes(record, skip=("name",))
            if record.dxftype() == "LTYPE":
                info["pattern"] = self.pattern(record.pattern_tags.tags)
            name = key(record.dxf.name)
            held = self.facts is None or name in self.facts.records[table]
            result[renames.get(name, name)] = info if held else OPTIONAL
        return result

    def pattern(self, tags):
        """A linetype's pattern: alignment, element count and length (in any order), then
        its elements in order."""
        rows = [row for row in self.tags(tags) if row[0] not in HANDLE_CODES]
        first = next((i for i, row in enumerate(rows) if row[0] == 49), len(rows))
        # An element of kind 0 (group 74) is a plain dash, as one without a kind.
        return {"header": {code: value for code, value in rows[:first]},
                "elements": [row for row in rows[first:] if row != [74, 0]]}

    def blocks(self):
        result = {}
        for block in self.doc.blocks:
            name = block.name
            if name.startswith("*"):
                continue
            result[self.name("blocks", name)] = {
                "base_point": plain(block.block.dxf.base_point),
                "entities": [self.entity(e) for e in block]}
        return result

    def describe(self):
        """Everything the comparison looks at."""
        description = {
            "layouts": {name: [self.entity(e) for e in layout]
                        for name, layout in self.layouts()},
            "blocks": self.blocks(),
            "named_dictionaries": self.named_dictionaries(),
            "groups": self.groups(),
        }
        for table in ("layers", "linetypes", "styles", "dimstyles", "appids"):
            description[table] = self.records(table)
        return description


def block_of_dimension(drawing, entity):
    block = drawing.doc.blocks.get(entity.dxf.get("geometry", ""))
    return {"block": [drawing.entity(e) for e in block] if block is not None else None}


def hatch_paths(drawing, entity):
    paths = []
    for path in entity.paths:
        edges = getattr(path, "edges", None)
        if edges is None:
            paths.append({"vertices": plain(list(path.vertices)), "closed": path.is_closed})
        else:
            paths.append({"edges": [[type(e).__name__, plain_edge(e)] for e in edges]})
    pattern = entity.pattern.lines if entity.pattern else []
    return {"paths": paths, "seeds": plain(entity.seeds),
            "pattern": [plain([p.angle, p.base_point, p.offset, p.dash_length_items])
                        for p in pattern]}


def lwpolyline_points(polyline):
    """The vertices with their widths; a vertex without widths has the constant width."""
    width = polyline.dxf.const_width
    points = []
    for x, y, start, end, bulge in polyline.get_points("xyseb"):
        if not (start or end):
            start = end = width
        points.append([x, y, start, end, bulge])
    return points


def through_fit_points(spline, tolerance=1e-3):
    """Whether the curve of a spline's control points, where it has both, passes through its
    fit points."""
    if not len(spline.control_points) or not len(spline.fit_points):
        return True
    curve = BSpline(spline.control_points, order=spline.dxf.degree + 1, knots=spline.knots,
                    weights=spline.weights or None)
    samples = list(curve.approximate(2000))
    segments = list(zip(samples, samples[1:]))
    return all(min(segment_distance(Vec3(p), a, b) for a, b in segments) <= tolerance
               for p in spline.fit_points)


def segment_distance(point, start, end):
    direction = end - start
    length = direction.magnitude_square
    t = 0.0 if length == 0 else max(0.0, min(1.0, (point - start).dot(direction) / length))
    return point.distance(start + direction * t)


def plain_edge(edge):
    return {k: plain(v) for k, v in vars(edge).items() if not k.startswith("_")}


EXTRAS = {
    "LWPOLYLINE": lambda d, e: {"points": lwpolyline_points(e)},
    "POLYLINE": lambda d, e: {"vertices": [d.entity(v) for v in e.vertices]},
    "INSERT": lambda d, e: {"attributes_attached": [d.entity(a) for a in e.attribs]},
    "SPLINE": lambda d, e: {"control_points": plain(list(e.control_points)),
                            "fit_points": plain(list(e.fit_points)),
                            "knots": plain(list(e.knots)), "weights": plain(list(e.weights)),
                            "through_fit_points": through_fit_points(e)},
    "MTEXT": lambda d, e: {"text": decode(e.text)},
    "LEADER": lambda d, e: {"vertices": plain(list(e.vertices))},
    "MLINE": lambda d, e: {"vertices": [plain([v.location, v.line_direction,
                                                v.miter_direction, v.line_params,
                                                v.fill_params]) for v in e.vertices]},
    "MESH": lambda d, e: {"vertices": plain(list(e.vertices)),
                          "faces": plain([list(f) for f in e.faces]),
                          "edges": plain([list(x) for x in e.edges])},
    "IMAGE": lambda d, e: {"boundary": plain(list(e.boundary_path))},
    "WIPEOUT": lambda d, e: {"boundary": plain(list(e.boundary_path))},
    "PDFUNDERLAY": lambda d, e: {"boundary": plain(list(e.boundary_path))},
    "HATCH": hatch_paths,
    "MPOLYGON": hatch_paths,
    "DIMENSION": block_of_dimension,
    "ARC_DIMENSION": block_of_dimension,
    "3DSOLID": lambda d, e: {"acis": plain(list(e.sat))},
    "BODY": lambda d, e: {"acis": plain(list(e.sat))},
    "REGION": lambda d, e: {"acis": plain(list(e.sat))},
}


def differences(path, expected, actual):
    """The differences between two descriptions; floats agree to TOLERANCE, ANY to anything."""
    if isinstance(expected, Any):
        return []
    if isinstance(expected, dict) and isinstance(actual, dict):
        problems = []
        for name in list(expected) + [k for k in actual if k not in expected]:
            if name not in actual and expected[name] is not OPTIONAL:
                problems.append(f"{path}/{name}: missing, was {short(expected[name])}")
            elif name not in expected:
                problems.append(f"{path}/{name}: added {short(actual[name])}")
            else:
                problems.extend(differences(f"{path}/{name}", expected[name], actual[name]))
        return problems
    if isinstance(expected, (list, tuple)) and isinstance(actual, (list, tuple)):
        if len(expected) != len(actual):
            return [f"{path}: {len(expected)} items became {len(actual)}: "
                    f"{short(expected)} -> {short(actual)}"]
        problems = []
        for index, (e, a) in enumerate(zip(expected, actual)):
            problems.extend(differences(f"{path}[{index}]", e, a))
        return problems
    if isinstance(expected, (int, float)) and isinstance(actual, (int, float)) and not (
            isinstance(expected, bool) or isinstance(actual, bool)):
        if math.isclose(expected, actual, rel_tol=TOLERANCE, abs_tol=TOLERANCE):
            return []
    elif expected == actual:
        return []
    return [f"{path}: {short(expected)} became {short(actual)}"]


def short(value, limit=160):
    text = repr(value)
    return text if len(text) <= limit else text[:limit] + "..."


def invalid_names(doc):
    """table -> the keys of its records whose names are not valid, in table order."""
    result = {}
    for table in ("layers", "linetypes", "styles", "dimstyles"):
        names = [key(r.dxf.name) for r in getattr(doc, table)]
        result[table] = [n for n in names if not n or not is_valid_table_name(n)]
    return result
