#pragma once

#include "logger/LoggerFixture.h"
#include "logger/TfrmList.h"
#include "support/WindowTestAccess.h"
#include "ui/TfrmScope.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include <sys/resource.h>

#include <csignal>
#include <functional>

namespace thermo4::ui::test {

/// The main window of LoggerTest, with answers for the range dialog and the
/// progress window of the file commands.
class FilesTest : public LoggerTest {
protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        LoggerTest::TearDown();
    }

    /// The range dialog's answer: "&All", or "&Select" from..to; cancel closes it with Cancel.
    struct RangeAnswer {
        bool all = true;
        QString from, to;
        bool cancel = false;
    };

    /// Answers the next range dialog once it runs modally.
    void answerRange(const RangeAnswer& answer) {
        auto* poll = new QTimer(m_window.get());
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, answer] {
            auto* dialog = qobject_cast<TfrmScope*>(QApplication::activeModalWidget());
            if (!dialog || !widgets(*dialog).GroupBox1->isVisible())
                return;
            poll->deleteLater();
            poll->stop();
            m_rangeFields << widgets(*dialog).edtSelFrom->text() + QLatin1Char('-') +
                                 widgets(*dialog).edtSelTo->text();
            (answer.all ? widgets(*dialog).radAll : widgets(*dialog).radNo)->setChecked(true);
            widgets(*dialog).edtSelFrom->setText(answer.from);
            widgets(*dialog).edtSelTo->setText(answer.to);
            (answer.cancel ? widgets(*dialog).BitBtn2 : widgets(*dialog).BitBtn1)->click();
        });
        poll->start();
    }

    /// The visible progress window captioned caption, or null.
    static TfrmScope* progressWindow(const QString& caption) {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<TfrmScope*>(top);
            if (window && window->isVisible() && window->windowTitle() == caption)
                return window;
        }
        return nullptr;
    }

    /// Presses Cancel on the progress window captioned caption at the first event
    /// pass that finds it shown (the file command's first line).
    void cancelProgress(const QString& caption) {
        QTimer::singleShot(0, m_window.get(), [this, caption] {
            if (TfrmScope* window = progressWindow(caption)) {
                m_progressText = widgets(*window).SText1->text();
                widgets(*window).BitBtn2->click();
            } else {
                cancelProgress(caption);
            }
        });
    }

    static QByteArray readAll(const QString& file) { return fileBytes(file); }
    static bool writeFile(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    static QList<QByteArray> lines(const QString& file) {
        QList<QByteArray> result = fileBytes(file).split('\n');
        if (!result.isEmpty() && result.last().isEmpty())
            result.removeLast();
        return result;
    }

    /// Runs work while files may grow to at most bytes (a write past it fails as
    /// on a full disk), then lifts the limit again.
    static void withFileSizeLimit(rlim_t bytes, const std::function<void()>& work) {
        rlimit old{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = old;
        limited.rlim_cur = bytes;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        work();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }

    QStringList errors() const { return m_prompts.texts(ScriptedPrompts::Kind::Error); }

    QStringList m_rangeFields;
    /// SText1 of the progress window when Cancel was pressed.
    QString m_progressText;
};

} // namespace thermo4::ui::test
