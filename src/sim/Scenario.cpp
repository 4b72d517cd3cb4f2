#include "sim/Scenario.h"

#include "formats/BoundedRead.h"
#include "formats/FileSystem.h"
#include "sim/VirtualMeter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace thermo4::sim {

namespace {

constexpr qint64 kMaxScenarioBytes = 16 * 1024 * 1024;
constexpr int kMaxBlockNumber = 65535;

/// Reads a whole regular file of at most maxBytes. A device or pipe could grow
/// without end or block, so only regular files are read; the size is checked
/// before anything is read. On failure returns nothing with the reason in why.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString& why) {
    QFile file;
    switch (QString reason; formats::OpenRegularFile(path, file, &reason)) {
    case formats::FileOpen::Opened:
        break;
    case formats::FileOpen::NotRegular:
        why = QStringLiteral("%1 is not a regular file").arg(path);
        return std::nullopt;
    case formats::FileOpen::Missing:
    case formats::FileOpen::Failed:
        why = QStringLiteral("cannot read %1: %2").arg(path, reason);
        return std::nullopt;
    }
    const qint64 measured = file.size();
    if (measured > maxBytes) {
        why = QStringLiteral("%1 holds %2 bytes, more than %3").arg(path).arg(measured).arg(maxBytes);
        return std::nullopt;
    }
    // Never more than the limit, even if the file grew since it was measured.
    QByteArray bytes = formats::ReadAtMost(file, maxBytes);
    if (file.error() != QFileDevice::NoError) {
        why = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

// Collects the first error; every reader returns false once one is set.
class Reader {
public:
    explicit Reader(QString* error) : m_error(error) {}

    bool fail(const QString& where, const QString& what) {
        if (m_error)
            *m_error = where + QStringLiteral(": ") + what;
        return false;
    }

    bool integer(const QJsonValue& v, const QString& where, qint64 lo, qint64 hi, qint64& out) {
        const double d = v.toDouble();
        if (!v.isDouble() || std::floor(d) != d || d < static_cast<double>(lo) || d > static_cast<double>(hi))
            return fail(where, QStringLiteral("expected a whole number from %1 to %2").arg(lo).arg(hi));
        out = static_cast<qint64>(d);
        return true;
    }

    template <typename T>
    bool integer(const QJsonValue& v, const QString& where, qint64 lo, qint64 hi, T& out) {
        qint64 value = 0;
        if (!integer(v, where, lo, hi, value))
            return false;
        out = static_cast<T>(value);
        return true;
    }

    bool blockSet(const QJsonValue& v, const QString& where, std::set<int>& out) {
        if (!v.isArray())
            return fail(where, QStringLiteral("expected a list of block numbers"));
        const QJsonArray list = v.toArray();
        for (qsizetype i = 0; i < list.size(); ++i) {
            int n = 0;
            if (!integer(list[i], QStringLiteral("%1[%2]").arg(where).arg(i), 1, kMaxBlockNumber, n))
                return false;
            out.insert(n);
        }
        return true;
    }

    bool boolean(const QJsonValue& v, const QString& where, bool& out) {
        if (!v.isBool())
            return fail(where, QStringLiteral("expected true or false"));
        out = v.toBool();
        return true;
    }

private:
    QString* m_error;
};

using Handler = std::function<bool(const QJsonValue&, const QString&)>;

// Runs the handler of each key; a key without one is refused by name.
bool readObject(Reader& r, const QJsonObject& object, const QString& prefix,
                const std::map<QString, Handler>& handlers) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString where = prefix + it.key();
        const auto handler = handlers.find(it.key());
        if (handler == handlers.end())
            return r.fail(where, QStringLiteral("unknown key"));
        if (!handler->second(it.value(), where))
            return false;
    }
    return true;
}

