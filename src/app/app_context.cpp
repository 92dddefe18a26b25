// The one app_context of the process.
#include "app/app_context.h"

app_context& app()
{
    static app_context context;
    return context;
}
