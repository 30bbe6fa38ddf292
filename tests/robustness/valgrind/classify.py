#!/usr/bin/env python3
"""Sorts memcheck's findings (its XML output) into ours and the system's.

An error counts as ours when one of its innermost frames (past the allocator
and valgrind's own replacements) lies in our program: the code that did the
bad access, passed the bad value or made the lost allocation. Frames deep
down the stack, such as main() running the event loop, do not make an error
ours. Exits 1 when there is an error of ours, else 0; lists every error.
"""
import sys
import xml.etree.ElementTree as ET

NEAR = 8  # how many innermost frames decide whose an error is
COUNTED = {"Leak_DefinitelyLost"}  # leak kinds that are errors; other kinds are always errors
ALLOCATORS = ("malloc", "calloc", "realloc", "operator new", "operator new[]", "memalign",
              "posix_memalign", "aligned_alloc", "free", "operator delete", "operator delete[]")


def frames(error):
    stack = error.find("stack")
    return [] if stack is None else stack.findall("frame")


def describe(frame):
    fn = frame.findtext("fn") or "???"
    where = frame.findtext("file")
    if where:
        where = f"{frame.findtext('dir') or ''}/{where}:{frame.findtext('line') or '?'}"
    else:
        where = frame.findtext("obj") or "?"
    return f"{fn} ({where})"


def is_ours(frame, program):
    return frame.findtext("obj") == program


def main():
    xml_file, program = sys.argv[1], sys.argv[2]
    try:
        with open(xml_file, encoding="utf-8", errors="replace") as stream:
            text = stream.read()
        # When the program ends from a secondary thread's exit, memcheck writes the leak
        # records after the closing tag; put the tag back at the end.
        text = text.replace("</valgrindoutput>", "") + "</valgrindoutput>\n"
        root = ET.fromstring(text)
    except (OSError, ET.ParseError) as problem:
        print(f"memcheck: cannot read {xml_file}: {problem}")
        return 1
    ours, theirs = [], []
    for error in root.findall("error"):
        kind = error.findtext("kind") or "?"
        if kind.startswith("Leak_") and kind not in COUNTED:
            continue
        stack = [f for f in frames(error)
                 if not (f.findtext("obj") or "").split("/")[-1].startswith("vgpreload_")
                 and not (f.findtext("fn") or "").startswith(ALLOCATORS)]
        text = error.findtext("what") or error.findtext("xwhat/text") or kind
        entry = (kind, text, stack)
        (ours if any(is_ours(f, program) for f in stack[:NEAR]) else theirs).append(entry)

    for label, found in (("in system libraries (ignored)", theirs), ("involving our code", ours)):
        print(f"memcheck: {len(found)} error(s) {label}")
        for kind, text, stack in found:
            print(f"  {kind}: {text}")
            for frame in stack[:NEAR if label.startswith("in") else 16]:
                print(f"      {describe(frame)}")
    suppressed = sum(int(p.findtext("count") or 0) for p in root.findall("suppcounts/pair"))
    print(f"memcheck: {suppressed} suppressed by system.supp")
    return 1 if ours else 0


if __name__ == "__main__":
    sys.exit(main())
