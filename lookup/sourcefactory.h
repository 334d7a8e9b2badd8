// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lookup/source.h"

#include <functional>
#include <memory>

namespace lookup {

// The source the windows look movies up in: makeSource() unless a factory was installed.
std::unique_ptr<Source> sourceFor(const platform::LookupSettings &settings);

using SourceFactory = std::function<std::unique_ptr<Source>(const platform::LookupSettings &)>;
// Replaces makeSource() for sourceFor() (tests install a scripted source); an empty factory restores it.
void installSourceFactory(SourceFactory factory);

} // namespace lookup
