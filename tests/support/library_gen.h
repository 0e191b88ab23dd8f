// Moved: the benchmarks' library generator lives in bench/support.
#pragma once
#include "bench/support/library_gen.h"
