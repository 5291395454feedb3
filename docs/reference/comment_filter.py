#!/usr/bin/env python3
"""Doxygen's input filter: reads our plain comments as documentation, line for line.

- The header's opening comment describes the file: its `#pragma once` becomes a `\\file` block.
  The class it names first ("AcDbLine: a straight segment ...") takes the opening text too, its
  first sentence as the class's brief, before the class's own comment; another class it names
  takes it when the class has no comment of its own.
- A run of `//` lines documents the declaration below it, and at namespace scope the run of
  declarations below it up to a blank line; `code; // text` documents `code`.
Our comments use no Doxygen commands or HTML, so the characters that start them are escaped.
Lines keep their numbers, so Doxygen's warnings point into the real header.
"""
import re
import sys

COMMENT = re.compile(r'^(\s*)//(?!/)(.*)$')
TRAILING = re.compile(r'^(.*?[;,{])(\s*)//(?!/)\s?(.*)$')
DECLARATION = re.compile(r'^(?!namespace\b|public:|private:|protected:)[A-Za-z_]')
CLASS = re.compile(r'^(class|struct)\s+(?:\w+_API\s+)?(\w+)\b[^;]*$')
WORD = re.compile(r'\w+')


def escaped(text):
    for special in '\\@<>&':
        text = text.replace(special, '\\' + special)
    return text


def opening_comment(lines):
    """The lines of the comment the header opens with."""
    end = 0
    while end < len(lines) and lines[end].startswith('//'):
        end += 1
    return lines[:end]


def opening_doc(opening):
    """The opening comment as one block: its first sentence as the brief, the rest as details."""
    text = escaped(' '.join(line[2:].strip() for line in opening).replace('*/', '* /'))
    brief, _, details = text.partition('. ')
    brief = brief if brief.endswith('.') else brief + '.'
    return f'/** \\brief {brief}' + (f' \\details {details}' if details else '') + ' */ '


def subject_lines(lines, opening):
    """Where each class the opening comment names starts its documentation: the first line of
    its own comment, or the class line itself. Of the classes with a comment of their own, only
    the one the comment names first (the header's subject) takes the opening text."""
    words = WORD.findall(' '.join(line[2:] for line in opening))
    order = {word: position for position, word in reversed(list(enumerate(words)))}
    classes = []
    for number, line in enumerate(lines):
        match = CLASS.match(line)
        if number >= len(opening) and match is not None and match.group(2) in order:
            start = number
            while start > len(opening) and lines[start - 1].startswith('//'):
                start -= 1
            classes.append((order[match.group(2)], start, start < number))
    subject = min(classes)[0] if classes else None
    return {start for position, start, commented in classes
            if position == subject or not commented}


def filtered(lines):
    opening = opening_comment(lines)
    subjects = subject_lines(lines, opening)
    out = []
    run_doc = None  # the comment of the namespace-scope run of declarations being read
    for number, line in enumerate(lines):
        if not line.strip():
            run_doc = None
        elif line.startswith('//') and number >= len(opening):
            run_doc = (run_doc + ' ' if out and out[-1].startswith('///') and run_doc else '') + \
                escaped(line[2:].strip().replace('*/', '* /'))
        documented = out and out[-1].lstrip().startswith('///')
        if number < len(opening):
            converted = '///' + escaped(line[2:])
        elif line.strip() == '#pragma once':
            converted = '/** \\file */'
        elif (match := COMMENT.match(line)) is not None:
            converted = f'{match.group(1)}///{escaped(match.group(2))}'
        elif run_doc is not None and not documented and DECLARATION.match(line) and \
                not out[-1].startswith('template') and number not in subjects:
            converted = f'/** {run_doc} */ {line}'
        elif (match := TRAILING.match(line)) is not None and '"' not in match.group(1):
            converted = f'{match.group(1)}{match.group(2)}///< {escaped(match.group(3))}'
        else:
            converted = line
        out.append(opening_doc(opening) + converted if number in subjects else converted)
    return out


def main():
    with open(sys.argv[1], encoding='utf-8') as header:
        lines = header.read().split('\n')
    sys.stdout.write('\n'.join(filtered(lines)))


if __name__ == '__main__':
    main()
