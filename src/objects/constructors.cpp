#include "objects/constructors.h"
