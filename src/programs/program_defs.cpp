// Program definitions.
#include "programs/program_defs.h"

bool ensure_default_programs(program_file) { return true; }
