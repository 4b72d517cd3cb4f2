#pragma once

#include "mqtt/BrokerUrl.h"

#include <QString>

#include <optional>

namespace thermo4::mqtt {

/// Option that names a file holding the broker password on its first line.
inline constexpr char kPasswordFileOption[] = "mqtt-password-file";

/// The broker password file's first line (without its line end). The file must
/// be a regular file that no other user may read; otherwise, or when it cannot
/// be read or its first line is empty, returns nothing and says why in error.
std::optional<QString> ReadPasswordFile(const QString& path, QString* error);

/// The broker of --mqtt URL with its password from the URL, else from the
/// password file (passwordFile, empty for none), else from environmentPassword.
/// On failure returns nothing and error names the option at fault. A password
/// written in the URL is accepted with a warning: the command line is visible to
/// every user of the machine.
std::optional<BrokerUrl> BrokerFromOptions(const QString& url, const QString& passwordFile,
                                           const QString& environmentPassword, QString* error,
                                           QString* warning);

} // namespace thermo4::mqtt
