// thermo4: the desktop program for the four-channel thermocouple thermometer.

#include "app/CommandLine.h"
#include "app/StartFailure.h"
#include "app/TfrmAbout.h"
#include "app/TfrmMain.h"
#include "core/FileName.h"
#include "link/SystemClock.h"
#include "mqtt/MqttPublisher.h"
#include "session/MeterFactory.h"
#include "session/MeterSession.h"
#include "ui/Paths.h"
#include "ui/QtPrompts.h"
#include "ui/Resources.h"
#include "web/LiveFeed.h"
#include "web/WebServer.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

namespace {

/// The application object: an exception that reaches the event loop is shown
/// in a message box and the loop goes on.
class Application : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(activeWindow(), QStringLiteral("thermo4"),
                                  QString::fromLocal8Bit(e.what()));
        } catch (...) {
            QMessageBox::critical(activeWindow(), QStringLiteral("thermo4"),
                                  QStringLiteral("Unknown error."));
        }
        return false;
    }
};

void printText(std::FILE* stream, const QString& text) {
    // File names in the text go out as the bytes they are on disk.
    std::fputs(thermo4::core::FileNameBytes(text).constData(), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace thermo4;

    // --help and --version work without a display: answer them before the GUI starts.
    const QStringList arguments = core::ArgumentsFromArgv(argc, argv);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        printText(stdout, ui::CommandLine::usage());
        return 0;
    }
    if (arguments.contains(QStringLiteral("--version"))) {
        printText(stdout, QStringLiteral("thermo4 %1\n").arg(ui::CommandLine::programVersion()));
        return 0;
    }

    Application app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("thermo4"));
    QCoreApplication::setApplicationName(QStringLiteral("thermo4"));
    QCoreApplication::setApplicationVersion(ui::CommandLine::programVersion());
    ui::InitResources();

    // The toolkit has taken its own options (-platform ...) out of argv by now. The rest is
    // read from the bytes: a folder or scenario named in Latin-1 is still that one.
    const ui::CommandLine options = ui::CommandLine::parse(core::ArgumentsFromArgv(argc, argv));
    // Started from a desktop launcher, no one reads stderr: a failing start shows a box as well.
    const auto failStart = [](const QString& message) {
        ui::QtPrompts box;
        ui::ReportStartFailure(message, stderr,
                               ui::PlatformShowsBoxes(QGuiApplication::platformName()) ? &box : nullptr);
    };
    if (!options.error.isEmpty()) {
        failStart(options.error + QStringLiteral("\nTry 'thermo4 --help'."));
        return 2;
    }
    if (!options.warning.isEmpty())
        printText(stderr, QStringLiteral("thermo4: %1\n").arg(options.warning));
    // The live page's port is taken before anything else starts: one in use ends the start here.
    web::WebServer webServer;
    web::LiveFeed liveFeed;
    if (options.httpAddress) {
        liveFeed.serveOn(webServer);
        if (QString error; !webServer.listen(*options.httpAddress, &error)) {
            failStart(QStringLiteral("--http: %1").arg(error));
            return 1;
        }
        const web::HttpAddress& bound = webServer.address();
        printText(stdout, QStringLiteral("Live page: %1\n").arg(bound.url()));
        if (const QString warning = bound.exposureWarning(QStringLiteral("live page")); !warning.isEmpty())
            printText(stderr, QStringLiteral("thermo4: %1\n").arg(warning));
    }
    std::unique_ptr<mqtt::MqttPublisher> publisher;
    if (options.mqttBroker) {
        publisher = std::make_unique<mqtt::MqttPublisher>(*options.mqttBroker);
        if (QString error; !publisher->start(&error)) {
            failStart(QStringLiteral("--mqtt: %1").arg(error));
            return 1;
        }
    }

    link::SystemClock clock;
    QString meterError;
    session::MeterChoice choice{
        options.simulate ? session::MeterKind::Virtual : session::MeterKind::Usb, {}, options.scenario};
    choice.moreScenarios = options.moreScenarios;
    choice.usbMeter = options.usbMeter;
    const std::unique_ptr<session::Meter> meter = session::MakeMeter(choice, clock, &meterError);
    if (!meter) {
        failStart(meterError);
        return 1;
    }
    ui::AppServices services;
    services.clock = &clock;
    services.session = &meter->session();
    services.meter = meter.get();
    services.simulated = options.simulate;
    services.service = options.service;

    services.paths = ui::Paths::forApplication(options.dataDir);
    // The graph windows say it again where the template is missing.
    if (const QString problem = services.paths.prepareDataDir(); !problem.isEmpty())
        printText(stderr, QStringLiteral("thermo4: %1\n").arg(problem));

    ui::QtPrompts prompts;
    services.prompts = &prompts;

    // The about box is the splash while the main window is built.
    auto* splash = new ui::TfrmAbout;
    splash->showAsSplash();

    ui::TfrmMain window(services);
    prompts.setParent(&window);
    window.setSplash(splash);
    window.setRecordOnConnect(options.record);
    if (publisher)
        window.publishTo(*publisher);
    if (options.httpAddress)
        window.serveLivePage(liveFeed);
    window.showMaximized();
    return QApplication::exec();
}
