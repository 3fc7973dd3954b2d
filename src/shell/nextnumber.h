#pragma once
// Key allocation lives with the data layer it serves; this name stays for
// the code that still includes it from here.
#include "data/nextnumber.h"
