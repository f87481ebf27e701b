#include "SkinTestFolder.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "harness/TestEnv.h"
#include "selka/PngWriter.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Draws a picture whose background is the top-left colour and returns its
// PNG bytes; 'inside' decides the shape.
template <class Inside>
std::string Draw(int width, int height, Rgb background, Rgb body, Inside inside, PictureShape& shape)
{
    pngwriter::Picture picture;
    picture.width = static_cast<uint32_t>(width);
    picture.height = static_cast<uint32_t>(height);
    picture.bitDepth = 8;
    picture.colourType = 2;
    shape = PictureShape{width, height, {}};
    for (int y = 0; y < height; ++y) {
        std::vector<std::pair<int, int>> runs;
        int start = -1;
        for (int x = 0; x <= width; ++x) {
            const bool in = x < width && inside(x, y);
            const Rgb c = in ? body : background;
            if (x < width) {
                picture.rows.push_back(c.r);
                picture.rows.push_back(c.g);
                picture.rows.push_back(c.b);
            }
            if (in && start < 0) start = x;
            if (!in && start >= 0) {
                runs.emplace_back(start, x);
                start = -1;
            }
        }
        shape.rows.push_back(runs);
    }
    return pngwriter::Encode(picture);
}

bool WriteSkin(const std::string& dir, const std::string& ini, const std::string& surface0, const std::string& surface1)
{
    CreateDirectoryA(dir.c_str(), nullptr);
    // The module is built beside this test program.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string module = self;
    module = module.substr(0, module.find_last_of('\\')) + "\\skinwindow_recmod.dll";
    return testenv::WriteFile(dir + "\\ostra.ini", ini) && testenv::WriteFile(dir + "\\surface0.png", surface0) &&
           testenv::WriteFile(dir + "\\surface1.png", surface1) &&
           CopyFileA(module.c_str(), (dir + "\\recmod.dll").c_str(), FALSE);
}

} // namespace

SkinTestFolder MakeSkinTestFolder(const std::string& name)
{
    SkinTestFolder f;
    const std::string base = testenv::FreshDir(name);
    const std::string root = base + "\\skin";
    CreateDirectoryA(root.c_str(), nullptr);
    f.frog = root + "\\a_frog";
    f.star = root + "\\b_star";
    f.settings = base + "\\ostra.ini";

    const Rgb magenta{255, 0, 255};
    const Rgb green{40, 160, 60};
    const Rgb yellow{250, 210, 40};
    PictureShape small;
    // An ellipse with a notch, and a diamond: shapes no rectangle can match.
    const std::string frog0 = Draw(
        64, 48, magenta, green,
        [](int x, int y) {
            const double dx = (x + 0.5 - 32) / 31.0, dy = (y + 0.5 - 24) / 23.0;
            return dx * dx + dy * dy <= 1.0 && !(y < 10 && x >= 28 && x < 36);
        },
        f.frogShape);
    const std::string star0 = Draw(
        64, 48, magenta, yellow, [](int x, int y) { return std::abs(x - 32) * 24 + std::abs(y - 24) * 32 <= 24 * 32; },
        f.starShape);
    const std::string one = Draw(
        40, 30, magenta, green, [](int x, int y) { return x > 2 && y > 2; }, small);

    const std::string frogIni = "[OSTRA]\r\ntitle=かえる\r\nghost=\r\ncategory=テスト,どうぶつ\r\ndorvy=recmod.dll\r\n"
                                "baseposition=0\r\nbaseadjust=0\r\nontop=0\r\n";
    const std::string starIni = "[OSTRA]\r\ntitle=ほし\r\nghost=さくら\r\ncategory=テスト\r\ndorvy=recmod.dll\r\n"
                                "offsetx=10\r\noffsety=-5\r\nbaseposition=0\r\nbaseadjust=0\r\nontop=1\r\n";
    if (!WriteSkin(f.frog, frogIni, frog0, one) || !WriteSkin(f.star, starIni, star0, one)) return f;
    f.root = root;
    return f;
}

std::vector<std::string> ModuleRequests(const std::string& skinFolder)
{
    const std::string bytes = testenv::ReadFile(skinFolder + "\\requests.log");
    std::vector<std::string> requests;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\0', pos);
        if (end == std::string::npos) break;
        requests.push_back(bytes.substr(pos, end - pos));
        pos = end + 1;
    }
    return requests;
}

void WriteScript(const std::string& skinFolder, const std::string& script)
{
    EXPECT_TRUE(testenv::WriteFile(skinFolder + "\\script.txt", script));
}

void ExpectWindowShapeIsPicture(HWND window, const PictureShape& shape)
{
    HRGN expected = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < shape.height; ++y) {
        for (const auto& run : shape.rows[y]) {
            HRGN line = CreateRectRgn(run.first, y, run.second, y + 1);
            CombineRgn(expected, expected, line, RGN_OR);
            DeleteObject(line);
        }
    }
    HRGN actual = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(window, actual), ERROR) << "the window has no region";
    EXPECT_TRUE(EqualRgn(expected, actual)) << "the window's shape differs from the picture's";
    // Spot checks that name a pixel when the shapes differ.
    EXPECT_FALSE(PtInRegion(actual, 0, 0));
    EXPECT_TRUE(PtInRegion(actual, 32, 24)) << "the middle";
    DeleteObject(expected);
    DeleteObject(actual);
}
