// Scans the catalogue of the program's own skin folder and exercises the
// remembered skin in the program's own settings file; the catalogue tests
// copy it into folders of their making. Arguments: output file, host key,
// skin name to remember. Writes the entry count, then "name|title" per entry,
// then the remembered name read back; exits 1 when the catalogue is empty.
#include <windows.h>

#include <fstream>
#include <string>

#include "skin/SkinCatalogue.h"
#include "skin/SkinPath.h"

int main(int argc, char** argv)
{
    if (argc < 4) return 2;
    SkinCatalogue catalogue;
    bool found = catalogue.ScanSkins();
    std::ofstream out(argv[1], std::ios::binary);
    out << catalogue.Size() << "\n";
    if (!found) return 1;
    for (const SkinDefinition& d : catalogue.Entries())
        out << d.name << "|" << d.title << "\n";
    if (!WriteSkinPath(argv[2], argv[3])) return 3;
    out << "remembered:" << ReadSkinPath(argv[2]) << "\n";
    return 0;
}
