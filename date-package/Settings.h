// What the package reads from the locale at Load and keeps for the process.
#pragma once

namespace curlew {

struct Settings {
    bool use24Hour = false;
};

Settings& PackageSettings();

} // namespace curlew
