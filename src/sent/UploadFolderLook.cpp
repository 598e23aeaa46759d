#include "sent/UploadFolderLook.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

enum Entry { Lock, Descriptor, Folder, Message, NoEntry };

Entry entryOf(QStringView extension)
{
    if (extension == u"lck")
        return Lock;
    if (extension == u"pvx")
        return Descriptor;
    if (extension == u"dir")
        return Folder;
    if (extension == u"msg")
        return Message;
    return NoEntry;
}

const QString kExtensions[] = {QStringLiteral(".lck"), QStringLiteral(".pvx"), QStringLiteral(".dir"),
                               QStringLiteral(".msg")};

// The folder itself may be reached (through a link, too: the administrator chose it),
// and listed.
bool canList(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

} // namespace

UploadFolderLook::UploadFolderLook(const QString& folder, const QSet<QString>& names) : m_folder(folder)
{
    m_reachable = canList(folder);
    if (!m_reachable)
        return;
    m_seen.reserve(names.size());
    for (const QString& name : names)
        m_seen.insert(name, JobEntriesSeen());

    // The iterator tells a link, a folder and a file apart from the listing itself
    // where the file system says (no status call), and never follows a link: only
    // what is not a link is asked whether it is a folder.
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString file = it.fileName();
        if (file.size() < 5 || file[file.size() - 4] != u'.')
            continue;
        const Entry entry = entryOf(QStringView(file).right(3));
        if (entry == NoEntry)
            continue;
        const auto found = m_seen.find(QStringView(file).chopped(4).toString());
        if (found == m_seen.end())
            continue;
        JobEntriesSeen& seen = found.value();
        const QFileInfo info = it.fileInfo();
        const bool link = info.isSymLink();
        if (entry == Lock) {
            seen.lockNamed = true;
            seen.lockFile = !link && info.isFile();
            continue;
        }
        ++seen.named;
        if (!link && (entry == Folder ? info.isDir() : info.isFile()))
            ++seen.whole;
    }

    // A lock found is asked whether its writer holds it; the probe opens it without
    // following a link.
    const filetree::FileSystem& fs = filetree::native();
    std::unique_ptr<filetree::Folder> handle;
    for (auto it = m_seen.begin(); it != m_seen.end(); ++it) {
        if (!it->lockFile)
            continue;
        try {
            if (!handle)
                handle = fs.openFolder(QFile::encodeName(folder));
            it->lock = fs.probeLock(*handle, QFile::encodeName(it.key() + kExtensions[Lock]), nullptr);
        } catch (const IoError&) {
            it->lock = filetree::LockProbe::Unknown; // the folder went away meanwhile: nobody can tell
        }
    }
}

const JobEntriesSeen* UploadFolderLook::seen(const QString& name) const
{
    if (!m_reachable)
        return nullptr;
    const auto found = m_seen.constFind(name);
    return found == m_seen.cend() ? nullptr : &found.value();
}

bool UploadFolderLook::confirmGone(const QString& name) const
{
    for (const QString& extension : kExtensions) {
        const QFileInfo info(m_folder + name + extension);
        if (info.isSymLink() || info.exists())
            return false;
    }
    // Asked last: a folder that went away makes every name look free.
    return canList(m_folder);
}
