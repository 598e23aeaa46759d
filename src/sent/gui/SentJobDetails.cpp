#include "sent/gui/SentJobDetails.h"

#include "platform/gui/FontUnits.h"
#include "sent/gui/CloseKeys.h"
#include "sent/gui/SentJobsModel.h"
#include "platform/gui/FramePlace.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

SentJobDetails::SentJobDetails(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("SentJobDetails"));
    resize(FontUnits::of(this).size(560, 460));
    auto* layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("SentJobDetailsText"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The labels stand in a column of their own.
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("BsentDetailsClose"));
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    AddCloseKeys(this);
}

void SentJobDetails::showRecord(const SentRecord& record, const QString& stateText, const SentJobsTexts& texts,
                                const QLocale& locale)
{
    m_record = record;
    retranslate(stateText, texts, locale);
    // Over the window it was opened from; while it stays open, where the user puts it.
    if (!isVisible() && parentWidget()) {
        CentreFrameOn(*this, parentWidget()->window()->frameGeometry().center());
    }
    show();
    raise();
    activateWindow();
}

void SentJobDetails::retranslate(const QString& stateText, const SentJobsTexts& texts, const QLocale& locale)
{
    setWindowTitle(texts.detailsTitle + QStringLiteral(" - ") + m_record.name);
    m_close->setText(texts.close);
    m_text->setPlainText(describe(m_record, stateText, texts, locale));
    m_text->setAccessibleName(texts.detailsTitle);
}

QString SentJobDetails::describe(const SentRecord& r, const QString& stateText, const SentJobsTexts& t,
                                 const QLocale& locale)
{
    QList<std::pair<QString, QString>> fields = {
        {t.job, r.name},
        {t.uploadFolder, r.uploadFolder},
        {t.started, SentJobsModel::localTime(r.started)},
        {t.ended, SentJobsModel::localTime(r.ended)},
        {t.stateLabel, stateText},
        {t.recipientsLabel, r.recipients.join(QStringLiteral(", "))},
        {t.subjectLabel, r.subject},
        {t.expires, r.expireHours + u' ' + t.hours},
        {t.encrypted, r.encrypted ? t.yes : t.no},
        {t.selfExtracting, r.selfExtracting ? t.yes : t.no},
        {t.files, locale.toString(r.files)},
        {t.folders, locale.toString(r.folders)},
        {t.sizeLabel, locale.formattedDataSize(r.bytes, 1, QLocale::DataSizeTraditionalFormat) +
                          QStringLiteral(" (") + locale.toString(r.bytes) + u')'},
    };
    qsizetype width = 0;
    for (const auto& field : std::as_const(fields))
        width = qMax(width, field.first.size());
    QString text;
    for (const auto& [label, value] : std::as_const(fields))
        text += label.leftJustified(width + 2) + value + u'\n';
    auto block = [&text](const QString& heading, const QStringList& lines) {
        text += u'\n' + heading + u'\n';
        for (const QString& line : lines)
            text += QStringLiteral("  ") + line + u'\n';
    };
    if (!r.problem.isEmpty())
        block(t.why, r.problem.split(u'\n'));
    block(t.message, r.messageLines);
    block(t.log, r.logLines);
    text.chop(1);
    return text;
}
