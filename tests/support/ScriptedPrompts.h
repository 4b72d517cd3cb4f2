#pragma once

#include "ui/Prompts.h"

#include <QList>
#include <QQueue>

#include <functional>

namespace thermo4::ui {

/// Prompts answered from queues instead of a screen, for tests: every box and
/// dialog is recorded with its text, and answered with the next queued answer of
/// its kind. A prompt that finds no queued answer is counted in unanswered() and
/// gets the answer that changes least (Cancel, or a cancelled dialog).
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Question, Information, Warning, Error, OpenFile, SaveFile, Color, Font, Print };
    struct Shown {
        Kind kind;
        /// The message text, or the dialog's caption.
        QString text;
    };

    void queueAnswer(Answer answer) { m_answers.enqueue(answer); }
    void queueOpenFile(const QString& path, int filterIndex = 0) { m_openFiles.enqueue({path, filterIndex}); }
    void queueSaveFile(const QString& path, int filterIndex = 0) { m_saveFiles.enqueue({path, filterIndex}); }
    void queueColor(std::optional<QColor> color) { m_colors.enqueue(color); }
    void queueFont(std::optional<QFont> font) { m_fonts.enqueue(font); }
    /// Accepts the next print dialog after choose has set the printer up (for
    /// instance to print to a PDF file); an empty function cancels it.
    void queuePrint(std::function<void(QPrinter&)> choose) { m_prints.enqueue(std::move(choose)); }

    Answer question(const QString& text, bool withCancel = true) override;
    /// Recorded as a Question; a queued Cancel answers No, as closing the box does.
    Answer questionWithThird(const QString& text, const QString& third) override;
    /// Recorded as a Question; only a queued Yes confirms.
    bool confirm(const QString& text) override;
    void information(const QString& text) override { record(Kind::Information, text); }
    void warning(const QString& text) override { record(Kind::Warning, text); }
    void error(const QString& text) override { record(Kind::Error, text); }
    FileDialogResult openFile(const FileDialogRequest& request) override;
    FileDialogResult saveFile(const FileDialogRequest& request) override;
    std::optional<QColor> color(const QColor& initial) override;
    std::optional<QFont> font(const QFont& initial) override;
    bool print(QPrinter& printer) override;

    /// Everything shown so far, in order.
    const QList<Shown>& shown() const { return m_shown; }
    /// Texts shown of one kind, in order.
    QStringList texts(Kind kind) const;
    /// The requests the file dialogs were opened with, in order.
    const QList<FileDialogRequest>& fileRequests() const { return m_fileRequests; }
    /// Prompts that found no queued answer of their kind.
    int unanswered() const { return m_unanswered; }
    /// Queued answers not used yet (of every kind).
    int pending() const;
    void clear();

private:
    void record(Kind kind, const QString& text) { m_shown.append({kind, text}); }
    template <typename T> T take(QQueue<T>& queue, T fallback);

    QList<Shown> m_shown;
    QList<FileDialogRequest> m_fileRequests;
    QQueue<Answer> m_answers;
    QQueue<FileDialogResult> m_openFiles;
    QQueue<FileDialogResult> m_saveFiles;
    QQueue<std::optional<QColor>> m_colors;
    QQueue<std::optional<QFont>> m_fonts;
    QQueue<std::function<void(QPrinter&)>> m_prints;
    int m_unanswered = 0;
};

} // namespace thermo4::ui
