#include "db/ClientLibrary.h"

#include <mysql.h>

namespace morvane {

std::string clientLibraryVersion()
{
    const char *info = mysql_get_client_info();
    return info ? info : "";
}

std::string connectorBuildVersion()
{
#ifdef MARIADB_PACKAGE_VERSION
    return MARIADB_PACKAGE_VERSION;
#else
    return "";
#endif
}

} // namespace morvane
