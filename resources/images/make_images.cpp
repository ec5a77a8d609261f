// Draws the program's pictures: the toolbar images (normal, disabled, hot), the zoom and
// new-line button faces, each also twice as dense ("@2x") for high-density displays, the
// program's icon in the sizes a desktop asks for, the wood background, the splash and the About
// picture (these two also "@2x").
// Build and run once after changing a drawing; the PNGs are committed:
//   g++ -std=c++20 -fPIC make_images.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_images
//   QT_QPA_PLATFORM=offscreen /tmp/make_images resources/images
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cmath>
#include <functional>
#include <map>
#include <utility>

namespace {

const QColor ink(40, 40, 60);
const QColor curveRed(210, 30, 30);
const QColor blue(30, 80, 200);

void axes(QPainter &p, QRectF r)
{
    p.setPen(QPen(ink, 2));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
}

void text(QPainter &p, const QRectF &r, const QString &s, int px, bool italic = false,
          const QString &family = QStringLiteral("DejaVu Serif"), QColor colour = ink)
{
    QFont f(family);
    f.setPixelSize(px);
    f.setItalic(italic);
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, s);
}

void magnifier(QPainter &p, bool plus)
{
    p.setPen(QPen(QColor(90, 60, 30), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(30, 30), QPointF(43, 43));
    p.setPen(QPen(ink, 3));
    p.setBrush(QColor(210, 235, 255));
    p.drawEllipse(QPointF(20, 20), 14, 14);
    p.setPen(QPen(ink, 3.5));
    p.drawLine(QPointF(13, 20), QPointF(27, 20));
    if (plus)
        p.drawLine(QPointF(20, 13), QPointF(20, 27));
}

std::map<QString, std::function<void(QPainter &)>> drawings()
{
    std::map<QString, std::function<void(QPainter &)>> d;
    d["print"] = [](QPainter &p) {
        p.setPen(QPen(ink, 2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(14, 5, 20, 16));
        p.setBrush(QColor(150, 150, 160));
        p.drawRoundedRect(QRectF(5, 19, 38, 17), 3, 3);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(12, 30, 24, 13));
        p.setPen(QPen(QColor(120, 120, 120), 1.5));
        p.drawLine(QPointF(15, 35), QPointF(33, 35));
        p.drawLine(QPointF(15, 39), QPointF(29, 39));
        p.setBrush(QColor(60, 200, 60));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(37, 24), 2, 2);
    };
    d["graph"] = [](QPainter &p) {
        axes(p, QRectF(5, 5, 38, 38));
        QPainterPath path;
        for (int i = 0; i <= 38; ++i) {
            const double x = 5 + i, y = 24 - 14 * std::sin((i - 19) / 6.0);
            i == 0 ? path.moveTo(x, y) : path.lineTo(x, y);
        }
        p.setPen(QPen(curveRed, 3));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    };
    d["gra"] = [](QPainter &p) {
        axes(p, QRectF(5, 5, 38, 38));
        p.setPen(QPen(curveRed, 3));
        QPainterPath path;
        for (int i = 0; i <= 34; ++i) {
            const double x = 7 + i, y = 40 - (i * i) / 36.0;
            i == 0 ? path.moveTo(x, y) : path.lineTo(x, y);
        }
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        for (QPointF pt : {QPointF(12, 37), QPointF(20, 33), QPointF(28, 25), QPointF(36, 13)})
            p.drawEllipse(pt, 3, 3);
    };
    d["regress"] = [](QPainter &p) {
        axes(p, QRectF(5, 5, 38, 38));
        p.setPen(QPen(curveRed, 3));
        p.drawLine(QPointF(7, 40), QPointF(42, 9));
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        for (QPointF pt : {QPointF(11, 33), QPointF(17, 34), QPointF(23, 23), QPointF(30, 22),
                           QPointF(36, 12)})
            p.drawEllipse(pt, 3, 3);
    };
    d["clear"] = [](QPainter &p) {
        p.translate(24, 26);
        p.rotate(-35);
        p.setPen(QPen(ink, 2));
        p.setBrush(QColor(240, 120, 140));
        p.drawRoundedRect(QRectF(-17, -9, 22, 18), 3, 3);
        p.setBrush(QColor(80, 110, 200));
        p.drawRoundedRect(QRectF(5, -9, 12, 18), 3, 3);
        p.resetTransform();
        p.setPen(QPen(QColor(120, 120, 120), 2, Qt::DashLine));
        p.drawLine(QPointF(6, 44), QPointF(42, 44));
    };
    d["web"] = [](QPainter &p) {
        QRadialGradient g(QPointF(18, 16), 24);
        g.setColorAt(0, QColor(140, 200, 255));
        g.setColorAt(1, QColor(20, 80, 190));
        p.setBrush(g);
        p.setPen(QPen(QColor(20, 50, 120), 2));
        p.drawEllipse(QPointF(24, 24), 19, 19);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(230, 240, 255), 1.6));
        p.drawEllipse(QPointF(24, 24), 8, 19);
        p.drawLine(QPointF(24, 5), QPointF(24, 43));
        p.drawLine(QPointF(5, 24), QPointF(43, 24));
        p.drawLine(QPointF(9, 14), QPointF(39, 14));
        p.drawLine(QPointF(9, 34), QPointF(39, 34));
    };
    d["open"] = [](QPainter &p) {
        p.setPen(QPen(QColor(120, 90, 20), 2));
        p.setBrush(QColor(230, 190, 70));
        p.drawRect(QRectF(4, 12, 36, 28));
        p.drawRect(QRectF(4, 8, 14, 6));
        p.setBrush(QColor(250, 215, 100));
        QPolygonF front({QPointF(10, 20), QPointF(45, 20), QPointF(39, 40), QPointF(4, 40)});
        p.drawPolygon(front);
    };
    d["save"] = [](QPainter &p) {
        p.setPen(QPen(ink, 2));
        p.setBrush(QColor(50, 80, 160));
        p.drawRoundedRect(QRectF(6, 6, 36, 36), 3, 3);
        p.setBrush(QColor(235, 235, 240));
        p.drawRect(QRectF(13, 6, 22, 13));
        p.setBrush(QColor(60, 60, 70));
        p.drawRect(QRectF(28, 8, 4, 9));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(11, 26, 26, 16));
    };
    d["zoomin"] = [](QPainter &p) { magnifier(p, true); };
    d["zoomout"] = [](QPainter &p) { magnifier(p, false); };
    d["power"] = [](QPainter &p) {
        text(p, QRectF(2, 12, 30, 34), "x", 30, true);
        text(p, QRectF(26, 2, 20, 22), "n", 20, true, "DejaVu Serif", blue);
    };
    d["root"] = [](QPainter &p) {
        p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(4, 28), QPointF(10, 25), QPointF(17, 41), QPointF(24, 8),
                                  QPointF(45, 8)}));
        text(p, QRectF(21, 11, 24, 30), "x", 26, true);
    };
    d["area"] = [](QPainter &p) {
        QPainterPath under;
        under.moveTo(14, 40);
        for (int i = 14; i <= 36; ++i)
            under.lineTo(i, 30 - 16 * std::sin((i - 4) / 10.0));
        under.lineTo(36, 40);
        under.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(130, 180, 240));
        p.drawPath(under);
        p.setPen(QPen(ink, 2));
        p.drawLine(QPointF(4, 40), QPointF(44, 40));
        p.drawLine(QPointF(8, 44), QPointF(8, 4));
        QPainterPath curve;
        for (int i = 8; i <= 44; ++i) {
            const double y = 30 - 16 * std::sin((i - 4) / 10.0);
            i == 8 ? curve.moveTo(i, y) : curve.lineTo(i, y);
        }
        p.setPen(QPen(curveRed, 3));
        p.setBrush(Qt::NoBrush);
        p.drawPath(curve);
    };
    d["fx"] = [](QPainter &p) { text(p, QRectF(0, 0, 48, 48), "f(x)", 19, true); };
    d["sin"] = [](QPainter &p) { text(p, QRectF(0, 0, 48, 48), "sin", 19); };
    d["cos"] = [](QPainter &p) { text(p, QRectF(0, 0, 48, 48), "cos", 19); };
    d["tan"] = [](QPainter &p) { text(p, QRectF(0, 0, 48, 48), "tan", 19); };
    return d;
}

