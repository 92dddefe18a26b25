// Program definitions: program.ini (manual programs) and programe.ini (extension programs).
#pragma once

enum class program_file { manual, extension };

// Writes the default entries when the file does not exist; false at the first failed write.
bool ensure_default_programs(program_file which);
