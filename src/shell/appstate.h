#pragma once
// The shared state lives in data/appstate.h, below the report pipeline and
// the shell; this header keeps the old include working and brings the report
// engine types the state's open report uses.

#include "data/appstate.h"
#include "reports/engine/report_engine.h"
