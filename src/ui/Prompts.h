#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QPrinter;

namespace thermo4::ui {

/// Answer to a question box; Other is the third button of questionWithThird.
enum class Answer { Yes, No, Cancel, Other };

/// One file type of a file dialog: description and mask, as in "TXT file(*.txt,...)" and "*.TXT".
struct FileFilter {
    QString description;
    QString mask;

    /// Splits a stored "description|mask|description|mask" filter into its pairs;
    /// a trailing description without a mask is dropped.
    static QList<FileFilter> parse(const QString& pairs);
    bool operator==(const FileFilter&) const = default;
};

/// What an open or save dialog is asked to show.
struct FileDialogRequest {
    QString caption;
    QString directory;
    QString fileName;
    QList<FileFilter> filters;
    /// Index into filters selected when the dialog opens.
    int filterIndex = 0;
    /// Extension given to a typed name without one (no dot, e.g. "GHF").
    QString defaultSuffix;
    /// Save only: ask before replacing an existing file.
    bool overwritePrompt = true;
    /// Called when the user picks another file type, with its index and the name
    /// typed so far; returns the name to show instead (e.g. with the new extension).
    std::function<QString(int filterIndex, const QString& fileName)> typeChange;

    /// A "Save As" dialog in directory over a stored filter: a typed name without an
    /// extension gets defaultSuffix, and choosing another type gives the name its extension.
    static FileDialogRequest saveAs(const QString& directory, const QString& filter,
                                    const QString& defaultSuffix);
};

/// The user's choice in a file dialog; path is empty when the dialog was cancelled.
struct FileDialogResult {
    QString path;
    int filterIndex = 0;
    bool accepted() const { return !path.isEmpty(); }
};

class Prompts;

/// The question asked before a save replaces an existing file it was not asked about.
QString ReplaceQuestion(const QString& path);

/// The file a save writes for the user's answer to a save dialog over filter: the chosen type's
/// extension is added unless the name has the extension of one of the filter's types
/// (formats::SavePathForType). When that names another file and it exists, asks before
/// replacing it; empty when the user says No.
QString ConfirmedSavePath(Prompts& prompts, const FileDialogResult& chosen, const QString& filter);

/// A full path typed into a file dialog's name field after other text ("run.TXT/home/u/x.txt")
/// comes back inside the dialog's folder. When the folder of `chosen` does not exist, the path
/// from the first "/" after `directory` whose folder exists (and is not the root) is the one
/// meant; otherwise `chosen` stays.
QString TypedFullPath(const QString& directory, const QString& chosen);

/// Every message box and standard dialog the windows show goes through this, so
/// tests can answer them without a screen and check the texts shown.
class Prompts {
public:
    virtual ~Prompts() = default;

    /// A confirmation: Yes and No, plus Cancel when withCancel.
    virtual Answer question(const QString& text, bool withCancel = true) = 0;
    /// A question with Yes, No and a third button captioned third (e.g. "Delete"), which
    /// answers Other; closing the box answers No, the choice that changes nothing.
    virtual Answer questionWithThird(const QString& text, const QString& third) = 0;
    /// Yes or No before something that cannot be undone: No is the default button, and
    /// Escape or closing the box answers No. True only for Yes.
    virtual bool confirm(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    virtual FileDialogResult openFile(const FileDialogRequest& request) = 0;
    virtual FileDialogResult saveFile(const FileDialogRequest& request) = 0;
    /// The chosen colour, or nothing when cancelled.
    virtual std::optional<QColor> color(const QColor& initial) = 0;
    /// The chosen font, or nothing when cancelled.
    virtual std::optional<QFont> font(const QFont& initial) = 0;
    /// The print dialog on printer (which keeps the choice: printer, pages, a PDF
    /// file); false when cancelled.
    virtual bool print(QPrinter& printer) = 0;
};

} // namespace thermo4::ui
