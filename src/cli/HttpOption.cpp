#include "cli/HttpOption.h"

#include "cli/CliSupport.h"
#include "web/WebServer.h"

namespace thermo4::cli {

HttpOption::HttpOption(QString command)
    : m_command(std::move(command)),
      m_option(
          QStringLiteral("http"),
          QStringLiteral("Serve the page at [ADDR:]PORT: 127.0.0.1 (this computer only) unless ADDR says "
                         "otherwise (0.0.0.0: every network, [::1]: IPv6 loopback); PORT 0 takes a free "
                         "one. The pages are read-only."),
          QStringLiteral("[ADDR:]PORT")) {}

bool HttpOption::read(const QCommandLineParser& parser) {
    if (!parser.isSet(m_option)) {
        PrintError(QStringLiteral("%1 needs --http [ADDR:]PORT, e.g. --http 8080").arg(m_command));
        return false;
    }
    QString error;
    const std::optional<web::HttpAddress> address = web::HttpAddress::parse(parser.value(m_option), &error);
    if (!address) {
        PrintError(error);
        return false;
    }
    m_address = *address;
    return true;
}

bool HttpOption::listen(web::WebServer& server, const QString& page) {
    if (QString error; !server.listen(m_address, &error)) {
        PrintError(error);
        return false;
    }
    if (const QString warning = server.address().exposureWarning(page); !warning.isEmpty()) {
        PrintError(warning);
    }
    return true;
}

} // namespace thermo4::cli
