// Everything the maths library exports.
#pragma once

#include "rulmek/zcalculator.h"
#include "rulmek/zgeometry.h"
#include "rulmek/zmatrix.h"
#include "rulmek/ztree.h"
#include "rulmek/zvector.h"
#include "rulmek/zview.h"
