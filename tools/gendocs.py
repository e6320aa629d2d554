#!/usr/bin/env python3
"""Build the program's documents (dat/*.rtf) from the UTF-8 sources in assets/texts/.

Usage:
    python3 tools/gendocs.py            # write dat/*.rtf
    python3 tools/gendocs.py --check    # verify sources and that dat/ is up to date
    python3 tools/gendocs.py --allow-missing   # while writing: skip sources not yet there
    python3 tools/gendocs.py --fingerprint     # print the classical-text fingerprints

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
  * 111111 also carries 用九 and 222222 用六, and no other hexagram does;
  * the judgment and every line text (with its small image) are followed by
    exactly one explanation paragraph (a line beginning with 【白话】), and
    explanations appear nowhere else;
  * the classical text (everything but the explanations) still has the
    SHA-256 recorded for it in assets/texts/classical.sha256.
Every character of every source must exist in GBK.  Any mismatch stops the run
with a message naming the file and the line.
"""

import hashlib

import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SRC_DIR = os.path.join(ROOT, "assets", "texts")
HEX_DIR = os.path.join(SRC_DIR, "hexagrams")
REF_DIR = os.path.join(SRC_DIR, "reference")
FINGERPRINTS = os.path.join(SRC_DIR, "classical.sha256")
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
EXPLANATION_MARK = "【白话】"
MIN_EXPLANATION = 12  # characters after the mark; anything shorter is a placeholder
REFERENCE_DOCS = ["sifaze", "yingbi", "shijian"]
NOTE_DOCS = ["a1", "a2", "a3"]

# Sizes in half-points.
TITLE_SIZE = 32
HEADING_SIZE = 28
BODY_SIZE = 24
# One step below the classical text, so a reading is told apart from the passage
# it explains without being harder to read.
EXPLANATION_SIZE = 22
MAX_LINE = 200

# Each explanation is set off from the classical text around it by a small
# space before and after and indented by one character of the classical text
# (twips: 1/20 pt).
EXPLANATION_SPACE = 80
EXPLANATION_INDENT = 240

# Colour table entries: 1 is the text colour, 2 the dark grey of the explanations
# (#404040, 10.4:1 against the white page).
TEXT_COLOR = 1
EXPLANATION_COLOR = 2
EXPLANATION_RGB = (64, 64, 64)

RTF_HEADER = ("{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
              "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}")
RTF_COLORS = "{\\colortbl ;\\red0\\green0\\blue0;}"
RTF_COLORS_EXPLAINED = ("{\\colortbl ;\\red0\\green0\\blue0;\\red%d\\green%d\\blue%d;}"
                        % EXPLANATION_RGB)
RTF_START = "\\viewkind4\\uc1\\pard\\cf%d\\f0\\fs%d " % (TEXT_COLOR, BODY_SIZE)


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

def gbk_bytes(ch):
    """The GBK bytes of one character, or None when GBK has no such character.

    Outside ASCII only true two-byte codes count (lead byte 0x81-0xFE), so a
    one-byte extension such as 0x80 for the euro sign is not accepted."""
    if ord(ch) < 128:
        return ch.encode("ascii")
    try:
        data = ch.encode("gbk")
    except UnicodeEncodeError:
        return None
    if len(data) != 2 or not 0x81 <= data[0] <= 0xFE:
        return None
    return data


def read_source(path):
    """Return [(kind, text, lineno)] with kind 'h' (heading), 'p' (paragraph)
    or 'x' (explanation paragraph, text including its mark)."""
    where = os.path.relpath(path, ROOT)
    with open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        raise SourceError("%s: not UTF-8 (%s)" % (where, e))
    if text.startswith("\ufeff"):
        raise SourceError("%s: remove the byte-order mark" % where)
    items = []
    for lineno, line in enumerate(text.splitlines(), 1):
        line = line.rstrip()
        if not line.strip():
            continue
        for column, ch in enumerate(line, 1):
            if gbk_bytes(ch) is None or (ord(ch) < 32 and ch != "\t") or ord(ch) == 127:
                raise SourceError("%s:%d: character %r (U+%04X, column %d) cannot be written in GBK"
                                  % (where, lineno, ch, ord(ch), column))
        if line.startswith("# "):
            items.append(("h", line[2:].strip(), lineno))
        elif line.strip().startswith(EXPLANATION_MARK):
            items.append(("x", line.strip(), lineno))
        else:
            items.append(("p", line.strip(), lineno))
    return items


