#pragma once
// The pieces job names and probe folders are made of: computer name, date digits and
// random text.
#include <QByteArray>
#include <QString>

QString ComputerNameText();
// What a probe of the upload folder (a test folder at start-up, a clock probe of a
// listing) carries to say whose it is: this computer's name, in Windows-1252.
QByteArray ProbeOwnerMark();
// The local date as YYYYMMDD, then (unless the time is 00:00:00) a blank and the time
// in the user's long time format.
QString DateStamp();
QString DigitsOnly(const QString& text);

enum class RandomMode {
    Numbers,           // digits only, from clock-based numbers
    DigitsUpper,       // digits and A-Z
    DigitsUpperLower,  // digits, A-Z and a-z
};
QString RandomText(int length, RandomMode mode);
