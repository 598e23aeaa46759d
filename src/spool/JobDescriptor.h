#pragma once
// The job descriptor: one fixed record of 101370 bytes that tells the server for whom
// a job is, who sends it and how to treat it.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

constexpr int kDescriptorSize = 101370;
constexpr int kRecipientSlots = 500;
// Bytes of text a recipient, sender or subject field holds.
constexpr int kTextFieldBytes = 200;
constexpr int kExpiryMaxDigits = 5;

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

// Checks a record against every rule of its layout and reads its fields: the length,
// the closing word 1, each length byte within its field and only zeros after each text
// (the spare byte too), the options exactly "ENABLED" or "DISABLED", the expiry 1 to 5
// digits, the recipients filling the slots from slot 0 and every other slot exactly
// "n/a". On failure returns nullopt and, when given, the reason in *problem.
std::optional<JobDescriptor> DecodeJobDescriptor(const QByteArray& bytes, QString* problem = nullptr);

// The same for the file at path, whose kind and size are checked before it is read:
// anything but a plain file of kDescriptorSize bytes is refused unread. Throws IoError when the
// file cannot be opened or read.
std::optional<JobDescriptor> ReadJobDescriptorFile(const QString& path, QString* problem = nullptr);

// An expiry a job can carry: 1 to 5 decimal digits.
bool IsExpiryText(const QString& text);
