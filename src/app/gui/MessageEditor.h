#pragma once
// The message editor RE: plain text of at most a fixed number of characters (a line
// break counts as one), however the text arrives: typed, pasted, dropped or loaded.
// Tab moves on to the next control.
#include <QPlainTextEdit>

class MessageEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    MessageEditor(int limit, QWidget* parent = nullptr);

    // Shows text cut to its first limit characters.
    void setLimitedText(const QString& text);
    int characters() const { return document()->characterCount() - 1; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // How many characters may still go in where the cursor is (a selection is replaced).
    int room() const;

    int m_limit;
};
