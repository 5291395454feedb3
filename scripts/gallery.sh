#!/usr/bin/env bash
# scripts/gallery.sh [BUILD_DIR]: draws a few test drawings, the demo drawing and drawings of
# every entity kind made here with ezdxf, with `kestrel render` (converted to PNG by
# rsvg-convert) and with ezdxf's drawing add-on (matplotlib, Agg), and puts each pair side by
# side as one PNG in docs/gallery/, listed in docs/gallery/README.md. BUILD_DIR (default build/gallery) is
# configured and its kestrel built when needed.
set -euo pipefail
# Packages: scripts/install_packages.sh gallery.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

build="${1:-$KESTREL_ROOT/build/gallery}"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/kestrel-ccache}" CCACHE_NOHASHDIR=1
[ -f "$build/build.ninja" ] ||
  cmake -S "$KESTREL_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target kestrel_tool >/dev/null
kestrel="$build/bin/kestrel"
out="$KESTREL_ROOT/docs/gallery"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# Drawings of each kind the renderer draws, made with ezdxf.
/usr/bin/python3 - "$work" <<'EOF'
import math, sys, ezdxf
from ezdxf.enums import TextEntityAlignment
from ezdxf.math import Vec2
from ezdxf.render.mleader import ConnectionSide
folder = sys.argv[1]

def drawing():
    doc = ezdxf.new('R2018', setup=True)
    return doc, doc.modelspace()

doc, m = drawing()
m.add_mtext(r'Multiline text\Psecond {\fArial|b1;bold} line\P\H1.5x;big \S1^2; done',
            dxfattribs={'char_height': 2.5, 'insert': (0, 20), 'attachment_point': 1})
m.add_mtext(r'Middle centre\Pturned 30', dxfattribs={'char_height': 2, 'insert': (30, 0),
            'attachment_point': 5, 'rotation': 30})
m.add_text('TEXT right', dxfattribs={'height': 2}).set_placement(
    (60, 10), align=TextEntityAlignment.RIGHT)
m.add_text('Oblique', dxfattribs={'height': 2, 'oblique': 20, 'insert': (0, -10)})
m.add_text('Mirrored', dxfattribs={'height': 2, 'insert': (40, -10), 'text_generation_flag': 2})
m.add_text('%%c20 %%p0.1 45%%d', dxfattribs={'height': 2, 'insert': (0, -16)})
m.add_mtext(r'{\C1;red} {\c16744448;true colour} {\fSerif|i1;italic}',
            dxfattribs={'char_height': 2, 'insert': (0, -22)})
m.add_mtext_static_columns(['Static columns: the first one breaks here', 'second column'],
                           width=12, gutter_width=3, height=10,
                           dxfattribs={'char_height': 1.5, 'insert': (40, -22)})
doc.saveas(f'{folder}/text.dxf')

doc, m = drawing()
solid = m.add_hatch(color=1)
solid.paths.add_polyline_path([(0, 0), (40, 0), (40, 30), (0, 30)])
solid.paths.add_polyline_path([(10, 10), (20, 10), (20, 20), (10, 20)])
pattern = m.add_hatch()
pattern.set_pattern_fill('ANSI31', scale=0.5, color=5)
pattern.paths.add_polyline_path([(50, 0), (80, 0, 0.5), (80, 30), (50, 30)])
ellipse = m.add_hatch(color=3)
edges = ellipse.paths.add_edge_path()
edges.add_line((0, 40), (30, 40))
edges.add_ellipse((15, 40), major_axis=(15, 0), ratio=0.5, start_angle=0, end_angle=180)
curved = m.add_hatch(color=6)
edges = curved.paths.add_edge_path()
edges.add_spline(control_points=[(40, 40), (50, 60), (60, 40), (70, 60), (80, 40)], degree=3)
edges.add_line((80, 40), (40, 40))
doc.saveas(f'{folder}/hatch.dxf')

