#include "util/CopyPlan.h"

#include "util/FolderLister.h"

#include <QSet>
#include <QtNumeric>

#include <cstring>

using namespace filetree;

namespace {

constexpr int kPathsShown = 5;

QByteArray joined(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// The last name in a path, ignoring trailing separators.
QByteArray lastName(const QByteArray& path)
{
    QByteArray p = path;
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    const QByteArray name = p.mid(p.lastIndexOf('/') + 1);
    // A root folder has no name of its own.
    return name.isEmpty() || name == "/" ? QByteArrayLiteral("root") : name;
}

// Whether path (with its links resolved) is folder or lies inside it.
bool isWithin(const QByteArray& path, const QByteArray& folder)
{
    if (path.isEmpty() || folder.isEmpty())
        return false;
    return path == folder || path.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

// One key per file or folder, however it was reached.
QByteArray keyOf(const FileId& id)
{
    if (!id.key.isEmpty())
        return id.key.toUtf8();
    QByteArray key(16, Qt::Uninitialized);
    memcpy(key.data(), &id.device, 8);
    memcpy(key.data() + 8, &id.inode, 8);
    return key;
}

class Walker {
public:
    Walker(const FileSystem& fs, CopyPlan& plan, const QByteArray& uploadFolder) : m_fs(fs), m_plan(plan), m_lister(fs)
    {
        const Status upload = fs.status(uploadFolder);
        if (upload.kind == Kind::Folder) {
            m_uploadId = upload.id;
            m_uploadCanonical = fs.canonical(uploadFolder);
        }
    }

    void addSource(const PlanSource& source)
    {
        m_plan.entryBytes.append(0);
        const QByteArray& path = source.path;
        const Status st = m_fs.status(path);
        if (st.kind == Kind::Missing) {
            problem(path, st.link ? QStringLiteral("it is a link that leads nowhere (%1)").arg(st.error)
                                  : QStringLiteral("it cannot be examined (%1)").arg(st.error));
            return;
        }
        if (st.kind != Kind::File && st.kind != Kind::Folder) {
            problem(path, QStringLiteral("it is %1, not a file or folder").arg(kindText(st.kind)));
            return;
        }
        if (st.systemFs) {
            problem(path, QStringLiteral("it lies on a system file system, whose files are views of the running "
                                         "system, not data"));
            return;
        }
        if (isUploadFolderOrInside(path)) {
            problem(path, QStringLiteral("it is the upload folder or lies inside it"));
            return;
        }
        // The same item selected twice (or under two names) is copied once; each
        // selection of it still counts.
        const QByteArray key = keyOf(st.id);
        if (const auto it = m_topBytes.constFind(key); it != m_topBytes.constEnd()) {
            m_plan.entryBytes.last() = it.value();
            return;
        }
        if (st.kind == Kind::File && !st.readable) {
            problem(path, QStringLiteral("it cannot be read (permission denied)"));
            return;
        }
        // Two different items with one name do not overwrite each other.
        const QByteArray name = FreeName(lastName(path), st.kind == Kind::File,
                                         [this](const QByteArray& n) { return m_namesUsed.contains(n); });
        m_namesUsed.insert(name);
        m_top = path;
        qint64 total = 0;
        const qint32 index = addItem(path, name, -1, st, name.size(), total);
        if (st.kind == Kind::Folder) {
            m_entered.insert(key);
            std::vector<FileId> ancestors{st.id};
            FolderLister::Folder top{path, st, false, {}, {}};
            m_lister.list(top);
            walk(index, top, name.size(), ancestors, total);
        }
        m_topBytes.insert(key, total);
        m_plan.entryBytes.last() = total;
    }

private:
    bool isUploadFolderOrInside(const QByteArray& path) const
    {
        return !m_uploadCanonical.isEmpty() && isWithin(m_fs.canonical(path), m_uploadCanonical);
    }

    void problem(const QByteArray& path, const QString& reason)
    {
        if (m_plan.problem.isEmpty())
            m_plan.problem = {shown(path), reason};
    }

    void add(qint64& total, qint64 n) const
    {
        if (qAddOverflow(total, n, &total))
            throw SizeOverflow(shown(m_top));
    }

    qint32 addItem(const QByteArray& source, const QByteArray& name, qint32 parent, const Status& st,
                   qint64 pathLength, qint64& entryTotal)
    {
        const qint32 index = qint32(m_plan.items.size());
        PlanItem& item = m_plan.items.emplace_back();
        item.size = st.size;
        item.mtime = st.mtime;
        item.ctime = st.ctime;
        item.device = st.id.device;
        item.inode = st.id.inode;
        item.parent = parent;
        item.folder = st.kind == Kind::Folder;
        item.name = m_plan.names.add(name);
        if (!source.isEmpty()) {
            item.source = qint32(m_plan.sources.size());
            m_plan.sources.append(source);
        }
        if (name.size() > m_plan.longestName) {
            m_plan.longestName = name.size();
            m_plan.longestNameItem = index;
        }
        if (pathLength > m_plan.longestPath) {
            m_plan.longestPath = pathLength;
            m_plan.longestPathItem = index;
        }
        add(m_plan.allocated, st.allocated);
        if (st.kind == Kind::File) {
            ++m_plan.files;
            add(m_plan.bytes, st.size);
            add(entryTotal, st.size);
        }
        return index;
    }

    void walk(qint32 folderIndex, const FolderLister::Folder& listing, qint64 folderLength,
              std::vector<FileId>& ancestors, qint64& entryTotal)
    {
        const QByteArray& folder = listing.path;
        if (!listing.listed) {
            problem(folder, QStringLiteral("its contents cannot be listed (%1)").arg(listing.error));
            return;
        }
        // Files first, then each sub-folder with everything below it: a folder is
        // always made before what goes into it. The sub-folders are listed ahead.
        std::vector<std::pair<const Listed*, FolderLister::Handle>> folders;
        for (const Listed& e : listing.entries) {
            const Status& s = e.status;
            // Made only where it is needed: most entries are plain files.
            const auto path = [&] { return joined(folder, e.name); };
            if (s.kind == Kind::Missing) {
                if (s.link)
                    m_plan.notFollowed.add(shown(path())); // a link that leads nowhere
                else if (!s.gone)
                    problem(path(), QStringLiteral("it cannot be examined (%1)").arg(s.error));
                continue; // else: gone since the listing
            }
            if (s.systemFs) {
                m_plan.notFollowed.add(shown(path()));
                continue;
            }
            if (s.kind == Kind::File) {
                if (s.link && isUploadFolderOrInside(path())) {
                    m_plan.notFollowed.add(shown(path()));
                } else if (!s.readable) {
                    problem(path(), QStringLiteral("it cannot be read (permission denied)"));
                } else {
                    addItem(QByteArray(), e.name, folderIndex, s, folderLength + 1 + e.name.size(), entryTotal);
                }
                continue;
            }
            if (s.kind != Kind::Folder) {
                m_plan.specials.add(shown(path())); // never opened
                continue;
            }
            if (s.link) {
                // A link to a folder already entered would copy it again, and links can
                // multiply a tree or lead round in a circle.
                if (m_entered.contains(keyOf(s.id)) || isUploadFolderOrInside(path())) {
                    m_plan.notFollowed.add(shown(path()));
                    continue;
                }
            } else {
                if (s.id == m_uploadId) {
                    problem(m_top, QStringLiteral("the upload folder %1 lies inside it").arg(shown(path())));
                    continue;
                }
                // A folder mounted inside itself.
                if (std::find(ancestors.begin(), ancestors.end(), s.id) != ancestors.end()) {
                    m_plan.notFollowed.add(shown(path()));
                    continue;
                }
            }
            m_entered.insert(keyOf(s.id));
            folders.emplace_back(&e, m_lister.expect(path(), s));
        }
        for (auto& [e, sub] : folders) {
            const qint64 length = folderLength + 1 + e->name.size();
            const qint32 index = addItem(QByteArray(), e->name, folderIndex, e->status, length, entryTotal);
            ancestors.push_back(e->status.id);
            walk(index, m_lister.take(sub), length, ancestors, entryTotal);
            ancestors.pop_back();
            sub.reset(); // its listing is done with
        }
    }

    const FileSystem& m_fs;
    CopyPlan& m_plan;
    FileId m_uploadId{~quint64(0), ~quint64(0), QStringLiteral("\n")};
    QByteArray m_uploadCanonical;
    QByteArray m_top; // the selected item being walked
    QSet<QByteArray> m_entered;
    QSet<QByteArray> m_namesUsed;
    QHash<QByteArray, qint64> m_topBytes;
    FolderLister m_lister;
};

} // namespace

void LeftOut::add(const QString& path)
{
    ++count;
    if (first.size() < kPathsShown)
        first.append(path);
}

quint32 PlanNames::add(const QByteArray& name)
{
    constexpr quint32 kBlock = 1u << kBlockBits;
    const quint32 size = quint32(name.size()) + 1; // with its closing zero
    if (size > kBlock)
        throw UserError(QStringLiteral("A name of %1 bytes is too long to be copied").arg(name.size()));
    if (m_used + size > kBlock) {
        if (m_blocks.size() >= (size_t(1) << (32 - kBlockBits)))
            throw UserError(QStringLiteral("Too many files: their names take more than 4 GiB"));
        // Not zeroed: a block's pages are touched only as names fill them, so a plan
        // of a few names costs a few pages, not a whole block's.
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlock));
        m_used = 0;
    }
    const quint32 place = quint32((m_blocks.size() - 1) << kBlockBits) | m_used;
    char* at = m_blocks.back().get() + m_used;
    memcpy(at, name.constData(), size_t(name.size()));
    at[name.size()] = '\0';
    m_used += size;
    return place;
}

