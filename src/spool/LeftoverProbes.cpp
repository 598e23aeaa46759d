#include "spool/LeftoverProbes.h"

#include "platform/Errors.h"
#include "util/NameParts.h"

#include <QFile>

namespace {

constexpr qsizetype kDigits = 20;
constexpr qsizetype kOwnerMarkMaxBytes = 1024;

bool ownerMarkIsMine(const filetree::FileSystem& fs, filetree::Folder& parent, const QByteArray& name)
{
    try {
        return fs.readEntry(parent, name, kOwnerMarkMaxBytes) == ProbeOwnerMark();
    } catch (const IoError&) {
        return false;
    }
}

// A test folder holds its owner's mark and its test file, plain files both, and nothing else.
bool isMyTestFolder(const filetree::FileSystem& fs, filetree::Folder& upload, const QByteArray& name)
{
    try {
        const std::unique_ptr<filetree::Folder> test = fs.openFolder(QFile::encodeName(upload.path()) + '/' + name);
        bool onlyProbeFiles = true;
        QString error;
        const bool listed = fs.forEachEntry(
            *test,
            [&onlyProbeFiles](const QByteArray& entry, filetree::Kind kind, bool link) {
                onlyProbeFiles = onlyProbeFiles && !link && kind == filetree::Kind::File &&
                                 (entry == kProbeOwnerFile || entry == "testfile.txt");
            },
            &error);
        return listed && onlyProbeFiles && ownerMarkIsMine(fs, *test, kProbeOwnerFile);
    } catch (const IoError&) {
        return false;
    }
}

} // namespace

bool IsProbeName(const QByteArray& name)
{
    if (name.size() != kDigits + 8 || !(name.endsWith(".pvltest") || name.endsWith(".pvltime")))
        return false;
    return std::all_of(name.cbegin(), name.cbegin() + kDigits, [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<qint64> UploadFolderNow(const filetree::FileSystem& fs, filetree::Folder& upload, QString* why)
{
    const QByteArray name = QFile::encodeName(RandomText(int(kDigits), RandomMode::Numbers) + QStringLiteral(".pvltime"));
    try {
        fs.writeFile(upload, name, ProbeOwnerMark(), false);
    } catch (const IoError& e) {
        *why = e.systemText();
        return std::nullopt;
    }
    const filetree::Status st = fs.entryStatus(upload, name);
    // Ours alone, made new a moment ago: it goes again whatever its status said.
    fs.remove(upload, name);
    if (st.kind != filetree::Kind::File) {
        *why = st.error.isEmpty() ? QStringLiteral("Not a regular file") : st.error;
        return std::nullopt;
    }
    return st.mtime;
}

LeftoverProbe LookAtLeftoverProbe(const QString& folder, const QByteArray& name, qint64 olderThan, bool remove)
{
    LeftoverProbe probe;
    if (!IsProbeName(name)) {
        probe.why = QStringLiteral("not a probe's name");
        return probe;
    }
    const filetree::FileSystem& fs = filetree::native();
    try {
        const std::unique_ptr<filetree::Folder> upload = fs.openFolder(QFile::encodeName(folder));
        const bool testFolder = name.endsWith(".pvltest");
        const filetree::Status st = fs.entryStatus(*upload, name);
        const filetree::Kind wanted = testFolder ? filetree::Kind::Folder : filetree::Kind::File;
        if (st.link || st.kind != wanted) {
            probe.why = QStringLiteral("not made as a probe is made");
            return probe;
        }
        if (!(testFolder ? isMyTestFolder(fs, *upload, name) : ownerMarkIsMine(fs, *upload, name))) {
            probe.why = QStringLiteral("not this computer's");
            return probe;
        }
        QString why;
        const std::optional<qint64> now = UploadFolderNow(fs, *upload, &why);
        if (!now) {
            probe.why = QStringLiteral("the upload folder's clock cannot be read (%1)").arg(why);
            return probe;
        }
        if (const qint64 age = (*now - st.mtime) / 1000000000; age < olderThan) {
            probe.why = QStringLiteral("made %1 s ago").arg(age);
            return probe;
        }
        probe.removable = true;
        if (remove) {
            probe.why = fs.remove(*upload, name);
            probe.removed = probe.why.isEmpty();
        }
    } catch (const IoError& e) {
        probe.why = e.systemText();
    }
    return probe;
}
