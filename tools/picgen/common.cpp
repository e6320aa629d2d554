// Shared helpers: output registry, faces, text, parchment, figures, table.
#include "picgen.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pg {

// ---------------------------------------------------------------- output

void Output::check(const QString &name, const QImage &img, bool ok)
{
    if (!ok) {
        std::fprintf(stderr, "picgen: cannot write %s\n", qPrintable(dir_ + "/" + name));
        std::exit(1);
    }
    if (files_.contains(name)) {
        std::fprintf(stderr, "picgen: %s written twice\n", qPrintable(name));
        std::exit(1);
    }
    Q_UNUSED(img);
    files_ << name;
}

void Output::jpg(const QString &name, const QImage &img, int quality)
{
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    check(name, img, rgb.save(dir_ + "/" + name, "JPG", quality));
    jpegSizes_ << QStringLiteral("%1 %2 %3").arg(name).arg(rgb.width()).arg(rgb.height());
}

void Output::bmp(const QString &name, const QImage &img)
{
    // Format_RGB888 makes the writer produce 24 bits per pixel, no compression.
    const QImage rgb = img.convertToFormat(QImage::Format_RGB888);
    check(name, img, rgb.save(dir_ + "/" + name, "BMP"));
}

void Output::png(const QString &name, const QImage &img)
{
    check(name, img, img.convertToFormat(QImage::Format_ARGB32).save(dir_ + "/" + name, "PNG"));
}

