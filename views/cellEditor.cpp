#include "views/cellEditor.h"

#include <QMimeData>
#include <QSignalBlocker>
#include <QTextCursor>

namespace marlo {

CellEditor::CellEditor(int limit, QWidget* parent) : QPlainTextEdit(parent), limit_(limit) {
    setAcceptDrops(true);
    // The backstop for input that comes neither typed nor pasted (an input method).
    connect(this, &QPlainTextEdit::textChanged, this, &CellEditor::KeepLimit);
}

QString CellEditor::Pastable(const QString& text, int room) {
    QString kept;
    kept.reserve(text.size());
    bool gap = false;
    for (const QChar c : text) {
        const bool breaks = c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator ||
                            c == QChar::ParagraphSeparator;
        if (breaks) {
            gap = true;
            continue;
        }
        if (!c.isPrint() && !c.isSurrogate())
            continue;
        if (gap && !kept.isEmpty())
            kept += u' ';
        gap = false;
        kept += c;
    }
    // Never leave half of a surrogate pair at the cut.
    int length = std::max(0, std::min(room, static_cast<int>(kept.size())));
    if (length > 0 && length < kept.size() && kept[length - 1].isHighSurrogate())
        --length;
    return kept.left(length);
}

bool CellEditor::canInsertFromMimeData(const QMimeData* source) const {
    return source != nullptr && source->hasText();
}

void CellEditor::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || isReadOnly() || !source->hasText())
        return;
    const QTextCursor cursor = textCursor();
    const int kept =
        document()->characterCount() - 1 - (cursor.selectionEnd() - cursor.selectionStart());
    insertPlainText(Pastable(source->text(), limit_ - kept));
}

void CellEditor::KeepLimit() {
    const QString text = toPlainText();
    if (text.size() <= limit_)
        return;
    QSignalBlocker block(this);
    setPlainText(text.left(limit_));
    moveCursor(QTextCursor::End);
}

} // namespace marlo
