#pragma once
// The job descriptor: one fixed record of 101370 bytes that tells the server for whom
// a job is, who sends it and how to treat it.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

constexpr int kDescriptorSize = 101370;
constexpr int kRecipientSlots = 500;

struct JobDescriptor {
    QStringList recipients; // at most 500, no empty entries
    QString senderEmail;
    QString senderName;
    QString senderCompany;
    QString subject;
    bool encrypted = false;
    bool selfExtracting = false;
    QString expireHours;
};

// The record's bytes, texts in Windows-1252, undefined bytes zero.
QByteArray EncodeJobDescriptor(const JobDescriptor& d);

// Checks a record (length, closing word, every length byte within its field, filled
// recipient slots contiguous from slot 0) and reads its fields. On failure returns
// nullopt and, when given, the reason in *problem.
std::optional<JobDescriptor> DecodeJobDescriptor(const QByteArray& bytes, QString* problem = nullptr);
