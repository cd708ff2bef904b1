#include "print/layout.h"
