#include "web/HttpAddress.h"

#include <gtest/gtest.h>

namespace thermo4::web {
namespace {

TEST(HttpAddress, ParsesPortWithOptionalAddressAndSaysWhetherTheNetworkSeesIt) {
    struct Case {
        const char* text;
        const char* address;
        quint16 port;
        bool open;
    };
    const Case cases[] = {
        {"8080", "127.0.0.1", 8080, false},           {" 0 ", "127.0.0.1", 0, false},
        {"0.0.0.0:8080", "0.0.0.0", 8080, true},      {"192.168.1.20:80", "192.168.1.20", 80, true},
        {"[::1]:8080", "::1", 8080, false},           {"[::]:65535", "::", 65535, true},
        {"localhost:8000", "127.0.0.1", 8000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        const auto parsed = HttpAddress::parse(QString::fromUtf8(c.text), &error);
        ASSERT_TRUE(parsed) << error.toStdString();
        EXPECT_EQ(parsed->address, QHostAddress(QString::fromUtf8(c.address)));
        EXPECT_EQ(parsed->port, c.port);
        EXPECT_EQ(parsed->openToNetwork(), c.open);
    }
    EXPECT_EQ(HttpAddress::parse(QStringLiteral("[::1]:80"), nullptr)->text(), QStringLiteral("[::1]:80"));
}

TEST(HttpAddress, RefusesBadPortsAndAddressesWithOneLine) {
    const char* const bad[] = {"",          "http",     "80a",         "65536",    "-1",
                               "+80",       "host:80",  ":80",         "::1:8080", "[::1]80",
                               "[nope]:80", "0.0.0.0:", "8080:0.0.0.0"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        QString error;
        EXPECT_FALSE(HttpAddress::parse(QString::fromUtf8(text), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(error.contains(QLatin1Char('\n')));
    }
}

} // namespace
} // namespace thermo4::web
