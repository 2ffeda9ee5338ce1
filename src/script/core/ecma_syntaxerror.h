// The syntax error of the script language is one of the engine's errors: an
// EJRuntimeError named "ESyntaxError" with the source line (see ecma_type.h).
#pragma once

#include "script/core/ecma_type.h"
