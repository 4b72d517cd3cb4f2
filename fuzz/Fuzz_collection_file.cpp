// Collection files (.ch4) of any content, opened as the program opens them: read, decoded, and
// every data set shown as a graph window shows one (table row, curves, statistics). A file that
// cannot be read leaves the image empty with a reason; nothing crashes or reads past the image.
#include "FuzzApplication.h"
#include "FuzzSupport.h"

#include "chart/Graph1.h"
#include "core/DataSetTable.h"
#include "core/GraphStatistics.h"
#include "core/MemoryDecoder.h"
#include "core/TDateTime.h"
#include "formats/CollectionFile.h"

#include <QDir>

using namespace thermo4;

namespace {

chart::Graph1* graph = nullptr;

void show(const core::DataSetCollection& sets, int k) {
    const core::DataSet& set = sets.header(k);
    const QLocale locale = QLocale::c();
    for (const QString& cell : core::DataSetTableRow(k + 1, set, locale))
        (void)cell.size();
    const int n = set.pointCount;
    graph->setSubsets(4);
    if (!graph->setPoints(n))
        std::abort(); // a decoded data set always fits the control
    graph->setDateTimeMode(1);
    graph->setManualScaleControlX(chart::ScaleManual);
    graph->setManualMinX(set.startTime);
    graph->setManualMaxX(set.startTime + double(n) * set.intervalSeconds / core::kSecondsPerDay);
    graph->setXDataII(sets.timesOf(k));
    graph->setYData(sets.valuesOf(k));
    const chart::GraphState& state = graph->state();
    const core::GraphStatistics stats = core::ComputeGraphStatistics(state.x, state.y, graph->points());
    (void)core::DateTimeText(stats.startTime, locale);
    for (const core::ChannelStatistics& c : stats.channels) {
        (void)core::ExtremeText(c.max, c.maxTime, locale);
        (void)core::AverageText(c.sum, c.count, 1, locale);
    }
    graph->redraw();
    (void)graph->plot()->toPixmap(160, 120);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::EnsureApplication();
    graph = new chart::Graph1;
    graph->resize(320, 240);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::WorkFolder().filePath(QStringLiteral("sets.ch4"));
    fuzz::WriteWholeFile(path, data, size);
    core::MemoryImage image;
    QString error;
    if (formats::ReadImageFile(path, image, &error) != formats::ImageFileRead::Ok) {
        if (image.size() != 0 || error.isEmpty())
            std::abort();
        return 0;
    }
    static const QDateTime now(QDate(2030, 6, 15), QTime(12, 30, 45));
    core::DataSetCollection sets;
    if (core::DecodeMemoryImage(image, sets, now) != core::kDecodeOk)
        return 0;
    for (int k = 0; k < sets.count(); ++k)
        show(sets, k);
    return 0;
}
