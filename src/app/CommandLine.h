#pragma once

#include "mqtt/BrokerUrl.h"
#include "web/HttpAddress.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace thermo4::ui {

/// The options of the thermo4 program.
struct CommandLine {
    /// Talk to the built-in virtual meter instead of a USB meter.
    bool simulate = false;
    /// Scenario file for the virtual meter (--simulate=FILE); empty for its default behaviour.
    QString scenario;
    /// One more virtual meter per further --simulate[=FILE] (empty: the built-in behaviour).
    QStringList moreScenarios;
    /// --usb PATH|SERIAL: the USB meter to talk to; empty for the first free one.
    QString usbMeter;
    /// Data folder given by --data-dir; empty to choose it automatically.
    QString dataDir;
    /// Broker given by --mqtt URL (password possibly from --mqtt-password-file or the
    /// environment); none without the option.
    std::optional<mqtt::BrokerUrl> mqttBroker;
    /// Serve the live web page there (--http [ADDR:]PORT); none without the option.
    std::optional<web::HttpAddress> httpAddress;
    /// Start a real-time recording as soon as a meter is connected (--record).
    bool record = false;
    /// Offer Data Logger > Setup, the service person's setup dialog (--service).
    bool service = false;
    bool help = false;
    bool version = false;
    /// Set when the arguments cannot be used; says what is wrong.
    QString error;
    /// Set when the arguments can be used but one is unwise (a password in the broker URL).
    QString warning;

    /// Parses the arguments after the program name.
    static CommandLine parse(const QStringList& arguments);
    /// The text printed by --help.
    static QString usage();
    /// The program's version ("0.1.0").
    static QString programVersion();
};

} // namespace thermo4::ui
