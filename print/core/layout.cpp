#include "print/core/layout.h"
