#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace thermo4::test {

/// A word of a PDF page as poppler's pdftotext -bbox finds it (points, from the top left).
struct PdfWord {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    double height() const { return yMax - yMin; }
};

struct PdfPage {
    double width = 0, height = 0;
    std::vector<PdfWord> words;

    /// Words whose text is `text`.
    std::vector<PdfWord> find(const QString& text) const {
        std::vector<PdfWord> found;
        std::copy_if(words.begin(), words.end(), std::back_inserter(found),
                     [&](const PdfWord& w) { return w.text == text; });
        return found;
    }
    /// The lines of the page top to bottom, each its words left to right (words whose tops lie
    /// within a point of each other share a line).
    std::vector<std::vector<PdfWord>> lines() const {
        std::map<long, std::vector<PdfWord>> byTop;
        for (const PdfWord& w : words) {
            auto it = std::find_if(byTop.begin(), byTop.end(), [&](const auto& line) {
                return std::abs(line.first - w.yMin * 10) <= 10;
            });
            byTop[it == byTop.end() ? std::lround(w.yMin * 10) : it->first].push_back(w);
        }
        std::vector<std::vector<PdfWord>> result;
        for (auto& [top, line] : byTop) {
            std::sort(line.begin(), line.end(),
                      [](const PdfWord& a, const PdfWord& b) { return a.xMin < b.xMin; });
            result.push_back(line);
        }
        return result;
    }
};

/// The pages of a PDF with their words, read by pdftotext -bbox; fails the test when poppler
/// does not run.
inline std::vector<PdfPage> PdfPages(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const bool ran = process.waitForFinished(60'000) && process.exitCode() == 0;
    EXPECT_TRUE(ran) << "pdftotext (poppler-utils) did not run on " << pdf.toStdString() << ": "
                     << process.readAllStandardError().toStdString();
    const QString xhtml = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression pageTag(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    static const QRegularExpression wordTag(QStringLiteral(
        R"re(<word xMin="([\d.-]+)" yMin="([\d.-]+)" xMax="([\d.-]+)" yMax="([\d.-]+)">([^<]*)</word>)re"));
    std::vector<PdfPage> pages;
    for (const QString& chunk : xhtml.split(QStringLiteral("</page>"))) {
        const QRegularExpressionMatch page = pageTag.match(chunk);
        if (!page.hasMatch())
            continue;
        PdfPage p{page.captured(1).toDouble(), page.captured(2).toDouble(), {}};
        for (auto it = wordTag.globalMatch(chunk, page.capturedEnd()); it.hasNext();) {
            const QRegularExpressionMatch w = it.next();
            QString text = w.captured(5);
            text.replace(QLatin1String("&lt;"), QLatin1String("<"))
                .replace(QLatin1String("&gt;"), QLatin1String(">"))
                .replace(QLatin1String("&quot;"), QLatin1String("\""))
                .replace(QLatin1String("&amp;"), QLatin1String("&"));
            // Text is drawn with ligatures, which come back as one character each: "ﬁ" for "fi"
            // in a temporary folder's random name.
            for (qsizetype i = text.size() - 1; i >= 0; --i) {
                if (text[i].unicode() >= 0xFB00 && text[i].unicode() <= 0xFB06)
                    text.replace(i, 1, QString(text[i]).normalized(QString::NormalizationForm_KC));
            }
            p.words.push_back({text, w.captured(1).toDouble(), w.captured(2).toDouble(),
                               w.captured(3).toDouble(), w.captured(4).toDouble()});
        }
        pages.push_back(std::move(p));
    }
    return pages;
}

} // namespace thermo4::test
