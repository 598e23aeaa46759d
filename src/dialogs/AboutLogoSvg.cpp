// The logo drawn from the SVG built into the program, sharp at any screen scale.
#include "dialogs/AboutLogo.h"

#include <QPainter>
#include <QSvgRenderer>

QPixmap aboutLogo(QSize size, qreal scale)
{
    Q_INIT_RESOURCE(AboutDialog);
    QPixmap pixmap(size * scale);
    pixmap.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/parvelaclient-logo.svg"));
    QPainter painter(&pixmap);
    svg.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}
