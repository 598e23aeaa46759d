#pragma once
// The About dialog.
#include <QWidget>

class QPushButton;

class Tparvelaclientabout : public QWidget {
    Q_OBJECT
public:
    explicit Tparvelaclientabout(QWidget* parent = nullptr);

    QPushButton* OKButton;
};