bool Output::writeJpegSizes(const QString &name)
{
    QFile f(dir_ + "/" + name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QStringList sorted = jpegSizes_;
    sorted.sort();
    QTextStream ts(&f);
    for (const QString &line : sorted)
        ts << line << "\n";
    ts.flush();
    if (ts.status() != QTextStream::Ok)
        return false;
    files_ << name;
    return true;
}

bool Output::writeQrc(const QString &name, const QStringList &only, bool include) const
{
    QFile f(dir_ + "/" + name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream ts(&f);
    ts << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/pictures\">\n";
    QStringList sorted = files_;
    sorted.sort();
    for (const QString &file : sorted)
        if (only.contains(file) == include)
            ts << "    <file alias=\"" << file << "\">" << file << "</file>\n";
    ts << "</qresource>\n</RCC>\n";
    return ts.status() == QTextStream::Ok;
}

// ---------------------------------------------------------------- text

static const char *kCjkFamily = "AR PL UMing CN";
// Traditional script comes from the Taiwan cut of the Noto serif face: the Ming face's
// traditional cut draws 說 with the Japanese form of its right part (as 説).
static const char *kCjkTraditionalFamily = "Noto Serif CJK TC";
static const char *kLatinFamily = "Liberation Serif";

QFont cjkFont(qreal px, bool traditional)
{
    QFont f;
    f.setFamilies({QString::fromLatin1(traditional ? kCjkTraditionalFamily : kCjkFamily)});
    f.setPixelSize(qRound(px));
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QFont latinFont(qreal px, bool bold, bool italic)
{
    QFont f;
    f.setFamilies({QString::fromLatin1(kLatinFamily)});
    f.setPixelSize(qRound(px));
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void requireFonts()
{
    auto family = [](const char *name) {
        QFont f;
        f.setFamilies({QString::fromLatin1(name)});
        return f;
    };
    const struct { QFont font; const char *want; } faces[] = {
        {cjkFont(14), "AR PL UMing"},
        {cjkFont(14, true), kCjkTraditionalFamily},
        {latinFont(14), kLatinFamily},
        {family("Liberation Sans"), "Liberation Sans"},  // toolbar letters
        {family("DejaVu Sans"), "DejaVu Sans"},          // toolbar symbols
    };
    for (const auto &face : faces) {
        const QString got = QFontInfo(face.font).family();
        if (!got.startsWith(QString::fromLatin1(face.want))) {
            std::fprintf(stderr, "picgen: face \"%s\" resolved to \"%s\"; install it first\n",
                         face.want, qPrintable(got));
            std::exit(1);
        }
    }
    // The faces must hold every character the pictures print.
    const QFontMetricsF fm(cjkFont(14)), tfm(cjkFont(14, true));
    for (const QChar ch : QStringLiteral("預測四原則硬幣起卦法時間卦辞詳解卜卦解說乾兑离震巽坎艮坤宫"))
        if (!fm.inFont(ch)) {
            std::fprintf(stderr, "picgen: the Ming face lacks U+%04X\n", ch.unicode());
            std::exit(1);
        }
    for (const QChar ch : QStringLiteral("卜卦解說"))
        if (!tfm.inFont(ch)) {
            std::fprintf(stderr, "picgen: the traditional face lacks U+%04X\n", ch.unicode());
            std::exit(1);
        }
}

void drawText(QPainter &p, QPointF baseline, const QString &s, const QFont &f,
              const QColor &c, qreal weight)
{
    QPainterPath path;
    path.addText(baseline, f, s);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillPath(path, c);
    if (weight > 0)
        p.strokePath(path, QPen(c, weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.restore();
}

qreal textWidth(const QString &s, const QFont &f)
{
    return QFontMetricsF(f).horizontalAdvance(s);
}

void drawTextCentred(QPainter &p, qreal cx, qreal y, const QString &s, const QFont &f,
                     const QColor &c, qreal weight)
{
    drawText(p, QPointF(cx - textWidth(s, f) / 2, y), s, f, c, weight);
}

void drawVertical(QPainter &p, qreal cx, qreal top, qreal step, const QString &s,
                  const QFont &f, const QColor &c, qreal weight)
{
    const QFontMetricsF fm(f);
    // The em box of a CJK glyph sits roughly 0.88 em above the baseline.
    const qreal px = f.pixelSize();
    qreal y = top + px * 0.88;
    for (const QChar ch : s) {
        drawTextCentred(p, cx, y, QString(ch), f, c, weight);
        y += step;
    }
    Q_UNUSED(fm);
}

// ---------------------------------------------------------------- grounds

static quint32 hash3(quint32 x, quint32 y, quint32 seed)
{
    quint32 h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

static float unit(quint32 h) { return float(h & 0xffffffu) / float(0xffffff); }

float grain(int x, int y, quint32 seed)
{
    return unit(hash3(quint32(x), quint32(y), seed));
}

float noise2(float x, float y, quint32 seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const float a = grain(ix, iy, seed), b = grain(ix + 1, iy, seed);
    const float c = grain(ix, iy + 1, seed), d = grain(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

QImage parchment(QSize size, quint32 seed, QColor base, QColor edge, float vignette,
                 float mottle)
{
    QImage img(size, QImage::Format_RGB32);
    const float w = size.width(), h = size.height();
    const float br = base.redF(), bg = base.greenF(), bb = base.blueF();
    const float er = edge.redF(), eg = edge.greenF(), eb = edge.blueF();
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            // Distance to the nearest border, in pixels, shapes the vignette.
            const float dx = std::min(float(x), w - 1 - x), dy = std::min(float(y), h - 1 - y);
            const float nx = std::min(dx / 90.0f, 1.0f), ny = std::min(dy / 90.0f, 1.0f);
            float v = (1 - nx * ny);
            v = v * v * 0.55f * vignette;
            // Large soft stains and medium mottling.
            const float m = (noise2(x / 140.0f, y / 140.0f, seed) - 0.5f) * 0.55f
                          + (noise2(x / 38.0f, y / 38.0f, seed + 1) - 0.5f) * 0.30f
                          + (noise2(x / 9.0f, y / 9.0f, seed + 2) - 0.5f) * 0.15f;
            v += m * 0.22f * mottle;
            // Fibres: slightly stretched noise.
            const float fib = noise2(x / 2.5f, y / 11.0f, seed + 3) - 0.5f;
            const float g = (grain(x, y, seed + 4) - 0.5f) * 0.020f + fib * 0.016f * mottle;
            v = std::clamp(v, -0.35f, 1.0f);
            auto mix = [&](float b0, float e0) {
                const float c = b0 + (e0 - b0) * v + g;
                return int(std::lround(std::clamp(c, 0.0f, 1.0f) * 255));
            };
            line[x] = qRgb(mix(br, er), mix(bg, eg), mix(bb, eb));
        }
    }
    return img;
}

// ---------------------------------------------------------------- figures

static void drawBars(QPainter &p, const QRect &r, const QString &code, int n, const QColor &c,
                     int barH, int gap)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const int brk = std::max(2, int(std::lround(r.width() * 0.2)));
    const int half = (r.width() - brk) / 2;
    for (int i = 0; i < n; ++i) {
        const int y = r.bottom() + 1 - (i + 1) * barH - i * gap;
        if (code.at(i) == QLatin1Char('1')) {
            p.drawRect(QRect(r.left(), y, r.width(), barH));
        } else {
            p.drawRect(QRect(r.left(), y, half, barH));
            p.drawRect(QRect(r.right() + 1 - half, y, half, barH));
        }
    }
    p.restore();
}

void drawFigure(QPainter &p, const QRect &r, const QString &code, const QColor &c, int barH,
                int gap)
{
    drawBars(p, r, code, 6, c, barH, gap);
}

void drawTrigram(QPainter &p, const QRect &r, const QString &code, const QColor &c, int barH,
                 int gap)
{
    drawBars(p, r, code, 3, c, barH, gap);
}

void drawSeal(QPainter &p, const QRectF &r, const QColor &fill, const QColor &line, qreal radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(line, 1.0));
    p.setBrush(Qt::NoBrush);
    const QRectF in = r.adjusted(2.5, 2.5, -2.5, -2.5);
    p.drawRoundedRect(in, std::max(0.0, radius - 1.5), std::max(0.0, radius - 1.5));
    p.restore();
}

// ---------------------------------------------------------------- catalogue

const std::array<QString, 8> kPalaces{
    QStringLiteral("乾宫"), QStringLiteral("兑宫"), QStringLiteral("离宫"), QStringLiteral("震宫"),
    QStringLiteral("巽宫"), QStringLiteral("坎宫"), QStringLiteral("艮宫"), QStringLiteral("坤宫")};
const std::array<QString, 8> kPalaceTrigrams{"111", "112", "121", "122",
                                            "211", "212", "221", "222"};
const std::array<QString, 3> kSideTabLabels{
    QStringLiteral("預測四原則"), QStringLiteral("硬幣起卦法"), QStringLiteral("時間起卦法")};

// Names in tile order: page 1 rows 1-4, then page 2 rows 1-4.
static const char *const kNames[64] = {
    "乾为天", "天风姤", "天山遁", "天地否", "风地观", "山地剥", "火地晋", "火天大有",
    "兑为泽", "泽水困", "泽地萃", "泽山咸", "水山蹇", "地山谦", "雷山小过", "雷泽归妹",
    "离为火", "火山旅", "火风鼎", "火水未济", "山水蒙", "风水涣", "天水讼", "天火同人",
    "震为雷", "雷地豫", "雷水解", "雷风恒", "地风升", "水风井", "泽风大过", "泽雷随",
    "巽为风", "风天小畜", "风火家人", "风雷益", "天雷无妄", "火雷噬嗑", "山雷颐", "山风蛊",
    "坎为水", "水泽节", "水雷屯", "水火既济", "泽火革", "雷火丰", "地火明夷", "地水师",
    "艮为山", "山火贲", "山天大畜", "山泽损", "火泽睽", "天泽履", "风泽中孚", "风山渐",
    "坤为地", "地雷复", "地泽临", "地天泰", "雷天大壮", "泽天夬", "水天需", "水地比"};

static const char kHoverLetters[8] = {'q', 'd', 'l', 'z', 'x', 'k', 'g', 'n'};

// Lines changed, counted from the bottom, for the eight columns of a palace.
static const std::array<std::array<bool, 6>, 8> kChanges{{
    {false, false, false, false, false, false},
    {true, false, false, false, false, false},
    {true, true, false, false, false, false},
    {true, true, true, false, false, false},
    {true, true, true, true, false, false},
    {true, true, true, true, true, false},
    {true, true, true, false, true, false},
    {false, false, false, false, true, false},
}};

static Hexagram makeEntry(int index)
{
    Hexagram h;
    h.page = index / 32 + 1;
    h.row = (index % 32) / 8 + 1;
    h.col = index % 8 + 1;
    const int palace = index / 8;
    const QString t = kPalaceTrigrams[palace];
    const QString doubled = t + t;
    for (int i = 0; i < 6; ++i) {
        const QChar ch = doubled.at(i);
        const bool flip = kChanges[h.col - 1][i];
        h.code += flip ? (ch == QLatin1Char('1') ? QLatin1Char('2') : QLatin1Char('1')) : ch;
    }
    h.name = QString::fromUtf8(kNames[index]);
    h.hover = QString(QLatin1Char(kHoverLetters[palace])) + QString::number(h.col);

    const int c = h.col - 1;
    if (h.page == 1) {
        static const int tops[4] = {35, 147, 267, 387};
        static const int hoverTops[4] = {57, 175, 295, 413};
        int top = tops[h.row - 1], height = h.row == 2 ? 89 : 97;
        if (h.row == 1 && h.col == 8) top = 30;
        if (h.row == 2 && h.col == 8) { top = 144; height = 100; }
        if (h.row == 4 && h.col >= 6) top = 382;
        h.tile = QRect(112 + 96 * c, top, 65, height);
        h.hoverRect = QRect(115 + 96 * c, hoverTops[h.row - 1], h.hover == "q1" ? 54 : 62, 67);
    } else {
        static const int tops[4] = {30, 147, 267, 387};
        static const int hoverTops[4] = {58, 175, 293, 412};
        h.tile = QRect(111 + 96 * c, tops[h.row - 1], 65, 97);
        const int left = (h.row == 1 ? 113 : 114) + 96 * c;
        int width = h.row == 1 ? 61 : 62;
        if (h.hover == "k3" || h.hover == "k8") width = 60;
        h.hoverRect = QRect(left, hoverTops[h.row - 1], width, 67);
    }
    // Figure: 44 x 56 (bars 6 px, gaps 4 px), inside every hover rectangle.
    h.figure = QRect(h.tile.left() + 10, h.hoverRect.top() + 4, 44, 56);
    return h;
}

const std::array<Hexagram, 64> &catalogue()
{
    static const std::array<Hexagram, 64> table = [] {
        std::array<Hexagram, 64> t;
        for (int i = 0; i < 64; ++i)
            t[i] = makeEntry(i);
        return t;
    }();
    return table;
}

} // namespace pg
