// Draws the maker's logo (resources/logo.png). Build and run it by hand when
// the picture has to change:
//   g++ -std=c++20 -fPIC make_logo.cpp $(pkg-config --cflags --libs Qt6Gui) -o make_logo
//   QT_QPA_PLATFORM=offscreen ./make_logo logo.png
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("logo.png");

    QImage image(320, 104, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.drawRoundedRect(QRectF(2, 2, 316, 100), 14, 14);

    // A dial: the scale arc, its ticks and the pointer.
    const QPointF centre(56, 66);
    QPen scale(Qt::white, 6, Qt::SolidLine, Qt::RoundCap);
    p.setPen(scale);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - 38, centre.y() - 38, 76, 76), 20 * 16, 140 * 16);
    p.setPen(QPen(QColor(0xf2, 0xa9, 0x00), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(22, -26));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 6, 6);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(42);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(104, 10, 210, 64), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("VELKOR"));
    font.setPixelSize(15);
    font.setBold(false);
    p.setFont(font);
    p.drawText(QRectF(106, 66, 210, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("měřicí technika"));
    p.end();
    return image.save(out) ? 0 : 1;
}
