#pragma once

#include <QApplication>

namespace thermo4::fuzz {

/// The offscreen application that widgets (the chart control) need, made once per process.
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv); // lives as long as the process
    }
}

} // namespace thermo4::fuzz

// fontconfig keeps caches for the life of the process, which LeakSanitizer reports at exit.
// (This header is included by one file of each target.)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
