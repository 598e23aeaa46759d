#pragma once
// The About dialog: the program's version and the files and folder it works with.
// Not modal; its texts are English only.
#include <QWidget>

class QLabel;
class QPushButton;
struct AboutValues;

class AboutDialog : public QWidget {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // Fills the values afresh, centres the dialog on the screen and shows it; the
    // main window stays usable.
    void showValues(const AboutValues& values);

private:
    QLabel* m_logo;
    QLabel* m_applicationLine;
    QLabel* m_programFile;
    QLabel* m_policyFile;
    QLabel* m_uploadFolder;
    QLabel* m_policyVersion;
    QLabel* m_maxSize;
    QLabel* m_webAddress;
    QPushButton* m_okButton;
};
