// The decoding program itself, and the Windows build, which does not decode at
// all and says so: nothing to hand over.
#include "DecodingHandOver.h"

void HandOverDecodingCommands(int, char**)
{
}
