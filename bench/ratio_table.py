"""Prints one table of the benchmark programs' results against their peers, from the JSON files the
programs wrote (--benchmark_out_format=json). Each file is named after its program without the
bench_ prefix (dxf_load.json); rows of programs with no file are listed as not run.

Rows, written out below, are of three kinds:
- pair: our benchmark against a peer at the same argument, by processor time or by a counter
  (a rate, or a cost such as cpu_seconds); shown as how many times slower or faster than the
  peer we are, and as the ratio of our cost to the peer's where the target bounds that ratio.
- flat: how much a per-item figure (a cost such as ns_per_char, or a rate such as items/s) costs
  at the larger size than at the smaller. Target "flat" is met when the growth is at most 1.5,
  or, where the row names a floor measured at both sizes, at most 1.5 times the floor's own
  growth: the floor pays the same cache and memory cost, so it is the machine's share.
- counter: a counter as the program reports it (x_faster_than_ezdxf, lines/s, ...).
A benchmark or counter a row needs that is absent shows as missing, a benchmark that reported
an error shows its message; the exit status is then 1. A peer that reported an error (a library
that cannot read a file) shows its message in its rows too, but leaves the exit status alone:
it is a finding about the peer. Targets missed do not change the exit
status: timings on a shared machine vary, the table says which ones are missed.

usage: ratio_table.py RESULT.json...
"""
import json
import os
import statistics
import sys

FLAT_LIMIT = 1.5
TIME_UNITS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


class Missing(Exception):
    """A benchmark or counter a row needs is absent or reported an error."""


class Failed(Missing):
    """A benchmark a row needs reported an error."""


class PeerFailed(Exception):
    """The peer of a pair row reported an error."""


def pair(program, label, ours, peer, figure="time", target=None):
    """target "no slower": met when ours costs at most what the peer costs; (op, limit): met when
    our cost over the peer's meets it, as ("<=", 0.5) for at most half the peer's cost."""
    return {"kind": "pair", "program": program, "label": label, "ours": ours, "peer": peer,
            "figure": figure, "target": target}


def flat(program, label, name, small, large, figure, floor=None, target="flat"):
    return {"kind": "flat", "program": program, "label": label, "name": name, "small": small,
            "large": large, "figure": figure, "floor": floor, "target": target}


def counter(program, label, name, figure, target=None):
    return {"kind": "counter", "program": program, "label": label, "name": name,
            "figure": figure, "target": target}


# Targets of the drawing-file rows: our cost over a C++ library's or a floor's.
DXF_LOAD_VS_LIBRARY = ("<=", 0.5)
DXF_LOAD_VS_FLOOR = ("<=", 5)
DXF_SAVE_VS_DIME = ("<=", 0.5)
DXF_SAVE_VS_FLOOR = ("<=", 10)
# The drawings in the shape of ones in long use that bench_dxf_load reads (host::kSampleShapes in
# include/kestrel/host/sample_drawings.h), by the name their benchmarks carry.
DXF_SHAPES = ["sparse_handles", "high_handles", "handle_runs", "binary_chunks", "long_XData"]


def dxf_loads(program, drawing, label):
    """The rows of the host's load of one drawing against dxflib, DIME and the floor (the file
    read and split into lines)."""
    ours = f"DxfLoad/{drawing}"
    return [
        pair(program, f"load {label} vs dxflib", ours, f"DxflibLoad/{drawing}", "cpu_seconds",
             DXF_LOAD_VS_LIBRARY),
        pair(program, f"load {label} vs DIME", ours, f"DimeLoad/{drawing}", "cpu_seconds",
             DXF_LOAD_VS_LIBRARY),
        pair(program, f"load {label} vs reading and splitting it", ours, f"PlainSplit/{drawing}",
             "cpu_seconds", DXF_LOAD_VS_FLOOR),
    ]


