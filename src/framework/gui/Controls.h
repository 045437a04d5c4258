// Controls: the common base, windowed controls that own a real window, and windowless
// (graphic) controls that their parent paints and feeds with mouse messages.
#pragma once

#include "Control.h"
#include "CustomControl.h"
#include "GraphicControl.h"
#include "WinControl.h"
