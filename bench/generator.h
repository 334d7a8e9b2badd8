// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"

#include <vector>

namespace bench {

// A catalogue of n movies with realistic field lengths: titles of a few words,
// descriptions of about 200 characters, reviews of about 100. Always the same for
// the same n.
std::vector<catalogue::Movie> generateMovies(int n);

} // namespace bench
