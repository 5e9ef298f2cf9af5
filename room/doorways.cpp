// Doorway geometry and hit tests (to be completed).
#include "room/doorways.h"
