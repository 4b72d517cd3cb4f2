#include "app/TfrmMain.h"
#include "core/Calibration.h"
#include "setup/TfrmSetup.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"
#include "support/MeterSessionTestAccess.h"
#include "support/ScriptedPrompts.h"
#include "support/WindowTestSupport.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

namespace thermo4::ui {
namespace {

using test::Child;

/// Scripted prompts that also note, when a message shows, whether the poll runs and the hourglass is up.
class WatchingPrompts : public ScriptedPrompts {
public:
    std::function<QString()> state;
    QStringList statesAtMessages;

    /// The next information message throws, as an error escaping a handler would.
    bool throwOnInformation = false;

    void information(const QString& text) override {
        note();
        ScriptedPrompts::information(text);
        if (std::exchange(throwOnInformation, false))
            throw std::runtime_error("message box failed");
    }
    void error(const QString& text) override {
        note();
        ScriptedPrompts::error(text);
    }

private:
    void note() {
        if (state)
            statesAtMessages.append(state());
    }
};

/// The main window offscreen with the virtual meter on a manual clock and the setup dialog open.
class SetupWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        test::UseTestServices(m_services, m_clock, m_usb, m_serial, m_prompts, m_dir);
        m_services.service = true;
        ASSERT_TRUE(test::WriteGraphTemplate(m_services.paths, 100.0f, -20.0f));
        m_window = std::make_unique<TfrmMain>(m_services);
        m_window->resize(1600, 1000);
        m_window->show();
        m_window->Setup1Click();
        ASSERT_EQ(m_window->findChildren<TfrmSetup*>().size(), 1);
        m_setup = m_window->findChildren<TfrmSetup*>().first();
        m_prompts.state = [this] { return state(); };
    }
    void TearDown() override {
        for (int id : m_listeners)
            m_clock.removeListener(id);
        m_window.reset();
        EXPECT_EQ(m_prompts.unanswered(), 0);
    }

    QPushButton* button(const char* name) const { return Child<QPushButton>(*m_setup, name); }
    QLabel* label(const char* name) const { return Child<QLabel>(*m_setup, name); }
    QLineEdit* edit(const char* name) const { return Child<QLineEdit>(*m_setup, name); }
    QTimer* pollTimer() const { return session::MeterSessionTestAccess::pollTimer(m_window->session()); }

    /// "poll" or "stopped", and "hourglass" while the wait cursor is up.
    QString state() const {
        QString s = pollTimer()->isActive() ? QStringLiteral("poll") : QStringLiteral("stopped");
        if (QGuiApplication::overrideCursor())
            s += QStringLiteral(" hourglass");
        return s;
    }
    /// A label's text and colour, e.g. "Fail code=205 red".
    static QString status(const QLabel* l) {
        const QColor color = l->palette().color(QPalette::WindowText);
        const QString name = color == TfrmSetup::kOkColor     ? QStringLiteral("green")
                             : color == TfrmSetup::kFailColor ? QStringLiteral("red")
                                                              : color.name();
        return l->text() + QLatin1Char(' ') + name;
    }
    /// The setup commands the meter received: the poll's identify and live reads
    /// (a real-time poll tick may fall into a wait that processes messages) left out.
    std::string setupLetters() const {
        std::string letters;
        for (char c : m_meter.receivedLetters())
            if (c != 'K' && c != 'A')
                letters += c;
        return letters;
    }
    /// Calls watch at every wait of the manual clock until the test ends.
    void watchWaits(std::function<void()> watch) {
        m_listeners.push_back(m_clock.addListener([watch = std::move(watch)](std::int64_t) { watch(); }));
    }
    void processEvents() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir m_dir;
    link::ManualClock m_clock;
    sim::VirtualMeter m_meter{m_clock};
    sim::SimUsbTransport m_usb{m_meter};
    sim::SimSerialPort m_serial{m_clock};
    WatchingPrompts m_prompts;
    AppServices m_services;
    std::unique_ptr<TfrmMain> m_window;
    QPointer<TfrmSetup> m_setup;
    std::vector<int> m_listeners;
};

struct ButtonCase {
    const char* button;
    const char* label;
    char letter;
    const char* failure;
};

