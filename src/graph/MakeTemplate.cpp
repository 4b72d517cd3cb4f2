// thermo4-template: writes the graph template the program ships, the built-in look
// of the graph windows, so that a new install starts without the missing-template message.

#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: thermo4-template <output .ghf>\n");
        return 2;
    }
    // One range for both uses of the template, live readings and logged data sets (°C).
    constexpr float kYMax = 100.0f;
    constexpr float kYMin = -20.0f;
    thermo4::chart::Graph1 graph;
    graph.setSubsets(thermo4::chart::kGraphChannels);
    thermo4::chart::ApplyDefaultLook(graph, thermo4::chart::kGraphChannels, kYMax, kYMin);
    graph.setWorkingAxis(0);
    const QString path = args.at(1);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    if (!thermo4::chart::StoreGraphState(graph, path, &error)) {
        std::fprintf(stderr, "thermo4-template: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
