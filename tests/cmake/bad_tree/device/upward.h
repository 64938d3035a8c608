#include "model/main_window_model.h"
