#include "cli/CupsJob.h"

#include <cups/cups.h>

namespace thermo4::cli {

QString SubmitPdfJob(const QString& printer, const QString& title, const QByteArray& pdf) {
    const QByteArray name = printer.toUtf8();
    const QByteArray document = title.toUtf8();
    const auto reason = [] { return QString::fromUtf8(cupsLastErrorString()); };
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), document.constData(), 0, nullptr);
    if (job == 0)
        return reason();
    const bool taken =
        cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, document.constData(), CUPS_FORMAT_PDF,
                          1) == HTTP_STATUS_CONTINUE &&
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), std::size_t(pdf.size())) ==
            HTTP_STATUS_CONTINUE &&
        cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) <= IPP_STATUS_OK_EVENTS_COMPLETE;
    if (taken)
        return {};
    const QString why = reason();
    cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
    return why;
}

} // namespace thermo4::cli
