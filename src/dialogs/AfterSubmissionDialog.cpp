#include "dialogs/AfterSubmissionDialog.h"

AfterSubmissionDialog::AfterSubmissionDialog(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("AfterSubmissionDialog"));
}
