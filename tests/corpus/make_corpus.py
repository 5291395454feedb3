"""Writes the reader's test corpus into a folder: one drawing per release R12..R2018 in ASCII
and in binary, each holding every kind of entity and object ezdxf makes for that release, with
names and texts outside ASCII (outside the code page of the older releases too); damaged
variants of them, one damage each; the hand-written release-12 drawings of data/; and
manifest.txt, one line per file: its name, its $ACADVER ("-" when it names none), "ascii" or
"binary", and the repair codes the reader must report for it (none for a sound file), separated
by tabs and the codes by spaces.

usage: make_corpus.py OUT_FOLDER
"""
import shutil
import sys
from pathlib import Path

import ezdxf
from ezdxf.math import Vec2
from ezdxf.render import mleader

RELEASES = ("R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018")
APP = "KESTREL_CORPUS"
# Greek and CJK are outside cp1252, the code page ezdxf writes before R2007.
LAYER = "Wände_Ωμέγα"
LINETYPE = "Strich_é_線"
STYLE = "Schrift_λ"
# ezdxf reads no release-12 block name with a character outside the code page.
BLOCKS = {"R12": "Tür"}
BLOCK = "Tür_門"
ATTRIBUTE_TAG = "NUMMER"
GROUP = "Gruppe_α"
NAMED_DICTIONARY = "KESTREL_DATEN_β"
LONG_TEXT = "Zeile mit Ümlauten, Ελληνικά und 漢字 " * 12


def add_tables(doc):
    doc.appids.new(APP)
    doc.linetypes.add(LINETYPE, [0.75, 0.5, -0.25], description="Strich — 線 __ __")
    doc.layers.add(LAYER, color=3, linetype=LINETYPE)
    doc.layers.add("Kreise", color=1)
    doc.styles.add(STYLE, font="arial.ttf")


def add_block(doc, name):
    block = doc.blocks.new(name, base_point=(1, 2))
    block.add_line((0, 0), (2, 0))
    block.add_circle((1, 1), 0.5, dxfattribs={"layer": LAYER})
    block.add_attdef(ATTRIBUTE_TAG, (0, 2), dxfattribs={"height": 0.5, "prompt": "Nummer?"})


def add_common_entities(msp, block):
    """The kinds every release has."""
    msp.add_line((0, 0, 0), (10, 5, 1), dxfattribs={"layer": LAYER}).set_xdata(
        APP, [(1000, "Linie ω"), (1040, 2.5), (1070, 7), (1010, (1, 2, 3))])
    msp.add_circle((5, 5), 2.5, dxfattribs={"layer": "Kreise", "linetype": LINETYPE})
    msp.add_arc((0, 0), 3, 30, 120)
    msp.add_point((7, 7, 7))
    msp.add_text("Grüße 世界 γ", dxfattribs={"height": 2.0, "rotation": 45, "style": STYLE})
    msp.add_solid([(0, 0), (1, 0), (0, 1)])
    msp.add_trace([(0, 0), (1, 0), (0, 1), (1, 1)])
    msp.add_3dface([(0, 0, 0), (1, 0, 0), (1, 1, 1), (0, 1, 0)])
    msp.add_polyline2d([(0, 0), (1, 1), (2, 0)], close=True)
    msp.add_polyline3d([(0, 0, 0), (1, 1, 1), (2, 0, 2)])
    face = msp.add_polyface()
    face.append_face([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)])
    face.append_face([(1, 0, 0), (2, 0, 0), (2, 1, 1)])
    mesh = msp.add_polymesh((3, 3))
    for m in range(3):
        for n in range(3):
            mesh.set_mesh_vertex((m, n), (m, n, m * n))
    insert = msp.add_blockref(block, (10, 10), dxfattribs={"rotation": 30, "xscale": 2})
    insert.add_auto_attribs({ATTRIBUTE_TAG: "Tür 17 門"})
    grid = msp.add_blockref(block, (30, 30))
    grid.grid(size=(2, 3), spacing=(4, 5))
    grid.add_auto_attribs({ATTRIBUTE_TAG: "Feld"})
    insert.set_xdata(APP, [(1000, "Einfügung"), (1071, 123456)])
    msp.add_linear_dim(base=(0, 3), p1=(0, 0), p2=(3, 0)).render()
    msp.add_radius_dim((20, 20), radius=4, angle=45).render()


