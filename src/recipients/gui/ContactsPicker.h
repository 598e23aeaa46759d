#pragma once
// The contacts picker.
#include <QWidget>

class ContactsPicker : public QWidget {
    Q_OBJECT
public:
    explicit ContactsPicker(QWidget* parent = nullptr);
};
