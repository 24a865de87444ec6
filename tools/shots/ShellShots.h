#pragma once

#include <string>

// Renders every menu, help page and dialog of the shell on the fake platform
// with the real image pack at `packPath` and writes
// one PNG per screen into `outDir`. Returns the number of pictures that could
// not be written.
int WriteShellShots(const std::string& outDir, const std::string& packPath,
                    const std::string& languagePackPath = {});
