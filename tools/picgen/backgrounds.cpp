// Window backgrounds: parchment, the application title with a rule beneath
// it at the top left, and the few texts each window carries in its picture.
// Control areas (boxes, fields, buttons) are left as plain ground.
#include "picgen.h"

namespace pg {

namespace {

struct Header {
    int left;        // left edge of the seal
    int baseline;    // baseline of the title
    int ruleY;       // top of the rule
    int ruleRight;   // right end of the rule
    QString subtitle;
    bool doubleRule = false;
    int titlePx = 30;
    bool traditional = false;  // subtitle in traditional script
};

void drawHeader(QPainter &p, const Header &h)
{
    // A small seal with the character 易 ahead of the title.
    const QRectF seal(h.left, h.baseline - 25, 26, 26);
    drawSeal(p, seal, col::vermilion, col::sealText, 3);
    drawTextCentred(p, seal.center().x(), seal.bottom() - 5.5, QStringLiteral("易"), cjkFont(19),
                    col::sealText, 0.6);

    const QFont title = latinFont(h.titlePx);
    const QString name = QStringLiteral("Corvane");
    const qreal tx = seal.right() + 9;
    drawText(p, QPointF(tx, h.baseline), name, title, col::ink);
    if (!h.subtitle.isEmpty()) {
        const qreal sx = tx + textWidth(name, title) + 16;
        drawText(p, QPointF(sx, h.baseline - 1), h.subtitle, cjkFont(21, h.traditional), col::vermilion, 0.7);
    }

    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(h.left, h.ruleY, h.ruleRight - h.left, 2), col::inkSoft);
    if (h.doubleRule)
        p.fillRect(QRect(h.left, h.ruleY + 4, h.ruleRight - h.left, 1), col::inkSoft);
    // A vermilion accent at the start of the rule.
    p.fillRect(QRect(h.left, h.ruleY, 60, 2), col::vermilion);
    p.restore();
}

void footerMotto(QPainter &p, int width, int baseline, const QString &s)
{
    QColor c = col::inkSoft;
    c.setAlpha(150);
    drawTextCentred(p, width / 2.0, baseline, s, cjkFont(13), c, 0.2);
}

QImage ground(QSize size, quint32 seed)
{
    return parchment(size, seed, col::ground, col::groundEdge);
}

QImage form1()
{
    QImage img = ground(geo::form1, 101);
    QPainter p(&img);
    drawHeader(p, {20, 50, 55, 780, QString(), true, 34});
    // Tagline after the version label (the label sits at 207, 38, 30 x 12).
    drawText(p, QPointF(252, 50), QStringLiteral("周易六十四卦"), cjkFont(19), col::inkSoft, 0.5);

    // Bottom: a motto at the left, the dark strip behind the note labels at the right.
    QColor motto = col::inkSoft;
    motto.setAlpha(190);
    drawText(p, QPointF(24, 607), QStringLiteral("易有太极，是生两仪；两仪生四象，四象生八卦。"),
             cjkFont(13), motto, 0.25);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(col::gold, 1.0));
    p.setBrush(col::strip);
    p.drawRoundedRect(QRectF(550.5, 589.5, 313, 25), 4, 4);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(553, 592, 308, 20), col::strip);
    return img;
}

QImage form2()
{
    QImage img = ground({604, 676}, 202);
    QPainter p(&img);
    drawHeader(p, {51, 64, 81, 564, QStringLiteral("卦辞詳解"), false, 30});
    footerMotto(p, 604, 664, QStringLiteral("君子居则观其象而玩其辞，动则观其变而玩其占"));
    return img;
}

QImage form3()
{
    QImage img = ground({630, 481}, 303);
    QPainter p(&img);
    drawHeader(p, {43, 56, 71, 585, QStringLiteral("卜卦解說"), false, 30, true});
    footerMotto(p, 630, 461, QStringLiteral("观变于阴阳而立卦，发挥于刚柔而生爻"));
    return img;
}