const ButtonCase kButtons[] = {
    {"Button4", "lblOK5", 'X', "Fail code=205"}, {"Button1", "lblOK1", 't', "Fail code=406"},
    {"Button2", "lblOK2", 'I', "Fail"},          {"Button3", "lblOK3", 'e', "Fail code=506"},
    {"Button5", "lblOK4", 's', "Fail code=406"}, {"Button7", "lblOK6", 'Y', "Fail code=705"},
    {"Button8", "lblWriteOK", 'W', "Fail"},      {"Button9", "lblReadOK", 'r', "Fail"},
    {"Button10", "lblQUICKRECOK", 'W', "Fail"},
};

TEST_F(SetupWindowTest, EveryStatusLabelShowsItsFailureInRedAndOkInGreen) {
    edit("edtPassword")->setText(QStringLiteral("8737"));
    for (const ButtonCase& c : kButtons) {
        SCOPED_TRACE(c.button);
        EXPECT_EQ(label(c.label)->text(), "") << "nothing has run yet as the dialog opens";
        if (c.letter == 'e') {
            m_prompts.queueAnswer(Answer::Yes);
            m_prompts.queueAnswer(Answer::Yes);
        }
        m_meter.faults().refuseReplies[c.letter] = -1;
        button(c.button)->click();
        EXPECT_EQ(status(label(c.label)), QStringLiteral("%1 red").arg(QLatin1String(c.failure)));
        EXPECT_EQ(state(), "poll") << "the poll runs again and the cursor is back";

        m_meter.faults().refuseReplies.clear();
        button(c.button)->click();
        EXPECT_EQ(status(label(c.label)), "OK green");
    }
    EXPECT_EQ(m_prompts.texts(ScriptedPrompts::Kind::Question),
              QStringList(2, QString::fromLatin1(TfrmSetup::kEraseQuestion)));
}

