#pragma once

// The file reading and atomic saving moved below the editor; the windows still include it here.
#include "configuration/file_io.h"
