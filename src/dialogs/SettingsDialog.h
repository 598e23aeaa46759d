#pragma once
// The Settings dialog. Shown without a modal run over the disabled main window; OK
// and Cancel hide it and leave their answer in the hidden check box cbapply.
#include <QWidget>

class QCheckBox;
class QPushButton;

class SettingsDialog : public QWidget {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);

private Q_SLOTS:
    void confirm();
    void cancel();

private:
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QCheckBox* m_applyBox; // never visible: checked means apply
};
