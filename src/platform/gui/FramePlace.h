#pragma once
// Where the program puts a window it places itself: its frame (title bar and border
// included) centred on a point, over its owner or on the screen.
#include <QPoint>
#include <QRect>
#include <QWidget>

inline void CentreFrameOn(QWidget& window, QPoint centre)
{
    QRect frame = window.frameGeometry();
    frame.moveCenter(centre);
    window.move(frame.topLeft());
}
