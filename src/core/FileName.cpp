#include "core/FileName.h"

namespace thermo4::core {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

/// Length of the valid UTF-8 sequence at bytes[i], or 0 when it is not one
/// (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF, cut short).
qsizetype validSequenceAt(QByteArrayView bytes, qsizetype i) {
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong below
        if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong below
        if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    if (at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    }
    return length;
}

bool isEscape(QChar c) {
    return c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF;
}

} // namespace

QString FileNameFromBytes(QByteArrayView bytes) {
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString name;
    name.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = validSequenceAt(bytes, i);
        if (length == 0) {
            name += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i])));
            ++i;
        } else {
            name += QString::fromUtf8(bytes.sliced(i, length));
            i += length;
        }
    }
    return name;
}

QByteArray FileNameBytes(QStringView name) {
    if (!HasEscapedBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        // A lone low surrogate is an escape; one after a high surrogate is half of a character.
        if (isEscape(name[i]) && (i == 0 || !name[i - 1].isHighSurrogate())) {
            bytes += name.sliced(start, i - start).toUtf8();
            bytes += char(name[i].unicode() - kEscapeBase);
            start = i + 1;
        }
    }
    bytes += name.sliced(start).toUtf8();
    return bytes;
}

bool HasEscapedBytes(QStringView name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscape(name[i]) && (i == 0 || !name[i - 1].isHighSurrogate()))
            return true;
    }
    return false;
}

QStringList ArgumentsFromArgv(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(FileNameFromBytes(QByteArrayView(argv[i])));
    return arguments;
}

} // namespace thermo4::core
