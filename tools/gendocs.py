#!/usr/bin/env python3
"""Build the program's documents (dat/*.rtf) from the UTF-8 sources in assets/texts/.

Usage:
    python3 tools/gendocs.py            # write dat/*.rtf
    python3 tools/gendocs.py --check    # verify sources and that dat/ is up to date
    python3 tools/gendocs.py --allow-missing   # while writing: skip sources not yet there

Python 3 standard library only.  The output is deterministic: the same sources
always give byte-identical files.  The source format is described in
assets/texts/README.md.

Every hexagram source is checked before anything is written:
  * its title is the hexagram's name as the catalogue below gives it;
  * the sections 卦辞, 彖传, 大象, 爻辞 are present, in that order;
  * the judgment begins with the hexagram's own short name;
  * there are exactly six line texts, each named by its position as derived
    from the line code (初九/初六, 九二/六二, ..., 上九/上六), bottom to top,
    each followed by its small image (象曰：...);
  * 111111 also carries 用九 and 222222 用六, and no other hexagram does.
Any mismatch stops the run with a message naming the file and the line.
"""

import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SRC_DIR = os.path.join(ROOT, "assets", "texts")
HEX_DIR = os.path.join(SRC_DIR, "hexagrams")
REF_DIR = os.path.join(SRC_DIR, "reference")
OUT_DIR = os.path.join(ROOT, "dat")

# The 64 hexagrams in the order of the main window's tiles: line code (bottom
# line first, "1" yang, "2" yin) and the name printed on the page picture.
CATALOGUE = [
    ("111111", "乾为天"), ("211111", "天风姤"), ("221111", "天山遁"), ("222111", "天地否"),
    ("222211", "风地观"), ("222221", "山地剥"), ("222121", "火地晋"), ("111121", "火天大有"),
    ("112112", "兑为泽"), ("212112", "泽水困"), ("222112", "泽地萃"), ("221112", "泽山咸"),
    ("221212", "水山蹇"), ("221222", "地山谦"), ("221122", "雷山小过"), ("112122", "雷泽归妹"),
    ("121121", "离为火"), ("221121", "火山旅"), ("211121", "火风鼎"), ("212121", "火水未济"),
    ("212221", "山水蒙"), ("212211", "风水涣"), ("212111", "天水讼"), ("121111", "天火同人"),
    ("122122", "震为雷"), ("222122", "雷地豫"), ("212122", "雷水解"), ("211122", "雷风恒"),
    ("211222", "地风升"), ("211212", "水风井"), ("211112", "泽风大过"), ("122112", "泽雷随"),
    ("211211", "巽为风"), ("111211", "风天小畜"), ("121211", "风火家人"), ("122211", "风雷益"),
    ("122111", "天雷无妄"), ("122121", "火雷噬嗑"), ("122221", "山雷颐"), ("211221", "山风蛊"),
    ("212212", "坎为水"), ("112212", "水泽节"), ("122212", "水雷屯"), ("121212", "水火既济"),
    ("121112", "泽火革"), ("121122", "雷火丰"), ("121222", "地火明夷"), ("212222", "地水师"),
    ("221221", "艮为山"), ("121221", "山火贲"), ("111221", "山天大畜"), ("112221", "山泽损"),
    ("112121", "火泽睽"), ("112111", "天泽履"), ("112211", "风泽中孚"), ("221211", "风山渐"),
    ("222222", "坤为地"), ("122222", "地雷复"), ("112222", "地泽临"), ("111222", "地天泰"),
    ("111122", "雷天大壮"), ("111112", "泽天夬"), ("111212", "水天需"), ("222212", "水地比"),
]

# Trigrams by their three lines, bottom first: (name, image).
TRIGRAMS = {
    "111": ("乾", "天"), "112": ("兑", "泽"), "121": ("离", "火"), "122": ("震", "雷"),
    "211": ("巽", "风"), "212": ("坎", "水"), "221": ("艮", "山"), "222": ("坤", "地"),
}

# The received sequence of the Book of Changes, by short name.
SEQUENCE = (
    "乾 坤 屯 蒙 需 讼 师 比 小畜 履 泰 否 同人 大有 谦 豫 随 蛊 临 观 "
    "噬嗑 贲 剥 复 无妄 大畜 颐 大过 坎 离 咸 恒 遁 大壮 晋 明夷 家人 睽 蹇 解 "
    "损 益 夬 姤 萃 升 困 井 革 鼎 震 艮 渐 归妹 丰 旅 巽 兑 涣 节 中孚 小过 "
    "既济 未济"
).split()

