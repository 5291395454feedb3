#!/usr/bin/env python3
"""Builds the HTML reference of the installed headers with Doxygen and checks it.

usage: build_reference.py SOURCE_DIR OUTPUT_DIR

The comments are read as they stand (comment_filter.py). The build fails, listing each case,
on a Doxygen warning about the comments' markup, on an undocumented class and on an
undocumented free function. Members of a class and operators may go without a comment: an
accessor such as `startPoint()` says what it does by its name, and the reference lists it with
its class.
"""
import pathlib
import re
import subprocess
import sys

UNDOCUMENTED = re.compile(r'warning: (?:Member .* of (class|struct|union|namespace|file) '
                          r'|Compound )?.*is not documented\.$')
FUNCTION = re.compile(r'warning: Member (?!operator\W).*\((function|friend)\) of file ')
# Doxygen's own trouble with a specialisation in namespace std, not a fault of the comments.
INTERNAL = 'warning: Internal inconsistency: '

SETTINGS = '''
PROJECT_NAME = "Kestrel"
PROJECT_BRIEF = "The module's and the headless host's headers, as a client includes them"
INPUT = {source}/include/kestrel
RECURSIVE = YES
FILE_PATTERNS = *.h
STRIP_FROM_PATH = {source}/include
STRIP_FROM_INC_PATH = {source}/include
FULL_PATH_NAMES = YES
INPUT_FILTER = "{python} {source}/docs/reference/comment_filter.py"
OUTPUT_DIRECTORY = {output}
GENERATE_HTML = YES
GENERATE_LATEX = NO
HAVE_DOT = NO
QUIET = YES
EXTRACT_ALL = NO
EXTRACT_STATIC = YES
HIDE_UNDOC_MEMBERS = NO
HIDE_UNDOC_CLASSES = NO
WARN_IF_UNDOCUMENTED = YES
WARN_IF_DOC_ERROR = YES
WARN_NO_PARAMDOC = NO
WARN_LOGFILE = {output}/warnings.log
JAVADOC_AUTOBRIEF = YES
MARKDOWN_SUPPORT = NO
AUTOLINK_SUPPORT = YES
ENABLE_PREPROCESSING = YES
MACRO_EXPANSION = YES
EXPAND_ONLY_PREDEF = YES
EXPAND_AS_DEFINED = KESTREL_DECLARE_EXTRACTOR
EXCLUDE_SYMBOLS = std
PREDEFINED = DRAWHOST_API= KESTREL_API= "ACRX_DECLARE_MEMBERS(x)="
'''


def failures(warnings):
    """The warnings that fail the build: all but an undocumented member of a class, a variable,
    type, macro or operator of a file, and Doxygen's internal ones."""
    for line in warnings:
        if not line.strip() or INTERNAL in line:
            continue
        match = UNDOCUMENTED.search(line)
        if match is None or match.group(1) is None or FUNCTION.search(line):
            yield line


def main():
    source, output = (pathlib.Path(arg).resolve() for arg in sys.argv[1:3])
    output.mkdir(parents=True, exist_ok=True)
    settings = SETTINGS.format(source=source, output=output, python=sys.executable)
    subprocess.run(['doxygen', '-'], input=settings, text=True, check=True)
    warnings = (output / 'warnings.log').read_text(encoding='utf-8').splitlines()
    failed = list(failures(warnings))
    for line in failed:
        print(line.replace(f'{source}/', ''))
    if failed:
        print(f'{len(failed)} warning(s) fail the reference: document each class and free '
              'function, and mend the markup', file=sys.stderr)
        return 1
    print(f'reference: {output / "html" / "index.html"}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
