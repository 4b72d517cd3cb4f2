#include "files/CollectionCommands.h"

#include "core/TDateTime.h"
#include "formats/CollectionFile.h"
#include "formats/FileSystem.h"
#include "link/Clock.h"
#include "logger/DataLogger.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"
#include "ui/SharedData.h"

#include <QDir>
#include <QFileInfo>

namespace thermo4::ui {

using namespace formats;

namespace {

FileDialogRequest collectionRequest(const AppServices& services, const char* caption, const char* filter) {
    FileDialogRequest request;
    request.caption = QLatin1String(caption);
    request.directory = services.paths.dataDir();
    request.filters = FileFilter::parse(QLatin1String(filter));
    request.defaultSuffix = QLatin1String(kCollectionSuffix);
    return request;
}

} // namespace

bool SaveCollection(MainFrame& frame) {
    const AppServices& services = frame.services();
    LoggerData& logger = frame.loggerData();
    Prompts& prompts = *services.prompts;
    FileDialogRequest request = collectionRequest(services, "Save As", kCollectionSaveFilter);
    // The replace question is asked here, so that a confirmed answer is acted on.
    request.overwritePrompt = false;
    QString path;
    for (;;) {
        const FileDialogResult chosen = prompts.saveFile(request);
        if (!chosen.accepted())
            return false;
        path = chosen.path;
        if (KindOf(path) == PathKind::Missing)
            break;
        const QString question = QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                     .arg(QDir::toNativeSeparators(AbsolutePath(path)));
        if (prompts.question(question, false) == Answer::Yes)
            break;
        // No: back to the dialog, as a file dialog does.
        request.fileName = path;
    }
    // Nothing loaded yet: nothing to write.
    if (logger.image.isEmpty())
        return false;
    // The image the shown data sets came from, not the temporary copy, which a
    // failed write or another running instance may have left stale.
    QString error;
    if (!WriteImageFile(path, logger.image, &error)) {
        prompts.error(QStringLiteral("%1 was not saved: %2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    logger.loggerUnsaved = false;
    return true;
}

void OpenCollection(MainFrame& frame) {
    const AppServices& services = frame.services();
    OpenLoggerGraph(frame, core::TDateTimeFromDateTime(services.clock->now()));
    const FileDialogResult chosen =
        services.prompts->openFile(collectionRequest(services, "Open", kCollectionOpenFilter));
    if (!chosen.accepted())
        return;
    core::MemoryImage image;
    if (ReadImageFile(chosen.path, image) != ImageFileRead::Ok)
        return;
    // Opening does not mark the data as unsaved: they came from a file.
    ShowLoadedImage(frame, image);
}

} // namespace thermo4::ui
