#!/usr/bin/env python3
"""Checks that every include in src/ points down: between the layers, and between the parts of the
platform and skin layers. Prints each include that points up or sideways and exits 1 if any does.

    check_layers.py SOURCE_DIR

The layers and parts, and what each may use besides itself, are the table in
docs/ARCHITECTURE.md; this file is where that table is enforced.
"""
import os
import re
import sys

# Layer -> the layers it may include from (besides itself).
LAYERS = {
    "platform": [],
    "controls": ["platform"],
    "skin": ["platform"],
    "hints": ["platform", "skin"],
    "app": ["platform", "controls", "skin", "hints"],
}
# Part of a layer -> the parts of the same layer it may include from (besides itself). A file in
# the layer's own folder (not in a part) may use every part.
PARTS = {
    "platform": {
        "core": [],
        "graphics": ["core"],
        "text": ["core"],
        "windows": ["core", "graphics"],
        "widgets": ["core", "graphics", "text", "windows"],
        "layout": ["core", "graphics", "text", "windows", "widgets"],
    },
    "skin": {
        "package": [],
        "frame": ["package"],
    },
}
QT = re.compile(r'^\s*#\s*include\s*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/)')
LOCAL = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def where(rel):
    """(layer, part or None) of a path relative to src/, or None for src/main.cpp and the like."""
    bits = rel.split("/")
    if len(bits) < 2 or bits[0] not in LAYERS:
        return None
    part = bits[1] if len(bits) > 2 and bits[1] in PARTS.get(bits[0], {}) else None
    return bits[0], part


def main(src):
    faults = []
    for root, _, files in os.walk(src):
        for f in sorted(files):
            if not f.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, f)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            here = where(rel)
            if here is None:
                continue
            layer, part = here
            with open(path, encoding="utf-8") as text:
                for n, line in enumerate(text, 1):
                    if QT.match(line) and layer != "platform":
                        faults.append(f"{rel}:{n}: the toolkit is used outside the platform layer")
                        continue
                    m = LOCAL.match(line)
                    if not m:
                        continue
                    inc = m.group(1)
                    if "/" not in inc:
                        # Only the layer's own folder may include by bare name.
                        if os.path.exists(os.path.join(root, inc)):
                            continue
                        faults.append(f"{rel}:{n}: \"{inc}\" is not beside the file; include it by its path")
                        continue
                    target = where(inc)
                    if target is None:
                        continue
                    t_layer, t_part = target
                    if t_layer != layer:
                        if t_layer not in LAYERS[layer]:
                            faults.append(f"{rel}:{n}: layer {layer} may not use layer {t_layer} ({inc})")
                        continue
                    if part is None or t_part is None or t_part == part:
                        continue
                    if t_part not in PARTS[layer][part]:
                        faults.append(f"{rel}:{n}: {layer}/{part} may not use {layer}/{t_part} ({inc})")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
