#include "app/StartFailure.h"

#include "ui/Prompts.h"

namespace thermo4::ui {

void ReportStartFailure(const QString& message, std::FILE* stream, Prompts* box) {
    std::fputs(qPrintable(QStringLiteral("thermo4: %1\n").arg(message)), stream);
    std::fflush(stream);
    if (box)
        box->error(message);
}

bool PlatformShowsBoxes(const QString& platformName) {
    return platformName != QLatin1String("offscreen") && platformName != QLatin1String("minimal");
}

} // namespace thermo4::ui
