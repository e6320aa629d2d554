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

enum class Glyph { Minimise, Close };

QImage windowButton(Glyph glyph, bool hover)
{
    QImage img(33, 33, QImage::Format_RGB32);
    const QColor top = hover ? QColor(222, 84, 48) : QColor(160, 40, 26);
    const QColor bottom = hover ? QColor(190, 52, 30) : QColor(128, 28, 20);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 33; ++x) {
            const float t = y / 32.0f;
            const float n = (grain(x, y, hover ? 71 : 70) - 0.5f) * 10
                          + (noise2(x / 5.0f, y / 5.0f, 72) - 0.5f) * 14;
            auto ch = [&](int a, int b) { return std::clamp(int(a + (b - a) * t + n), 0, 255); };
            img.setPixel(x, y, qRgb(ch(top.red(), bottom.red()), ch(top.green(), bottom.green()),
                                    ch(top.blue(), bottom.blue())));
        }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Dark outer edge and the cut line of a seal.
    p.setPen(QPen(QColor(80, 14, 8), 1.0));
    p.drawRect(QRectF(0.5, 0.5, 32, 32));
    const QColor line = hover ? QColor(255, 226, 170) : col::sealText;
    p.setPen(QPen(line, 1.0));
    p.drawRoundedRect(QRectF(3.5, 3.5, 26, 26), 2, 2);
    if (hover) {
        // A lighter top half makes the hover picture look raised.
        QLinearGradient g(0, 1, 0, 17);
        g.setColorAt(0, QColor(255, 255, 255, 70));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(1, 1, 31, 16), g);
    }

    p.setPen(QPen(line, 3.0, Qt::SolidLine, Qt::RoundCap));
    if (glyph == Glyph::Minimise) {
        p.drawLine(QPointF(10.5, 21.5), QPointF(22.5, 21.5));
    } else {
        p.drawLine(QPointF(11, 11), QPointF(22, 22));
        p.drawLine(QPointF(22, 11), QPointF(11, 22));
    }
    return img;
}

} // namespace

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
    out.jpg(QStringLiteral("ww1.jpg"), windowButton(Glyph::Minimise, false), 94);
    out.jpg(QStringLiteral("ww2.jpg"), windowButton(Glyph::Close, false), 94);
    out.jpg(QStringLiteral("w1.jpg"), windowButton(Glyph::Minimise, true), 94);
    out.jpg(QStringLiteral("w2.jpg"), windowButton(Glyph::Close, true), 94);
    out.png(QStringLiteral("corvane_icon.png"), appIcon(32));
}

} // namespace pg
