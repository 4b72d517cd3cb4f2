#include "session/LoggerLoad.h"

#include "core/MemoryDecoder.h"

namespace thermo4::session {

QString LoggerLoadMessage(core::LinkResult code) {
    if (code == core::kDecodeNoDataSet)
        return QStringLiteral("There was not any data recorded in momery of meter !");
    return QStringLiteral("There was error,please try again!   error code=%1").arg(code);
}

} // namespace thermo4::session
