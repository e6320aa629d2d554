// Theme bitmaps of the skinned controls, 24-bit, magenta (255, 0, 255) as
// the key colour. Names are the style prefix followed by the element suffix.
//
// Sizes (w x h, frames left to right):
//   _BUTTON            fixed per style: MACOS 252x23, WINXP 54x21, DEEPBLUE and
//                      PROTEIN 222x21, BLUEGLASS 231x27; 3 frames: normal,
//                      pointer over, pressed
//   _CHECKBOX          104x13: 8 frames of 13x13: clear normal, over, pressed,
//                      disabled, then the same four ticked
//   _RADIOBUTTON       104x13: as the check box, round
//   _TITLEBTN          192x16: 12 frames of 16x16: close, maximise, restore,
//                      minimise, each normal, over, pressed
//   _TITLE_LEFT        12x26, _TITLE_CLIENT 12x26, _TITLE_RIGHT 12x26
//   _PROGRESSBAR       32x16: 2 frames: track, fill
//   _TRACKBAR_BAR      16x5
//   _TRACKBAR_SLIDER   33x19: 3 frames of 11x19: normal, over, pressed
//   _TRACKBAR_SLIDER_V 57x11: 3 frames of 19x11
//   _SCROLLBAR_BUTTON  192x16: 12 frames of 16x16: up, down, left, right,
//                      each normal, over, pressed
//   _SCROLLBAR_TRACK   48x16: 3 frames of 16x16 (the thumb): normal, over,
//                      pressed
//   _CHECKLIST         52x13: 4 frames of 13x13: clear, ticked, grey, disabled
//   _TAB               120x22: 3 frames of 40x22: normal, over, selected
//   _TAB_LINE          16x4
//   _SIDECHENNEL_HANDLE 24x40: 3 frames of 8x40: normal, over, pressed
//   _SIDECHENNEL_BAR   12x32
//   MACOS_SCROLLBUTTON, WINXP_SCROLLBUTTON, MORE_SCROLLBUTTON 144x12:
//                      12 frames of 12x12: left, right, up, down, each
//                      normal, over, pressed
//
// Button frames are drawn nine-slice by the controls (corners kept, middle
// row and column stretched), so the three middle rows and columns of every
// button frame are made identical.
#include "picgen.h"

#include <QPainterPath>

