// The logo from a bitmap made of the SVG when the program was built, at twice the
// dialog's size, scaled down smoothly to the screen's scale.
#include "dialogs/AboutLogo.h"

QPixmap aboutLogo(QSize size, qreal scale)
{
    Q_INIT_RESOURCE(AboutLogo);
    QPixmap pixmap = QPixmap(QStringLiteral(":/parvelaclient-logo.png"))
                         .scaled(size * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}
