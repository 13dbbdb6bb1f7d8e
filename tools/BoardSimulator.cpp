#include "tools/BoardSimulator.h"