CN_DIGITS = "零一二三四五六七八九十"
LINE_WORDS = ["初", "二", "三", "四", "五", "上"]
POSITION_RE = re.compile(r"^(初[九六]|[九六][二三四五]|上[九六]|用[九六])：")
SECTIONS = ["卦辞", "彖传", "大象", "爻辞"]
OPTIONAL_SECTIONS = ["文言"]
REFERENCE_DOCS = ["sifaze", "yingbi", "shijian"]
NOTE_DOCS = ["a1", "a2", "a3"]

# Sizes in half-points.
TITLE_SIZE = 32
HEADING_SIZE = 28
BODY_SIZE = 24
MAX_LINE = 200

RTF_HEADER = ("{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
              "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}")
RTF_COLORS = "{\\colortbl ;\\red0\\green0\\blue0;}"
RTF_START = "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs%d " % BODY_SIZE


class SourceError(Exception):
    pass


# ---------------------------------------------------------------- catalogue

def short_name(code, name):
    """The hexagram's own name: 乾为天 -> 乾, 天风姤 -> 姤."""
    lower, upper = TRIGRAMS[code[:3]], TRIGRAMS[code[3:]]
    if code[:3] == code[3:]:
        return lower[0]
    return name[len(upper[1]) + len(lower[1]):]


def check_catalogue():
    codes = [c for c, _ in CATALOGUE]
    if len(CATALOGUE) != 64 or len(set(codes)) != 64:
        raise SourceError("catalogue: expected 64 distinct line codes")
    for code, name in CATALOGUE:
        if not re.fullmatch(r"[12]{6}", code):
            raise SourceError("catalogue: bad line code %r" % code)
        lower, upper = TRIGRAMS[code[:3]], TRIGRAMS[code[3:]]
        if code[:3] == code[3:]:
            expected = lower[0] + "为" + lower[1]
            if name != expected:
                raise SourceError("catalogue: %s should be %s, found %s" % (code, expected, name))
        elif not name.startswith(upper[1] + lower[1]):
            raise SourceError("catalogue: %s %s does not start with %s%s"
                              % (code, name, upper[1], lower[1]))
        if short_name(code, name) not in SEQUENCE:
            raise SourceError("catalogue: unknown hexagram %s" % name)
    if sorted(short_name(c, n) for c, n in CATALOGUE) != sorted(SEQUENCE):
        raise SourceError("catalogue: names do not cover the 64 hexagrams")


def position_name(code, i):
    """Traditional name of line i (1..6, counted from the bottom)."""
    number = "九" if code[i - 1] == "1" else "六"
    if i == 1:
        return "初" + number
    if i == 6:
        return "上" + number
    return number + LINE_WORDS[i - 1]


def expected_positions(code):
    names = [position_name(code, i) for i in range(1, 7)]
    if code == "111111":
        names.append("用九")
    elif code == "222222":
        names.append("用六")
    return names


def sequence_number(n):
    if n <= 10:
        return CN_DIGITS[n]
    tens, units = divmod(n, 10)
    text = ("" if tens == 1 else CN_DIGITS[tens]) + "十"
    return text + (CN_DIGITS[units] if units else "")


# ---------------------------------------------------------------- sources

def read_source(path):
    """Return [(kind, text, lineno)] with kind 'h' (heading) or 'p' (paragraph)."""
    with open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        raise SourceError("%s: not UTF-8 (%s)" % (path, e))
    if text.startswith("\ufeff"):
        raise SourceError("%s: remove the byte-order mark" % path)
    items = []
    for lineno, line in enumerate(text.splitlines(), 1):
        line = line.rstrip()
        if not line.strip():
            continue
        if line.startswith("# "):
            items.append(("h", line[2:].strip(), lineno))
        else:
            items.append(("p", line.strip(), lineno))
    return items