bool readFaults(Reader& r, const QJsonValue& value, const QString& where, MeterFaults& f) {
    if (!value.isObject())
        return r.fail(where, QStringLiteral("expected an object"));
    const auto blockOrNone = [&r](int& out) {
        return [&r, &out](const QJsonValue& v, const QString& w) {
            return r.integer(v, w, 0, kMaxBlockNumber, out);
        };
    };
    const auto count = [&r](int& out) {
        return
            [&r, &out](const QJsonValue& v, const QString& w) { return r.integer(v, w, 0, 1000000000, out); };
    };
    const auto blocks = [&r](std::set<int>& out) {
        return [&r, &out](const QJsonValue& v, const QString& w) { return r.blockSet(v, w, out); };
    };
    const std::map<QString, Handler> handlers{
        {"fail_block_reads", blocks(f.failBlockReads)},
        {"stall_after_block", blockOrNone(f.stallAfterBlock)},
        {"dead_after_block", blockOrNone(f.deadAfterBlock)},
        {"bad_checksum_blocks", blocks(f.badChecksumBlocks)},
        {"bad_trailer_blocks", blocks(f.badTrailerBlocks)},
        {"cut_short_blocks", blocks(f.cutShortBlocks)},
        {"seek_answers_wrong_block",
         [&](const QJsonValue& v, const QString& w) { return r.boolean(v, w, f.seekAnswersWrongBlock); }},
        {"retry_resends_failed_block",
         [&](const QJsonValue& v, const QString& w) { return r.boolean(v, w, f.resendFailedBlockOnRetry); }},
        {"fail_live_reads", blocks(f.failLiveReads)},
        {"fail_writes",
         [&](const QJsonValue& v, const QString& w) {
             const QString letters = v.toString();
             if (!v.isString() || letters.isEmpty() || letters.size() > 64)
                 return r.fail(w, QStringLiteral("expected a string of command letters, e.g. \"pq\""));
             for (const QChar c : letters) {
                 if (c.unicode() < 0x21 || c.unicode() > 0x7E)
                     return r.fail(w, QStringLiteral("\"%1\" is not a command letter").arg(c));
             }
             f.failWrites = letters.toStdString();
             return true;
         }},
        {"fail_opens_after", count(f.failOpensAfter)},
        {"fail_timeouts_after", count(f.failTimeoutsAfter)},
        {"unplug_after_reads", count(f.unplugAfterReads)},
        {"refuse_replies",
         [&](const QJsonValue& v, const QString& w) {
             if (!v.isObject())
                 return r.fail(
                     w, QStringLiteral("expected an object of command letters and counts, e.g. {\"X\": 3}"));
             const QJsonObject counts = v.toObject();
             for (auto it = counts.begin(); it != counts.end(); ++it) {
                 const QString at = w + QLatin1Char('.') + it.key();
                 if (it.key().size() != 1 || it.key()[0].unicode() < 0x21 || it.key()[0].unicode() > 0x7E)
                     return r.fail(at, QStringLiteral("expected one command letter"));
                 int n = 0;
                 if (!r.integer(it.value(), at, -1, 1000000000, n))
                     return false;
                 f.refuseReplies[static_cast<char>(it.key()[0].unicode())] = n;
             }
             return true;
         }},
    };
    return readObject(r, value.toObject(), where + QStringLiteral("."), handlers);
}

bool readMemory(Reader& r, const QJsonValue& value, const QString& where, const QDir& baseDir,
                std::optional<std::vector<std::uint8_t>>& out) {
    if (!value.isString() || value.toString().isEmpty())
        return r.fail(where, QStringLiteral("expected the path of a memory image (.ch4)"));
    const QString path = baseDir.filePath(value.toString());
    QString why;
    const auto bytes = readRegularFile(path, qint64(LoggerMemory::kCapacity), why);
    if (!bytes)
        return r.fail(where, why);
    if (bytes->isEmpty())
        return r.fail(where, QStringLiteral("%1 is empty").arg(path));
    out = std::vector<std::uint8_t>(bytes->begin(), bytes->end());
    return true;
}

/// A name of 1 to 64 printable ASCII characters (a USB path or serial number).
bool readName(Reader& r, const QJsonValue& value, const QString& where, std::optional<std::string>& out) {
    const QString text = value.toString();
    const bool printable =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c > u' ' && c <= u'~'; });
    if (!value.isString() || text.isEmpty() || text.size() > 64 || !printable)
        return r.fail(where, QStringLiteral("expected 1 to 64 printable characters without spaces"));
    out = text.toStdString();
    return true;
}

bool readProbes(Reader& r, const QJsonValue& value, const QString& where, std::array<ChannelShow, 4>& out) {
    const QJsonArray list = value.toArray();
    if (!value.isArray() || list.size() != 4)
        return r.fail(where, QStringLiteral("expected four entries, each \"ok\", \"OL\" or \"----\""));
    for (qsizetype i = 0; i < 4; ++i) {
        const QString s = list[i].toString();
        if (s == QLatin1String("ok"))
            out[static_cast<std::size_t>(i)] = ChannelShow::Reading;
        else if (s == QLatin1String("OL"))
            out[static_cast<std::size_t>(i)] = ChannelShow::OverRange;
        else if (s == QLatin1String("----"))
            out[static_cast<std::size_t>(i)] = ChannelShow::NoReading;
        else
            return r.fail(QStringLiteral("%1[%2]").arg(where).arg(i),
                          QStringLiteral("expected \"ok\", \"OL\" or \"----\""));
    }
    return true;
}

