#pragma once

#include "core/DataSet.h"
#include "core/MemoryImage.h"

#include <QDateTime>

namespace thermo4::core {

// Result codes of DecodeMemoryImage.
inline constexpr int kDecodeOk = 0;
/// More than kMaxDataSets data sets, or not one complete record in the image.
inline constexpr int kDecodeTooManySets = 2;
/// The memory holds no data set.
inline constexpr int kDecodeNoDataSet = 6;

inline constexpr int kMaxDataSets = 4000;
/// Offset of the first data-set record.
inline constexpr std::size_t kFirstRecordOffset = 0xB00;
/// Bytes of a record besides its samples; a record of n points is 20 + 8n bytes.
inline constexpr std::size_t kRecordOverhead = 20;
inline constexpr std::size_t kBytesPerPoint = 8;

/// What a decode found besides its result code.
struct DecodeDetails {
    /// Data sets the memory header announces.
    int announcedSets = 0;
    /// Complete data sets decoded (fewer than announced when the image is cut short).
    int decodedSets = 0;
};

/// Splits image into data sets. On kDecodeOk collection is replaced whole; on
/// any other code it is left untouched. fallbackNow stands in for date and time
/// fields that are not valid BCD or do not form a real date-time. The image is
/// never read past its end: records that would run past it are dropped (see the
/// implementation for the exact rule). details, when given, is always filled.
int DecodeMemoryImage(const MemoryImage& image, DataSetCollection& collection, const QDateTime& fallbackNow,
                      DecodeDetails* details = nullptr);

} // namespace thermo4::core
