// Qt's catalogues for the program's languages, built into the program: a Windows
// machine has no Qt installed to take them from.
#include "app/gui/QtTranslations.h"


QString carriedQtTranslations()
{
    Q_INIT_RESOURCE(QtTranslations);
    return QStringLiteral(":/qt-translations");
}
