#include "app/StartFailure.h"

#include "core/FileName.h"
#include "ui/Prompts.h"

namespace thermo4::ui {

void ReportStartFailure(const QString& message, std::FILE* stream, Prompts* box) {
    std::fputs(core::FileNameBytes(QStringLiteral("thermo4: %1\n").arg(message)).constData(), stream);
    std::fflush(stream);
    if (box)
        box->error(message);
}

bool PlatformShowsBoxes(const QString& platformName) {
    return platformName != QLatin1String("offscreen") && platformName != QLatin1String("minimal");
}

} // namespace thermo4::ui
