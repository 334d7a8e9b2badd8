// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the Griffith reader as the import reads it.
#include "exchange/peerxml.h"
#include "fuzz_collections.h"

#include <cstdint>

using namespace exchange;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    SourceTable table;
    if (!readGriffithXml(bytes, table)) {
        checkCollection(table);
        ImportSource source;
        if (!readImportBytes(bytes, "fuzz.xml", source))
            planImport(source, source.mapping, DuplicateIndex());
    }
    return 0;
}