def figure_paragraphs(code):
    lower, upper = TRIGRAMS[code[:3]], TRIGRAMS[code[3:]]
    paras = [
        "卦码：%s（自下而上逐爻书写，1为阳爻，2为阴爻）" % code,
        "下卦（内卦）：%s为%s；上卦（外卦）：%s为%s" % (lower[0], lower[1], upper[0], upper[1]),
        "卦画（自上而下）：",
    ]
    for i in range(6, 0, -1):
        yang = code[i - 1] == "1"
        bar = "━━━━━━━━━" if yang else "━━━━　━━━━"
        word = "上爻" if i == 6 else ("初爻" if i == 1 else LINE_WORDS[i - 1] + "爻")
        paras.append("%s　%s　%s" % (word, "阳" if yang else "阴", bar))
    return paras


def build_hexagram(code, name, path):
    """Validate one hexagram source and return its document as [(style, text)]."""
    items = read_source(path)
    where = os.path.relpath(path, ROOT)

    def fail(lineno, msg):
        raise SourceError("%s:%s: %s" % (where, lineno, msg))

    if not items or items[0][0] != "h":
        fail(1, "the first line must be the heading '# %s'" % name)
    if items[0][1] != name:
        fail(items[0][2], "title %r does not match the catalogue name %r for %s"
             % (items[0][1], name, code))

    sections = []  # [(heading, lineno, [(text, lineno)])]
    for kind, text, lineno in items[1:]:
        if kind == "h":
            sections.append((text, lineno, []))
        elif not sections:
            fail(lineno, "text before the first section heading")
        else:
            sections[-1][2].append((text, lineno))

    headings = [s[0] for s in sections]
    required = headings[:len(SECTIONS)]
    if required != SECTIONS:
        fail(sections[0][1] if sections else 1,
             "sections must be %s in this order, found %s" % (" / ".join(SECTIONS), " / ".join(headings)))
    for heading, lineno, _ in sections[len(SECTIONS):]:
        if heading not in OPTIONAL_SECTIONS:
            fail(lineno, "unexpected section %r" % heading)
    for heading, lineno, paras in sections:
        if not paras:
            fail(lineno, "section %r is empty" % heading)

    body = {s[0]: s for s in sections}
    short = short_name(code, name)

    judgment = body["卦辞"][2]
    first, lineno = judgment[0]
    head = first.split("：", 1)[0]
    if "：" not in first or short not in head:
        fail(lineno, "the judgment must begin with the hexagram's name %s and '：'" % short)

    tuan = body["彖传"][2]
    if not tuan[0][0].startswith("彖曰："):
        fail(tuan[0][1], "the commentary on the judgment must begin with '彖曰：'")
    image = body["大象"][2]
    if len(image) != 1 or not image[0][0].startswith("象曰："):
        fail(body["大象"][1], "the image section must be one paragraph beginning with '象曰：'")

    expected = expected_positions(code)
    lines = body["爻辞"][2]
    found = []
    k = 0
    while k < len(lines):
        text, lineno = lines[k]
        m = POSITION_RE.match(text)
        if not m:
            fail(lineno, "expected a line text beginning with a position name, found %r" % text[:12])
        pos = m.group(1)
        n = len(found)
        if n >= len(expected):
            fail(lineno, "extra line text %s (%s has only %s)" % (pos, code, "、".join(expected)))
        if pos != expected[n]:
            fail(lineno, "line %d of %s is %s by its line code, the source says %s"
                 % (n + 1, code, expected[n], pos))
        if len(text) <= len(pos) + 1:
            fail(lineno, "line text %s is empty" % pos)
        found.append(pos)
        if k + 1 >= len(lines) or not lines[k + 1][0].startswith("象曰："):
            fail(lineno, "line text %s must be followed by its small image '象曰：...'" % pos)
        if POSITION_RE.match(lines[k + 1][0]):
            fail(lines[k + 1][1], "small image missing after %s" % pos)
        k += 2
    if found != expected:
        fail(body["爻辞"][1], "line texts found %s, expected %s" % ("、".join(found), "、".join(expected)))

    number = SEQUENCE.index(short) + 1
    doc = [("title", name), ("body", "《周易》第%s卦：%s" % (sequence_number(number), short)),
           ("heading", "卦象")]
    doc += [("body", p) for p in figure_paragraphs(code)]
    for heading, _, paras in sections:
        doc.append(("heading", heading))
        doc += [("body", text) for text, _ in paras]
    return doc


