#include "mqtt/BrokerUrl.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace thermo4::mqtt {

namespace {

// Longest topic the protocol carries (bytes of UTF-8), less room for the longest leaf.
constexpr qsizetype kMaxBaseTopicBytes = 65535 - 16;

bool isControl(QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
}

/// text for a message: control characters (which a terminal would act on) written as
/// their URL escapes, "%00" for NUL.
QString printable(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        if (isControl(c)) {
            shown += QString::fromLatin1(QByteArray(QString(c).toUtf8()).toPercentEncoding());
        } else {
            shown += c;
        }
    }
    return shown;
}

/// text with the password of its user part replaced by "***", for messages.
QString withoutPassword(const QString& text) {
    static const QRegularExpression userAndPassword(QStringLiteral("^([^:/?#]*://[^:/?#@]*):[^/?#]*@"));
    QString shown = text;
    shown.replace(userAndPassword, QStringLiteral("\\1:***@"));
    return printable(shown);
}

/// QUrl's reason without the source text it quotes (which may hold the password).
QString reasonOf(const QUrl& url) {
    const QString reason = url.errorString();
    const qsizetype source = reason.indexOf(QLatin1String("; source was"));
    return source < 0 ? reason : reason.left(source);
}

std::optional<BrokerUrl> failUrl(QString* error, const QString& message) {
    if (error != nullptr) {
        *error = message;
    }
    return std::nullopt;
}

} // namespace

QString BrokerUrl::displayName() const {
    QUrl url;
    url.setScheme(tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"));
    url.setHost(host);
    url.setPort(port);
    url.setUserName(user);
    url.setPath(QLatin1Char('/') + baseTopic);
    return url.toString();
}

std::optional<BrokerUrl> BrokerUrl::parse(const QString& text, const QString& environmentPassword,
                                          QString* error) {
    const QString example = QStringLiteral("mqtt://[USER[:PASSWORD]@]HOST[:PORT]/BASE/TOPIC");
    const QString shown = withoutPassword(text);
    if (text.trimmed().isEmpty()) {
        return failUrl(error, QStringLiteral("no broker URL given: it must look like %1").arg(example));
    }
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid()) {
        return failUrl(error,
                       QStringLiteral("\"%1\" is not a valid URL (%2)").arg(shown, printable(reasonOf(url))));
    }
    BrokerUrl broker;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mqtts")) {
        broker.tls = true;
    } else if (scheme != QLatin1String("mqtt")) {
        return failUrl(error, QStringLiteral("\"%1\" is not a broker URL: it must look like %2 "
                                             "(or mqtts:// for TLS)")
                                  .arg(shown, example));
    }
    broker.host = url.host();
    if (broker.host.isEmpty()) {
        return failUrl(
            error, QStringLiteral("\"%1\" names no broker host: it must look like %2").arg(shown, example));
    }
    const int port = url.port(broker.tls ? kDefaultTlsPort : kDefaultPort);
    if (port < 1 || port > 65535) {
        return failUrl(
            error,
            QStringLiteral("\"%1\": port %2 is out of range (1 to 65535)").arg(shown, QString::number(port)));
    }
    broker.port = port;
    if (url.hasFragment()) {
        return failUrl(
            error, QStringLiteral("\"%1\": the base topic may not contain the wildcards + or #").arg(shown));
    }
    if (url.hasQuery()) {
        return failUrl(error, QStringLiteral("\"%1\": a broker URL takes no ?query").arg(shown));
    }

    QString topic = url.path(QUrl::FullyDecoded);
    while (topic.startsWith(QLatin1Char('/'))) {
        topic.remove(0, 1);
    }
    while (topic.endsWith(QLatin1Char('/'))) {
        topic.chop(1);
    }
    if (topic.isEmpty()) {
        return failUrl(error,
                       QStringLiteral("\"%1\" has no base topic after the host, e.g. mqtt://%2/lab/meter1")
                           .arg(shown, broker.host));
    }
    if (topic.contains(QLatin1Char('+')) || topic.contains(QLatin1Char('#'))) {
        return failUrl(error,
                       QStringLiteral("\"%1\": the base topic \"%2\" may not contain the wildcards + or #")
                           .arg(shown, printable(topic)));
    }
    // A NUL ends a topic on the wire; other control characters are as unusable.
    if (std::any_of(topic.begin(), topic.end(), isControl)) {
        return failUrl(error,
                       QStringLiteral("\"%1\": the base topic \"%2\" may not contain control characters")
                           .arg(shown, printable(topic)));
    }
    if (topic.toUtf8().size() > kMaxBaseTopicBytes) {
        return failUrl(error, QStringLiteral("\"%1\": the base topic is too long").arg(shown));
    }
    broker.baseTopic = topic;

    broker.user = url.userName(QUrl::FullyDecoded);
    broker.password = url.password(QUrl::FullyDecoded);
    if (broker.password.isEmpty()) {
        broker.password = environmentPassword;
    }
    if (!broker.password.isEmpty() && broker.user.isEmpty()) {
        return failUrl(error, QStringLiteral("\"%1\": a password needs a user name (mqtt://USER@HOST/…); "
                                             "the password is taken from %2 when the URL has none")
                                  .arg(shown, QLatin1String(kPasswordVariable)));
    }
    return broker;
}

} // namespace thermo4::mqtt
