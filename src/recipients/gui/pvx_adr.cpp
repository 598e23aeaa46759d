#include "recipients/gui/pvx_adr.h"

Tadr::Tadr(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("Tadr"));
}
