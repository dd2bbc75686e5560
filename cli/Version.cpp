#include "cli/Version.h"

const char VERSION_TEXT[] = "zodovu-cli " ZODOVU_VERSION;
