#include "recipients/gui/ContactsPicker.h"

ContactsPicker::ContactsPicker(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("ContactsPicker"));
}