QImage render(const std::function<void(QPainter &)> &draw, int size = 48)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 48.0, size / 48.0);
    draw(p);
    return img;
}

QImage disabledForm(const QImage &src)
{
    QImage out = src.copy();
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QColor c = out.pixelColor(x, y);
            const int grey = 150 + qGray(c.rgb()) / 3;
            out.setPixelColor(x, y, QColor(grey, grey, grey, c.alpha() * 2 / 3));
        }
    return out;
}

QImage hotForm(const QImage &src)
{
    QImage out(src.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(src.width() / 48.0, src.height() / 48.0);
    QRadialGradient glow(QPointF(24, 24), 26);
    glow.setColorAt(0, QColor(255, 245, 180, 200));
    glow.setColorAt(1, QColor(255, 230, 120, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(0, 0, 48, 48), 8, 8);
    p.resetTransform();
    p.drawImage(0, 0, src);
    return out;
}

// The program's icon: a curve over graph paper on a rounded tile, drawn on a 48-unit grid.
void programIcon(QPainter &p)
{
    QLinearGradient tile(0, 0, 0, 48);
    tile.setColorAt(0, QColor(255, 255, 255));
    tile.setColorAt(1, QColor(222, 232, 248));
    p.setPen(QPen(QColor(30, 50, 110), 1.5));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 44, 44), 7, 7);
    p.setPen(QPen(QColor(132, 214, 255), 0.8));
    for (int i = 10; i <= 38; i += 7) {
        p.drawLine(QPointF(i, 5), QPointF(i, 43));
        p.drawLine(QPointF(5, i), QPointF(43, i));
    }
    p.setPen(QPen(ink, 2));
    p.drawLine(QPointF(6, 31), QPointF(42, 31));
    p.drawLine(QPointF(17, 6), QPointF(17, 42));
    QPainterPath curve;
    for (int i = 0; i <= 34; ++i) {
        const double x = 7 + i, y = 40 - 30 * std::pow(i / 34.0, 2.2);
        i == 0 ? curve.moveTo(x, y) : curve.lineTo(x, y);
    }
    p.setPen(QPen(curveRed, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
}

QImage wood()
{
    QImage img(659, 456, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    std::vector<double> noise(456);
    for (double &n : noise)
        n = rng.generateDouble();
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            // Grain runs along x; rings bend slowly with y and a little noise.
            const double bend = 9 * std::sin(x / 97.0) + 5 * std::sin(x / 31.0 + y / 50.0);
            const double ring = std::sin((y + bend) / 5.5 + 2.0 * std::sin(x / 180.0));
            const double fine = 0.5 + 0.5 * std::sin(x / 2.3 + noise[y] * 6.28);
            const double t = 0.5 + 0.35 * ring + 0.08 * fine + 0.07 * noise[(y + x / 40) % 456];
            const int r = int(150 + 60 * t), g = int(105 + 45 * t), b = int(60 + 30 * t);
            img.setPixel(x, y, qRgb(std::min(r, 255), std::min(g, 255), std::min(b, 255)));
        }
    }
    return img;
}

// Drawn at `w` x `h` logical pixels, `scale` device pixels each.
QImage splash(int w, int h, int titlePx, bool subtitle, int scale = 1)
{
    QImage img(w * scale, h * scale, QImage::Format_RGB32);
    QPainter p(&img);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(250, 250, 255));
    g.setColorAt(1, QColor(200, 215, 240));
    p.fillRect(img.rect(), g);
    p.setPen(QPen(QColor(210, 220, 235), 1));
    for (int x = 0; x < w; x += 20)
        p.drawLine(x, 0, x, h);
    for (int y = 0; y < h; y += 20)
        p.drawLine(0, y, w, y);
    QPainterPath curve;
    for (int x = 0; x <= w; ++x) {
        const double y = h * 0.84 - h * 0.09 * std::sin(x / (w / 7.0));
        x == 0 ? curve.moveTo(x, y) : curve.lineTo(x, y);
    }
    p.setPen(QPen(curveRed, 3));
    p.drawPath(curve);
    text(p, QRectF(0, h * 0.08, w, h * 0.45), "Linoveta", titlePx, true, "DejaVu Serif",
         QColor(30, 50, 110));
    if (subtitle)
        text(p, QRectF(0, h * 0.5, w, h * 0.15), "graphs of functions of one variable", 16, false,
             "DejaVu Sans", ink);
    p.setPen(QPen(QColor(30, 50, 110), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, w - 2, h - 2));
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    // Each button face at its own size and, as "name@2x.png", at twice that.
    for (const auto &[suffix, scale] : {std::pair<QString, int>("", 1), std::pair<QString, int>("@2x", 2)}) {
        for (const auto &[key, draw] : drawings()) {
            const QImage normal = render(draw, 48 * scale);
            normal.save(out + "/toolbar/" + key + suffix + ".png");
            disabledForm(normal).save(out + "/toolbar/" + key + "_disabled" + suffix + ".png");
            hotForm(normal).save(out + "/toolbar/" + key + "_hot" + suffix + ".png");
        }
        render(drawings()["zoomin"], 48 * scale).save(out + "/zoom_in" + suffix + ".png");
        render(drawings()["zoomout"], 48 * scale).save(out + "/zoom_out" + suffix + ".png");
        render([](QPainter &p) {
            p.setPen(QPen(QColor(30, 140, 40), 7, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(24, 8), QPointF(24, 40));
            p.drawLine(QPointF(8, 24), QPointF(40, 24));
        }, 27 * scale).save(out + "/new_line" + suffix + ".png");
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        render(programIcon, size).save(out + "/icon/linoveta_" + QString::number(size) + ".png");
    wood().save(out + "/wood.png");
    splash(542, 240, 64, true).save(out + "/splash.png");
    splash(261, 110, 36, false).save(out + "/about.png");
    splash(542, 240, 64, true, 2).save(out + "/splash@2x.png");
    splash(261, 110, 36, false, 2).save(out + "/about@2x.png");
    return 0;
}
