#pragma once

#include "ui/Prompts.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace thermo4::ui {

/// The real prompts: Qt message boxes and the standard file, colour and font dialogs.
class QtPrompts : public Prompts {
public:
    /// Boxes are centred on parent when it is set (the main window).
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer question(const QString& text, bool withCancel = true) override;
    Answer questionWithThird(const QString& text, const QString& third) override;
    bool confirm(const QString& text) override;
    void information(const QString& text) override;
    void warning(const QString& text) override;
    void error(const QString& text) override;
    FileDialogResult openFile(const FileDialogRequest& request) override;
    FileDialogResult saveFile(const FileDialogRequest& request) override;
    std::optional<QColor> color(const QColor& initial) override;
    std::optional<QFont> font(const QFont& initial) override;
    bool print(QPrinter& printer) override;

    /// Qt name filters for filters: "description (masks)", each mask also in lower
    /// case so that "*.GHF" finds "a.ghf" on a case-sensitive file system.
    static QStringList nameFilters(const QList<FileFilter>& filters);
    /// The extension a mask such as "*.TXT" gives a file ("TXT"); empty for other masks.
    static QString maskSuffix(const QString& mask);

private:
    FileDialogResult runFileDialog(const FileDialogRequest& request, bool save);

    QPointer<QWidget> m_parent;
};

} // namespace thermo4::ui
