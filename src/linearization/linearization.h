#pragma once

// Everything the writer, the reader and the windows use from the linearization
// mathematics.
#include "characteristic.h"
#include "extended.h"
#include "number_text.h"
#include "point_set.h"
#include "polynomial_fit.h"
#include "single_precision.h"
#include "spline.h"
#include "spline_table.h"
#include "workspace.h"
