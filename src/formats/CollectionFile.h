#pragma once

#include "core/MemoryImage.h"

#include <QString>

namespace thermo4::formats {

/// Save dialog filter of a collection file.
inline constexpr const char* kCollectionSaveFilter = "Data Set Collection file(*.ch4,only for thermo4)|*.CH4";
/// Open dialog filter of a collection file.
inline constexpr const char* kCollectionOpenFilter = "Data Sets Collection (*.CH4)|*.CH4";
inline constexpr const char* kCollectionSuffix = "CH4";
/// Largest collection or temporary file read (bytes). A meter's memory is
/// 262 144 bytes; anything far beyond that is not a logger image.
inline constexpr qint64 kMaxImageFileSize = 16 * 1024 * 1024;

/// How reading an image file ended.
enum class ImageFileRead { Ok, CannotOpen, Empty, TooLarge };

/// Replaces image with every byte of the file at path (a collection file or the
/// temporary copy). Only regular files are read (a pipe or device could block or
/// never end). On anything but Ok the image is left empty and error, when
/// given, says why, starting with the path: "<path>: no such file".
ImageFileRead ReadImageFile(const QString& path, core::MemoryImage& image, QString* error = nullptr);

/// Writes the image from offset 0 to path. An earlier file is replaced only once
/// the new one is complete. False (with the reason in error) when it fails.
bool WriteImageFile(const QString& path, const core::MemoryImage& image, QString* error = nullptr);

/// How copying the temporary file to a collection file ended.
enum class CollectionCopy {
    Copied,
    /// No temporary file: nothing was ever loaded; nothing written.
    NoSource,
    /// The target exists and replacing it was not allowed; it is untouched.
    TargetExists,
    /// Reading the source or writing the target failed; the target is untouched.
    Failed,
};

/// Copies source to target. An existing target is replaced only when replace is
/// set, and only once the copy is complete (never a half-written file).
CollectionCopy CopyCollectionFile(const QString& source, const QString& target, bool replace,
                                  QString* error = nullptr);

} // namespace thermo4::formats
