#include "text/SystemLeadByte.h"

#include <windows.h>

namespace ansi {

bool IsSystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

} // namespace ansi
