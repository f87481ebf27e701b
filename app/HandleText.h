#pragma once
// A window handle written as the program writes it everywhere (the shared
// block, the skin's handle reference, the text whose MD5 digest is a skin's
// id): its 32-bit value as a signed decimal number, as "%d" prints it.
#include <string>

std::string HandleDecimal(const void* handle);