# Benchmark names leave out the BM_ prefix; "{}" in a flat row's name stands for the size.
ROWS = [
    flat("access_stores", "big string write, per char, 1M to 10M", "BigStringWrite/{}",
         1000000, 10000000, "ns_per_char", floor="PeerTextCopy/{}"),
    flat("access_stores", "big string read, per char, 1M to 10M", "BigStringRead/{}",
         1000000, 10000000, "ns_per_char", floor="PeerTextCopy/{}"),
    flat("access_stores", "big string write+read, per char, 1M to 10M", "BigStringWriteRead/{}",
         1000000, 10000000, "ns_per_char", floor="PeerTextCopy/{}"),
    pair("access_stores", "big string write vs text copy, 10M", "BigStringWrite/10000000",
         "PeerTextCopy/10000000", target=("<=", 5)),
    pair("access_stores", "big string write vs copy to fresh memory, 10M",
         "BigStringWrite/10000000", "PeerTextCopyFresh/10000000", target=("<=", 5)),
    pair("access_stores", "big string read vs text copy, 10M", "BigStringRead/10000000",
         "PeerTextCopy/10000000"),
    flat("access_stores", "partial-key read, per record, 1K to 10K", "PartialKeyRead/{}", 1000,
         10000, "ns_per_record", floor="PeerVectorScan/{}"),
    pair("access_stores", "partial-key read vs vector scan, 10K", "PartialKeyRead/10000",
         "PeerVectorScan/10000"),
    flat("db_open_close", "open/close a block of ids, 1K to 1M objects", "OpenCloseById/{}/0",
         1000, 1000000, "items_per_second", target=None),
    flat("db_open_close", "open/close spread ids, 1K to 1M objects", "OpenCloseById/{}/1",
         1000, 1000000, "items_per_second", target=None),
    flat("db_open_close", "handle look-up, block of ids, 1K to 1M objects", "HandleLookUp/{}/0",
         1000, 1000000, "items_per_second", target=None),
    flat("db_undo", "undo a group, per object, 1K to 100K", "UndoGroup/{}", 1000, 100000,
         "items_per_second", floor="FilingFloor/{}"),
    pair("db_undo", "undo a group vs filing floor, 100K", "UndoGroup/100000",
         "FilingFloor/100000"),
    flat("dictionary_lookup", "getAt, same 100 keys, 100 to 100K entries",
         "DictionaryGetAtWarm/{}", 100, 100000, "time"),
    flat("dictionary_lookup", "getAt, every key, 100 to 100K entries", "DictionaryGetAtCold/{}",
         100, 100000, "time", floor="PeerStdMapFind/{}", target=None),
    pair("dictionary_lookup", "getAt every key vs std::map, 100", "DictionaryGetAtCold/100",
         "PeerStdMapFind/100"),
    pair("dictionary_lookup", "getAt every key vs std::map, 100K", "DictionaryGetAtCold/100000",
         "PeerStdMapFind/100000"),
    counter("dxf_lines", "save 1M lines vs ezdxf", "DxfSaveLines", "x_faster_than_ezdxf",
            (">=", 50)),
    pair("dxf_lines", "save 1M lines vs DIME", "DxfSaveLines", "DimeSaveLines", "cpu_seconds",
         DXF_SAVE_VS_DIME),
    pair("dxf_lines", "save 1M lines vs dxflib", "DxfSaveLines", "DxflibSaveLines",
         "cpu_seconds"),
    pair("dxf_lines", "save 1M lines vs writing its bytes", "DxfSaveLines", "PlainWriteLines",
         "cpu_seconds", DXF_SAVE_VS_FLOOR),
    counter("dxf_lines", "load 1M lines vs ezdxf", "DxfLoad/lines", "x_faster_than_ezdxf",
            (">=", 50)),
    *dxf_loads("dxf_lines", "lines", "1M lines"),
    counter("dxf_load", "load vs ezdxf", "DxfLoad/plain", "x_faster_than_ezdxf", (">=", 50)),
    *dxf_loads("dxf_load", "plain", "polylines"),
    counter("dxf_load", "load vs the reader before its rewrite (e982160)",
            "DxfLoadBeforeRewrite", "x_slower_than_before", ("<=", 1)),
    pair("dxf_load", "load R12 copy vs R2010", "DxfLoad/r12", "DxfLoad/plain", "cpu_seconds"),
    pair("dxf_load", "load R12 copy vs reading and splitting it", "DxfLoad/r12", "PlainSplit/r12",
         "cpu_seconds", DXF_LOAD_VS_FLOOR),
    pair("dxf_load", "load binary copy vs R2010", "DxfLoad/binary", "DxfLoad/plain",
         "cpu_seconds"),
    pair("dxf_load", "load binary copy vs reading and splitting it", "DxfLoad/binary",
         "PlainSplit/binary", "cpu_seconds", DXF_LOAD_VS_FLOOR),
    *[row for shape in DXF_SHAPES
      for row in dxf_loads("dxf_load", shape, shape.replace("_", " "))],
    counter("dxf_save", "write the text vs ezdxf saving", "DxfWriteText", "x_faster_than_ezdxf",
            (">=", 50)),
    counter("dxf_save", "saveAs vs ezdxf saving", "DxfSaveAs", "x_faster_than_ezdxf", (">=", 50)),
    counter("dxf_save", "write the text, lines per second", "DxfWriteText", "lines/s",
            (">=", 1250000)),
    counter("dxf_save", "saveAs, lines per second", "DxfSaveAs", "lines/s", (">=", 1250000)),
    pair("dxf_save", "write the text vs snprintf lines", "DxfWriteText", "PlainSnprintfLines",
         "lines/s"),
    pair("dxf_save", "save 1M lines vs DIME", "DxfSaveMillionLines", "DimeSaveMillionLines",
         "cpu_seconds", DXF_SAVE_VS_DIME),
    pair("dxf_save", "save 1M lines vs writing its bytes", "DxfSaveMillionLines",
         "PlainWriteMillionLines", "cpu_seconds", DXF_SAVE_VS_FLOOR),
    pair("dxf_save", "save 1M lines: first pass vs whole save", "DxfPlanMillionLines",
         "DxfSaveMillionLines", "cpu_seconds"),
    pair("dxf_save", "save 1M lines, memory (drawing + save) vs DIME", "DxfSaveMillionLines",
         "DimeSaveMillionLines", "footprint_mb"),
    counter("dxf_save", "save 1M lines, peak memory growth of the save, MB",
            "DxfSaveMillionLines", "save_growth_mb", ("<=", 16)),
    flat("entities_deep_clone", "deep clone a block, per entity, 1K to 10K", "DeepCloneBlock/{}",
         1000, 10000, "items_per_second", floor="CloneOutsideDatabase/{}"),
    flat("entities_deep_clone", "deep clone a block, per entity, 10K to 100K",
         "DeepCloneBlock/{}", 10000, 100000, "items_per_second", target=None),
    pair("entities_deep_clone", "deep clone vs clone outside a database, 10K",
         "DeepCloneBlock/10000", "CloneOutsideDatabase/10000"),
    flat("entities_lines", "append and walk lines, per line, 100K to 1M", "AppendAndWalkLines/{}",
         100000, 1000000, "items_per_second", floor="PlainSegments/{}"),
    pair("entities_lines", "append and walk vs plain vector, 1M", "AppendAndWalkLines/1000000",
         "PlainSegments/1000000"),
    counter("entities_lines", "heap per line, 100K lines", "LineMemory/100000", "bytes_per_line",
            ("<=", 200)),
    counter("entities_lines", "heap per line, 1M lines", "LineMemory/1000000", "bytes_per_line",
            ("<=", 200)),
    pair("xml_markup", "index vs pugixml in place (UTF-8), repository", "MarkupIndex/0",
         "PugiInPlaceUtf8/0", target="no slower"),
    pair("xml_markup", "index vs RapidXML in place (wide), repository", "MarkupIndex/0",
         "RapidInPlaceWide/0"),
    pair("xml_markup", "index vs pugixml in place (UTF-8), flat", "MarkupIndex/1",
         "PugiInPlaceUtf8/1", target="no slower"),
    pair("xml_markup", "index vs RapidXML in place (wide), flat", "MarkupIndex/1",
         "RapidInPlaceWide/1"),
    pair("xml_markup", "index vs pugixml in place (UTF-8), text", "MarkupIndex/2",
         "PugiInPlaceUtf8/2", target="no slower"),
    pair("xml_markup", "index vs RapidXML in place (wide), text", "MarkupIndex/2",
         "RapidInPlaceWide/2"),
    pair("xml_markup", "SetDocument vs pugixml from wide, repository", "MarkupSetDocument/0",
         "PugiWide/0"),
    pair("xml_markup", "SetDocument vs pugixml from wide, flat", "MarkupSetDocument/1",
         "PugiWide/1"),
    pair("xml_markup", "SetDocument vs pugixml from wide, text", "MarkupSetDocument/2",
         "PugiWide/2"),
    pair("xml_markup", "read a repository entry vs pugixml", "MarkupReadEntry", "PugiReadEntry",
         target="no slower"),
    flat("xmlrepo_repository", "SetXML and undo, per char, 256K to 1M", "SetXmlAndUndo/{}",
         262144, 1048576, "ns_per_char"),
    flat("xmlrepo_repository", "repository save, per char, 12.8K to 51.2K", "RepositorySave/{}",
         12800, 51200, "ns_per_char"),
    flat("xmlrepo_repository", "repository load, per char, 12.8K to 51.2K", "RepositoryLoad/{}",
         12800, 51200, "ns_per_char", floor="PeerRapidXmlLoad/{}"),
    pair("xmlrepo_repository", "repository load vs pugixml, 51.2K", "RepositoryLoad/51200",
         "PeerPugixmlLoad/51200"),
    pair("xmlrepo_repository", "repository load vs RapidXML, 51.2K", "RepositoryLoad/51200",
         "PeerRapidXmlLoad/51200"),
    # The handle index per handle, for each shape of handles of tests/support/handle_patterns.h.
    *[flat("db_handle_index", f"handle index {what}, {shape}, 10K to 1M",
           f"HandleIndex{name}/{number}/{{}}", 10000, 1000000, "items_per_second",
           floor="ScatteredTableFloor/{}")
      for name, what in (("Load", "load"), ("Find", "look-up"))
      for number, shape in enumerate(("dense from 1", "from 0xC000", "from 0xC000000", "sparse",
                                      "runs far apart", "spaced by 0x10000", "map from 0xC000"))],
]


