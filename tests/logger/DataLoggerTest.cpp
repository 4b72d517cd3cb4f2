#include "LoggerFixture.h"

#include "core/DataSetTable.h"
#include "link/DownloadBlocks.h"
#include "panel/TfrmPanel.h"
#include "support/WindowTestAccess.h"
#include "ui/TfrmScope.h"

#include <QLabel>
#include <QMdiSubWindow>

#include <algorithm>

namespace thermo4::ui::test {
namespace {

const QString kError = QStringLiteral("There was error,please try again!   error code=");

class DataLoggerTest : public LoggerTest {
protected:
    /// Two data sets: 3 points every 90 s in °C, 5 points every 60 s in °F.
    void setTwoSets() { setMemory({MakeSet(90, true, 3), MakeSet(60, false, 5, 900)}); }

    /// What a complete download of the meter's memory leaves: whole blocks up to the transfer size.
    QByteArray downloaded() const {
        QByteArray bytes;
        for (int n = 1; n <= link::TransferSize(m_meter.memory().endAddress()) / 32; ++n)
            bytes.append(reinterpret_cast<const char*>(m_meter.memory().block(n).data()), 32);
        return bytes;
    }
};

TEST_F(DataLoggerTest, WithoutAConnectionOrWhileTheMeterRecordsOnlyTheMessageIsShown) {
    m_window->LoadData1Click();
    connectMeter();
    session::MeterSessionTestAccess::linkState(session()).meterStatus.meterRecording = true;
    m_meter.clearReceived();
    m_window->LoadData1Click();
    EXPECT_EQ(messages(),
              (QStringList{"There is no connection with multimeter !",
                           "The meter is recording data, please stop recording before loading data."}));
    EXPECT_EQ(m_meter.receivedLetters(), "");
    EXPECT_FALSE(session().linkBusy());
    EXPECT_FALSE(loggerWindow());
}

TEST_F(DataLoggerTest, DownloadListsTheSetsDrawsTheFirstAndHandsTheLinkBack) {
    setTwoSets();
    download();
    EXPECT_TRUE(messages().isEmpty());
    const int blocks = link::TransferSize(m_meter.memory().endAddress()) / 32;
    EXPECT_EQ(m_meter.receivedLetters(), "P" + std::string(std::size_t(blocks - 1), 'p') + "q");
    const core::DataSetCollection& sets = logger().dataSets;
    ASSERT_EQ(sets.count(), 2);
    QList<QStringList> expected;
    for (int i = 0; i < 2; ++i) {
        const auto row = core::DataSetTableRow(i + 1, sets.header(i), QLocale());
        expected << QStringList(row.begin(), row.end());
    }
    EXPECT_EQ(loggerTable(), expected);
    EXPECT_EQ(expected[1][4], QStringLiteral("5"));

    TfrmGraph* graph = loggerWindow();
    ASSERT_TRUE(graph);
    EXPECT_TRUE(widgets(*graph).pnlDataSets->isVisible());
    EXPECT_EQ(widgets(*graph).Graph1->points(), 3);
    EXPECT_DOUBLE_EQ(widgets(*graph).Graph1->xDataII(0, 0), sets.header(0).startTime);
    EXPECT_FLOAT_EQ(widgets(*graph).Graph1->yData(3, 2), sets.valuesOf(0)[11]);

    EXPECT_EQ(fileBytes(tempFile()), downloaded());
    EXPECT_TRUE(logger().loggerUnsaved);
    EXPECT_FALSE(session().linkBusy());
    EXPECT_TRUE(mainTimer()->isActive());
    // USB: the connection is dropped, and the poll finds the meter again.
    EXPECT_FALSE(session().connected());
    EXPECT_FALSE(widgets(*m_window->panelWindow()).lblNoConnection->isHidden());
    m_window->MainTimerTimer();
    EXPECT_TRUE(session().connected());

    // A second load reuses the window, restored, and replaces table and graph.
    graph->subWindow()->showMinimized();
    setMemory({MakeSet(2, true, 7)});
    download();
    EXPECT_EQ(loggerWindow(), graph);
    EXPECT_FALSE(graph->subWindow()->isMinimized());
    EXPECT_EQ(loggerTable().size(), 1);
    EXPECT_EQ(widgets(*graph).Graph1->points(), 7);
}

TEST_F(DataLoggerTest, WhileDownloadingNeitherASecondCommandNorThePollUseTheLink) {
    setTwoSets();
    m_meter.faults().failBlockReads = {5}; // a 1 s wait with the progress window up
    connectMeter();
    m_meter.clearReceived();
    bool nested = false;
    QString total;
    m_clock.addListener([&](std::int64_t) {
        if (!nested) {
            nested = true;
            EXPECT_FALSE(mainTimer()->isActive());
            m_window->LoadData1Click();
            m_window->MainTimerTimer();
        }
        for (TfrmScope* scope : m_window->findChildren<TfrmScope*>()) {
            if (scope->isVisible()) {
                total = widgets(*scope).lblTotalBytes->text();
            }
        }
    });
    m_window->LoadData1Click();
    const std::string letters = m_meter.receivedLetters();
    EXPECT_EQ(std::count(letters.begin(), letters.end(), 'P'), 1) << letters;
    EXPECT_EQ(letters.find_first_of("AK"), std::string::npos) << letters;
    EXPECT_EQ(total, QString::number(link::TransferSize(m_meter.memory().endAddress())));
    EXPECT_EQ(fileBytes(tempFile()), downloaded());
    EXPECT_TRUE(m_window->findChildren<TfrmScope*>().isEmpty());
}

TEST_F(DataLoggerTest, AFailedLoadKeepsTheOldDataSetsAndTellsTheCode) {
    setTwoSets();
    download();
    const core::DataSetCollection before = logger().dataSets;
    const QList<QStringList> table = loggerTable();
    const QByteArray temp = fileBytes(tempFile());
    logger().loggerUnsaved = false;

    using Spoil = std::function<void(sim::VirtualMeter&, sim::SimUsbTransport&)>;
    const std::tuple<Spoil, QString, bool> cases[] = {
        {[](auto& m, auto&) { m.faults().failBlockReads = {1}; }, kError + "1005", true},
        {[](auto& m, auto&) { m.faults().badTrailerBlocks = {1}; }, kError + "1006", true},
        {[](auto& m, auto&) { m.faults().failWrites = "P"; }, kError + "1004", true},
        // The device never opened, so the "Q" cannot go out either.
        {[](auto& m, auto& usb) { m.faults().failOpensAfter = usb.openCount(); }, kError + "1002", false},
        {[](auto& m, auto&) { m.memory().setByte(8, 0x0F), m.memory().setByte(9, 0xA1); }, kError + "2",
         true},
        {[](auto& m, auto&) { m.memory().erase(); }, "There was not any data recorded in momery of meter !",
         false},
    };
    for (const auto& [spoil, message, abortSent] : cases) {
        SCOPED_TRACE(message.toStdString());
        m_meter.faults() = {};
        setTwoSets();
        connectMeter();
        m_prompts.clear();
        m_meter.clearReceived();
        spoil(m_meter, m_usb);
        m_window->LoadData1Click();
        EXPECT_EQ(messages(), QStringList{message});
        EXPECT_EQ(logger().dataSets, before);
        EXPECT_EQ(loggerTable(), table);
        EXPECT_EQ(fileBytes(tempFile()), temp);
        EXPECT_FALSE(logger().loggerUnsaved || session().connected());
        EXPECT_EQ(m_meter.receivedLetters().find('Q') != std::string::npos, abortSent);
    }
}

TEST_F(DataLoggerTest, CancelOfAStalledDownloadKeepsTheOldDataSetsAndThePollResumes) {
    const QString port = QStringLiteral("/dev/rfcomm0");
    struct Case {
        const char* name;
        bool serial;
        bool closeBox; // the window's close box instead of its Cancel
        const char* waitingText;
        std::string lettersAtTheEnd; // the end of the transfer (and the serial link's identify)
    };
    const Case cases[] = {
        // A USB meter that answers a repositioning but no further block.
        {"USB, Cancel", false, false, "waiting for the meter, try 1 of 5", "rAq"},
        {"serial, Cancel", true, false, "waiting for the meter, try 2 of 10", "ppQK"},
        {"serial, close box", true, true, "waiting for the meter, try 2 of 10", "ppQK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_meter.faults() = {};
        setTwoSets();
        m_usb.setPlugged(!c.serial);
        if (c.serial) {
            m_serial.attach(port, m_meter);
            ASSERT_TRUE(session().connectSerial(port));
            m_window->LoadData1Click();
        } else {
            download();
            connectMeter();
        }
        ASSERT_EQ(logger().dataSets.count(), 2);
        const core::DataSetCollection before = logger().dataSets;
        const QList<QStringList> table = loggerTable();
        const QByteArray temp = fileBytes(tempFile());
        logger().loggerUnsaved = false;

        setMemory({MakeSet(2, true, 7)});
        if (c.serial)
            m_meter.faults().stallAfterBlock = 3;
        else
            m_meter.faults().deadAfterBlock = 3;
        m_meter.clearReceived();
        QString shown;
        const int listener = m_clock.addListener([&](std::int64_t) {
            for (TfrmScope* scope : m_window->findChildren<TfrmScope*>()) {
                if (!shown.isEmpty() || widgets(*scope).lblWaiting->isHidden())
                    continue;
                shown = widgets(*scope).lblWaiting->text();
                if (c.closeBox)
                    scope->close();
                else
                    widgets(*scope).BitBtn2->click();
            }
        });
        m_window->LoadData1Click();
        m_clock.removeListener(listener);

        EXPECT_EQ(shown, QLatin1String(c.waitingText));
        EXPECT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(logger().dataSets, before);
        EXPECT_EQ(loggerTable(), table);
        EXPECT_EQ(fileBytes(tempFile()), temp);
        EXPECT_FALSE(logger().loggerUnsaved);
        const std::string letters = m_meter.receivedLetters();
        EXPECT_TRUE(letters.ends_with(c.lettersAtTheEnd)) << letters;
        EXPECT_EQ(std::count(letters.begin(), letters.end(), 'Q'), c.serial ? 1 : 0) << letters;
        EXPECT_TRUE(m_window->findChildren<TfrmScope*>().isEmpty());
        EXPECT_FALSE(session().linkBusy());
        EXPECT_TRUE(mainTimer()->isActive());
        if (!c.serial)
            m_window->MainTimerTimer();
        EXPECT_TRUE(session().connected()) << "the poll has the meter again";
    }
}

TEST_F(DataLoggerTest, ATemporaryFolderThatCannotBeMadeIsNamedAndNothingIsDrawn) {
    setTwoSets();
    QFile blocker(m_services.paths.tempFolder()); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    download();
    EXPECT_EQ(messages(), QStringList{QDir::toNativeSeparators(m_services.paths.tempFolder())});
    EXPECT_EQ(m_prompts.texts(ScriptedPrompts::Kind::Error).size(), 1);
    EXPECT_EQ(loggerTable().size(), 2);
    EXPECT_EQ(widgets(*loggerWindow()).Graph1->points(), 500); // still the blank graph
    EXPECT_FALSE(logger().loggerUnsaved);
    EXPECT_TRUE(mainTimer()->isActive());
}

TEST_F(DataLoggerTest, OverTheSerialLinkTheDownloadUsesThePortAndReconnectsThere) {
    setTwoSets();
    m_usb.setPlugged(false);
    m_serial.attach(QStringLiteral("/dev/rfcomm0"), m_meter);
    ASSERT_TRUE(session().connectSerial(QStringLiteral("/dev/rfcomm0")));
    m_meter.clearReceived();
    m_window->LoadData1Click();
    EXPECT_TRUE(messages().isEmpty());
    ASSERT_EQ(logger().dataSets.count(), 2);
    EXPECT_EQ(loggerTable().size(), 2);
    const std::string letters = m_meter.receivedLetters();
    EXPECT_EQ(letters.substr(0, 2), "Pp");
    EXPECT_NE(letters.find("pQK"), std::string::npos)
        << letters << ": Q ends the transfer, K identifies again";
    EXPECT_TRUE(session().serialLink()) << "the serial link is opened again on its port";
    EXPECT_TRUE(widgets(*m_window->panelWindow()).lblNoConnection->isHidden());
    EXPECT_TRUE(mainTimer()->isActive());
}

TEST_F(DataLoggerTest, ASerialMeterThatNeverSendsTheFirstBlockEndsWithCodeNine) {
    setTwoSets();
    m_usb.setPlugged(false);
    sim::SerialMeterLine& line = m_serial.attach(QStringLiteral("/dev/rfcomm0"), m_meter);
    ASSERT_TRUE(session().connectSerial(QStringLiteral("/dev/rfcomm0")));
    line.setReplyFilter([](char letter, std::vector<std::uint8_t>& reply) {
        if (letter == 'P')
            reply.clear();
    });
    m_window->LoadData1Click();
    EXPECT_EQ(messages(), QStringList{kError + QStringLiteral("9")});
    EXPECT_TRUE(logger().dataSets.isEmpty());
}

} // namespace
} // namespace thermo4::ui::test