def classical_texts(items):
    """The classical text of a hexagram source, explanations left out, as
    {"": the text up to the 文言 section, "文言": that section if present}.

    Blank lines and trailing spaces do not count; every other character does."""
    parts = {"": []}
    current = ""
    for kind, text, _ in items:
        if kind == "x":
            continue
        if kind == "h" and text in OPTIONAL_SECTIONS:
            current = text
            parts[current] = []
        parts[current].append("# " + text if kind == "h" else text)
    return {key: "".join(line + "\n" for line in lines) for key, lines in parts.items()}


def fingerprint_lines(codes):
    """Lines of classical.sha256 for the given hexagram codes, in catalogue order."""
    rows = []
    for code in codes:
        texts = classical_texts(read_source(os.path.join(HEX_DIR, code + ".txt")))
        for key in [""] + OPTIONAL_SECTIONS:
            if key in texts:
                digest = hashlib.sha256(texts[key].encode("utf-8")).hexdigest()
                rows.append("%s  hexagrams/%s.txt%s" % (digest, code, "#" + key if key else ""))
    return rows


def read_fingerprints():
    """{"hexagrams/C.txt" or "hexagrams/C.txt#文言": sha256} from classical.sha256."""
    where = os.path.relpath(FINGERPRINTS, ROOT)
    try:
        with open(FINGERPRINTS, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except OSError as e:
        raise SourceError("%s: cannot read (%s)" % (where, e.strerror))
    table = {}
    for lineno, line in enumerate(lines, 1):
        if not line.strip() or line.startswith("#"):
            continue
        m = re.fullmatch(r"([0-9a-f]{64})  (hexagrams/[12]{6}\.txt(?:#\S+)?)", line)
        if not m:
            raise SourceError("%s:%d: expected '<sha256>  hexagrams/<code>.txt[#section]'" % (where, lineno))
        if m.group(2) in table:
            raise SourceError("%s:%d: %s is listed twice" % (where, lineno, m.group(2)))
        table[m.group(2)] = m.group(1)
    return table


def check_fingerprints(codes, complete):
    """Errors for every hexagram source whose classical text no longer has its
    recorded SHA-256.  With complete, every entry of the table must be used."""
    try:
        table = read_fingerprints()
    except SourceError as e:
        return [str(e)]
    errors, seen = [], set()
    where = os.path.relpath(FINGERPRINTS, ROOT)
    for row in fingerprint_lines(codes):
        digest, name = row.split("  ", 1)
        seen.add(name)
        if name not in table:
            errors.append("assets/texts/%s: no fingerprint recorded in %s" % (name, where))
        elif table[name] != digest:
            errors.append("assets/texts/%s: the classical text differs from the one recorded in %s"
                          " (only explanation paragraphs may be added or changed)" % (name, where))
    if complete:
        for name in sorted(set(table) - seen):
            errors.append("%s: %s is listed but the source has no such text" % (where, name))
    return errors


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

    sections = []  # [(heading, lineno, [(kind, text, lineno)])]
    for kind, text, lineno in items[1:]:
        if kind == "h":
            sections.append((text, lineno, []))
        elif not sections:
            fail(lineno, "text before the first section heading")
        else:
            sections[-1][2].append((kind, text, lineno))

    headings = [s[0] for s in sections]
    required = headings[:len(SECTIONS)]
    if required != SECTIONS:
        fail(sections[0][1] if sections else 1,
             "sections must be %s in this order, found %s" % (" / ".join(SECTIONS), " / ".join(headings)))
    for heading, lineno, _ in sections[len(SECTIONS):]:
        if heading not in OPTIONAL_SECTIONS:
            fail(lineno, "unexpected section %r" % heading)
    for heading, lineno, paras in sections:
        if not any(kind == "p" for kind, _, _ in paras):
            fail(lineno, "section %r is empty" % heading)
        for kind, text, pl in paras:
            if kind == "x" and len(text) - len(EXPLANATION_MARK) < MIN_EXPLANATION:
                fail(pl, "explanation too short (at least %d characters after %s)"
                     % (MIN_EXPLANATION, EXPLANATION_MARK))
        if heading not in ("卦辞", "爻辞"):
            for kind, _, pl in paras:
                if kind == "x":
                    fail(pl, "an explanation belongs after the judgment or after a line text's"
                         " small image, not in section %r" % heading)

    body = {s[0]: s for s in sections}
    short = short_name(code, name)

    judgment = body["卦辞"][2]
    kind, first, lineno = judgment[0]
    if kind == "x":
        fail(lineno, "the judgment comes first, its explanation after it")
    head = first.split("：", 1)[0]
    if "：" not in first or short not in head:
        fail(lineno, "the judgment must begin with the hexagram's name %s and '：'" % short)
    kinds = [kind for kind, _, _ in judgment]
    if kinds[-1] != "x" or kinds.count("x") != 1:
        at = judgment[kinds.index("x", 0, len(kinds) - 1)][2] if "x" in kinds[:-1] else judgment[-1][2]
        fail(at, "the judgment must be followed by exactly one explanation paragraph"
             " ('%s...'), ending the section" % EXPLANATION_MARK)

    tuan = body["彖传"][2]
    if not tuan[0][1].startswith("彖曰："):
        fail(tuan[0][2], "the commentary on the judgment must begin with '彖曰：'")
    image = body["大象"][2]
    if len(image) != 1 or not image[0][1].startswith("象曰："):
        fail(body["大象"][1], "the image section must be one paragraph beginning with '象曰：'")

    expected = expected_positions(code)
    lines = body["爻辞"][2]
    found = []
    k = 0
    while k < len(lines):
        kind, text, lineno = lines[k]
        if kind == "x":
            fail(lineno, "explanation out of place: it must follow a line text and its small image")
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
        if k + 1 >= len(lines) or lines[k + 1][0] != "p" or not lines[k + 1][1].startswith("象曰："):
            fail(lineno, "line text %s must be followed by its small image '象曰：...'" % pos)
        if POSITION_RE.match(lines[k + 1][1]):
            fail(lines[k + 1][2], "small image missing after %s" % pos)
        if k + 2 >= len(lines) or lines[k + 2][0] != "x":
            fail(lines[k + 1][2], "the small image of %s must be followed by its explanation"
                 " paragraph ('%s...')" % (pos, EXPLANATION_MARK))
        k += 3
    if found != expected:
        fail(body["爻辞"][1], "line texts found %s, expected %s" % ("、".join(found), "、".join(expected)))

    number = SEQUENCE.index(short) + 1
    doc = [("title", name), ("body", "《周易》第%s卦：%s" % (sequence_number(number), short)),
           ("heading", "卦象")]
    doc += [("body", p) for p in figure_paragraphs(code)]
    for heading, _, paras in sections:
        doc.append(("heading", heading))
        doc += [("explain" if kind == "x" else "body", text) for kind, text, _ in paras]
    return doc


def build_reference(stem, path):
    """Validate one reference text and return its document."""
    items = read_source(path)
    where = os.path.relpath(path, ROOT)
    if not items or items[0][0] != "h":
        raise SourceError("%s:1: the first line must be the title heading" % where)
    names = dict(CATALOGUE)
    for kind, text, lineno in items:
        if kind == "x":
            raise SourceError("%s:%d: explanation paragraphs ('%s...') belong in hexagram sources"
                              % (where, lineno, EXPLANATION_MARK))
        # Every line code quoted in an example must exist, and the paragraph
        # that quotes it must also give the hexagram's catalogue name.
        for code in re.findall(r"(?<![0-9])[0-9]{6}(?![0-9])", text):
            # A casting code (six line values 6..9) is quoted with the name of the
            # hexagram it casts: 7 and 9 are yang lines, 6 and 8 yin ones.
            if re.fullmatch(r"[6-9]{6}", code):
                code = "".join("1" if c in "79" else "2" for c in code)
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
    """RTF tokens for plain text: printable ASCII as itself, tab as \\tab, every
    other character as \\'xx escapes of its GBK bytes.  read_source() has
    already refused characters GBK does not have; this is the last guard."""
    for ch in text:
        o = ord(ch)
        if ch in "\\{}":
            yield "\\" + ch
        elif 32 <= o < 127:
            yield ch
        elif ch == "\t":
            yield "\\tab "
        else:
            data = gbk_bytes(ch) if o >= 128 else None
            if data is None:
                raise SourceError("character %r (U+%04X) cannot be written in GBK" % (ch, o))
            yield "".join("\\'%02x" % b for b in data)


# The look of each paragraph style: (bold, colour index, size in half-points,
# space before, space after and left indent in twips).
STYLES = {
    "title": (True, TEXT_COLOR, TITLE_SIZE, 0, 0, 0),
    "heading": (True, TEXT_COLOR, HEADING_SIZE, 0, 0, 0),
    "body": (False, TEXT_COLOR, BODY_SIZE, 0, 0, 0),
    "explain": (False, EXPLANATION_COLOR, EXPLANATION_SIZE, EXPLANATION_SPACE, EXPLANATION_SPACE,
                EXPLANATION_INDENT),
}


def paragraph_tokens(style, text):
    if style == "body":
        return list(text_tokens(text)) + ["\\par "]
    if style == "explain":
        # A step below the classical text in size and colour, spaced and indented;
        # the paragraph mark goes back to the body look and \\pard drops the
        # spacing and indent, so the next paragraph starts as before.
        return (["\\sb%d\\sa%d\\li%d\\cf%d\\fs%d " % (EXPLANATION_SPACE, EXPLANATION_SPACE, EXPLANATION_INDENT,
                                                     EXPLANATION_COLOR, EXPLANATION_SIZE)]
                + list(text_tokens(text)) + ["\\cf%d\\fs%d\\par\\pard " % (TEXT_COLOR, BODY_SIZE)])
    size = TITLE_SIZE if style == "title" else HEADING_SIZE
    return (["\\b\\fs%d " % size] + list(text_tokens(text))
            + ["\\b0\\fs%d\\par " % BODY_SIZE])


def render(doc):
    """The RTF file for a document given as [(style, text)], as ASCII bytes."""
    explained = any(style == "explain" for style, _ in doc)
    out = [RTF_HEADER, RTF_COLORS_EXPLAINED if explained else RTF_COLORS]
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
    """Read an RTF file written by render() back to [(look, text)] per paragraph,
    look being (bold, (red, green, blue), size, space before, space after, left
    indent) or None
    for an empty paragraph.

    A small reader for the subset this generator writes; used by --check to
    prove that each file decodes to exactly its source text in the intended look."""
    s = data.decode("ascii")
    paras, cur, pending = [], [], bytearray()
    state = {"bold": False, "cf": 0, "fs": 24, "sb": 0, "sa": 0, "li": 0}
    colors, color = [], {}
    skip_group_depth = None
    in_colors = False
    depth, i, uc = 0, 0, 1

    def emit(text):
        if in_colors:
            if text != ";":
                raise SourceError("unexpected text %r in the colour table" % text)
            colors.append((color.get("red", 0), color.get("green", 0), color.get("blue", 0))
                          if color else None)
            color.clear()
            return
        if state["cf"] >= len(colors) or colors[state["cf"]] is None:
            raise SourceError("text in colour %d, which the colour table does not define" % state["cf"])
        cur.append(((state["bold"], colors[state["cf"]], state["fs"]), text))

    def flush_bytes():
        if pending:
            emit(pending.decode("gbk"))
            pending.clear()

    def end_paragraph():
        text = "".join(t for _, t in cur)
        looks = {look for look, _ in cur}
        if len(looks) > 1:
            raise SourceError("paragraph %r changes its look part way" % text[:20])
        # Spacing and indent are the paragraph's, as they stand at its mark.
        look = looks.pop() + (state["sb"], state["sa"], state["li"]) if looks else None
        paras.append((look, text.encode("utf-16", "surrogatepass").decode("utf-16")))
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
                in_colors = False
            depth -= 1
            i += 1
            continue
        if skip_group_depth is not None and not in_colors:
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
            if word == "fonttbl":
                skip_group_depth = depth
            elif word == "colortbl":
                skip_group_depth = depth
                in_colors = True
            elif in_colors:
                if word not in ("red", "green", "blue"):
                    raise SourceError("unexpected \\%s in the colour table" % word)
                color[word] = int(arg)
            elif word == "par":
                end_paragraph()
            elif word == "b":
                state["bold"] = arg != "0"
            elif word == "cf":
                state["cf"] = int(arg)
            elif word == "fs":
                state["fs"] = int(arg)
            elif word in ("sb", "sa", "li"):
                state[word] = int(arg)
            elif word == "pard":
                state["sb"] = state["sa"] = state["li"] = 0
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


COLOR_VALUES = {TEXT_COLOR: (0, 0, 0), EXPLANATION_COLOR: EXPLANATION_RGB}


def expected_paragraphs(doc):
    paras = []
    first = True
    for style, text in doc:
        if style == "heading" and not first:
            paras.append((None, ""))
        first = False
        bold, color, size, before, after, indent = STYLES[style]
        paras.append(((bold, COLOR_VALUES[color], size, before, after, indent), text))
    return paras


# ---------------------------------------------------------------- main

def build_all(allow_missing=False):
    """Return {file name: bytes} for every document, after validating all sources.

    With allow_missing, hexagrams whose source is not written yet are skipped."""
    check_catalogue()
    files, docs = {}, {}
    errors = []
    present = []
    for code, name in CATALOGUE:
        path = os.path.join(HEX_DIR, code + ".txt")
        if not os.path.exists(path):
            if not allow_missing:
                errors.append("%s: missing source for %s %s"
                              % (os.path.relpath(path, ROOT), code, name))
            continue
        present.append(code)
        try:
            docs[code + ".rtf"] = build_hexagram(code, name, path)
        except SourceError as e:
            errors.append(str(e))
    errors += check_fingerprints(present, complete=not allow_missing and len(present) == 64)
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


FINGERPRINT_HEADER = """\
# SHA-256 of the classical text of each hexagram source, explanation paragraphs
# (lines beginning with 【白话】) left out; see assets/texts/README.md.
# gendocs.py refuses to run when a source no longer matches its line here.
# Rewrite this file only for a deliberate correction of the classical text:
#     python3 tools/gendocs.py --fingerprint > assets/texts/classical.sha256"""


def main(argv):
    options = argv[1:]
    unknown = [a for a in options if a not in ("--check", "--allow-missing", "--fingerprint")]
    if unknown:
        sys.stderr.write("gendocs: unknown option %s\n" % " ".join(unknown))
        return 2
    check = "--check" in options
    allow_missing = "--allow-missing" in options
    if "--fingerprint" in options:
        try:
            codes = [c for c, _ in CATALOGUE if os.path.exists(os.path.join(HEX_DIR, c + ".txt"))]
            rows = fingerprint_lines(codes)
        except SourceError as e:
            sys.stderr.write("gendocs: %s\n" % e)
            return 1
        sys.stdout.buffer.write(("\n".join([FINGERPRINT_HEADER] + rows) + "\n").encode("utf-8"))
        return 0
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
