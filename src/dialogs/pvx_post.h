#pragma once
// The dialog after a submission: Reset, Continue or Quit.
#include <QWidget>

class Tpost : public QWidget {
    Q_OBJECT
public:
    explicit Tpost(QWidget* parent = nullptr);
};