def base_name(name):
    """The name without the run options Google Benchmark appends (iterations:3, manual_time)."""
    parts = [p for p in name.split("/") if ":" not in p and not p.endswith("_time")]
    return "/".join(parts)


def load_program(path):
    """The run context of one JSON file, and each benchmark name mapped to its runs (more than
    one with repetitions)."""
    with open(path, encoding="utf-8") as source:
        document = json.load(source)
    runs = {}
    for run in document.get("benchmarks", []):
        if run.get("run_type", "iteration") == "iteration":
            runs.setdefault(base_name(run["name"]), []).append(run)
    return document.get("context", {}), runs


def figure_of(run, figure):
    """The figure of one run, as (value, is_rate)."""
    if figure == "time":
        return run["cpu_time"] * TIME_UNITS[run["time_unit"]], False
    if figure not in run:
        raise Missing(f"missing: {figure} of {run['name']}")
    rate = figure.endswith("/s") or figure.endswith("_per_second")
    return float(run[figure]), rate


def runs_of(results, program, name):
    """The runs of one benchmark, which must be there and free of errors."""
    runs = results[program].get("BM_" + name)
    if not runs:
        raise Missing(f"missing: BM_{name}")
    failed = [r for r in runs if r.get("error_occurred")]
    if failed:
        raise Failed(f"error in BM_{name}: {failed[0].get('error_message', '')}")
    return runs