def build_reference(stem, path):
    """Validate one reference text and return its document."""
    items = read_source(path)
    where = os.path.relpath(path, ROOT)
    if not items or items[0][0] != "h":
        raise SourceError("%s:1: the first line must be the title heading" % where)
    names = dict(CATALOGUE)
    for kind, text, lineno in items:
        # Every line code quoted in an example must exist, and the paragraph
        # that quotes it must also give the hexagram's catalogue name.
        for code in re.findall(r"(?<![0-9])[0-9]{6}(?![0-9])", text):
            if code not in names:
                raise SourceError("%s:%d: %s is not a line code" % (where, lineno, code))
            if names[code] not in text:
                raise SourceError("%s:%d: %s is %s, which this paragraph does not name"
                                  % (where, lineno, code, names[code]))
    doc = [("title", items[0][1])]
    doc += [("heading" if kind == "h" else "body", text) for kind, text, _ in items[1:]]
    return doc


# ---------------------------------------------------------------- RTF output

def text_tokens(text):
    """RTF tokens for plain text: GBK bytes as \\'xx, others as \\uN?."""
    for ch in text:
        o = ord(ch)
        if ch in "\\{}":
            yield "\\" + ch
        elif 32 <= o < 127:
            yield ch
        elif ch == "\t":
            yield "\\tab "
        else:
            try:
                data = ch.encode("gbk")
            except UnicodeEncodeError:
                data = None
            if data:
                yield "".join("\\'%02x" % b for b in data)
            else:
                units = ch.encode("utf-16-le")
                for j in range(0, len(units), 2):
                    u = units[j] | (units[j + 1] << 8)
                    yield "\\u%d?" % (u - 65536 if u >= 32768 else u)


def paragraph_tokens(style, text):
    if style == "body":
        return list(text_tokens(text)) + ["\\par "]
    size = TITLE_SIZE if style == "title" else HEADING_SIZE
    return (["\\b\\fs%d " % size] + list(text_tokens(text))
            + ["\\b0\\fs%d\\par " % BODY_SIZE])


def render(doc):
    """The RTF file for a document given as [(style, text)], as ASCII bytes."""
    out = [RTF_HEADER, RTF_COLORS]
    line = RTF_START
    first = True
    for style, text in doc:
        tokens = paragraph_tokens(style, text)
        if style == "heading" and not first:
            tokens = ["\\par "] + tokens  # a blank line before each heading
        first = False
        for tok in tokens:
            if len(line) + len(tok) > MAX_LINE:
                out.append(line)
                line = ""
            line += tok
        out.append(line)
        line = ""
    out.append("}")
    data = "\n".join(out) + "\n"
    for row in data.splitlines():
        assert len(row) <= MAX_LINE, row[:40]
    return data.encode("ascii")


def empty_document():
    return "\n".join([RTF_HEADER, RTF_COLORS, RTF_START.rstrip() + "}"]).encode("ascii") + b"\n"


# ---------------------------------------------------------------- reading back

def rtf_to_paragraphs(data):
    """Read an RTF file written by render() back to [(bold, text)] per paragraph.

    A small reader for the subset this generator writes; used by --check to
    prove that each file decodes to exactly its source text."""
    s = data.decode("ascii")
    paras, cur, pending = [], [], bytearray()
    state = {"bold": False}
    skip_group_depth = None
    depth, i, uc = 0, 0, 1

    def emit(text):
        cur.append((state["bold"], text))

    def flush_bytes():
        if pending:
            emit(pending.decode("gbk"))
            pending.clear()

    def end_paragraph():
        text = "".join(t for _, t in cur)
        bold = bool(cur) and all(b for b, _ in cur)
        if not bold and any(b for b, _ in cur):
            raise SourceError("paragraph %r is partly bold" % text[:20])
        paras.append((bold, text.encode("utf-16", "surrogatepass").decode("utf-16")))
        cur.clear()

    while i < len(s):
        c = s[i]
        if c in "\r\n":
            i += 1
            continue
        if c == "{":
            depth += 1
            i += 1
            continue
        if c == "}":
            if skip_group_depth == depth:
                skip_group_depth = None
            depth -= 1
            i += 1
            continue
        if skip_group_depth is not None:
            i += 1
            continue
        if c == "\\":
            nxt = s[i + 1]
            if nxt == "'":
                pending.append(int(s[i + 2:i + 4], 16))
                i += 4
                continue
            flush_bytes()
            if nxt in "\\{}":
                emit(nxt)
                i += 2
                continue
            m = re.match(r"\\([a-z]+)(-?\d+)? ?", s[i:])
            word, arg = m.group(1), m.group(2)
            i += m.end()
            if word in ("fonttbl", "colortbl"):
                skip_group_depth = depth
            elif word == "par":
                end_paragraph()
            elif word == "b":
                state["bold"] = arg != "0"
            elif word == "u":
                n = int(arg)
                emit(chr(n + 65536 if n < 0 else n))
                i += uc  # the fallback character
            elif word == "uc":
                uc = int(arg)
            elif word == "tab":
                emit("\t")
            continue
        flush_bytes()
        emit(c)
        i += 1
    flush_bytes()
    if cur:
        end_paragraph()
    if depth != 0:
        raise SourceError("unbalanced braces")
    return paras


