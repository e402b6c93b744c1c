#pragma once
// Where the product's web service lives and the paths the program uses on it.
#include <string>

namespace tv {

// The http:// address of the web service, without a trailing slash. Defaults to the bundled
// service on loopback; TOVALIN_SERVICE_URL or --service URL point the program elsewhere.
const std::string& ServiceBaseUrl();
void SetServiceBaseUrl(const std::string& url);

// Reads --service URL from the command line, else TOVALIN_SERVICE_URL.
void ConfigureServiceBaseUrl(int argc, char** argv);

}  // namespace tv
