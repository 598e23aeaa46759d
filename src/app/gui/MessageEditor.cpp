#include "app/gui/MessageEditor.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

MessageEditor::MessageEditor(int limit, QWidget* parent) : QPlainTextEdit(parent), m_limit(limit)
{
    setTabChangesFocus(true);
}

void MessageEditor::setLimitedText(const QString& text)
{
    setPlainText(text.left(m_limit));
}

int MessageEditor::room() const
{
    const QTextCursor cursor = textCursor();
    return m_limit - characters() + (cursor.selectionEnd() - cursor.selectionStart());
}

void MessageEditor::keyPressEvent(QKeyEvent* event)
{
    // A key that would type a character (Enter types a line break) is refused when the
    // editor is full; everything else (moving, deleting, shortcuts) goes through.
    const QString text = event->text();
    const bool types = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
        || (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & Qt::ControlModifier));
    if (types && !isReadOnly() && room() < 1) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MessageEditor::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    if (commit.size() > room()) {
        QInputMethodEvent cut(event->preeditString(), event->attributes());
        cut.setCommitString(commit.left(qMax(0, room())), event->replacementStart(), event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&cut);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void MessageEditor::insertFromMimeData(const QMimeData* source)
{
    // Pasted and dropped text: as much as there is room for, from its beginning.
    if (!source || !source->hasText())
        return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    const int fits = qMax(0, room());
    if (text.size() > fits)
        QApplication::beep();
    QTextCursor cursor = textCursor();
    cursor.insertText(text.left(fits));
    setTextCursor(cursor);
    ensureCursorVisible();
}
