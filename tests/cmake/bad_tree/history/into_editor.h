#pragma once

// The history may not reach into the editor model, although it lies above it.
#include "model/downward.h"
