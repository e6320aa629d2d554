// Picture buttons shared by the windows (minimise and close, base and
// hover, 33 x 33) and the application icon.
//
// The buttons are full square seals: the same pictures sit on differently
// shaded parts of several backgrounds, so they carry no background of
// their own. The hover picture is brighter and stands 1-2 px off its base,
// which leaves a sliver of the darker base visible like a shadow.
#include "picgen.h"

namespace pg {

namespace {

// The seal face every picture button has: a red gradient with fine grain, a dark outer edge and a
// light cut line inside; the hover face is brighter and looks raised. Drawn on `img` in `r`.
void drawSealFace(QImage &img, const QRect &r, bool hover, quint32 seed)
{
    const QColor top = hover ? QColor(222, 84, 48) : QColor(160, 40, 26);
    const QColor bottom = hover ? QColor(190, 52, 30) : QColor(128, 28, 20);
    const int h = std::max(1, r.height() - 1);
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            const float t = y / float(h);
            const float n = (grain(x, y, seed + (hover ? 1 : 0)) - 0.5f) * 10
                          + (noise2(x / 5.0f, y / 5.0f, seed + 2) - 0.5f) * 14;
            auto ch = [&](int a, int b) { return std::clamp(int(a + (b - a) * t + n), 0, 255); };
            img.setPixel(r.left() + x, r.top() + y, qRgb(ch(top.red(), bottom.red()), ch(top.green(), bottom.green()),
                                                         ch(top.blue(), bottom.blue())));
        }
    QPainter p(&img);
    p.translate(r.topLeft());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(80, 14, 8), 1.0));
    p.drawRect(QRectF(0.5, 0.5, r.width() - 1, r.height() - 1));
    const int inset = r.width() >= 30 ? 3 : 2;
    p.setPen(QPen(hover ? QColor(255, 226, 170) : col::sealText, 1.0));
    p.drawRoundedRect(QRectF(inset + 0.5, inset + 0.5, r.width() - 2 * inset - 1, r.height() - 2 * inset - 1), 2, 2);
    if (hover) {
        QLinearGradient g(0, 1, 0, r.height() / 2 + 1);
        g.setColorAt(0, QColor(255, 255, 255, 70));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(1, 1, r.width() - 2, r.height() / 2), g);
    }
}

QImage windowButton(ButtonGlyph glyph, bool hover)
{
    QImage img(33, 33, QImage::Format_RGB32);
    drawSealFace(img, img.rect(), hover, 70);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor line = hover ? QColor(255, 226, 170) : col::sealText;
    p.setPen(QPen(line, 3.0, Qt::SolidLine, Qt::RoundCap));
    if (glyph == ButtonGlyph::Minimise) {
        p.drawLine(QPointF(10.5, 21.5), QPointF(22.5, 21.5));
    } else {
        p.drawLine(QPointF(11, 11), QPointF(22, 22));
        p.drawLine(QPointF(22, 11), QPointF(11, 22));
    }
    return img;
}

} // namespace

void drawCaptionButton(QImage &img, const QRect &r, ButtonGlyph glyph)
{
    drawSealFace(img, r, false, 73);
    QPainter p(&img);
    p.translate(r.topLeft());
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor line = col::sealText;
    const qreal cx = r.width() / 2.0, cy = r.height() / 2.0;
    p.setPen(QPen(line, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case ButtonGlyph::SystemMenu:
        // Three unbroken lines: the trigram of heaven.
        for (int k = -1; k <= 1; ++k)
            p.drawLine(QPointF(cx - 5, cy + 4 * k), QPointF(cx + 5, cy + 4 * k));
        break;
    case ButtonGlyph::RollUp:
        p.drawLine(QPointF(cx - 5, cy + 2.5), QPointF(cx, cy - 2.5));
        p.drawLine(QPointF(cx, cy - 2.5), QPointF(cx + 5, cy + 2.5));
        break;
    case ButtonGlyph::Tray:
        // A window going down into the corner of the screen.
        p.setPen(QPen(line, 1.5));
        p.drawRect(QRectF(cx - 5.5, cy - 5.5, 11, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(line);
        p.drawRect(QRectF(cx + 0.5, cy + 1.5, 4, 3));
        break;
    case ButtonGlyph::Minimise:
        p.drawLine(QPointF(cx - 5, cy + 4.5), QPointF(cx + 5, cy + 4.5));
        break;
    case ButtonGlyph::Maximise:
        p.setPen(QPen(line, 1.5));
        p.drawRect(QRectF(cx - 5.5, cy - 5.5, 11, 11));
        p.drawLine(QPointF(cx - 5.5, cy - 4), QPointF(cx + 5.5, cy - 4));
        break;
    case ButtonGlyph::Close:
        p.drawLine(QPointF(cx - 4.5, cy - 4.5), QPointF(cx + 4.5, cy + 4.5));
        p.drawLine(QPointF(cx + 4.5, cy - 4.5), QPointF(cx - 4.5, cy + 4.5));
        break;
    }
}

// Drawn on a 32 x 32 grid and scaled to `size`: at 32 it is the window icon the program embeds,
// at the other sizes the icons an installed program gives the desktop's menus.
QImage appIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(96, 18, 10), 1.0));
    p.setBrush(col::vermilion);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 5, 5);
    p.setPen(QPen(col::sealText, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(2.5, 2.5, 27, 27), 3.5, 3.5);
    // 水火既济: lines alternate from the bottom, yang first.
    drawFigure(p, QRect(7, 5, 18, 22), QStringLiteral("121212"), col::sealText, 2, 2);
    return img;
}

void makeWindowButtons(Output &out)
{
    out.jpg(QStringLiteral("ww1.jpg"), windowButton(ButtonGlyph::Minimise, false), 94);
    out.jpg(QStringLiteral("ww2.jpg"), windowButton(ButtonGlyph::Close, false), 94);
    out.jpg(QStringLiteral("w1.jpg"), windowButton(ButtonGlyph::Minimise, true), 94);
    out.jpg(QStringLiteral("w2.jpg"), windowButton(ButtonGlyph::Close, true), 94);
    out.png(QStringLiteral("corvane_icon.png"), appIcon(32));
}

} // namespace pg
