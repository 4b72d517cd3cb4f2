#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>

#include <functional>

class QPagedPaintDevice;

namespace thermo4::chart {

/// A printout written as a PDF into memory: `print` draws it on a PDF device with `page` at
/// `resolution` dots per inch, as it would on a printer. Empty when it fails.
QByteArray PdfPrintout(const QPageLayout& page, int resolution, const QString& title,
                       const std::function<bool(QPagedPaintDevice&)>& print);

} // namespace thermo4::chart
