// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/chmarchive.h"

#include <chm_lib.h>

#include <QFile>
#include <QFileInfo>

namespace help {

namespace {

// Nothing in a help file is this large; a bigger size is a damaged directory entry.
constexpr LONGUINT64 MaxObjectSize = 64u * 1024 * 1024;

QString untilNul(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return decodeHelpText(nul < 0 ? bytes : bytes.left(nul));
}

bool isPage(const QString &path)
{
    return path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
}

quint64 little(const QByteArray &bytes, qsizetype at, int size)
{
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

} // namespace

void ChmArchive::Closer::operator()(chmFile *f) const { chm_close(f); }

ChmArchive::ChmArchive(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    file_.reset(chm_open(QFile::encodeName(path).constData()));
    if (file_ && !compressedSectionIsSound())
        file_.reset();
    if (file_)
        readSystemRecord();
}

// chmlib trusts the tables that describe the compressed section: a damaged reset
// table or control record makes it read past its buffers or divide by zero. So
// they are checked here, the way chmlib will use them, before any compressed
// object is read.
bool ChmArchive::compressedSectionIsSound()
{
    const auto uncompressed = [this](const char *name, chmUnitInfo *ui) {
        return chm_resolve_object(file_.get(), name, ui) == CHM_RESOLVE_SUCCESS && ui->space == CHM_UNCOMPRESSED;
    };
    chmUnitInfo resetUnit{}, contentUnit{}, controlUnit{};
    if (!uncompressed("::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/"
                      "InstanceData/ResetTable",
                      &resetUnit) ||
        !uncompressed("::DataSpace/Storage/MSCompressed/Content", &contentUnit) ||
        !uncompressed("::DataSpace/Storage/MSCompressed/ControlData", &controlUnit))
        return true; // chmlib then reads no compressed object at all

    const auto readWhole = [this](chmUnitInfo *ui, LONGUINT64 limit) -> QByteArray {
        if (ui->length > limit)
            return {};
        QByteArray data(qsizetype(ui->length), Qt::Uninitialized);
        const LONGINT64 got = chm_retrieve_object(file_.get(), ui, reinterpret_cast<unsigned char *>(data.data()), 0,
                                                  LONGINT64(ui->length));
        return got == LONGINT64(ui->length) ? data : QByteArray();
    };

    const QByteArray control = readWhole(&controlUnit, 256);
    if (control.size() < 0x18 || control.mid(4, 4) != "LZXC")
        return false;
    quint64 resetInterval = little(control, 0x0c, 4);
    quint64 windowSize = little(control, 0x10, 4);
    const quint64 windowsPerReset = little(control, 0x14, 4);
    if (little(control, 0x08, 4) == 2) {
        resetInterval *= 0x8000;
        windowSize *= 0x8000;
    }
    const bool lzxWindow = windowSize >= (1u << 15) && windowSize <= (1u << 21) && (windowSize & (windowSize - 1)) == 0;
    if (!lzxWindow || resetInterval == 0 || resetInterval % (windowSize / 2) != 0 || windowsPerReset == 0 ||
        quint32(resetInterval / (windowSize / 2) * windowsPerReset) == 0)
        return false;

    const QByteArray reset = readWhole(&resetUnit, MaxObjectSize);
    if (reset.size() < 0x28 || little(reset, 0, 4) != 2)
        return false;
    const quint64 blockCount = little(reset, 4, 4);
    const quint64 tableOffset = little(reset, 12, 4);
    const quint64 uncompressedLength = little(reset, 16, 8);
    const quint64 compressedLength = little(reset, 24, 8);
    const quint64 blockLength = little(reset, 32, 8);
    if (blockLength != 0x8000 || blockCount == 0 || tableOffset > quint64(reset.size()) ||
        (quint64(reset.size()) - tableOffset) / 8 < blockCount || compressedLength > contentUnit.length ||
        uncompressedLength > blockCount * blockLength)
        return false;
    for (quint64 block = 0; block < blockCount; ++block) {
        const quint64 start = little(reset, qsizetype(tableOffset + block * 8), 8);
        const quint64 end =
            block + 1 < blockCount ? little(reset, qsizetype(tableOffset + block * 8 + 8), 8) : compressedLength;
        if (end < start || end - start > blockLength + 6144 || end > compressedLength)
            return false;
    }
    unpackedLength_ = uncompressedLength;
    return true;
}

ChmArchive::~ChmArchive() = default;

bool ChmArchive::contains(const QString &archivePath) const
{
    if (!file_)
        return false;
    const QByteArray name = archivePath.toUtf8();
    if (name.isEmpty() || name.size() > CHM_MAX_PATHLEN)
        return false;
    chmUnitInfo ui{};
    return chm_resolve_object(file_.get(), name.constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

std::optional<QByteArray> ChmArchive::read(const QString &archivePath) const
{
    if (!file_)
        return std::nullopt;
    const QByteArray name = archivePath.toUtf8();
    if (name.isEmpty() || name.size() > CHM_MAX_PATHLEN)
        return std::nullopt;
    chmUnitInfo ui{};
    if (chm_resolve_object(file_.get(), name.constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (ui.length > MaxObjectSize)
        return std::nullopt;
    if (ui.space != CHM_UNCOMPRESSED && (ui.start > unpackedLength_ || ui.length > unpackedLength_ - ui.start))
        return std::nullopt;
    QByteArray data(qsizetype(ui.length), Qt::Uninitialized);
    if (ui.length == 0)
        return data;
    const LONGINT64 got =
        chm_retrieve_object(file_.get(), &ui, reinterpret_cast<unsigned char *>(data.data()), 0, LONGINT64(ui.length));
    if (got != LONGINT64(ui.length))
        return std::nullopt;
    return data;
}

// #SYSTEM: a 4-byte version, then records of a 16-bit code, a 16-bit length and the
// data, all little-endian. Code 0 names the contents file, 1 the index, 2 the
// default topic, 3 the title.
void ChmArchive::readSystemRecord()
{
    const auto system = read(QStringLiteral("/#SYSTEM"));
    if (!system)
        return;
    const auto *bytes = reinterpret_cast<const unsigned char *>(system->constData());
    const qsizetype size = system->size();
    for (qsizetype pos = 4; pos + 4 <= size;) {
        const int code = bytes[pos] | (bytes[pos + 1] << 8);
        const int length = bytes[pos + 2] | (bytes[pos + 3] << 8);
        pos += 4;
        if (pos + length > size)
            break;
        const QByteArray data = system->mid(pos, length);
        switch (code) {
        case 0:
            contentsFile_ = untilNul(data);
            break;
        case 1:
            indexFile_ = untilNul(data);
            break;
        case 2:
            defaultTopic_ = untilNul(data);
            break;
        case 3:
            title_ = untilNul(data);
            break;
        default:
            break;
        }
        pos += length;
    }
}

std::vector<SitemapEntry> ChmArchive::sitemap(const QString &reference) const
{
    if (reference.isEmpty())
        return {};
    const auto bytes = read(archivePathOf(reference));
    return bytes ? parseSitemap(decodeHelpText(*bytes)) : std::vector<SitemapEntry>();
}

QString ChmArchive::firstReadableTopic(const std::vector<SitemapEntry> &entries) const
{
    for (const auto &entry : entries) {
        if (!entry.local.isEmpty() && read(withoutFragment(entry.local)))
            return entry.local;
        const QString inside = firstReadableTopic(entry.children);
        if (!inside.isEmpty())
            return inside;
    }
    return {};
}

QString ChmArchive::startTopic() const
{
    if (!file_)
        return {};
    if (!defaultTopic_.isEmpty()) {
        const QString topic = archivePathOf(defaultTopic_);
        if (read(withoutFragment(topic)))
            return topic;
    }
    for (const char *usual : {"/index.html", "/index.htm", "/default.html", "/default.htm"}) {
        if (read(QLatin1String(usual)))
            return QLatin1String(usual);
    }
    const QString first = firstReadableTopic(contents());
    if (!first.isEmpty())
        return first;
    struct Search {
        const ChmArchive *archive;
        QString page;
    } search{this, {}};
    chm_enumerate(
        file_.get(), CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES,
        [](chmFile *, chmUnitInfo *ui, void *context) -> int {
            auto *search = static_cast<Search *>(context);
            const QString path = QString::fromUtf8(ui->path);
            if (!isPage(path) || !search->archive->read(path))
                return CHM_ENUMERATOR_CONTINUE;
            search->page = path;
            return CHM_ENUMERATOR_SUCCESS;
        },
        &search);
    return search.page;
}

} // namespace help
