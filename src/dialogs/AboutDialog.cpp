#include "dialogs/AboutDialog.h"

#include "dialogs/AboutLogo.h"

#include "client/ClientState.h"
#include "config/AboutValues.h"
#include "platform/gui/FontUnits.h"
#include "platform/gui/FramePlace.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr QSize kLogoSize(200, 150);

QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

// A path shown whole in the fixed-size dialog: a long one wraps after any separator
// (a zero-width space there); the tool tip holds it as it is.
void showPath(QLabel* label, const QString& path)
{
    QString shown = path;
    shown.replace(u'/', QStringLiteral("/\u200B"));
    shown.replace(u'\\', QStringLiteral("\\\u200B"));
    label->setText(shown);
    label->setToolTip(path);
}
} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("Parvela Client About"));
    PlaceOnFontChange(this, [this] { setFixedSize(FontUnits::of(this).size(512, 424)); });
    // The background is the shade of a button's shadow, as the desktop draws it.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Dark));
    setPalette(pal);
    setAutoFillBackground(true);

    m_logo = label(QStringLiteral("Image1"), QString(), this);
    m_logo->setFixedSize(kLogoSize);
    m_logo->setPixmap(aboutLogo(kLogoSize, devicePixelRatioF()));
    m_applicationLine = label(QStringLiteral("Lappver"), QString(), this);
    QFont big = m_applicationLine->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    QFont bold = big;
    bold.setBold(true);
    m_applicationLine->setFont(bold);
    m_applicationLine->setAlignment(Qt::AlignCenter);

    m_programFile = label(QStringLiteral("Lexefile"), QString(), this);
    m_policyFile = label(QStringLiteral("Linifile"), QString(), this);
    m_uploadFolder = label(QStringLiteral("Luploadpath"), QString(), this);
    m_policyVersion = label(QStringLiteral("Lpolver"), QString(), this);
    m_maxSize = label(QStringLiteral("Lmaxsize"), QString(), this);
    auto* values = new QGridLayout;
    values->setHorizontalSpacing(8);
    values->setColumnStretch(1, 1);
    const std::pair<QLabel*, QLabel*> rows[] = {
        {label(QStringLiteral("Label6"), QStringLiteral("EXE file:"), this), m_programFile},
        {label(QStringLiteral("Label2"), QStringLiteral("INI file:"), this), m_policyFile},
        {label(QStringLiteral("Label4"), QStringLiteral("Upload path:"), this), m_uploadFolder},
        {label(QStringLiteral("Label3"), QStringLiteral("Policy version:"), this), m_policyVersion},
        {label(QStringLiteral("Label5"), QStringLiteral("Maximum size:"), this), m_maxSize},
    };
    int row = 0;
    for (const auto& [name, value] : rows) {
        value->setWordWrap(true);
        values->addWidget(name, row, 0, Qt::AlignTop);
        values->addWidget(value, row, 1, Qt::AlignTop);
        ++row;
    }

    m_webAddress = label(QStringLiteral("Label1"), kVendorAddress, this);
    m_webAddress->setFont(big);
    m_webAddress->setAlignment(Qt::AlignCenter);
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("Bok"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(m_logo, 0, Qt::AlignHCenter);
    layout->addWidget(m_applicationLine);
    layout->addSpacing(8);
    layout->addLayout(values);
    layout->addStretch(1);
    layout->addWidget(m_webAddress);
    layout->addSpacing(8);
    layout->addWidget(m_okButton, 0, Qt::AlignHCenter);
    connect(m_okButton, &QPushButton::clicked, this, &QWidget::hide);
}

void AboutDialog::showValues(const AboutValues& v)
{
    m_applicationLine->setText(v.applicationLine);
    showPath(m_programFile, v.programFile);
    showPath(m_policyFile, v.policyFile);
    showPath(m_uploadFolder, v.uploadFolder);
    m_policyVersion->setText(v.policyVersion);
    m_maxSize->setText(v.maxSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        CentreFrameOn(*this, screen->availableGeometry().center());
    show();
    raise();
}
