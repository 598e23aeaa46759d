#pragma once
// The dialog after a submission: Reset, Continue or Quit.
#include <QWidget>

class AfterSubmissionDialog : public QWidget {
    Q_OBJECT
public:
    explicit AfterSubmissionDialog(QWidget* parent = nullptr);
};
