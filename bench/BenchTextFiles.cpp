// Text files of a full graph: the graph text export of 99 999 points and the import parser on the
// 100 000-line file, against reading the same file and counting its lines as `wc -l` does.

#include "core/TDateTime.h"
#include "formats/TextExport.h"
#include "formats/TextImport.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace thermo4;

constexpr int kPoints = 99'999;
const QLocale kLocale(QLocale::German, QLocale::Germany);

struct Graph {
    std::vector<std::vector<double>> x;
    std::vector<std::vector<float>> y;
    Graph() : x(4, std::vector<double>(kPoints)), y(4, std::vector<float>(kPoints)) {
        const double start = core::TDateTimeFromDateAndTime(QDate(2024, 3, 9), QTime(10, 0));
        for (int c = 0; c < 4; ++c) {
            for (int i = 0; i < kPoints; ++i) {
                x[c][i] = start + i / core::kSecondsPerDay;
                y[c][i] = (i % 7 == 3 && c == 2) ? 9999.0f : float(c * 300 + (i % 1000)) / 10.0f - 20.0f;
            }
        }
    }
};

const Graph& graph() {
    static const Graph g;
    return g;
}

QString writeFile(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("graph.txt"));
    formats::WriteGraphText(path, graph().x, graph().y, {1, kPoints}, QLatin1Char('\t'), kLocale);
    return path;
}

void BM_GraphTextExport(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("graph.txt"));
    for (auto _ : state) {
        const auto result =
            formats::WriteGraphText(path, graph().x, graph().y, {1, kPoints}, QLatin1Char('\t'), kLocale);
        if (result.lines != kPoints)
            state.SkipWithError("export incomplete");
    }
    state.counters["lines"] = kPoints;
}
BENCHMARK(BM_GraphTextExport)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TextImportParse(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = writeFile(dir);
    for (auto _ : state) {
        const auto table = formats::ReadTextTable(path, QLatin1Char('\t'));
        if (table.rowCount() != kPoints)
            state.SkipWithError("import incomplete");
        benchmark::DoNotOptimize(table.field(kPoints - 1, 5).size());
    }
}
BENCHMARK(BM_TextImportParse)->Unit(benchmark::kMillisecond)->UseRealTime();

// What `wc -l` does: read the file in blocks and count the line feeds.
void BM_CountLinesLikeWc(benchmark::State& state) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(writeFile(dir));
    std::vector<char> buffer(128 * 1024);
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_RDONLY);
        long lines = 0;
        for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;)
            lines += std::count(buffer.data(), buffer.data() + n, '\n');
        ::close(fd);
        if (lines != kPoints)
            state.SkipWithError("wrong line count");
    }
}
BENCHMARK(BM_CountLinesLikeWc)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
