// Graph state blocks and graph files (.ghf, also the graph template) of any content. A refused
// one gives a reason and leaves the chart control as it was; an accepted one stores and loads
// again unchanged and draws.
// The first byte chooses the form of the rest: 0 a raw state block (header and checksum as they
// come); 1 a state body, framed with the right header and checksum so that the parser's body is
// reached; 2 the bytes of a graph file, loaded as the windows load a file or the template.
#include "FuzzApplication.h"
#include "FuzzSupport.h"

#include "chart/Graph1.h"
#include "chart/GraphState.h"
#include "chart/GraphStateFile.h"

#include <QDir>

using namespace thermo4;

namespace {

chart::Graph1* graph = nullptr;

QByteArray framed(const QByteArray& body) {
    QByteArray block;
    for (const std::uint32_t word : {chart::kStateMagic, chart::kStateVersion}) {
        for (int i = 0; i < 4; ++i)
            block.append(char((word >> (8 * i)) & 0xFF));
    }
    block.append(body);
    const std::uint32_t crc = chart::crc32(block.constData(), block.size());
    for (int i = 0; i < 4; ++i)
        block.append(char((crc >> (8 * i)) & 0xFF));
    return block;
}

void draw() {
    graph->redraw();
    (void)graph->plot()->toPixmap(160, 120);
}

void checkBlock(const QByteArray& block) {
    chart::GraphState state;
    QString error;
    if (!chart::parseGraphState(block, state, &error)) {
        if (error.isEmpty())
            std::abort();
        const QByteArray before = graph->storeState();
        if (graph->loadState(block) || graph->storeState() != before)
            std::abort();
        return;
    }
    const QByteArray stored = chart::serializeGraphState(state);
    chart::GraphState again;
    if (!chart::parseGraphState(stored, again) || chart::serializeGraphState(again) != stored)
        std::abort();
    if (!graph->loadState(block) || graph->storeState() != stored)
        std::abort();
    draw();
}

void checkFile(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::WorkFolder().filePath(QStringLiteral("graph.ghf"));
    fuzz::WriteWholeFile(path, data, size);
    const QByteArray before = graph->storeState();
    QString error;
    if (!chart::LoadGraphState(*graph, path, &error)) {
        if (error.isEmpty() || graph->storeState() != before)
            std::abort();
        return;
    }
    draw();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::EnsureApplication();
    graph = new chart::Graph1;
    graph->resize(320, 240);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    switch (data[0] % 3) {
    case 0:
        checkBlock(rest);
        break;
    case 1:
        checkBlock(framed(rest));
        break;
    default:
        checkFile(data + 1, size - 1);
        break;
    }
    return 0;
}