def add_modern_entities(doc, msp):
    """The kinds of release 2000 and later."""
    msp.add_ellipse((0, 0), major_axis=(3, 1), ratio=0.5, start_param=0.5, end_param=4)
    msp.add_lwpolyline([(0, 0, 0, 0, 0.5), (4, 0), (4, 4, 0.1, 0.2, 0)], format="xyseb",
                       close=True, dxfattribs={"layer": LAYER})
    msp.add_spline([(0, 0), (1, 2), (3, 1), (4, 4)])
    msp.add_rational_spline([(0, 0), (2, 3), (5, 1), (6, 6)], weights=[1, 2, 0.5, 1])
    msp.add_ray((1, 1, 0), (0, 1, 0))
    msp.add_xline((0, 0), (1, 1))
    msp.add_mtext(LONG_TEXT, dxfattribs={"char_height": 1.5, "style": STYLE})
    hatch = msp.add_hatch(color=2)
    hatch.paths.add_polyline_path([(0, 0), (5, 0), (5, 5, 0.5), (0, 5)], is_closed=True)
    pattern = msp.add_hatch(color=5)
    pattern.set_pattern_fill("ANSI31", scale=0.5, angle=15)
    pattern.paths.add_polyline_path([(20, 0), (25, 0), (25, 5)], is_closed=True)
    edges = msp.add_hatch(color=4)
    edges.set_pattern_fill("ANSI31", scale=0.5)
    path = edges.paths.add_edge_path()
    path.add_ellipse((40, 0), major_axis=(5, 0), ratio=0.5, start_angle=0, end_angle=180)
    path.add_line((35, 0), (45, 0))
    msp.add_aligned_dim(p1=(0, 10), p2=(5, 15), distance=2).render()
    msp.add_diameter_dim((30, 30), radius=3, angle=30).render()
    msp.add_angular_dim_3p(base=(40, 45), center=(40, 40), p1=(45, 40), p2=(40, 45)).render()
    msp.add_ordinate_x_dim(feature_location=(50, 5), offset=(2, 3)).render()
    msp.add_leader([(0, 0), (5, 5), (8, 5)]).set_xdata(APP, [(1000, "Führung")])
    builder = msp.add_multileader_mtext("Standard")
    builder.set_content("Hinweis δ")
    builder.add_leader_line(mleader.ConnectionSide.left, [Vec2(60, 0)])
    builder.build(insert=Vec2(65, 5))
    msp.add_mline([(0, 10), (10, 10), (10, 20)])
    msp.add_helix(radius=2, pitch=1, turns=3)
    mesh = msp.add_mesh()
    with mesh.edit_data() as data:
        data.vertices = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 1)]
        data.faces = [(0, 1, 2, 3)]
    image_def = doc.add_image_def(filename="bild_ü.png", size_in_pixel=(640, 360))
    msp.add_image(image_def, insert=(70, 0), size_in_units=(6.4, 3.6), rotation=15)
    msp.add_wipeout([(20, 0), (25, 0), (25, 5), (20, 5)])
    underlay_def = doc.add_underlay_def("plan.pdf", fmt="pdf", name="1")
    msp.add_underlay(underlay_def, insert=(80, 0), scale=0.5)
    line = msp.add_line((100, 0), (110, 0))
    xdict = line.new_extension_dict()
    xdict.add_xrecord("KESTREL_XREC").extend([(1, "Wert ζ"), (40, 1.25), (70, 3),
                                                (10, (1, 2, 3))])
    line.set_xdata(APP, [(1000, "mit Wörterbuch")])


def add_objects(doc, msp):
    """Named dictionaries with an Xrecord and a variable, and a group (release 2000 and later)."""
    data = doc.rootdict.add_new_dict(NAMED_DICTIONARY)
    data.add_xrecord("EINTRAG_θ").extend([(1, "benannt"), (70, 42), (40, 0.5)])
    data.add_new_dict("UNTER").add_xrecord("TIEF").extend([(1, "tief unten")])
    data.add_dict_var("VARIABLE", "Wert 值")
    group = doc.groups.new(GROUP, description="Gruppe mit Linien")
    group.extend([e for e in msp if e.dxftype() in ("LINE", "CIRCLE")][:3])


