#include "sent/SentRecord.h"

#include "i18n/SentJobsTexts.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<SentOutcome, const char*>, 5> kOutcomeKeys{{
    {SentOutcome::Writing, "writing"},
    {SentOutcome::Complete, "complete"},
    {SentOutcome::Refused, "refused"},
    {SentOutcome::FailedRemoved, "failed-removed"},
    {SentOutcome::FailedLocked, "failed-locked"},
}};

} // namespace

bool SentRecord::isSettled() const
{
    return taken.isValid() || outcome == SentOutcome::Refused || outcome == SentOutcome::FailedRemoved;
}

QString OutcomeKey(SentOutcome outcome)
{
    for (const auto& [value, key] : kOutcomeKeys)
        if (value == outcome)
            return QString::fromLatin1(key);
    return {};
}

std::optional<SentOutcome> OutcomeFromKey(const QString& key)
{
    for (const auto& [value, text] : kOutcomeKeys)
        if (key == QLatin1String(text))
            return value;
    return std::nullopt;
}

QString StateKey(SentState state)
{
    switch (state) {
    case SentState::BeingWritten:
        return QStringLiteral("being-written");
    case SentState::Waiting:
        return QStringLiteral("waiting");
    case SentState::BeingTaken:
        return QStringLiteral("being-taken");
    case SentState::Taken:
        return QStringLiteral("taken");
    case SentState::Failed:
        return QStringLiteral("failed");
    case SentState::LeftLocked:
        return QStringLiteral("left-locked");
    case SentState::CannotTell:
        break;
    }
    return QStringLiteral("cannot-tell");
}

QString StateWords(const SentJobsTexts& texts, SentState state)
{
    switch (state) {
    case SentState::BeingWritten:
        return texts.beingWritten;
    case SentState::Waiting:
        return texts.waiting;
    case SentState::BeingTaken:
        return texts.beingTaken;
    case SentState::Taken:
        return texts.taken;
    case SentState::Failed:
        return texts.failed;
    case SentState::LeftLocked:
        return texts.leftLocked;
    case SentState::CannotTell:
        break;
    }
    return texts.cannotTell;
}

QString TakenNotificationText(const SentJobsTexts& texts, const SentRecord& record)
{
    QString text = texts.notification.arg(record.subject, record.recipients.value(0));
    if (record.recipients.size() > 1)
        text += texts.more.arg(record.recipients.size() - 1);
    return text;
}
