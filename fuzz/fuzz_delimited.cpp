// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the delimited-text reader: any bytes are read or refused without a crash,
// every row keeps its cells, no row is blank, and what the reader gives, written again
// as CSV and read back, gives the same cells.
#include "exchange/cleanup.h"
#include "exchange/delimited.h"
#include "exchange/importer.h"
#include "platform/textdecode.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace exchange;
using namespace platform;

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray utf8;
    TextEncoding encoding;
    if (decodeText(bytes, utf8, encoding))
        return 0;
    if (!isValidUtf8(utf8))
        fail("decoded text that is not UTF-8", utf8);
    SourceTable table;
    if (readDelimited(utf8, detectDelimiter(utf8), table))
        return 0;
    if (table.rowCount() > 0 && table.buffer().size() > utf8.size())
        fail("more text than was read", utf8);

    // The first eight cells of each row, through the writer and back; a row whose eight
    // are all blank is a blank line to the reader, and left out.
    std::vector<int> kept;
    for (int r = 0; r < table.rowCount(); ++r)
        for (int c = 0; c < 8; ++c)
            if (!withoutBlanks(table.cell(r, c)).isEmpty()) {
                kept.push_back(r);
                break;
            }
    const int rows = int(kept.size());
    auto movieAt = [&](qsizetype r) {
        MovieBytes m;
        for (int c = 0; c < 8; ++c)
            m[size_t(c)] = table.cell(kept[size_t(r)], c);
        return m;
    };
    QByteArray csv;
    if (const Failure error = writeCsv(rows, movieAt, csv))
        fail("the writer refused text the reader gave", error.message.toUtf8());
    SourceTable again;
    if (readDelimited(csv.mid(3), ',', again))
        fail("the writer's own CSV was refused", csv);
    if (again.rowCount() != rows)
        fail("rows lost between writer and reader", csv);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 8; ++c)
            if (again.cell(r, c) != table.cell(kept[size_t(r)], c))
                fail("a cell changed between writer and reader", csv);
    for (int r = 0; r < table.rowCount(); ++r)
        if (isBlankRow(table, r))
            fail("a blank row was kept", utf8);

    ImportSource source;
    if (!readImportBytes(bytes, "fuzz", source))
        planImport(source, source.mapping, DuplicateIndex());
    return 0;
}
