// Qt's catalogues are the system's, installed with Qt.
#include "app/gui/QtTranslations.h"

QString carriedQtTranslations()
{
    return {};
}
