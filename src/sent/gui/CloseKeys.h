#pragma once
// Escape and Ctrl+W close a window of the record of sent jobs, as they close the
// windows of other desktop programs that show a list or a document.
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

inline void AddCloseKeys(QWidget* window)
{
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        QObject::connect(new QShortcut(key, window), &QShortcut::activated, window, &QWidget::close);
}
