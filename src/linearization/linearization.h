#pragma once

// Everything the writer, the reader and the windows use from the linearization
// mathematics.
#include "linearization/characteristic.h"
#include "linearization/extended.h"
#include "linearization/number_text.h"
#include "linearization/point_set.h"
#include "linearization/polynomial_fit.h"
#include "linearization/single_precision.h"
#include "linearization/spline.h"
#include "linearization/spline_table.h"
#include "linearization/workspace.h"
