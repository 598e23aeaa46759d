#pragma once
// The contacts picker.
#include <QWidget>

class Tadr : public QWidget {
    Q_OBJECT
public:
    explicit Tadr(QWidget* parent = nullptr);
};
