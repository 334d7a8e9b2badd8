// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the GCstar reader as the import reads it.
#include "exchange/collectionxml.h"
#include "fuzz_collections.h"

#include <cstdint>

using namespace exchange;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    SourceTable table;
    if (!readGcstarXml(bytes, table)) {
        checkCollection(table);
        ImportSource source;
        if (!readImportBytes(bytes, "fuzz.gcs", source))
            planImport(source, source.mapping, DuplicateIndex());
    }
    return 0;
}
