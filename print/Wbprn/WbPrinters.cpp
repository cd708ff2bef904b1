#include "print/Wbprn/WbPrinters.h"