QImage form4()
{
    QImage img = ground({631, 482}, 404);
    QPainter p(&img);
    drawHeader(p, {43, 56, 71, 585, QStringLiteral("自定义笔记")});
    // Guidance beside the title field (the field sits at 43, 80, 182 x 22).
    drawText(p, QPointF(232, 96),
             QStringLiteral("此处填写的标题将替代主窗口上的自定义标签，最多五个字"), cjkFont(13),
             col::inkSoft, 0.3);
    footerMotto(p, 631, 462, QStringLiteral("书不尽言，言不尽意"));
    return img;
}

// The about window's caption: a lacquer band across the top (the skinned frame makes 79..471 of
// it a title bar) holding the six caption buttons at the rectangles the frame answers for them.
namespace about {
constexpr int bandHeight = 34;
struct CaptionButton {
    QRect rect;
    ButtonGlyph glyph;
};
const CaptionButton buttons[] = {
    {{7, 5, 23, 24}, ButtonGlyph::SystemMenu}, {{31, 5, 23, 24}, ButtonGlyph::RollUp},
    {{55, 5, 23, 24}, ButtonGlyph::Tray},       {{472, 5, 23, 24}, ButtonGlyph::Minimise},
    {{496, 5, 23, 24}, ButtonGlyph::Maximise}, {{520, 5, 23, 24}, ButtonGlyph::Close},
};
// The three buttons on the right, which follow the window's right edge (window coordinates).
const QRect rightGroup{472, 5, 71, 24};

// The band alone, `width` wide: the same in every column, so it can be stretched sideways.
QImage band(int width)
{
    QImage img(width, bandHeight, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, bandHeight - 3);
    g.setColorAt(0, QColor(120, 26, 16));
    g.setColorAt(1, QColor(78, 8, 4));
    p.fillRect(QRect(0, 0, width, bandHeight - 2), g);
    p.fillRect(QRect(0, bandHeight - 2, width, 1), col::gold);
    p.fillRect(QRect(0, bandHeight - 1, width, 1), QColor(60, 10, 4));
    return img;
}
} // namespace about

QImage form5()
{
    QImage img = ground({550, 386}, 505);
    {
        QPainter p(&img);
        p.drawImage(0, 0, about::band(550));
        // The title in the middle of the band: a small seal and the program's name.
        const QRectF seal(226, 7, 20, 20);
        drawSeal(p, seal, col::vermilion, col::sealText, 2);
        drawTextCentred(p, seal.center().x(), seal.bottom() - 4.5, QStringLiteral("易"), cjkFont(15),
                        col::sealText, 0.4);
        drawText(p, QPointF(254, 24), QStringLiteral("Corvane"), latinFont(18), col::sealText);
        drawText(p, QPointF(254 + textWidth(QStringLiteral("Corvane"), latinFont(18)) + 8, 23),
                 QStringLiteral("关于"), cjkFont(16), col::gold, 0.4);
    }
    for (const auto &b : about::buttons)
        drawCaptionButton(img, b.rect, b.glyph);
    return img;
}

} // namespace

void makeBackgrounds(Output &out, Pictures &pics)
{
    pics.form1 = form1();
    out.jpg(QStringLiteral("form1_bg.jpg"), pics.form1);
    out.jpg(QStringLiteral("form2_bg.jpg"), form2());
    out.jpg(QStringLiteral("form3_bg.jpg"), form3());
    out.jpg(QStringLiteral("form4_bg.jpg"), form4());
    const QImage about = form5();
    out.jpg(QStringLiteral("form5_bg.jpg"), about);
    // What the about window lays over its background when it is not 550 wide: the right-hand
    // caption buttons at its right edge, and the band stretched over the rest of the top.
    out.jpg(QStringLiteral("form5_buttons.jpg"), about.copy(about::rightGroup), 94);
    out.jpg(QStringLiteral("form5_band.jpg"), about::band(8), 94);
}

} // namespace pg
