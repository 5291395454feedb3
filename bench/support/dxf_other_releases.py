"""Writes ezdxf's copies of a drawing for the load benchmarks: as binary DXF (the whole drawing),
and as release 12, which knows neither lightweight polylines nor objects: its lightweight
polylines become 2D polylines with the same points, bulges, layer and XData, and extension
dictionaries and the OBJECTS section are left out. Prints the count of polylines copied to the
release-12 file; exits 1 when the drawing has none.

usage: dxf_other_releases.py DRAWING R12-COPY BINARY-COPY
"""
import sys

import ezdxf


def release12_copy(doc):
    copy = ezdxf.new("R12")
    for appid in doc.appids:
        if appid.dxf.name not in copy.appids:
            copy.appids.new(appid.dxf.name)
    space = copy.modelspace()
    count = 0
    for source in doc.modelspace().query("LWPOLYLINE"):
        polyline = space.add_polyline2d(source.get_points("xyb"), format="xyb",
                                        dxfattribs={"layer": source.dxf.layer})
        for appid in source.xdata.data:
            polyline.set_xdata(appid, source.get_xdata(appid))
        count += 1
    return copy, count


def main(source, r12_path, binary_path):
    doc = ezdxf.readfile(source)
    doc.saveas(binary_path, fmt="bin")
    copy, count = release12_copy(doc)
    copy.saveas(r12_path)
    print(count)
    return 0 if count else 1


if __name__ == "__main__":
    if len(sys.argv) != 4:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        sys.exit(2)
    sys.exit(main(*sys.argv[1:]))
