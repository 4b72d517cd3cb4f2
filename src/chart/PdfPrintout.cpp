#include "chart/PdfPrintout.h"

#include <QBuffer>
#include <QPdfWriter>

namespace thermo4::chart {

QByteArray PdfPrintout(const QPageLayout& page, int resolution, const QString& title,
                       const std::function<bool(QPagedPaintDevice&)>& print) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("thermo4"));
        writer.setTitle(title);
        writer.setResolution(resolution);
        if (!writer.setPageLayout(page) || !print(writer))
            return {};
    }
    return bytes;
}

} // namespace thermo4::chart
