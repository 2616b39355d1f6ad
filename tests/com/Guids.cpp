// Defines the ids declared by the generated ITabulex header, once for the whole test program.
#include <initguid.h>

#include "converter/com/TabulexConverter_h.h"
