"""Writes, with ezdxf, a drawing that holds entity kinds the host does not model (construction
lines, traces, polyface and polygon meshes, leaders, multilines, helices, wipeouts, hatches
with elliptic edges) beside a few it does, with XData on some.

usage: make_foreign.py OUT.dxf
"""
import sys

import ezdxf


def main():
    doc = ezdxf.new("R2010")
    doc.appids.new("FOREIGN_APP")
    doc.layers.add("Foreign", color=4)
    msp = doc.modelspace()
    attribs = {"layer": "Foreign"}
    msp.add_line((0, 0), (10, 0), dxfattribs=attribs).set_xdata(
        "FOREIGN_APP", [(1000, "on a line"), (1040, 2.5)])
    msp.add_xline((0, 0), (1, 1), dxfattribs=attribs)
    msp.add_trace([(0, 0), (1, 0), (0, 1), (1, 1)], dxfattribs=attribs)
    face = msp.add_polyface(dxfattribs=attribs)
    face.append_face([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)])
    face.append_face([(1, 0, 0), (2, 0, 0), (2, 1, 1)])
    mesh = msp.add_polymesh((3, 3), dxfattribs=attribs)
    for m in range(3):
        for n in range(3):
            mesh.set_mesh_vertex((m, n), (m, n, m * n))
    msp.add_leader([(0, 0), (5, 5), (8, 5)], dxfattribs=attribs)
    msp.add_mline([(0, 10), (10, 10), (10, 20)], dxfattribs=attribs).set_xdata(
        "FOREIGN_APP", [(1000, "on a multiline"), (1070, 7)])
    msp.add_helix(radius=2, pitch=1, turns=3, dxfattribs=attribs)
    msp.add_wipeout([(20, 0), (25, 0), (25, 5), (20, 5)], dxfattribs=attribs)
    hatch = msp.add_hatch(color=2, dxfattribs=attribs)
    path = hatch.paths.add_edge_path()
    path.add_ellipse((40, 0), major_axis=(5, 0), ratio=0.5, start_angle=0, end_angle=180)
    path.add_line((35, 0), (45, 0))
    msp.add_circle((50, 50), 3, dxfattribs=attribs)
    doc.saveas(sys.argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main())
