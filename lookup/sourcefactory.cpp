// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookup/sourcefactory.h"

namespace lookup {

namespace {

SourceFactory &installed()
{
    static SourceFactory factory;
    return factory;
}

} // namespace

std::unique_ptr<Source> sourceFor(const platform::LookupSettings &settings)
{
    return installed() ? installed()(settings) : makeSource(settings);
}

void installSourceFactory(SourceFactory factory) { installed() = std::move(factory); }

} // namespace lookup
