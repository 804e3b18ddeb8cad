// The host registry: values kept in a small text file, one "<root>\<path>\<name>=<decimal>" a line.
// The file is $XDG_CONFIG_HOME/duskmire/registry (or ~/.config/duskmire/registry) unless set.
#pragma once
#include "os/Registry.h"

#include <string>

namespace Os {

// Sets the registry file of the host default (the program's --registry option); "" restores the default.
void SetRegistryFile(const std::string& path);
const std::string& RegistryFile();

}  // namespace Os
