#pragma once
// What is known about the MySQL client library the program runs with.
#include <string>

namespace morvane {

// The version the loaded library reports (mysql_get_client_info) and the
// Connector/C release the program was built against, for --version.
std::string clientLibraryVersion();
std::string connectorBuildVersion();

} // namespace morvane