namespace pg {

namespace {

const QRgb kKey = qRgb(255, 0, 255);
const QColor kMatte{232, 217, 184};  // parchment the opaque buttons sit on

enum State { Normal, Over, Pressed, Disabled };

struct Style {
    QString prefix;
    QSize buttonFrame;
    qreal buttonRadius;
    bool buttonKey;       // corners in the key colour
    QColor border, top, bottom, accent, overBorder;
    bool gloss;
};

const Style kStyles[] = {
    {"MACOS", {84, 23}, 11.5, true, {118, 118, 128}, {252, 252, 253}, {212, 214, 220},
     {58, 118, 208}, {70, 110, 170}, true},
    {"WINXP", {18, 21}, 3.0, false, {112, 96, 78}, {253, 251, 245}, {228, 219, 198},
     {226, 150, 40}, {200, 120, 30}, false},
    {"DEEPBLUE", {74, 21}, 2.0, false, {24, 52, 112}, {238, 243, 252}, {194, 210, 238},
     {32, 72, 150}, {40, 90, 190}, false},
    {"PROTEIN", {74, 21}, 3.0, false, {88, 88, 92}, {252, 252, 252}, {220, 220, 222},
     {196, 48, 45}, {196, 48, 45}, false},
    {"BLUEGLASS", {77, 27}, 6.0, true, {40, 88, 160}, {214, 234, 252}, {128, 182, 238},
     {40, 110, 210}, {30, 70, 150}, true},
};

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

struct Look {
    QColor border, top, bottom;
};

Look lookOf(const Style &s, State st)
{
    switch (st) {
    case Over:
        return {s.overBorder, mix(s.top, s.accent, 0.08), mix(s.bottom, s.accent, 0.28)};
    case Pressed:
        return {s.border.darker(115), mix(s.bottom, s.accent, 0.30).darker(106),
                mix(s.top, s.accent, 0.12).darker(102)};
    case Disabled:
        return {QColor(170, 170, 170), QColor(240, 240, 240), QColor(226, 226, 226)};
    default:
        return {s.border, s.top, s.bottom};
    }
}

// Mostly clear pixels become the key colour (or the matte when `key` is
// off); the rest are laid over the matte.
QImage flatten(const QImage &argb, bool key)
{
    QImage out(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb px = argb.pixel(x, y);
            const int a = qAlpha(px);
            if (key && a < 128) {
                out.setPixel(x, y, kKey);
                continue;
            }
            auto mix = [a](int c, int m) { return (c * a + m * (255 - a)) / 255; };
            QRgb o = qRgb(mix(qRed(px), kMatte.red()), mix(qGreen(px), kMatte.green()),
                          mix(qBlue(px), kMatte.blue()));
            if (o == kKey) o = qRgb(254, 0, 254);
            out.setPixel(x, y, o);
        }
    return out;
}

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// A rounded face with a vertical gradient, 1 px border and optional gloss.
void face(QPainter &p, const QRectF &r, qreal radius, const Look &l, bool gloss,
          qreal flatFrom = 0.4, qreal flatTo = 0.6)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    const QColor mid = QColor::fromRgbF((l.top.redF() + l.bottom.redF()) / 2,
                                        (l.top.greenF() + l.bottom.greenF()) / 2,
                                        (l.top.blueF() + l.bottom.blueF()) / 2);
    g.setColorAt(0, l.top);
    g.setColorAt(flatFrom, mid);
    g.setColorAt(flatTo, mid);
    g.setColorAt(1, l.bottom);
    p.setPen(QPen(l.border, 1.0));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (gloss) {
        QLinearGradient s(r.topLeft(), QPointF(r.left(), r.top() + r.height() * 0.38));
        s.setColorAt(0, QColor(255, 255, 255, 170));
        s.setColorAt(1, QColor(255, 255, 255, 20));
        p.setPen(Qt::NoPen);
        p.setBrush(s);
        const QRectF hl(r.left() + radius * 0.5 + 1, r.top() + 1.5, r.width() - radius - 2,
                        r.height() * 0.36);
        p.drawRoundedRect(hl, hl.height() / 2, hl.height() / 2);
    }
}

void arrow(QPainter &p, const QRectF &r, int dir, const QColor &c)
{
    // dir: 0 up, 1 down, 2 left, 3 right
    const QPointF m = r.center();
    const qreal a = std::min(r.width(), r.height()) * 0.22;
    QPolygonF t;
    switch (dir) {
    case 0: t << m + QPointF(0, -a) << m + QPointF(a * 1.4, a * 0.8) << m + QPointF(-a * 1.4, a * 0.8); break;
    case 1: t << m + QPointF(0, a) << m + QPointF(a * 1.4, -a * 0.8) << m + QPointF(-a * 1.4, -a * 0.8); break;
    case 2: t << m + QPointF(-a, 0) << m + QPointF(a * 0.8, a * 1.4) << m + QPointF(a * 0.8, -a * 1.4); break;
    default: t << m + QPointF(a, 0) << m + QPointF(-a * 0.8, a * 1.4) << m + QPointF(-a * 0.8, -a * 1.4); break;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(t);
}

void tick(QPainter &p, const QRectF &r, const QColor &c)
{
    QPainterPath path;
    path.moveTo(r.left() + r.width() * 0.22, r.top() + r.height() * 0.52);
    path.lineTo(r.left() + r.width() * 0.42, r.top() + r.height() * 0.74);
    path.lineTo(r.left() + r.width() * 0.80, r.top() + r.height() * 0.26);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

// Makes the middle rows and columns of a button frame equal to the centre
// row and column, as the nine-slice drawing stretches them.
void evenMiddle(QImage &img, int x0, int fw)
{
    const int h = img.height(), hw = fw / 2, hh = h / 2;
    for (int x = x0; x < x0 + fw; ++x)
        for (int y : {hh - 1, hh + 1})
            img.setPixel(x, y, img.pixel(x, hh));
    for (int y = 0; y < h; ++y)
        for (int x : {hw - 1, hw + 1})
            img.setPixel(x0 + x, y, img.pixel(x0 + hw, y));
}

QImage button(const Style &s)
{
    const int fw = s.buttonFrame.width(), fh = s.buttonFrame.height();
    QImage strip(fw * 3, fh, QImage::Format_RGB32);
    const State states[3] = {Normal, Over, Pressed};
    for (int i = 0; i < 3; ++i) {
        QImage c = canvas(fw, fh);
        {
            QPainter p(&c);
            const Look l = lookOf(s, states[i]);
            face(p, QRectF(0, 0, fw, fh), s.buttonRadius, l, s.gloss && states[i] != Pressed);
            if (states[i] == Over && !s.gloss) {
                // Warm inner ring on the flat styles.
                QColor ring = s.accent;
                ring.setAlpha(200);
                p.setPen(QPen(ring, 1.5));
                p.setBrush(Qt::NoBrush);
                const qreal r = std::max(0.0, s.buttonRadius - 1);
                p.drawRoundedRect(QRectF(1.75, 1.75, fw - 3.5, fh - 3.5), r, r);
            }
        }
        const QImage flat = flatten(c, s.buttonKey);
        QPainter sp(&strip);
        sp.drawImage(i * fw, 0, flat);
        sp.end();
        evenMiddle(strip, i * fw, fw);
    }
    return strip;
}

// A strip of `n` frames, each drawn by `draw(painter, frame rect, index)`.
template <typename F>
QImage frames(int fw, int fh, int n, bool key, F draw)
{
    QImage c = canvas(fw * n, fh);
    {
        QPainter p(&c);
        p.setRenderHint(QPainter::Antialiasing, true);
        for (int i = 0; i < n; ++i) {
            p.save();
            p.setClipRect(QRect(i * fw, 0, fw, fh));
            draw(p, QRectF(i * fw, 0, fw, fh), i);
            p.restore();
        }
    }
    return flatten(c, key);
}

void makeStyle(Output &out, const Style &s)
{
    auto save = [&](const char *suffix, const QImage &img) {
        out.bmp(s.prefix + QLatin1String(suffix) + ".bmp", img);
    };
    const State four[4] = {Normal, Over, Pressed, Disabled};
    const State three[3] = {Normal, Over, Pressed};
    const qreal boxR = s.buttonRadius > 5 ? 3 : 1.5;

    save("_BUTTON", button(s));

    save("_CHECKBOX", frames(13, 13, 8, true, [&](QPainter &p, QRectF r, int i) {
        const Look l = lookOf(s, four[i % 4]);
        face(p, r, boxR, l, false);
        if (i >= 4) tick(p, r, i % 4 == 3 ? QColor(160, 160, 160) : s.accent);
    }));
    save("_RADIOBUTTON", frames(13, 13, 8, true, [&](QPainter &p, QRectF r, int i) {
        const Look l = lookOf(s, four[i % 4]);
        face(p, r, 6.5, l, false);
        if (i >= 4) {
            p.setPen(Qt::NoPen);
            p.setBrush(i % 4 == 3 ? QColor(160, 160, 160) : s.accent);
            p.drawEllipse(r.center(), 2.6, 2.6);
        }
    }));
    save("_TITLEBTN", frames(16, 16, 12, true, [&](QPainter &p, QRectF r, int i) {
        const Look l = lookOf(s, three[i % 3]);
        face(p, r.adjusted(0, 0, 0, 0), s.buttonRadius > 5 ? 4 : 2, l, s.gloss);
        const QColor g = i / 3 == 0 && i % 3 != 0 ? QColor(196, 40, 30) : s.border.darker(130);
        p.setPen(QPen(g, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const QRectF in = r.adjusted(4.5, 4.5, -4.5, -4.5);
        switch (i / 3) {
        case 0:
            p.drawLine(in.topLeft(), in.bottomRight());
            p.drawLine(in.topRight(), in.bottomLeft());
            break;
        case 1: p.drawRect(in); break;
        case 2:
            p.setPen(QPen(g, 1.2));
            p.drawRect(in.adjusted(2, 0, 0, -2));
            p.drawRect(in.adjusted(0, 2, -2, 0));
            break;
        default: p.drawLine(QPointF(in.left(), in.bottom()), in.bottomRight()); break;
        }
    }));

    const qreal cornerR = s.buttonRadius > 5 ? 7 : (s.prefix == "WINXP" ? 6 : 0);
    auto titlePiece = [&](int side) {  // -1 left, 0 client, 1 right
        QImage c = canvas(12, 26);
        QPainter p(&c);
        p.setRenderHint(QPainter::Antialiasing, true);
        QLinearGradient g(0, 0, 0, 26);
        g.setColorAt(0, s.accent.lighter(150));
        g.setColorAt(0.5, s.accent);
        g.setColorAt(1, s.accent.darker(120));
        QPainterPath path;
        const qreal r = side ? cornerR : 0;
        const qreal x0 = side < 0 ? 0 : -r - 2, x1 = side > 0 ? 12 : 12 + r + 2;
        path.addRoundedRect(QRectF(x0, 0, x1 - x0, 26 + r + 2), r, r);
        p.fillPath(path, g);
        p.end();
        return flatten(c, true);
    };
    save("_TITLE_LEFT", titlePiece(-1));
    save("_TITLE_CLIENT", titlePiece(0));
    save("_TITLE_RIGHT", titlePiece(1));

    save("_PROGRESSBAR", frames(16, 16, 2, true, [&](QPainter &p, QRectF r, int i) {
        if (i == 0) {
            face(p, r, boxR, {s.border, QColor(226, 226, 230), QColor(248, 248, 250)}, false);
        } else {
            face(p, r, boxR, {s.accent.darker(120), s.accent.lighter(140), s.accent}, s.gloss);
        }
    }));
    save("_TRACKBAR_BAR", frames(16, 5, 1, true, [&](QPainter &p, QRectF r, int) {
        face(p, r, 2, {s.border, QColor(200, 200, 206), QColor(244, 244, 246)}, false);
    }));
    auto slider = [&](bool vertical) {
        const int fw = vertical ? 19 : 11, fh = vertical ? 11 : 19;
        return frames(fw, fh, 3, true, [&, vertical](QPainter &p, QRectF r, int i) {
            const Look l = lookOf(s, three[i]);
            QPainterPath path;
            if (!vertical) {
                path.moveTo(r.left() + 0.5, r.top() + 0.5);
                path.lineTo(r.right() - 0.5, r.top() + 0.5);
                path.lineTo(r.right() - 0.5, r.bottom() - 6);
                path.lineTo(r.center().x(), r.bottom() - 0.5);
                path.lineTo(r.left() + 0.5, r.bottom() - 6);
            } else {
                path.moveTo(r.left() + 0.5, r.top() + 0.5);
                path.lineTo(r.right() - 6, r.top() + 0.5);
                path.lineTo(r.right() - 0.5, r.center().y());
                path.lineTo(r.right() - 6, r.bottom() - 0.5);
                path.lineTo(r.left() + 0.5, r.bottom() - 0.5);
            }
            path.closeSubpath();
            QLinearGradient g(r.topLeft(), vertical ? r.bottomLeft() : r.topRight());
            g.setColorAt(0, l.top);
            g.setColorAt(1, l.bottom);
            p.setPen(QPen(l.border, 1.0));
            p.setBrush(g);
            p.drawPath(path);
        });
    };
    save("_TRACKBAR_SLIDER", slider(false));
    save("_TRACKBAR_SLIDER_V", slider(true));
    save("_SCROLLBAR_BUTTON", frames(16, 16, 12, true, [&](QPainter &p, QRectF r, int i) {
        face(p, r, boxR, lookOf(s, three[i % 3]), s.gloss);
        arrow(p, r, i / 3, s.border.darker(140));
    }));
    save("_SCROLLBAR_TRACK", frames(16, 16, 3, true, [&](QPainter &p, QRectF r, int i) {
        face(p, r, boxR, lookOf(s, three[i]), s.gloss);
        p.setPen(QPen(s.border, 1.0));
        for (int k = -1; k <= 1; ++k)
            p.drawLine(QPointF(r.left() + 5, r.center().y() + 2 * k + 0.5),
                       QPointF(r.right() - 5, r.center().y() + 2 * k + 0.5));
    }));
    save("_CHECKLIST", frames(13, 13, 4, true, [&](QPainter &p, QRectF r, int i) {
        face(p, r, 1, lookOf(s, i == 3 ? Disabled : Normal), false);
        if (i == 1) tick(p, r, s.accent);
        if (i == 2) tick(p, r, QColor(150, 150, 150));
    }));
    save("_TAB", frames(40, 22, 3, true, [&](QPainter &p, QRectF r, int i) {
        const Look l = i == 2 ? Look{s.border, QColor(255, 255, 255), s.top}
                              : lookOf(s, i == 1 ? Over : Normal);
        face(p, r.adjusted(0, 0, 0, 6), boxR + 1, l, false);
        if (i == 2) p.fillRect(QRectF(r.left() + 2, r.top() + 1, r.width() - 4, 2), s.accent);
    }));
    save("_TAB_LINE", frames(16, 4, 1, false, [&](QPainter &p, QRectF r, int) {
        p.fillRect(r, s.top);
        p.fillRect(QRectF(r.left(), r.top(), r.width(), 1), s.border);
    }));
    save("_SIDECHENNEL_HANDLE", frames(8, 40, 3, true, [&](QPainter &p, QRectF r, int i) {
        face(p, r, 3, lookOf(s, three[i]), false);
        p.setPen(Qt::NoPen);
        p.setBrush(s.border);
        for (int k = -2; k <= 2; ++k)
            p.drawEllipse(QPointF(r.center().x(), r.center().y() + 4 * k), 1, 1);
    }));
    save("_SIDECHENNEL_BAR", frames(12, 32, 1, false, [&](QPainter &p, QRectF r, int) {
        QLinearGradient g(r.topLeft(), r.topRight());
        g.setColorAt(0, s.bottom);
        g.setColorAt(1, s.top);
        p.fillRect(r, g);
        p.fillRect(QRectF(r.right() - 1, r.top(), 1, r.height()), s.border);
    }));
}

QImage scrollButtons(const Style &s)
{
    const State three[3] = {Normal, Over, Pressed};
    static const int dirs[4] = {2, 3, 0, 1};  // left, right, up, down
    return frames(12, 12, 12, true, [&](QPainter &p, QRectF r, int i) {
        face(p, r, s.buttonRadius > 5 ? 3 : 1.5, lookOf(s, three[i % 3]), s.gloss);
        arrow(p, r, dirs[i / 3], s.border.darker(140));
    });
}

} // namespace

void makeTheme(Output &out)
{
    for (const Style &s : kStyles)
        makeStyle(out, s);
    out.bmp(QStringLiteral("MACOS_SCROLLBUTTON.bmp"), scrollButtons(kStyles[0]));
    out.bmp(QStringLiteral("WINXP_SCROLLBUTTON.bmp"), scrollButtons(kStyles[1]));
    // Shared by the other three styles.
    out.bmp(QStringLiteral("MORE_SCROLLBUTTON.bmp"), scrollButtons(kStyles[2]));
}

} // namespace pg
