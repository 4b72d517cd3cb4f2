#include "ui/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initThermo4Resources() {
    Q_INIT_RESOURCE(thermo4);
}

namespace thermo4::ui {

void InitResources() {
    initThermo4Resources();
}

} // namespace thermo4::ui
