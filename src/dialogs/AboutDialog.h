#pragma once
// The About dialog.
#include <QWidget>

class AboutDialog : public QWidget {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};
