// Gives each test a run time without records or windows, as at program start.
#pragma once

#include "controls/control_record.h"

void ResetControlState();
