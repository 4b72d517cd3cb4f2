#include "ui/QtPrompts.h"

#include "formats/FileSystem.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

namespace thermo4::ui {

namespace {
const QString kBoxTitle = QStringLiteral("thermo4");
} // namespace

Answer QtPrompts::question(const QString& text, bool withCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    switch (QMessageBox::question(m_parent, kBoxTitle, text, buttons, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Closing the box with Escape or its close button counts as the safest answer.
        return withCancel ? Answer::Cancel : Answer::No;
    }
}

Answer QtPrompts::questionWithThird(const QString& text, const QString& third) {
    QMessageBox box(QMessageBox::Question, kBoxTitle, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    QPushButton* other = box.addButton(third, QMessageBox::DestructiveRole);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    if (box.clickedButton() == other)
        return Answer::Other;
    return box.clickedButton() == box.button(QMessageBox::Yes) ? Answer::Yes : Answer::No;
}

bool QtPrompts::confirm(const QString& text) {
    QMessageBox box(QMessageBox::Question, kBoxTitle, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

void QtPrompts::information(const QString& text) {
    QMessageBox::information(m_parent, kBoxTitle, text);
}

void QtPrompts::warning(const QString& text) {
    QMessageBox::warning(m_parent, kBoxTitle, text);
}

void QtPrompts::error(const QString& text) {
    QMessageBox::critical(m_parent, kBoxTitle, text);
}

QStringList QtPrompts::nameFilters(const QList<FileFilter>& filters) {
    QStringList result;
    for (const FileFilter& filter : filters) {
        QStringList masks;
        for (const QString& part : filter.mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString mask = part.trimmed();
            if (mask.isEmpty())
                continue;
            masks.append(mask);
            if (mask.toLower() != mask)
                masks.append(mask.toLower());
        }
        result.append(filter.description.trimmed() + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) +
                      QLatin1Char(')'));
    }
    return result;
}

FileDialogResult QtPrompts::runFileDialog(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(m_parent, request.caption, request.directory);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && request.overwritePrompt));
    const QStringList filters = nameFilters(request.filters);
    const auto typeChosen = [&](int index) {
        // A typed name without an extension gets the chosen type's, not always the first one's.
        if (!request.defaultSuffix.isEmpty() && index >= 0 && index < request.filters.size()) {
            const QString suffix = maskSuffix(request.filters[index].mask);
            dialog.setDefaultSuffix(suffix.isEmpty() ? request.defaultSuffix : suffix);
        }
    };
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.filterIndex, filters.first()));
        typeChosen(static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const int index = static_cast<int>(filters.indexOf(filter));
        typeChosen(index);
        if (!request.typeChange)
            return;
        // With the name field empty the dialog reports its folder: there is no name to change.
        const QStringList typed = dialog.selectedFiles();
        if (typed.isEmpty() || QFileInfo(typed.first()).isDir())
            return;
        const QString name = request.typeChange(index, typed.first());
        if (!name.isEmpty())
            dialog.selectFile(name);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString shown = dialog.selectedFiles().first();
    if (save) {
        const QString typed = TypedFullPath(dialog.directory().absolutePath(), shown);
        // The dialog asked about the name as it read it; ask again about the one meant.
        if (typed != shown && request.overwritePrompt && QFileInfo::exists(typed) &&
            question(ReplaceQuestion(typed), false) != Answer::Yes)
            return {};
        shown = typed;
    }
    // The dialog shows names that are not UTF-8 with U+FFFD: the file meant is the one on disk.
    QString reason;
    const QString path = formats::PathOnDisk(shown, &reason);
    if (path.isEmpty()) {
        error(reason);
        return {};
    }
    return {path, static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))};
}

QString QtPrompts::maskSuffix(const QString& mask) {
    // "*.TXT" (with any blanks around it) gives "TXT"; a mask with more wildcards gives nothing.
    const QString first = mask.split(QLatin1Char(';'), Qt::SkipEmptyParts).value(0).trimmed();
    if (!first.startsWith(QLatin1String("*.")))
        return {};
    const QString suffix = first.mid(2);
    return suffix.contains(QLatin1Char('*')) || suffix.contains(QLatin1Char('?')) ? QString() : suffix;
}

FileDialogResult QtPrompts::openFile(const FileDialogRequest& request) {
    return runFileDialog(request, false);
}

FileDialogResult QtPrompts::saveFile(const FileDialogRequest& request) {
    return runFileDialog(request, true);
}

std::optional<QColor> QtPrompts::color(const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, m_parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QFont> QtPrompts::font(const QFont& initial) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, m_parent);
    if (!ok)
        return std::nullopt;
    return chosen;
}

bool QtPrompts::print(QPrinter& printer) {
    QPrintDialog dialog(&printer, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace thermo4::ui