def cost(results, program, name, figure):
    """The median cost (larger is slower) of a benchmark's figure over its runs."""
    costs = []
    for run in runs_of(results, program, name):
        value, rate = figure_of(run, figure)
        if value <= 0:
            raise Missing(f"unusable: {figure} of BM_{name} is {value}")
        costs.append(1.0 / value if rate else value)
    return statistics.median(costs)


def raw_counter(results, program, name, figure):
    return statistics.median(figure_of(run, figure)[0]
                             for run in runs_of(results, program, name))


def figure_name(figure):
    return "cpu time" if figure == "time" else figure


def target_text(target):
    if target is None:
        return ""
    if target in ("flat", "no slower"):
        return target
    return f"{target[0]} {target[1]:,}"


def meets(value, target):
    return value >= target[1] if target[0] == ">=" else value <= target[1]


def evaluate_pair(row, results):
    ours = cost(results, row["program"], row["ours"], row["figure"])
    try:
        ratio = ours / cost(results, row["program"], row["peer"], row["figure"])
    except Failed as failed:
        raise PeerFailed(f"peer {failed}") from failed
    value = f"{ratio:.2f}x slower" if ratio >= 1 else f"{1 / ratio:.2f}x faster"
    target = row["target"]
    if target is None:
        return figure_name(row["figure"]), value, ""
    if target == "no slower":
        return figure_name(row["figure"]), value, "yes" if ratio <= 1 else "NO"
    return (figure_name(row["figure"]), f"{ratio:.3g} ({value})",
            "yes" if meets(ratio, target) else "NO")