doc, m = drawing()
m.add_line((0, 0), (50, 0))
m.add_linear_dim(base=(0, 10), p1=(0, 0), p2=(50, 0), dimstyle='EZDXF').render()
m.add_circle((80, 0), 15)
m.add_radius_dim(center=(80, 0), radius=15, angle=45, dimstyle='EZ_RADIUS').render()
m.add_leader([(100, 0), (110, 10), (120, 10)], dxfattribs={'color': 1})
m.add_text('leader', dxfattribs={'height': 2, 'insert': (121, 9)})
note = m.add_multileader_mtext('Standard')
note.set_content('multileader', char_height=2)
note.add_leader_line(ConnectionSide.left, [Vec2(100, -20)])
note.build(insert=Vec2(115, -10))
doc.saveas(f'{folder}/dimension.dxf')

doc, m = drawing()
m.add_spline([(0, 0), (10, 20), (20, 0), (30, 20), (40, 0)])
m.add_open_spline([(0, -30), (10, -10), (20, -30), (30, -10)], degree=3, dxfattribs={'color': 5})
m.add_ellipse((60, 0), major_axis=(15, 5), ratio=0.4)
m.add_ellipse((60, 30), major_axis=(10, 0), ratio=0.5, start_param=0, end_param=math.pi)
m.add_ray((0, 0), (1, 1), dxfattribs={'color': 1})
m.add_xline((60, 0), (0, 1), dxfattribs={'color': 3})
image = doc.add_image_def(filename='photo.png', size_in_pixel=(640, 480))
m.add_image(image, insert=(80, -30), size_in_units=(16, 12))
m.add_wipeout([(80, 0), (95, 0), (95, 10), (80, 10)])
doc.saveas(f'{folder}/curves.dxf')

doc, m = drawing()
flag = doc.blocks.new('FLAG')
flag.add_lwpolyline([(0, 0), (0, 10), (5, 8), (0, 6)])
flag.add_circle((0, 0), 1, dxfattribs={'color': 0})
flag.add_attdef('NAME', (1, -3), dxfattribs={'height': 1.5})
m.add_blockref('FLAG', (0, 0), dxfattribs={'color': 1}).add_auto_attribs({'NAME': 'first'})
m.add_blockref('FLAG', (20, 0), dxfattribs={'xscale': 2, 'yscale': 2, 'rotation': 30,
               'color': 5}).add_auto_attribs({'NAME': 'second'})
m.add_blockref('FLAG', (50, 0), dxfattribs={'xscale': -1, 'color': 3}).add_auto_attribs(
    {'NAME': 'mirrored'})
grid = m.add_blockref('FLAG', (0, -30), dxfattribs={'color': 6})
grid.add_auto_attribs({'NAME': 'array'})
grid.grid(size=(2, 3), spacing=(15, 12))
note = m.add_multileader_block('Standard')
note.set_content('FLAG', color=1)
note.add_leader_line(ConnectionSide.left, [Vec2(45, -20)])
note.build(insert=Vec2(60, -10))
doc.saveas(f'{folder}/inserts.dxf')

doc, m = drawing()
for i, name in enumerate(['CONTINUOUS', 'DASHED', 'CENTER', 'DOT', 'DASHDOT', 'DIVIDE']):
    m.add_line((0, i * 5), (60, i * 5), dxfattribs={'linetype': name})
    m.add_text(name, dxfattribs={'height': 1.5, 'insert': (62, i * 5)})
doc.layers.add('HEAVY', color=1, lineweight=100)
m.add_line((0, 35), (60, 35), dxfattribs={'layer': 'HEAVY'})
m.add_text('layer weight 1.00 mm', dxfattribs={'height': 1.5, 'insert': (62, 35)})
m.add_lwpolyline([(0, 42), (30, 42), (60, 48)],
                 dxfattribs={'const_width': 1.5, 'true_color': ezdxf.colors.rgb2int((200, 120, 0))})
