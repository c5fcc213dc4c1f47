// Everything of temp_dir.h is inline; this file keeps the library's list of sources as it is.
#include "tests/support/temp_dir.h"
