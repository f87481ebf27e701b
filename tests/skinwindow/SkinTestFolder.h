#pragma once
// The skins the skin window tests run on, made fresh for each test: two
// skins with 64 x 48 surface pictures drawn here (so the expected window
// shape is known pixel by pixel) and the recording script module.
#include <windows.h>

#include <string>
#include <vector>

// A picture's shape: for each row, the [begin, end) runs of pixels that
// differ from the top-left pixel.
struct PictureShape {
    int width = 0;
    int height = 0;
    std::vector<std::vector<std::pair<int, int>>> rows;
};

struct SkinTestFolder {
    std::string root;     // the skin folder the catalogue scans
    std::string frog;     // root\a_frog: "かえる", no ghost, baseadjust 0
    std::string star;     // root\b_star: "ほし", ghost "さくら", offsets 10 / -5, ontop
    std::string settings; // the test's settings file
    PictureShape frogShape;
    PictureShape starShape;
};

// Makes the folder for the test 'name'; root is empty on failure.
SkinTestFolder MakeSkinTestFolder(const std::string& name);

// The requests the recording module in 'skinFolder' received, in order.
std::vector<std::string> ModuleRequests(const std::string& skinFolder);
// Replaces the recording module's answers (see RecordingModule.cpp).
void WriteScript(const std::string& skinFolder, const std::string& script);

// Expects the window's region to cover exactly the shape's pixels.
void ExpectWindowShapeIsPicture(HWND window, const PictureShape& shape);
