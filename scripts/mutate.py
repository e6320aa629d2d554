"""The faults scripts/mutate puts into the program, one at a time, and the loop that does it.

Each fault replaces one exact piece of source text (which must occur exactly once) and names the
test program expected to notice. The committed tree (git HEAD) is copied to build-mutate/src,
built once, checked green, and then each fault is applied, built, tested and taken out again.
"""
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build-mutate")
SRC = os.path.join(WORK, "src")
BUILD = os.path.join(WORK, "build")

# (name, file, test program, text, replacement)
FAULTS = [
    ("nine-slice bottom-left corner height from the wrong height",
     "src/controls/Theme.cpp", "controls",
     "  ch = nonNeg(std::min(hh - 1, th - 1));\n  TRect LB(0, bottom - ch, cw, bottom);",
     "  ch = nonNeg(std::min(hh - 1, th));\n  TRect LB(0, bottom - ch, cw, bottom);"),
    ("edit border colour setter does not repaint",
     "src/controls/Edit.cpp", "controls",
     "  borderColor_ = c;\n  Invalidate();", "  borderColor_ = c;"),
    ("package versions 0 and 1 read the extra records",
     "src/skin/package/SkinPackage.cpp", "skin",
     "  if (out.Version == 2) {", "  if (out.Version <= 2) {"),
    ("picture flags 2 to 255 taken as present",
     "src/skin/package/SkinPackage.cpp", "skin",
     "  if (flag != 0) return std::nullopt;", "  if (flag == 1) return std::nullopt;"),
    ("ClearSkin keeps the inactive picture",
     "src/skin/package/SkinData.cpp", "skin",
     "  InActivePicture->Clear();\n", ""),
    ("';' separates rectangle fields",
     "src/skin/package/SkinIni.cpp", "skin",
     "    if (c == ',') {", "    if (c == ',' || c == ';') {"),
    ("Space or Return key-up clicks without a key-down",
     "src/controls/Button.cpp", "controls",
     "  if ((key == VK_SPACE || key == VK_RETURN) && Focused() && down_ && Enabled()) {",
     "  if ((key == VK_SPACE || key == VK_RETURN) && Focused() && Enabled()) {"),
    ("compression stream position in compressed bytes",
     "src/skin/package/ZlibStreams.cpp", "skin",
     "return static_cast<int64_t>(z_->z.total_in);", "return static_cast<int64_t>(z_->z.total_out);"),
    ("an unknown object type ends the object list",
     "src/skin/package/SkinData.cpp", "skin",
     "    auto member = CreateSkinObject(type, name);\n    if (!member) continue;",
     "    auto member = CreateSkinObject(type, name);\n    if (!member) break;"),
    ("noise drawn from [0, a]",
     "src/skin/frame/EffectBmp.cpp", "skin",
     "std::uniform_int_distribution<int> dist(0, amount - 1);", "std::uniform_int_distribution<int> dist(0, amount);"),
    ("mask completion keyed on the picture instead of its name",
     "src/skin/package/SkinData.cpp", "skin",
     "  if (!MaskName.empty()) {\n    if (MaskRectArea.IsEmpty()) {",
     "  if (!Mask->Empty()) {\n    if (MaskRectArea.IsEmpty()) {"),
    ("frame middle tiled from the rectangle's corner",
     "src/skin/skUtils.cpp", "hints",
     "      Copy(dest, {x, 0, x + len, nCl.Top}, p, {L + LT.X, T, L + LT.X + len, T + Cl.Top});",
     "      Copy(dest, {x, 0, x + len, nCl.Top}, p, {L, T, L + len, T + Cl.Top});"),
]


def sync(source, target):
    """Makes target hold exactly the files of source, writing only those whose bytes differ."""
    wanted = set()
    for folder, _, files in os.walk(source):
        for name in files:
            rel = os.path.relpath(os.path.join(folder, name), source)
            wanted.add(rel)
            data = open(os.path.join(source, rel), "rb").read()
            dest = os.path.join(target, rel)
            if os.path.exists(dest) and open(dest, "rb").read() == data:
                continue
            os.makedirs(os.path.dirname(dest), exist_ok=True)
            open(dest, "wb").write(data)
            os.chmod(dest, os.stat(os.path.join(source, rel)).st_mode)
    for folder, _, files in os.walk(target):
        for name in files:
            rel = os.path.relpath(os.path.join(folder, name), target)
            if rel not in wanted:
                os.remove(os.path.join(target, rel))


def run(cmd, cwd=None, timeout=None):
    return subprocess.run(cmd, cwd=cwd, timeout=timeout, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


def build(targets):
    r = run(["cmake", "--build", BUILD, "-j2", "--target"] + targets)
    return r.returncode == 0, r.stdout


def test(program):
    try:
        r = run([os.path.join(BUILD, "tests", "test_" + program)], cwd=os.path.join(BUILD, "tests"), timeout=300)
        return r.returncode == 0
    except subprocess.TimeoutExpired:
        return False


def main(names):
    faults = [f for f in FAULTS if not names or f[0] in names]
    if names and len(faults) != len(names):
        sys.exit("unknown fault name; the faults are:\n" + "\n".join(f[0] for f in FAULTS))
    # A clean copy of what is committed. Files that did not change since the last run are left
    # alone, so their build stays valid.
    os.makedirs(WORK, exist_ok=True)
    fresh = os.path.join(WORK, "fresh")
    run(["rm", "-rf", fresh])
    os.makedirs(fresh)
    archive = subprocess.run(["git", "-C", ROOT, "archive", "HEAD"], stdout=subprocess.PIPE, check=True).stdout
    subprocess.run(["tar", "-x", "-C", fresh], input=archive, check=True)
    sync(fresh, SRC)
    run(["rm", "-rf", fresh])
    if not os.path.exists(os.path.join(BUILD, "build.ninja")):
        r = run(["cmake", "-S", SRC, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo"])
        if r.returncode:
            sys.exit(r.stdout)
    programs = sorted({f[2] for f in faults})
    ok, out = build(["test_" + p for p in programs])
    if not ok:
        sys.exit("the clean copy does not build:\n" + out[-3000:])
    for p in programs:
        if not test(p):
            sys.exit("the clean copy fails test_%s: fix that first" % p)
    results = []
    for name, path, program, text, replacement in faults:
        file = os.path.join(SRC, path)
        original = open(file, encoding="utf-8").read()
        if original.count(text) != 1:
            results.append((name, "NOT APPLIED (the text is not there exactly once)"))
            continue
        start = time.time()
        try:
            open(file, "w", encoding="utf-8").write(original.replace(text, replacement))
            ok, out = build(["test_" + program])
            verdict = "killed" if not ok or not test(program) else "SURVIVED"
            if not ok:
                verdict = "killed (does not build)"
        finally:
            open(file, "w", encoding="utf-8").write(original)
        results.append((name, "%s by test_%s (%.0f s)" % (verdict, program, time.time() - start)))
        print("%-60s %s" % results[-1], flush=True)
    survived = [n for n, v in results if not v.startswith("killed")]
    print("\n%d faults, %d killed, %d survived or not applied" % (len(results), len(results) - len(survived), len(survived)))
    for n in survived:
        print("  " + n)
    return 1 if survived else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