def add_paper_space(doc):
    paper = doc.layout("Layout1")
    paper.add_circle((50, 50), 10, dxfattribs={"layer": LAYER})
    paper.add_text("Papier π", dxfattribs={"height": 3})


def build_drawing(release):
    doc = ezdxf.new(release, setup=True)
    add_tables(doc)
    block = BLOCKS.get(release, BLOCK)
    add_block(doc, block)
    msp = doc.modelspace()
    add_common_entities(msp, block)
    if release != "R12":
        add_modern_entities(doc, msp)
        add_objects(doc, msp)
    add_paper_space(doc)
    return doc


class Manifest:
    def __init__(self):
        self.lines = []

    def add(self, name, release, fmt, codes=()):
        self.lines.append("\t".join([name, release or "-", fmt, " ".join(codes)]))

    def write(self, path):
        path.write_text("\n".join(self.lines) + "\n", encoding="utf-8")


def write_sound(folder, manifest):
    for release in RELEASES:
        doc = build_drawing(release)
        for fmt, suffix in (("asc", "ascii"), ("bin", "binary")):
            name = f"{release}_{suffix}.dxf"
            doc.saveas(folder / name, fmt=fmt)
            manifest.add(name, doc.dxfversion, suffix)


# The hand-written drawings of data/ and the release each names.
HAND_WRITTEN = {
    "r12_entities_only.dxf": None,
    "r12_header_entities.dxf": "AC1009",
    "r12_sequences.dxf": "AC1009",
    "r12_tables_without_block_records.dxf": "AC1009",
}


def copy_hand_written(folder, manifest):
    for name, release in HAND_WRITTEN.items():
        shutil.copyfile(Path(__file__).parent / "data" / name, folder / name)
        manifest.add(name, release, "ascii")


class Tags:
    """A drawing's ASCII text as [code, value] pairs, for damaging one object at a time. Bytes
    that do not decode stay as they were (surrogate escapes)."""

    def __init__(self, path, encoding):
        self.encoding = encoding
        lines = path.read_bytes().decode(encoding, "surrogateescape").split("\n")
        self.pairs = [[lines[i].strip(), lines[i + 1]] for i in range(0, len(lines) - 1, 2)]
        self.tail = ""

    def write(self, path):
        text = "".join(f"{code:>3}\n{value}\n" for code, value in self.pairs) + self.tail
        path.write_bytes(text.encode(self.encoding, "surrogateescape"))

    def find(self, kind, *pairs, first=0):
        """The index of the first object of that kind from index first holding all the given
        pairs."""
        for start in range(first, len(self.pairs)):
            code, value = self.pairs[start]
            if code == "0" and value == kind and all(
                    list(p) in self.pairs[start + 1:self.end(start)] for p in pairs):
                return start
        raise LookupError(f"no {kind} with {pairs}")

    def entity(self, kind, *pairs):
        """The index of the first entity of that kind in the ENTITIES section."""
        return self.find(kind, *pairs, first=self.pairs.index(["2", "ENTITIES"]))

    def end(self, start):
        """The index where the object starting at start ends."""
        end = start + 1
        while end < len(self.pairs) and self.pairs[end][0] != "0":
            end += 1
        return end

    def index(self, start, code):
        for i in range(start + 1, self.end(start)):
            if self.pairs[i][0] == code:
                return i
        raise LookupError(f"no group {code} in {self.pairs[start][1]}")

    def get(self, start, code):
        return self.pairs[self.index(start, code)][1]

    def set(self, start, code, value):
        self.pairs[self.index(start, code)][1] = value

    def rename(self, code, old, new):
        """Replaces the value old of every group code."""
        for pair in self.pairs:
            if pair == [code, old]:
                pair[1] = new

    def header(self, variable):
        return self.pairs[self.pairs.index(["9", variable]) + 1][1]

    def handle_of(self, kind, *pairs):
        return self.get(self.find(kind, *pairs), "5")


def drop_handle(tags):
    del tags.pairs[tags.index(tags.entity("POINT"), "5")]


def empty_handle(tags):
    tags.set(tags.entity("SOLID"), "5", "")


def non_hex_handle(tags):
    tags.set(tags.entity("TRACE"), "5", "7G!")


