#pragma once
// The program's logo in the About box, size device-independent pixels at the screen's
// scale. Where it comes from depends on the build (cmake/Sources.cmake).
#include <QPixmap>
#include <QSize>

QPixmap aboutLogo(QSize size, qreal scale);
