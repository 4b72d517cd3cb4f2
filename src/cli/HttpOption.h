#pragma once

#include "web/HttpAddress.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <optional>

namespace thermo4::web {
class WebServer;
}

namespace thermo4::cli {

/// The required --http [ADDR:]PORT option of a command that serves a web page: the address is
/// checked with the other options, and the port is taken before the command starts anything else.
class HttpOption {
public:
    /// command names the command in "serve needs --http [ADDR:]PORT".
    explicit HttpOption(QString command);

    void addTo(QCommandLineParser& parser) const { parser.addOption(m_option); }
    /// Takes the address; when it is missing or bad prints why and returns false.
    bool read(const QCommandLineParser& parser);
    /// Opens the port on server. When it cannot, prints why and returns false. Otherwise the
    /// address bound is server.address(), and a page open to the network has been said so on
    /// stderr, naming it page ("live page", "dashboard").
    bool listen(web::WebServer& server, const QString& page);

private:
    QString m_command;
    QCommandLineOption m_option;
    web::HttpAddress m_address;
};

} // namespace thermo4::cli