def duplicate_handle(tags):
    tags.set(tags.entity("POINT"), "5", tags.get(tags.entity("ARC"), "5"))


def name_for_handle(tags):
    tags.set(tags.find("DIMSTYLE", ["2", "EZDXF"]), "340", "Standard")


def invalid_name(tags):
    tags.rename("2", "Kreise", "Kreise<alt>")
    tags.rename("8", "Kreise", "Kreise<alt>")


def empty_name(tags):
    tags.set(tags.find("STYLE", ["2", "OpenSans-ExtraBold"]), "2", "")


def dangling_reference(tags):
    tags.set(tags.find("GROUP"), "340", "FFFFFF")


def entity_owned_by_layer(tags):
    tags.set(tags.entity("POINT"), "330", tags.handle_of("LAYER", ["2", "0"]))


def xrecord_owned_by_layer(tags):
    tags.set(tags.find("XRECORD", ["1", "Wert ζ"]), "330", tags.handle_of("LAYER", ["2", "0"]))


def undefined_layer(tags):
    tags.set(tags.entity("ARC"), "8", "Fehlende_Ebene")


def undefined_linetype(tags):
    tags.set(tags.entity("CIRCLE", ["8", "Kreise"]), "6", "Fehlende_Linie")


def undefined_text_style(tags):
    tags.set(tags.entity("TEXT"), "7", "Fehlender_Stil")


def undefined_block(tags):
    tags.set(tags.entity("INSERT"), "2", "Fehlender_Block")


def data_after_eof(tags):
    tags.tail = "0\nLINE\n8\n0\n"


def undecodable_text(tags):
    tags.set(tags.entity("TEXT"), "1", "kaputt \udc81 hier")


# name: (sound drawing it is made from, damage, the repair codes the reader must report)
DAMAGES = {
    "handle_missing": ("R2010_ascii.dxf", drop_handle, ["invalid-handle"]),
    "handle_empty": ("R2010_ascii.dxf", empty_handle, ["invalid-handle"]),
    "handle_not_hex": ("R2010_ascii.dxf", non_hex_handle, ["invalid-handle"]),
    "handle_duplicate": ("R2010_ascii.dxf", duplicate_handle, ["duplicate-handle"]),
    "name_for_handle": ("R2010_ascii.dxf", name_for_handle, ["name-for-handle"]),
    "name_invalid": ("R2010_ascii.dxf", invalid_name, ["invalid-name"]),
    "name_empty": ("R2010_ascii.dxf", empty_name, ["invalid-name"]),
    "reference_dangling": ("R2010_ascii.dxf", dangling_reference, ["dangling-reference"]),
    "owner_of_entity": ("R2010_ascii.dxf", entity_owned_by_layer, ["bad-owner"]),
    "owner_of_xrecord": ("R2010_ascii.dxf", xrecord_owned_by_layer, ["bad-owner"]),
    "undefined_layer": ("R2010_ascii.dxf", undefined_layer, ["undefined-layer"]),
    "undefined_linetype": ("R2010_ascii.dxf", undefined_linetype, ["undefined-linetype"]),
    "undefined_text_style": ("R2010_ascii.dxf", undefined_text_style, ["undefined-text-style"]),
    "undefined_block": ("R2010_ascii.dxf", undefined_block, ["undefined-block"]),
    "data_after_eof": ("R2010_ascii.dxf", data_after_eof, ["data-after-eof"]),
    "undecodable_utf8": ("R2010_ascii.dxf", undecodable_text, ["undecodable-text"]),
    "undecodable_cp1252": ("R2000_ascii.dxf", undecodable_text, ["undecodable-text"]),
}


def write_damaged(folder, manifest):
    for name, (sound, damage, codes) in DAMAGES.items():
        tags = Tags(folder / sound, "utf-8" if sound >= "R2007" else "cp1252")
        damage(tags)
        tags.write(folder / f"damaged_{name}.dxf")
        manifest.add(f"damaged_{name}.dxf", tags.header("$ACADVER"), "ascii", codes)


if __name__ == "__main__":
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    manifest = Manifest()
    write_sound(out, manifest)
    copy_hand_written(out, manifest)
    write_damaged(out, manifest)
    manifest.write(out / "manifest.txt")
