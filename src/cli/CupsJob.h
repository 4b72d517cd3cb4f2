#pragma once

#include <QByteArray>
#include <QString>

namespace thermo4::cli {

/// Hands a PDF to a printer of the printing system (CUPS) as one job. The empty text when the
/// printer took it, otherwise the system's reason (a printer that rejects jobs, a stopped
/// scheduler); a job it did not take whole is cancelled.
QString SubmitPdfJob(const QString& printer, const QString& title, const QByteArray& pdf);

} // namespace thermo4::cli
