// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/zipfile.h"

#include <algorithm>
#include <memory>
#include <zip.h>

namespace exchange {

namespace {

struct ArchiveCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};
struct MemberCloser {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};
struct SourceFree {
    void operator()(zip_source_t *s) const { zip_source_free(s); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;
using MemberPtr = std::unique_ptr<zip_file_t, MemberCloser>;

QString errorText(zip_error_t *error) { return QString::fromUtf8(zip_error_strerror(error)); }

} // namespace

bool looksLikeZip(QByteArrayView bytes) { return bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06"); }

platform::Failure readZipMember(const QByteArray &zip, const char *name, qint64 limit, QByteArray &out)
{
    using platform::ErrorKind;
    const auto damaged = [](const QString &detail) {
        return platform::Failure{ErrorKind::Unreadable, QString("It is a damaged zip archive (%1).").arg(detail)};
    };
    const platform::Failure tooLarge{
        ErrorKind::Other, QString("Its %1 would unpack to more than %2.")
                              .arg(QString::fromUtf8(name), limit >= (1 << 20) ? QString("%1 MiB").arg(limit >> 20)
                                                                               : QString("%1 bytes").arg(limit))};
    out.clear();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(zip.constData(), zip_uint64_t(zip.size()), 0, &error);
    if (!source) {
        const QString detail = errorText(&error);
        zip_error_fini(&error);
        return damaged(detail);
    }
    ArchivePtr archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!archive) {
        zip_source_free(source);
        const QString detail = errorText(&error);
        zip_error_fini(&error);
        return damaged(detail);
    }
    zip_error_fini(&error);
    const zip_int64_t index = zip_name_locate(archive.get(), name, 0);
    if (index < 0)
        return {ErrorKind::WrongFormat, QString("It is a zip archive that holds no %1.").arg(QString::fromUtf8(name))};
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive.get(), zip_uint64_t(index), 0, &st) != 0)
        return damaged(QString::fromUtf8(zip_strerror(archive.get())));
    if ((st.valid & ZIP_STAT_SIZE) && st.size > zip_uint64_t(limit))
        return tooLarge;
    MemberPtr member(zip_fopen_index(archive.get(), zip_uint64_t(index), 0));
    if (!member)
        return damaged(QString::fromUtf8(zip_strerror(archive.get())));
    out.reserve(qsizetype(std::min<zip_uint64_t>(st.size, zip_uint64_t(limit))));
    char chunk[1 << 16];
    for (;;) {
        const zip_int64_t n = zip_fread(member.get(), chunk, sizeof chunk);
        if (n < 0) {
            out.clear();
            return damaged(QString::fromUtf8(zip_file_strerror(member.get())));
        }
        if (n == 0)
            break;
        if (out.size() + n > limit) {
            out.clear();
            return tooLarge;
        }
        // Grow by doubling, but never past the limit: headers that understate the size
        // must not double the memory a member may take.
        if (out.size() + n > out.capacity())
            out.reserve(qsizetype(std::min<qint64>(limit, std::max<qint64>(2 * out.capacity(), out.size() + n))));
        out.append(chunk, qsizetype(n));
    }
    return {};
}

platform::Failure writeZip(const char *name, const QByteArray &data, QByteArray &zip)
{
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFree> target(zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_t *archive = target ? zip_open_from_source(target.get(), ZIP_TRUNCATE, &error) : nullptr;
    if (!archive) {
        const QString why = errorText(&error);
        zip_error_fini(&error);
        return {platform::ErrorKind::Other, why};
    }
    zip_error_fini(&error);
    // The archive frees its source on close; the bytes are read from it afterwards.
    zip_source_keep(target.get());
    zip_source_t *member = zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
    const zip_int64_t index = member ? zip_file_add(archive, name, member, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        if (member)
            zip_source_free(member);
        const QString why = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        return {platform::ErrorKind::Other, why};
    }
    // The fastest deflate: a catalogue's text still shrinks to a third.
    zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
    if (zip_close(archive) != 0) {
        const QString why = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        return {platform::ErrorKind::Other, why};
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(target.get(), &st) != 0 || zip_source_open(target.get()) != 0) {
        return {platform::ErrorKind::Other, QStringLiteral("the archive could not be read back")};
    }
    zip.resize(qsizetype(st.size));
    const zip_int64_t n = zip_source_read(target.get(), zip.data(), st.size);
    zip_source_close(target.get());
    if (n != zip_int64_t(st.size)) {
        return {platform::ErrorKind::Other, QStringLiteral("the archive could not be read back")};
    }
    return {};
}

} // namespace exchange
