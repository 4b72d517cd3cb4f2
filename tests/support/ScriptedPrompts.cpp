#include "support/ScriptedPrompts.h"

namespace thermo4::ui {

template <typename T> T ScriptedPrompts::take(QQueue<T>& queue, T fallback) {
    if (queue.isEmpty()) {
        ++m_unanswered;
        return fallback;
    }
    return queue.dequeue();
}

Answer ScriptedPrompts::question(const QString& text, bool withCancel) {
    record(Kind::Question, text);
    const Answer answer = take(m_answers, withCancel ? Answer::Cancel : Answer::No);
    // A box without Cancel cannot return it, nor the third answer of questionWithThird.
    if (answer == Answer::Other)
        return withCancel ? Answer::Cancel : Answer::No;
    return (!withCancel && answer == Answer::Cancel) ? Answer::No : answer;
}

Answer ScriptedPrompts::questionWithThird(const QString& text, const QString&) {
    record(Kind::Question, text);
    const Answer answer = take(m_answers, Answer::No);
    return answer == Answer::Cancel ? Answer::No : answer;
}

bool ScriptedPrompts::confirm(const QString& text) {
    record(Kind::Question, text);
    return take(m_answers, Answer::No) == Answer::Yes;
}

FileDialogResult ScriptedPrompts::openFile(const FileDialogRequest& request) {
    record(Kind::OpenFile, request.caption);
    m_fileRequests.append(request);
    return take(m_openFiles, FileDialogResult{});
}

FileDialogResult ScriptedPrompts::saveFile(const FileDialogRequest& request) {
    record(Kind::SaveFile, request.caption);
    m_fileRequests.append(request);
    return take(m_saveFiles, FileDialogResult{});
}

std::optional<QColor> ScriptedPrompts::color(const QColor& initial) {
    record(Kind::Color, initial.name());
    return take(m_colors, std::optional<QColor>{});
}

std::optional<QFont> ScriptedPrompts::font(const QFont& initial) {
    record(Kind::Font, initial.family());
    return take(m_fonts, std::optional<QFont>{});
}

bool ScriptedPrompts::print(QPrinter& printer) {
    record(Kind::Print, QStringLiteral("Print"));
    const std::function<void(QPrinter&)> choose = take(m_prints, std::function<void(QPrinter&)>{});
    if (!choose)
        return false;
    choose(printer);
    return true;
}

QStringList ScriptedPrompts::texts(Kind kind) const {
    QStringList result;
    for (const Shown& shown : m_shown) {
        if (shown.kind == kind)
            result.append(shown.text);
    }
    return result;
}

int ScriptedPrompts::pending() const {
    return static_cast<int>(m_answers.size() + m_openFiles.size() + m_saveFiles.size() + m_colors.size() +
                            m_fonts.size() + m_prints.size());
}

void ScriptedPrompts::clear() {
    m_shown.clear();
    m_fileRequests.clear();
    m_answers.clear();
    m_openFiles.clear();
    m_saveFiles.clear();
    m_colors.clear();
    m_fonts.clear();
    m_prints.clear();
    m_unanswered = 0;
}

} // namespace thermo4::ui
