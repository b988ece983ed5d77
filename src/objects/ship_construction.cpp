#include "objects/ship_construction.h"
