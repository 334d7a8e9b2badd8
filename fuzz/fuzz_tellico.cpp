// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the Tellico reader, bare XML and zipped, as the import reads it.
#include "exchange/collectionxml.h"
#include "fuzz_collections.h"

#include <cstdint>

using namespace exchange;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    SourceTable table;
    bool own = false;
    if (!readTellicoXml(bytes, table, own))
        checkCollection(table);
    ImportSource source;
    if (!readImportBytes(bytes, "fuzz.tc", source)) {
        const ImportPlan plan = planImport(source, source.mapping, DuplicateIndex());
        if (plan.movies.size() > size_t(source.table.rowCount()))
            std::abort();
    }
    return 0;
}