def growth(results, row, name):
    small = cost(results, row["program"], name.format(row["small"]), row["figure"])
    large = cost(results, row["program"], name.format(row["large"]), row["figure"])
    return large / small


def evaluate_flat(row, results):
    ratio = growth(results, row, row["name"])
    value = f"x{ratio:.2f} per item"
    limit = FLAT_LIMIT
    if row["floor"]:
        floor = growth(results, row, row["floor"])
        value += f" (floor x{floor:.2f})"
        limit = FLAT_LIMIT * max(1.0, floor)
    met = "" if row["target"] is None else ("yes" if ratio <= limit else "NO")
    return figure_name(row["figure"]), value, met


def evaluate_counter(row, results):
    value = raw_counter(results, row["program"], row["name"], row["figure"])
    met = "" if row["target"] is None else ("yes" if meets(value, row["target"]) else "NO")
    text = f"{value:,.0f}" if abs(value) >= 1000 else f"{value:.3g}"
    return row["figure"], text, met


EVALUATORS = {"pair": evaluate_pair, "flat": evaluate_flat, "counter": evaluate_counter}


def used_names(row):
    """The benchmark names a row reads."""
    if row["kind"] == "pair":
        return {row["ours"], row["peer"]}
    if row["kind"] == "counter":
        return {row["name"]}
    names = {row["name"]} | ({row["floor"]} if row["floor"] else set())
    return {n.format(size) for n in names for size in (row["small"], row["large"])}


def table(results):
    """The table's lines and whether every row found what it needs."""
    header = ("program", "comparison", "figure", "value", "target", "met")
    lines = [header]
    complete = True
    for row in ROWS:
        if row["program"] not in results:
            continue
        try:
            figure, value, met = EVALUATORS[row["kind"]](row, results)
        except PeerFailed as failed:
            figure, value, met = "", str(failed), "-"
        except Missing as missing:
            figure, value, met = "", str(missing), "?"
            complete = False
        lines.append((row["program"], row["label"], figure, value,
                      target_text(row.get("target")), met))
    return lines, complete


def print_machine(contexts):
    """One line on the machine: a busy one makes the ratios noisier."""
    if contexts:
        loads = [c["load_avg"][0] for c in contexts if c.get("load_avg")]
        busiest = f", 1-minute load average up to {max(loads):.1f}" if loads else ""
        print(f"{contexts[0].get('date', '')}: {contexts[0].get('num_cpus', '?')} CPUs{busiest}\n")


def print_table(lines):
    widths = [max(len(line[i]) for line in lines) for i in range(len(lines[0]))]
    for number, line in enumerate(lines):
        print("  ".join(cell.ljust(width) for cell, width in zip(line, widths)).rstrip())
        if number == 0:
            print("  ".join("-" * width for width in widths))


def print_leftovers(results):
    """Names the programs with no file, and the benchmarks no row reads."""
    programs = sorted({row["program"] for row in ROWS})
    not_run = [p for p in programs if p not in results]
    if not_run:
        print("\nnot run: " + ", ".join(not_run))
    for program in sorted(results):
        used = {"BM_" + n for row in ROWS if row["program"] == program for n in used_names(row)}
        rest = sorted(n for n in results[program] if n not in used)
        if program not in programs:
            print(f"\n{program}: no rows in this table for its benchmarks")
        if rest:
            print(f"\n{program}, not in the table: " + ", ".join(rest))


def main(paths):
    if not paths:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    results = {}
    contexts = []
    for path in paths:
        program = os.path.splitext(os.path.basename(path))[0]
        try:
            context, results[program] = load_program(path)
            contexts.append(context)
        except (OSError, ValueError) as error:
            print(f"{path}: cannot read the results: {error}", file=sys.stderr)
            results[program] = {}
    print_machine(contexts)
    lines, complete = table(results)
    print_table(lines)
    print_leftovers(results)
    return 0 if complete else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