TEST_F(SetupWindowTest, EraseAndSetupAllAskFirstAndNoErasesNothing) {
    const struct {
        const char* button;
        Answer answer;
        const char* sent;
        const char* erasedLabel;
    } cases[] = {
        {"Button3", Answer::No, "", ""},
        {"Button3", Answer::Yes, "e", "OK"},
        {"Button6", Answer::No, "", ""},
        {"Button6", Answer::Yes, "s#Wt#IeX", "OK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.answer == Answer::Yes ? " Yes" : " No"));
        m_setup->closeWindow();
        processEvents();
        m_window->Setup1Click();
        m_setup = m_window->findChildren<TfrmSetup*>().last();
        m_meter.memory() = {};
        ASSERT_TRUE(m_meter.memory().append(
            {QDateTime(QDate(2024, 3, 9), QTime(14, 5, 30)), 2, true, 1, {}, {{1, 2, 3, 4}}}));
        m_meter.clearReceived();
        m_prompts.clear();
        m_prompts.queueAnswer(c.answer);
        button(c.button)->click();
        EXPECT_EQ(m_prompts.texts(ScriptedPrompts::Kind::Question),
                  QStringList{QString::fromLatin1(TfrmSetup::kEraseQuestion)});
        EXPECT_EQ(setupLetters(), c.sent);
        EXPECT_EQ(m_meter.memory().dataSetCount(), c.answer == Answer::Yes ? 0 : 1);
        EXPECT_EQ(label("lblOK3")->text(), c.erasedLabel);
        EXPECT_EQ(state(), "poll");
    }
}

TEST_F(SetupWindowTest, ReadOperationsFillTheirFieldsAndAFailedReadEmptiesThem) {
    m_meter.memory().setIntervalSeconds(125);
    const core::CalibrationValues values{
        {1.0f, 2.0f, 0.5f, 1.25f}, {0.0f, -1.5f, 0.25f, 3.0f}, {0.5f, 0, 0, -0.5f}};
    m_meter.setCalibration(values);
    button("Button4")->click();
    button("Button7")->click();
    const struct {
        const char* field;
        const char* text;
    } filled[] = {
        {"txtVer", "1.05"},
        {"txtMeterTime", "01/01/2024   12:00:00"},
        {"txtInt", "2:5"},
        {"txtMemoryAvailable", "32000"},
        {"txtThermoType", "K"},
        {"txtSleepTime", "30 minutes"},
        {"txtSN", "VM0001"},
        {"edtT1Gain", "1.00000000"},
        {"edtT4Gain", "1.25000000"},
        {"edtT2_EXT_offset", "-1.50000000"},
        {"edtT1_CJC_offset", "0.50000000"},
        {"edtT4_CJC_offset", "-0.50000000"},
    };
    for (const auto& f : filled)
        EXPECT_EQ(edit(f.field)->text(), f.text) << f.field;

    m_meter.faults().refuseReplies['X'] = -1;
    m_meter.faults().refuseReplies['Z'] = -1;
    button("Button4")->click();
    button("Button7")->click();
    for (const auto& f : filled)
        EXPECT_EQ(edit(f.field)->text(), "") << f.field;
}

TEST_F(SetupWindowTest, EepromWriteAfterOneRefusedAttemptAndItsReadBack) {
    EXPECT_EQ(edit("edtPassword")->echoMode(), QLineEdit::Password);
    edit("edtPassword")->setText(QStringLiteral("8737"));
    edit("txtWAddress")->setText(QStringLiteral("74565"));
    edit("txtWData")->setText(QStringLiteral("171"));
    m_meter.faults().refuseReplies['W'] = 1;
    button("Button8")->click();
    EXPECT_EQ(status(label("lblWriteOK")), "OK green");
    EXPECT_EQ(setupLetters(), "WQW");

    edit("txtRAddress")->setText(QStringLiteral("74565"));
    button("Button9")->click();
    EXPECT_EQ(edit("txtRData")->text(), "171");
    m_meter.faults().refuseReplies['r'] = -1;
    button("Button9")->click();
    EXPECT_EQ(edit("txtRData")->text(), "");
    EXPECT_EQ(status(label("lblReadOK")), "Fail red");
}

TEST_F(SetupWindowTest, RefusedFieldsLeaveThePollRunningAndTheCursorAlone) {
    const struct {
        const char* field;
        const char* text;
        const char* button;
        const char* label;
        ScriptedPrompts::Kind kind;
        const char* message;
        const char* labelAfter;
    } cases[] = {
        {"edtPassword", "0", "Button8", "lblWriteOK", ScriptedPrompts::Kind::Information, "Password error !!",
         " green"},
        {"edtPassword", "", "Button8", "lblWriteOK", ScriptedPrompts::Kind::Information, "Password error !!",
         " green"},
        {"txtRAddress", "2.5", "Button9", "lblReadOK", ScriptedPrompts::Kind::Error, "2.5 is not valid.\n",
         " green"},
        {"txtQuick_REC_NUM", "x", "Button10", "lblQUICKRECOK", ScriptedPrompts::Kind::Error,
         "x is not valid.\n", " green"},
        {"txtInterval", "", "Button10", "lblQUICKRECOK", ScriptedPrompts::Kind::Error, " is not valid.\n",
         " green"},
        // A refused interval leaves its label as it was (empty: nothing has run).
        {"edtInt1", "61", "Button2", "lblOK2", ScriptedPrompts::Kind::Information, "Invalid Input", " green"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        m_setup->closeWindow();
        processEvents();
        m_window->Setup1Click();
        m_setup = m_window->findChildren<TfrmSetup*>().last();
        m_prompts.clear();
        m_prompts.statesAtMessages.clear();
        m_meter.clearReceived();
        edit("edtPassword")->setText(QStringLiteral("8737"));
        edit("edtInt2")->setText(QStringLiteral("00"));
        edit(c.field)->setText(QLatin1String(c.text));
        button(c.button)->click();

        ASSERT_EQ(m_prompts.shown().size(), 1);
        EXPECT_EQ(m_prompts.shown().first().kind, c.kind);
        EXPECT_EQ(m_prompts.shown().first().text, c.message);
        EXPECT_EQ(m_prompts.statesAtMessages, QStringList{"poll"});
        EXPECT_EQ(status(label(c.label)), c.labelAfter);
        EXPECT_EQ(state(), "poll");
        EXPECT_EQ(setupLetters(), "");
        EXPECT_TRUE(button(c.button)->isEnabled());
    }
}

TEST_F(SetupWindowTest, WhileAnOperationRunsNoOtherStartsAndTheWindowClosesAfterIt) {
    QStringList buttonStates;
    bool tried = false;
    bool closedDuring = true;
    watchWaits([&] {
        if (!m_setup || !m_setup->operationRunning())
            return;
        QString enabled;
        for (QPushButton* b : m_setup->findChildren<QPushButton*>())
            enabled += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        buttonStates.append(enabled);
        if (!tried) {
            tried = true;
            // A click that reached the window anyway (queued before the buttons were disabled).
            m_setup->Button3Click();
            closedDuring = m_setup->closeWindow();
        }
    });
    button("Button4")->click();

    ASSERT_FALSE(buttonStates.isEmpty());
    buttonStates.removeDuplicates();
    EXPECT_EQ(buttonStates, QStringList{"0000000000"}) << "all ten buttons";
    EXPECT_FALSE(closedDuring);
    EXPECT_EQ(setupLetters(), "X") << "the erase did not start";
    EXPECT_EQ(status(label("lblOK5")), "OK green");
    processEvents();
    EXPECT_TRUE(m_setup.isNull()) << "the close asked for during the read follows it";
    EXPECT_TRUE(pollTimer()->isActive());
}

TEST_F(SetupWindowTest, SetupAllHoldsTheLinkFromItsFirstStepToItsLast) {
    QString states;
    watchWaits([&] { states += pollTimer()->isActive() ? QLatin1Char('P') : QLatin1Char('-'); });
    m_prompts.queueAnswer(Answer::Yes);
    button("Button6")->click();
    EXPECT_EQ(setupLetters(), "s#Wt#IeX");
    EXPECT_FALSE(states.contains(QLatin1Char('P'))) << states.toStdString();
    EXPECT_TRUE(pollTimer()->isActive());
    for (const char* name : {"lblOK4", "lblOK1", "lblOK2", "lblOK3", "lblOK5"})
        EXPECT_EQ(status(label(name)), "OK green") << name;
    EXPECT_EQ(edit("txtDataSets")->text(), "0");

    m_meter.clearReceived();
    m_meter.faults().refuseReplies['W'] = -1;
    m_prompts.queueAnswer(Answer::Yes);
    button("Button6")->click();
    EXPECT_EQ(m_prompts.texts(ScriptedPrompts::Kind::Information), QStringList{"Setup Blooth On fail "});
    EXPECT_EQ(setupLetters(), "s#WQWQWQ");
    EXPECT_EQ(state(), "poll");
}

TEST_F(SetupWindowTest, AnErrorEscapingAnOperationLeavesTheWindowUsable) {
    m_meter.faults().refuseReplies['W'] = -1;
    m_prompts.throwOnInformation = true;
    m_prompts.queueAnswer(Answer::Yes);
    EXPECT_THROW(m_setup->Button6Click(), std::runtime_error);
    EXPECT_FALSE(m_setup->operationRunning());
    EXPECT_EQ(state(), "poll");
    EXPECT_FALSE(m_window->session().linkBusy());

    m_meter.faults().refuseReplies.clear();
    m_meter.clearReceived();
    button("Button4")->click();
    EXPECT_EQ(setupLetters(), "X");
    EXPECT_EQ(status(label("lblOK5")), "OK green");
}

TEST_F(SetupWindowTest, OnTheSerialLinkTheUserIsToldToUseUsb) {
    sim::VirtualMeter serialMeter(m_clock, 3);
    m_serial.attach(QStringLiteral("/dev/rfcomm0"), serialMeter);
    ASSERT_TRUE(m_window->session().connectSerial(QStringLiteral("/dev/rfcomm0")));
    ASSERT_TRUE(m_window->session().serialLink());
    m_meter.clearReceived();
    button("Button4")->click();
    EXPECT_EQ(m_prompts.texts(ScriptedPrompts::Kind::Information),
              QStringList{QString::fromLatin1(TfrmSetup::kUsbOnlyMessage)});
    EXPECT_EQ(setupLetters(), "");
    EXPECT_EQ(label("lblOK5")->text(), "") << "nothing has run";
    EXPECT_TRUE(button("Button4")->isEnabled());
}

} // namespace
} // namespace thermo4::ui