QByteArray PlanNames::at(quint32 place) const
{
    const char* name = m_blocks[place >> kBlockBits].get() + (place & ((1u << kBlockBits) - 1));
    return QByteArray::fromRawData(name, qsizetype(std::strlen(name)));
}

filetree::Status PlanItem::expected() const
{
    Status s;
    s.kind = folder ? Kind::Folder : Kind::File;
    s.size = size;
    s.mtime = mtime;
    s.ctime = ctime;
    s.id.device = device;
    s.id.inode = inode;
    return s;
}

QByteArray CopyPlan::sourcePath(qint32 item) const
{
    QByteArray path;
    qint32 i = item;
    for (; items[size_t(i)].source < 0; i = items[size_t(i)].parent)
        path = path.isEmpty() ? nameOf(items[size_t(i)]) : nameOf(items[size_t(i)]) + '/' + path;
    const QByteArray& source = sources[items[size_t(i)].source];
    return path.isEmpty() ? source : joined(source, path);
}

QString CopyPlan::relativePath(qint32 item) const
{
    QByteArray path;
    for (qint32 i = item; i >= 0; i = items[size_t(i)].parent)
        path = path.isEmpty() ? nameOf(items[size_t(i)]) : nameOf(items[size_t(i)]) + '/' + path;
    return shown(path);
}

CopyPlan MakeCopyPlan(const FileSystem& fs, const QList<PlanSource>& sources, const QByteArray& uploadFolder)
{
    CopyPlan plan;
    Walker walker(fs, plan, uploadFolder);
    for (const PlanSource& source : sources)
        walker.addSource(source);
    return plan;
}

QByteArray FreeName(const QByteArray& name, bool isFile, const std::function<bool(const QByteArray&)>& taken)
{
    if (!taken(name))
        return name;
    // "report.doc" -> "report" + ".doc"; a leading dot ("notes" of ".notes") is no
    // extension, and folders keep their whole name.
    const qsizetype dot = isFile ? name.lastIndexOf('.') : -1;
    const QByteArray stem = dot > 0 ? name.left(dot) : name;
    const QByteArray extension = dot > 0 ? name.mid(dot) : QByteArray();
    for (int n = 2;; ++n) {
        const QByteArray candidate = stem + " (" + QByteArray::number(n) + ')' + extension;
        if (!taken(candidate))
            return candidate;
    }
}
