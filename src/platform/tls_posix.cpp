// The TLS seam on POSIX builds: there is no system TLS here, so every TLS server is refused.
#include "platform/tls.h"

namespace os {

bool tls_available()
{
    return false;
}

std::shared_ptr<tls_credentials> tls_make_credentials()
{
    return nullptr;
}

std::unique_ptr<tls_session> tls_start(const std::shared_ptr<tls_credentials>&, const std::string&)
{
    return nullptr;
}

} // namespace os