bool readFixed(Reader& r, const QJsonValue& value, const QString& where,
               std::array<std::optional<double>, 4>& out) {
    const QJsonArray list = value.toArray();
    if (!value.isArray() || list.size() != 4)
        return r.fail(where, QStringLiteral("expected four entries, each °C or null"));
    for (qsizetype i = 0; i < 4; ++i) {
        if (list[i].isNull())
            continue;
        const double c = list[i].toDouble();
        if (!list[i].isDouble() || c < -3000.0 || c > 3000.0)
            return r.fail(QStringLiteral("%1[%2]").arg(where).arg(i),
                          QStringLiteral("expected °C from -3000 to 3000, or null"));
        out[static_cast<std::size_t>(i)] = c;
    }
    return true;
}

bool readCalibration(Reader& r, const QJsonValue& value, const QString& where, core::CalibrationValues& out) {
    if (!value.isObject())
        return r.fail(
            where, QStringLiteral("expected an object with \"gain\", \"external_offset\", \"cjc_offset\""));
    const auto four = [&r](std::array<float, 4>& values) {
        return [&r, &values](const QJsonValue& v, const QString& w) {
            const QJsonArray list = v.toArray();
            if (!v.isArray() || list.size() != 4)
                return r.fail(w, QStringLiteral("expected four numbers, T1 to T4"));
            for (qsizetype i = 0; i < 4; ++i) {
                if (!list[i].isDouble() || std::fabs(list[i].toDouble()) > 1e6)
                    return r.fail(QStringLiteral("%1[%2]").arg(w).arg(i),
                                  QStringLiteral("expected a number from -1e6 to 1e6"));
                values[static_cast<std::size_t>(i)] = static_cast<float>(list[i].toDouble());
            }
            return true;
        };
    };
    const std::map<QString, Handler> handlers{
        {"gain", four(out.gain)},
        {"external_offset", four(out.externalOffset)},
        {"cjc_offset", four(out.cjcOffset)},
    };
    return readObject(r, value.toObject(), where + QStringLiteral("."), handlers);
}

} // namespace

std::optional<LiveFrame> LiveFrameFromHex(const QString& hex, QString* error) {
    if (hex.size() != static_cast<qsizetype>(2 * kLiveFrameSize)) {
        if (error)
            *error = QStringLiteral("%1 hex digits, a live frame needs %2")
                         .arg(hex.size())
                         .arg(2 * kLiveFrameSize);
        return std::nullopt;
    }
    LiveFrame frame{};
    for (std::size_t i = 0; i < kLiveFrameSize; ++i) {
        bool ok = false;
        const QStringView pair = QStringView(hex).mid(static_cast<qsizetype>(2 * i), 2);
        const bool digits = pair[0].isLetterOrNumber() && pair[1].isLetterOrNumber();
        const uint value = pair.toUInt(&ok, 16);
        if (!digits || !ok) {
            if (error)
                *error = QStringLiteral("\"%1\" at digit %2 is not hexadecimal").arg(pair).arg(2 * i + 1);
            return std::nullopt;
        }
        frame[i] = static_cast<std::uint8_t>(value);
    }
    return frame;
}

QString LiveFrameToHex(const LiveFrame& frame) {
    const QByteArray raw(reinterpret_cast<const char*>(frame.data()), static_cast<qsizetype>(frame.size()));
    return QString::fromLatin1(raw.toHex());
}

