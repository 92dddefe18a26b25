// Fetching one remote directory into its listing cache file.
#pragma once

#include "ftp/ftp_protocol.h"

#include <cstddef>
#include <string>

// Lists the current remote directory into the cache file: MLSD when the server has it, else
// NLST -aFL with SIZE and MDTM per file, else the long listing NLST -alL. A listing command
// the server does not know (500-502) clears its flag and the next way is taken. Below the root
// (not_root) the file always ends up with one ".." entry. On failure no cache file is left, so
// the directory is listed again next time. A listing over listing_size_limit fails with
// ftp_thread_failed; one that delivered lines none of which had the form asked for (a server
// that ignored the options of NLST) with ftp_error_reply. `unstored` counts the entries that
// came but could not be stored (a name too long for a cache line, a line over
// listing_line_limit), for the caller to show. With utf8_names the names come in UTF-8 and
// are stored in code page 932; a name without a code page 932 form keeps only a line of its own
// kind (no_cp932_cache_line), which no pane shows; SIZE and MDTM get the names as sent.
ftp_result ftp_list_directory(thread_net& worker, NetSocket& control, int server_zone,
                              const std::string& cache_path, bool not_root, ftp_capabilities& flags,
                              std::size_t& unstored, bool utf8_names = false);