def expected_paragraphs(doc):
    paras = []
    first = True
    for style, text in doc:
        if style == "heading" and not first:
            paras.append((False, ""))
        first = False
        paras.append((style != "body", text))
    return paras


# ---------------------------------------------------------------- main

def build_all(allow_missing=False):
    """Return {file name: bytes} for every document, after validating all sources.

    With allow_missing, hexagrams whose source is not written yet are skipped."""
    check_catalogue()
    files, docs = {}, {}
    errors = []
    for code, name in CATALOGUE:
        path = os.path.join(HEX_DIR, code + ".txt")
        if not os.path.exists(path):
            if not allow_missing:
                errors.append("%s: missing source for %s %s"
                              % (os.path.relpath(path, ROOT), code, name))
            continue
        try:
            docs[code + ".rtf"] = build_hexagram(code, name, path)
        except SourceError as e:
            errors.append(str(e))
    for stem in REFERENCE_DOCS:
        path = os.path.join(REF_DIR, stem + ".txt")
        if not os.path.exists(path):
            if not allow_missing:
                errors.append("%s: missing" % os.path.relpath(path, ROOT))
            continue
        try:
            docs[stem + ".rtf"] = build_reference(stem, path)
        except SourceError as e:
            errors.append(str(e))
    known = {c + ".txt" for c, _ in CATALOGUE}
    for f in sorted(os.listdir(HEX_DIR)) if os.path.isdir(HEX_DIR) else []:
        if f not in known:
            errors.append("assets/texts/hexagrams/%s: not a line code of the catalogue" % f)
    if errors:
        raise SourceError("\n".join(errors))
    for fname, doc in docs.items():
        data = render(doc)
        if rtf_to_paragraphs(data) != expected_paragraphs(doc):
            raise SourceError("%s: the written RTF does not read back as its source" % fname)
        files[fname] = data
    for stem in NOTE_DOCS:
        data = empty_document()
        if rtf_to_paragraphs(data) != []:
            raise SourceError("%s.rtf: note body is not empty" % stem)
        files[stem + ".rtf"] = data
    return files


def main(argv):
    check = "--check" in argv[1:]
    allow_missing = "--allow-missing" in argv[1:]
    try:
        files = build_all(allow_missing)
    except SourceError as e:
        sys.stderr.write("gendocs: %s\n" % e)
        return 1
    if check:
        stale = []
        for fname, data in sorted(files.items()):
            path = os.path.join(OUT_DIR, fname)
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(fname)
            except OSError:
                stale.append(fname)
        extra = sorted(set(os.listdir(OUT_DIR)) - set(files)) if os.path.isdir(OUT_DIR) else []
        if stale or extra:
            if stale:
                sys.stderr.write("gendocs: out of date in dat/: %s\n" % " ".join(stale))
            if extra:
                sys.stderr.write("gendocs: unexpected files in dat/: %s\n" % " ".join(extra))
            return 1
        print("gendocs: %d documents checked, dat/ is up to date" % len(files))
        return 0
    os.makedirs(OUT_DIR, exist_ok=True)
    for fname, data in sorted(files.items()):
        path = os.path.join(OUT_DIR, fname)
        try:
            with open(path, "rb") as f:
                if f.read() == data:
                    continue
        except OSError:
            pass
        with open(path, "wb") as f:
            f.write(data)
    print("gendocs: wrote %d documents to dat/" % len(files))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
