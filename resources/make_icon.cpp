// Draws the Windows icon (resources/vtr8.ico) from the desktop icon in four sizes, each stored
// as PNG inside the ICO. Build and run it by hand when the picture has to change:
//   g++ -std=c++20 -fPIC make_icon.cpp $(pkg-config --cflags --libs Qt6Gui Qt6Svg) -o make_icon
//   QT_QPA_PLATFORM=offscreen ./make_icon ../packaging/linux/vtr8.svg vtr8.ico
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return 2;
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    const int sizes[] = {16, 32, 48, 256};
    QList<QByteArray> pngs;
    for (int size : sizes) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p);
        p.end();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        pngs << png;
    }
    QByteArray ico;
    auto put16 = [&ico](quint16 v) { ico.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) {
        put16(quint16(v & 0xffff));
        put16(quint16(v >> 16));
    };
    put16(0);
    put16(1);
    put16(quint16(pngs.size()));
    quint32 offset = 6 + 16 * quint32(pngs.size());
    for (qsizetype i = 0; i < pngs.size(); ++i) {
        ico.append(char(sizes[i] & 0xff)).append(char(sizes[i] & 0xff)); // 256 is stored as 0
        ico.append(char(0)).append(char(0));
        put16(1);
        put16(32);
        put32(quint32(pngs[i].size()));
        put32(offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        ico += png;
    QFile out(QString::fromLocal8Bit(argv[2]));
    return out.open(QIODevice::WriteOnly) && out.write(ico) == ico.size() ? 0 : 1;
}
