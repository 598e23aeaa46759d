#include "dialogs/pvx_post.h"

Tpost::Tpost(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("Tpost"));
}
