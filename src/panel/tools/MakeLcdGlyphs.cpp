// Build step: draws the 25 large and 25 small LCD glyph bitmaps into a folder,
// with a resource list that names them "LCD0".."LCD24" and "LCDS0".."LCDS24"
// under the prefix /glyphs, where the main window loads them from.

#include "core/MeterStatus.h"
#include "panel/LcdGlyphs.h"

#include <QDir>
#include <QSaveFile>
#include <QString>

#include <cstdio>

using thermo4::ui::GlyphSize;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argc > 0 ? argv[0] : "thermo4-lcd-glyphs");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    QString list =
        QStringLiteral("<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/glyphs\">\n");
    for (GlyphSize size : {GlyphSize::Large, GlyphSize::Small}) {
        for (int glyph = 0; glyph < thermo4::core::kGlyphCount; ++glyph) {
            const QString name = thermo4::ui::GlyphResourceName(glyph, size);
            const QString file = name + QStringLiteral(".png");
            if (!thermo4::ui::DrawLcdGlyph(glyph, size).save(dir.filePath(file), "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(dir.filePath(file)));
                return 1;
            }
            list += QStringLiteral("    <file alias=\"%1\">%2</file>\n").arg(name, file);
        }
    }
    list += QStringLiteral("  </qresource>\n</RCC>\n");

    QSaveFile qrc(dir.filePath(QStringLiteral("lcd_glyphs.qrc")));
    if (!qrc.open(QIODevice::WriteOnly) || qrc.write(list.toUtf8()) < 0 || !qrc.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(qrc.fileName()));
        return 1;
    }
    return 0;
}