std::optional<Scenario> ParseScenario(const QByteArray& json, const QDir& baseDir, QString* error) {
    Reader r(error);
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        r.fail(QStringLiteral("scenario"), QStringLiteral("not valid JSON at offset %1: %2")
                                               .arg(parseError.offset)
                                               .arg(parseError.errorString()));
        return std::nullopt;
    }
    if (!doc.isObject()) {
        r.fail(QStringLiteral("scenario"), QStringLiteral("expected a JSON object"));
        return std::nullopt;
    }
    Scenario s;
    const std::map<QString, Handler> handlers{
        {"model",
         [&](const QJsonValue& v, const QString& w) {
             const QString code = v.toString();
             if (!v.isString() || code.size() != 3)
                 return r.fail(w, QStringLiteral("expected three characters, e.g. \"418\""));
             for (const QChar c : code) {
                 if (c.unicode() < 0x20 || c.unicode() > 0x7E)
                     return r.fail(w, QStringLiteral("expected printable ASCII characters"));
             }
             s.model = code.toStdString();
             return true;
         }},
        {"live_frames",
         [&](const QJsonValue& v, const QString& w) {
             if (!v.isArray())
                 return r.fail(w, QStringLiteral("expected a list of hex strings"));
             const QJsonArray list = v.toArray();
             for (qsizetype i = 0; i < list.size(); ++i) {
                 const QString at = QStringLiteral("%1[%2]").arg(w).arg(i);
                 if (!list[i].isString())
                     return r.fail(at, QStringLiteral("expected a string of 128 hex digits"));
                 QString why;
                 const auto frame = LiveFrameFromHex(list[i].toString(), &why);
                 if (!frame)
                     return r.fail(at, why);
                 s.liveFrames.push_back(*frame);
             }
             return true;
         }},
        {"memory",
         [&](const QJsonValue& v, const QString& w) { return readMemory(r, v, w, baseDir, s.memory); }},
        {"faults", [&](const QJsonValue& v, const QString& w) { return readFaults(r, v, w, s.faults); }},
        {"seed",
         [&](const QJsonValue& v, const QString& w) {
             std::uint32_t seed = 0;
             if (!r.integer(v, w, 0, 0xFFFFFFFFll, seed))
                 return false;
             s.seed = seed;
             return true;
         }},
        {"thermocouple_type",
         [&](const QJsonValue& v, const QString& w) {
             std::uint8_t type = 0;
             if (!r.integer(v, w, 0, 255, type))
                 return false;
             s.thermocoupleType = type;
             return true;
         }},
        {"probes", [&](const QJsonValue& v, const QString& w) { return readProbes(r, v, w, s.probes); }},
        {"fixed_celsius",
         [&](const QJsonValue& v, const QString& w) { return readFixed(r, v, w, s.fixedCelsius); }},
        {"calibration",
         [&](const QJsonValue& v, const QString& w) {
             core::CalibrationValues values = kDefaultCalibration; // keys left out keep the meter's values
             if (!readCalibration(r, v, w, values))
                 return false;
             s.calibration = values;
             return true;
         }},
        {"usb_path", [&](const QJsonValue& v, const QString& w) { return readName(r, v, w, s.usbPath); }},
        {"serial", [&](const QJsonValue& v, const QString& w) { return readName(r, v, w, s.serial); }},
        {"record_interval_s",
         [&](const QJsonValue& v, const QString& w) {
             int seconds = 0;
             if (!r.integer(v, w, 1, 255 * 60 + 59, seconds))
                 return false;
             s.recordIntervalSeconds = seconds;
             return true;
         }},
    };
    if (!readObject(r, doc.object(), QString(), handlers))
        return std::nullopt;
    return s;
}

std::optional<Scenario> LoadScenario(const QString& path, QString* error) {
    QString why;
    const auto json = readRegularFile(path, kMaxScenarioBytes, why);
    if (!json) {
        if (error)
            *error = QStringLiteral("%1: cannot read the scenario: %2").arg(path, why);
        return std::nullopt;
    }
    auto scenario = ParseScenario(*json, QDir(formats::FolderOf(path)), &why);
    if (!scenario && error)
        *error = QStringLiteral("%1: %2").arg(path, why);
    return scenario;
}

void ApplyScenario(const Scenario& s, VirtualMeter& meter) {
    meter.setModel(s.model);
    meter.setLiveFrames(s.liveFrames);
    if (s.memory)
        meter.memory() = LoggerMemory::fromImage(*s.memory);
    meter.faults() = s.faults;
    if (s.seed)
        meter.setSeed(*s.seed);
    if (s.thermocoupleType)
        meter.setThermocoupleType(*s.thermocoupleType);
    for (int ch = 0; ch < 4; ++ch) {
        meter.setProbe(ch, s.probes[static_cast<std::size_t>(ch)]);
        meter.setFixedCelsius(ch, s.fixedCelsius[static_cast<std::size_t>(ch)]);
    }
    if (s.recordIntervalSeconds)
        meter.setRecordIntervalSeconds(*s.recordIntervalSeconds);
    if (s.calibration)
        meter.setCalibration(*s.calibration);
    if (s.usbPath)
        meter.setUsbPath(*s.usbPath);
    if (s.serial)
        meter.setSerialNumber(*s.serial);
}

std::unique_ptr<VirtualMeter> MakeVirtualMeter(link::Clock& clock, const QString& scenarioPath,
                                               QString* error) {
    std::optional<Scenario> scenario;
    if (!scenarioPath.isEmpty()) {
        scenario = LoadScenario(scenarioPath, error);
        if (!scenario)
            return nullptr;
    }
    auto meter = std::make_unique<VirtualMeter>(clock, scenario && scenario->seed ? *scenario->seed : 1U);
    if (scenario)
        ApplyScenario(*scenario, *meter);
    return meter;
}

std::vector<std::unique_ptr<VirtualMeter>>
MakeVirtualMeters(link::Clock& clock, const QStringList& scenarioPaths, QString* error) {
    std::vector<std::unique_ptr<VirtualMeter>> meters;
    for (const QString& path : scenarioPaths) {
        meters.push_back(MakeVirtualMeter(clock, path, error));
        if (!meters.back())
            return {};
    }
    return meters;
}

} // namespace thermo4::sim
