// Korvane's resources, compiled from korvane.rc at build time. The program
// installs them at start-up with win::res::install(korvane_resources()).
#pragma once

#include "win/resources/resource_tables.h"

const win::res::Module& korvane_resources();
