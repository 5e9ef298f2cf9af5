#include "korva/korva.h"
int room_main() { return 0; }
