// thermo4-icons: renders the program's SVG icon into the PNG sizes of the hicolor icon theme,
// for desktops and software centres that do not draw SVG icons themselves.
// Usage: thermo4-icons ICON.svg OUTPUT_DIR NAME SIZE... writes OUTPUT_DIR/<size>x<size>/apps/NAME.png

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // the icon's text needs the font database
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: thermo4-icons ICON.svg OUTPUT_DIR NAME SIZE...\n");
        return 2;
    }
    QSvgRenderer svg(args.at(1));
    if (!svg.isValid()) {
        std::fprintf(stderr, "thermo4-icons: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    for (const QString& text : args.mid(4)) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "thermo4-icons: not a size: %s\n", qPrintable(text));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(2)).arg(size);
        const QString path = QStringLiteral("%1/%2.png").arg(folder, args.at(3));
        if (!QDir().mkpath(folder) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "thermo4-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
