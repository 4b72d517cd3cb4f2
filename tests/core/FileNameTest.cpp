#include "core/FileName.h"

#include <gtest/gtest.h>

namespace thermo4::core {
namespace {

/// The name holding the bytes of escaped, each as its escape.
QString Escapes(QByteArrayView escaped) {
    QString name;
    for (const char b : escaped)
        name += QChar(char16_t(0xDC00 + static_cast<unsigned char>(b)));
    return name;
}

TEST(FileName, EveryByteStringComesBackWhole) {
    struct Case {
        QByteArray bytes;
        QString name; // as the program holds it
    };
    const Case cases[] = {
        {"plain/data.ch4", QStringLiteral("plain/data.ch4")},
        {"caf\xC3\xA9.ch4", QStringLiteral("caf\u00E9.ch4")},
        {"\xF0\x9F\x8C\xA1.csv", QString::fromUtf8("\xF0\x9F\x8C\xA1.csv")},
        // Latin-1: one escaped byte where UTF-8 would have made U+FFFD.
        {"v\xE9.ch4", QStringLiteral("v") + Escapes("\xE9") + QStringLiteral(".ch4")},
        // What a lossy conversion writes instead: a different, valid name.
        {"v\xEF\xBF\xBD.ch4", QStringLiteral("v\uFFFD.ch4")},
        // Overlong "/", an encoded surrogate, a sequence cut short, beyond U+10FFFF.
        {"a\xC0\xAF", QStringLiteral("a") + Escapes("\xC0\xAF")},
        {"\xED\xB3\xA9", Escapes("\xED\xB3\xA9")},
        {"x\xE2\x82", QStringLiteral("x") + Escapes("\xE2\x82")},
        {"\xF4\x90\x80\x80", Escapes("\xF4\x90\x80\x80")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(FileNameFromBytes(c.bytes), c.name);
        EXPECT_EQ(FileNameBytes(c.name), c.bytes);
        EXPECT_EQ(HasEscapedBytes(c.name), !c.bytes.isValidUtf8());
    }
    // A character beyond the BMP whose low half lies in the escape range is not an escape.
    const QString pair = QString::fromUtf8("\xF0\x9F\x82\xA1");
    ASSERT_TRUE(pair[1].unicode() >= 0xDC80 && pair[1].unicode() <= 0xDCFF);
    EXPECT_FALSE(HasEscapedBytes(pair));
    EXPECT_EQ(FileNameBytes(pair), QByteArray("\xF0\x9F\x82\xA1"));
}

} // namespace
} // namespace thermo4::core
