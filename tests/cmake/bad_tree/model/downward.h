#include "device/codes.h"
