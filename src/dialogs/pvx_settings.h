#pragma once
// The Settings dialog. Shown without a modal run over the disabled main window; OK
// and Cancel hide it and leave their answer in cbapply.
#include <QWidget>

class QCheckBox;
class QPushButton;

class Tfsettings : public QWidget {
    Q_OBJECT
public:
    explicit Tfsettings(QWidget* parent = nullptr);

    QPushButton* Bok;
    QPushButton* Bcancel;
    QCheckBox* cbapply; // never visible: checked means apply

    bool applyRequested() const;

public Q_SLOTS:
    void BokClick();
    void BcancelClick();
};
