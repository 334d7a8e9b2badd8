// SPDX-License-Identifier: GPL-3.0-or-later
// Built only while no online source is part of the program (see the top CMakeLists.txt):
// no source, so a look-up says that it is not available.
#include "lookup/source.h"

namespace lookup {

std::unique_ptr<Source> makeSource(const platform::LookupSettings &) { return nullptr; }

} // namespace lookup