m.add_text('width 1.5, true colour', dxfattribs={'height': 1.5, 'insert': (62, 45)})
m.add_line((0, 52), (60, 52), dxfattribs={'lineweight': 70, 'color': 5})
m.add_text('entity weight 0.70 mm', dxfattribs={'height': 1.5, 'insert': (62, 52)})
m.add_line((0, 57), (60, 57), dxfattribs={'linetype': 'DASHED', 'ltscale': 3})
m.add_text('DASHED, linetype scale 3', dxfattribs={'height': 1.5, 'insert': (62, 57)})
doc.saveas(f'{folder}/linetypes.dxf')
EOF
cp "$KESTREL_ROOT/tests/host/dxf/data/ezdxf_sample.dxf" "$work/ezdxf_sample.dxf"
cp "$KESTREL_ROOT/tests/corpus/data/r12_entities_only.dxf" "$work/r12_entities.dxf"
"$kestrel" demo "$work/demo.dxf" > /dev/null

names=(text hatch dimension curves inserts linetypes ezdxf_sample r12_entities demo)
for name in "${names[@]}"; do
  "$kestrel" render "$work/$name.dxf" "$work/$name.svg" > "$work/$name.txt"
  rsvg-convert -w 600 -b white "$work/$name.svg" -o "$work/$name.ours.png"
done

# The add-on's pictures and the pairs side by side.
/usr/bin/python3 - "$work" "$out" "${names[@]}" <<'EOF'
import sys, ezdxf, matplotlib
matplotlib.use('Agg')
import matplotlib.pyplot as plt
from PIL import Image, ImageDraw
from ezdxf.addons.drawing import Frontend, RenderContext
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend
from ezdxf.addons.drawing.properties import LayoutProperties
work, out, names = sys.argv[1], sys.argv[2], sys.argv[3:]
side = 400

def fitted(path):
    picture = Image.open(path).convert('RGB')
    picture.thumbnail((side, side))
    return picture

lines = ['# Gallery: `kestrel render` beside ezdxf\'s drawing add-on', '',
         'Made by `scripts/gallery.sh`. Left: `kestrel render` (SVG converted with rsvg-convert);',
         'right: ezdxf\'s drawing add-on (matplotlib). A pattern hatch is drawn with the',
         'pattern lines it was read with; one without them (made in the host) is filled lightly.',
         '']
for name in names:
    doc = ezdxf.readfile(f'{work}/{name}.dxf')
    figure = plt.figure(figsize=(6, 4))
    axes = figure.add_axes([0, 0, 1, 1])
    properties = LayoutProperties.from_layout(doc.modelspace())
    properties.set_colors('#ffffff')
    failure = ''
    try:
        Frontend(RenderContext(doc), MatplotlibBackend(axes)).draw_layout(
            doc.modelspace(), finalize=True, layout_properties=properties)
    except Exception as error:  # the add-on's own failure is shown in its place
        failure = f'{type(error).__name__}: {error}'
        axes.clear()
        axes.axis('off')
        axes.text(0.5, 0.5, 'the add-on failed:\n' + failure, ha='center', va='center', wrap=True)
    figure.savefig(f'{work}/{name}.ezdxf.png', dpi=100, facecolor='#ffffff')
    plt.close(figure)
    ours, theirs = fitted(f'{work}/{name}.ours.png'), fitted(f'{work}/{name}.ezdxf.png')
    pair = Image.new('RGB', (2 * side + 30, side + 30), 'white')
    pair.paste(ours, (10 + (side - ours.width) // 2, 25 + (side - ours.height) // 2))
    pair.paste(theirs, (20 + side + (side - theirs.width) // 2, 25 + (side - theirs.height) // 2))
    pen = ImageDraw.Draw(pair)
    pen.text((10, 6), 'kestrel render', fill='black')
    pen.text((20 + side, 6), 'ezdxf drawing add-on', fill='black')
    pen.line([(15 + side, 0), (15 + side, side + 30)], fill='#999999')
    pair.quantize(colors=96).save(f'{out}/{name}.png', optimize=True)
    summary = open(f'{work}/{name}.txt').read().strip().split(': ', 1)[-1]
    lines += [f'## {name}', '', f'kestrel: {summary}', '']
    if failure:
        lines += [f'ezdxf\'s add-on failed on this drawing ({failure}).', '']
    lines += [f'![{name}]({name}.png)', '']
open(f'{out}/README.md', 'w').write('\n'.join(lines))
EOF
echo "gallery written to $out"
