// Main window: the two page pictures, the hover pictures cut from them, the
// four page tabs and the six side-tab pictures.
//
// A page picture covers the page panel (896 x 513 at 5, 72). Around a
// lighter sheet it repeats the window background exactly, so the sheet seems
// to lie on the window; the tabs are drawn over crops of the window as it
// looks with their page showing, so their corners blend in as well.
#include "picgen.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>

namespace pg {

namespace {

const QColor kTabOff{224, 205, 166};
const QColor kSideBase{226, 208, 170};
const QColor kHighlightGlow{255, 222, 160};

// Panel-coordinate rectangle of the active page tab for a page.
QRect activeTabOnPanel(int page)
{
    const QRect r = page == 1 ? geo::tabLeft : geo::tabRight;
    return r.translated(-geo::pagePos);
}

void drawSheet(QPainter &p, int page)
{
    const QRect s = geo::sheet;
    // Soft shadow to the lower right.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 3; i >= 1; --i)
        p.fillRect(s.translated(i, i), QColor(60, 40, 20, 16));

    static const QImage ground =
        parchment(s.size(), 900, col::sheet, QColor(228, 210, 172), 0.45f, 0.7f);
    p.drawImage(s.topLeft(), ground);

    // Border: outer line and a fine inner line, open under the active tab.
    const QRect tab = activeTabOnPanel(page);
    const QColor outer = col::inkSoft;
    QColor inner = col::inkSoft;
    inner.setAlpha(110);
    auto hline = [&](int y, int x0, int x1, const QColor &c) {
        if (x1 >= x0) p.fillRect(QRect(x0, y, x1 - x0 + 1, 1), c);
    };
    const int tl = tab.left(), tr = tab.right();
    hline(s.top(), s.left(), tl - 1, outer);
    hline(s.top(), tr + 1, s.right(), outer);
    hline(s.bottom(), s.left(), s.right(), outer);
    p.fillRect(QRect(s.left(), s.top(), 1, s.height()), outer);
    p.fillRect(QRect(s.right(), s.top(), 1, s.height()), outer);
    const QRect in = s.adjusted(3, 3, -3, -3);
    hline(in.top(), in.left(), tl - 1, inner);
    hline(in.top(), tr + 1, in.right(), inner);
    hline(in.bottom(), in.left(), in.right(), inner);
    p.fillRect(QRect(in.left(), in.top(), 1, in.height()), inner);
    p.fillRect(QRect(in.right(), in.top(), 1, in.height()), inner);
}

// Dotted rules between the palace rows.
void drawRowRules(QPainter &p, int page)
{
    const int ys[3] = {page == 1 ? 140 : 141, 257, 376};
    QColor c = col::inkSoft;
    c.setAlpha(70);
    for (int y : ys)
        for (int x = 14; x < 860; x += 4)
            p.fillRect(QRect(x, y, 2, 1), c);
}

void drawPalaceLabel(QPainter &p, int palace, int hoverTop)
{
    // Vertical seal with the palace name, the palace trigram beneath it.
    const QRectF seal(36, hoverTop - 16, 30, 52);
    drawSeal(p, seal, col::vermilion, col::sealText, 3);
    drawVertical(p, seal.center().x(), seal.top() + 5, 21, kPalaces[palace], cjkFont(19),
                 col::sealText, 0.7);
    drawTrigram(p, QRect(35, hoverTop + 46, 32, 20), kPalaceTrigrams[palace], col::ink, 4, 4);
}

void drawSideTabLabels(QPainter &p)
{
    QColor c = col::inkSoft;
    for (int i = 0; i < 3; ++i) {
        const QRect r = geo::sideBase[i].translated(-geo::pagePos);
        drawVertical(p, r.center().x() + 0.5, r.top() + 8, 17, kSideTabLabels[i], cjkFont(15, true), c,
                     0.35);
    }
}

// Two numbering lines under the sheet, left of the lookup field, in
// columns of equal pitch so that the two lines line up.
void drawNumbering(QPainter &p)
{
    const QFont f = cjkFont(12);
    const qreal left = 14, first = 46, pitch = 40;
    auto line = [&](qreal y, const QString &head, const QStringList &names,
                    const QStringList &nums) {
        drawText(p, QPointF(left, y), head, f, col::inkSoft, 0.3);
        for (int i = 0; i < names.size(); ++i) {
            const qreal x = first + pitch * i;
            drawText(p, QPointF(x, y), names[i], f, col::ink, 0.35);
            drawText(p, QPointF(x + textWidth(names[i], f), y), nums[i], f, col::vermilion, 0.3);
        }
    };
    const QStringList numerals = QStringLiteral("一 二 三 四 五 六 七 八 九 十 十一 十二").split(' ');
    line(497, QStringLiteral("八卦"),
         QStringLiteral("乾 兑 离 震 巽 坎 艮 坤").split(' '), numerals.mid(0, 8));
    line(511, QStringLiteral("地支"),
         QStringLiteral("子 丑 寅 卯 辰 巳 午 未 申 酉 戌 亥").split(' '), numerals);
}

// Everything of a page except the 32 hexagrams.
QImage pageBase(const Pictures &pics, int page)
{
    QImage img = pics.form1.copy(QRect(geo::pagePos, geo::page)).convertToFormat(
        QImage::Format_RGB32);
    QPainter p(&img);
    drawSheet(p, page);
    drawRowRules(p, page);
    for (const auto &h : catalogue())
        if (h.page == page && h.col == 1)
            drawPalaceLabel(p, (page - 1) * 4 + h.row - 1, h.hoverRect.top());
    drawSideTabLabels(p);
    drawNumbering(p);
    return img;
}

void drawHexagram(QPainter &p, const Hexagram &h, bool highlight)
{
    const QRect f = h.figure;
    if (highlight) {
        // A warm glow that fades out before the edge of the hover rectangle,
        // so the hover picture meets the page without a seam.
        const QRectF g = QRectF(h.hoverRect).adjusted(2, 2, -2, -2);
        QRadialGradient grad(g.center(), 1.0);
        grad.setCoordinateMode(QGradient::ObjectMode);
        grad.setCenter(0.5, 0.5);
        grad.setFocalPoint(0.5, 0.5);
        grad.setRadius(0.5);
        QColor c0 = kHighlightGlow, c1 = kHighlightGlow;
        c0.setAlpha(200);
        c1.setAlpha(0);
        grad.setColorAt(0.0, c0);
        grad.setColorAt(0.6, c0);
        grad.setColorAt(1.0, c1);
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setClipRect(g);
        p.setPen(Qt::NoPen);
        p.setBrush(grad);
        p.drawRect(g.adjusted(-8, -4, 8, 4));
        p.restore();
        drawFigure(p, f, h.code, col::vermilionHi, 6, 4);
    } else {
        drawFigure(p, f, h.code, col::ink, 6, 4);
    }
    const qreal cx = f.left() + f.width() / 2.0;
    drawTextCentred(p, cx, h.hoverRect.top() - 6, h.name, cjkFont(14), col::ink, 0.45);
}

QImage renderPage(const QImage &base, int page, int highlight)
{
    QImage img = base.copy();
    QPainter p(&img);
    int i = 0;
    for (const auto &h : catalogue()) {
        if (h.page == page)
            drawHexagram(p, h, i == highlight);
        ++i;
    }
    return img;
}

bool sameOutside(const QImage &a, const QImage &b, const QRect &inside)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!inside.contains(x, y) && a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

// The window as it looks with a page showing (for the tab backgrounds).
QImage windowWithPage(const Pictures &pics, int page)
{
    QImage img = pics.form1.convertToFormat(QImage::Format_RGB32);
    QPainter p(&img);
    p.drawImage(geo::pagePos, pics.pages.at(page));
    return img;
}

QImage pageTab(const QImage &window, const QRect &where, bool active, const QString &palaces)
{
    QImage img = window.copy(where);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal w = img.width(), h = img.height();
    QPainterPath shape;
    shape.moveTo(0.5, h + 1);
    shape.lineTo(0.5, 7);
    shape.quadTo(0.5, 0.5, 7, 0.5);
    shape.lineTo(w - 7.5, 0.5);
    shape.quadTo(w - 0.5, 0.5, w - 0.5, 7);
    shape.lineTo(w - 0.5, h + 1);
    if (active) {
        static const QImage fill =
            parchment(img.size(), 901, col::sheet, QColor(228, 210, 172), 0.0f, 0.7f);
        p.fillPath(shape, QBrush(fill));
    } else {
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, kTabOff.lighter(104));
        g.setColorAt(1, kTabOff.darker(104));
        p.fillPath(shape, g);
    }
    p.strokePath(shape, QPen(col::inkSoft, 1.0));
    if (active) {
        // Vermilion band along the top of the active tab.
        p.setPen(QPen(col::vermilion, 2.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(7, 2.5), QPointF(w - 7, 2.5));
    }

    const QStringList names = palaces.split(' ');
    const QFont f = cjkFont(14);
    const QColor text = active ? col::ink : col::inkSoft;
    const qreal cell = (w - 8) / names.size();
    for (int i = 0; i < names.size(); ++i) {
        const qreal cx = 4 + cell * (i + 0.5);
        drawTextCentred(p, cx, 20, names[i], f, text, active ? 0.5 : 0.3);
        if (i > 0) {
            QColor c = col::inkSoft;
            c.setAlpha(active ? 170 : 120);
            p.setPen(QPen(c, 1.0));
            const qreal x = std::round(4 + cell * i) + 0.5;
            p.drawLine(QPointF(x, 9), QPointF(x, 21));
        }
    }
    return img;
}

QImage sideTab(const QImage &window, const QRect &where, bool highlighted, const QString &label)
{
    QImage img = window.copy(where);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal w = img.width(), h = img.height();
    const qreal r = 5;
    QPainterPath shape;
    shape.moveTo(-1, 0.5);
    shape.lineTo(w - 1.5 - r, 0.5);
    shape.quadTo(w - 1.5, 0.5, w - 1.5, 0.5 + r);
    shape.lineTo(w - 1.5, h - 0.5 - r);
    shape.quadTo(w - 1.5, h - 0.5, w - 1.5 - r, h - 0.5);
    shape.lineTo(-1, h - 0.5);
    if (highlighted) {
        QLinearGradient g(0, 0, w, 0);
        g.setColorAt(0, col::vermilion);
        g.setColorAt(1, col::vermilionHi);
        p.fillPath(shape, g);
        p.strokePath(shape, QPen(col::vermilion.darker(140), 1.0));
    } else {
        QLinearGradient g(0, 0, w, 0);
        g.setColorAt(0, kSideBase.darker(103));
        g.setColorAt(1, kSideBase.lighter(104));
        p.fillPath(shape, g);
        p.strokePath(shape, QPen(col::inkSoft, 1.0));
    }
    drawVertical(p, 12.5, 8, 17, label, cjkFont(15, true),
                 highlighted ? col::sealText : col::ink, highlighted ? 0.6 : 0.45);
    return img;
}

} // namespace

void makePages(Output &out, Pictures &pics)
{
    const auto &cat = catalogue();
    for (int page = 1; page <= 2; ++page) {
        const QImage base = pageBase(pics, page);
        pics.pages[page] = renderPage(base, page, -1);
        out.jpg(QStringLiteral("page%1.jpg").arg(page), pics.pages[page], 95);
        for (int i = 0; i < 64; ++i) {
            const Hexagram &h = cat[i];
            if (h.page != page)
                continue;
            const QImage lit = renderPage(base, page, i);
            // The hover picture must differ from its page only inside its rectangle.
            if (!h.hoverRect.contains(h.figure) || !sameOutside(lit, pics.pages[page], h.hoverRect)) {
                std::fprintf(stderr, "picgen: highlight of %s leaves its hover rectangle\n",
                             qPrintable(h.hover));
                std::exit(1);
            }
            out.jpg(h.hover + ".jpg", lit.copy(h.hoverRect), 95);
        }
    }

    const QImage with1 = windowWithPage(pics, 1), with2 = windowWithPage(pics, 2);
    const QString left = QStringLiteral("乾宫 兑宫 离宫 震宫");
    const QString right = QStringLiteral("巽宫 坎宫 艮宫 坤宫");
    // The left tab is active only while page 1 shows, the right one only on page 2.
    out.jpg(QStringLiteral("tab1_on.jpg"), pageTab(with1, geo::tabLeft, true, left));
    out.jpg(QStringLiteral("tab1_off.jpg"), pageTab(with2, geo::tabLeft, false, left));
    out.jpg(QStringLiteral("tab2_on.jpg"), pageTab(with2, geo::tabRight, true, right));
    out.jpg(QStringLiteral("tab2_off.jpg"), pageTab(with1, geo::tabRight, false, right));

    // The right margin of both pages is the same, so page 1 serves both.
    for (int i = 0; i < 3; ++i) {
        out.jpg(QStringLiteral("sq%1.jpg").arg(i + 1),
                sideTab(with1, geo::sideBase[i], false, kSideTabLabels[i]));
        out.jpg(QStringLiteral("ss%1.jpg").arg(i + 1),
                sideTab(with1, geo::sideHover[i], true, kSideTabLabels[i]));
    }
}

} // namespace pg
