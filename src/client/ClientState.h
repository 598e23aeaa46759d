#pragma once
// The process-wide values every part of the program reads; one instance per run,
// filled at start-up.
#include <QString>

struct ClientState {
    QString ProductTitle;  // "Trovik Parvela Client"
    QString VersionText;   // "2007 - R1.2.6"
    QString ExeFolder;     // folder of the program file, without trailing separator
    QString PolicyFilePath;
    QString UserDataFolder; // ends in the separator
    QString RecipientCacheName = QStringLiteral("pvxto.txt");
    QString MessageCacheName = QStringLiteral("pvxcache.txt");
    QString UploadFolder;  // ends in the separator, at most 250 characters
    QString PolicyVersion = QStringLiteral("-1");
    QString MaxSize = QStringLiteral("1024");
    QString LanguageName;
    bool RememberTo = false;
    bool RememberMessage = false;
    bool OutlookEnabled = false;
    quint8 ColorScheme = 0;
    QString SenderName;
    QString SenderCompany;
    QString SenderEmail;
    // Files a job copies at once; 0: as many as suit the upload folder's file system.
    int CopyWorkers = 0;
    bool FirstRun = false;
    bool StartupFailed = false;

    QString recipientCachePath() const { return UserDataFolder + RecipientCacheName; }
    QString messageCachePath() const { return UserDataFolder + MessageCacheName; }
};

inline const QString kProductTitle = QStringLiteral("Trovik Parvela Client");
inline const QString kVersionText = QStringLiteral("2007 - R1.2.6");
inline const QString kApplicationTitle = QStringLiteral("Trovik Parvela Client 2007");
inline const QString kVendorAddress = QStringLiteral("www.trovik.example");
