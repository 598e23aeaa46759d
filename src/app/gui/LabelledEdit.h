#pragma once
// A labelled edit: a label and a one-line edit side by side; clicks on the label and
// on the edit are reported.
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class ClickLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class LabelledEdit : public QWidget {
    Q_OBJECT
public:
    // labelWidth: the label's column, so that edits placed under each other line up.
    LabelledEdit(const QString& name, int labelWidth, QWidget* parent = nullptr);

    ClickLabel* subLabel() const { return m_label; }
    ClickLineEdit* edit() const { return m_edit; }
    QString text() const { return m_edit->text(); }
    void setText(const QString& text) { m_edit->setText(text); }
    void setLabelText(const QString& text) { m_label->setText(text); }
    // Places the edit box at editRect (in the parent's coordinates) with the label to
    // its left, as wide as its text, 3 pixels before the box and centred beside it.
    // From then on the two are placed only this way.
    void placeEdit(const QRect& editRect);

Q_SIGNALS:
    void subLabelClicked();
    void clicked();

private:
    ClickLabel* m_label;
    ClickLineEdit* m_edit;
};
