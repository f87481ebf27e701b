// Installing skins by a real drop: a DROPFILES block in global memory posted
// as WM_DROPFILES to a real window of this process, which hands it to
// InstallDroppedSkin as a skin window does. The archives were made by
// Info-ZIP zip, Python's zipfile and gcab (make_skin_archives.py); the host
// is the stand-in host, whose log shows the notification byte for byte; the
// module is the talk tests' recording module, whose log shows the request.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h> // DROPFILES

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/DroppedSkin.h"
#include "app/SkinInstaller.h"
#include "skin/SkinCatalogue.h"
#include "harness/StandinClient.h"
#include "harness/TestEnv.h"
#include "talk/ScriptModule.h"
#include "talk/SentencePlayer.h"

namespace {

using Tree = std::set<std::string>;

std::string ArchiveDir()
{
    const char* dir = std::getenv("OSTRA_INSTALL_ARCHIVES");
    return dir ? dir : "";
}

std::string Archive(const std::string& name)
{
    return testenv::Join(ArchiveDir(), name);
}

std::string Source(const std::string& skin, const std::string& file)
{
    return testenv::Join(testenv::Join(ArchiveDir(), "src\\" + skin), file);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every file and folder below 'root', relative to it, folders ending in "\",
// in byte order (whatever order the listing gives).
void ListInto(const std::string& root, const std::string& relative, Tree& tree)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((testenv::Join(root, relative) + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = relative.empty() ? name : relative + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree.insert(path + "\\");
            ListInto(root, path, tree);
        } else {
            tree.insert(path);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

Tree ListTree(const std::string& root)
{
    Tree tree;
    ListInto(root, "", tree);
    return tree;
}

// The installer's temporary files ("osk" prefix) now in the temporary folder.
Tree TemporaryFiles()
{
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    Tree names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((std::string(folder) + "osk*.tmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        names.insert(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

// The request text the recording module logs for one call.
std::string RequestCall(const std::string& text)
{
    return "request " + std::to_string(text.size()) + "\n" + text + "\n";
}

std::string ModuleRequest(const std::string& title, const std::string& ghost, const std::string& category)
{
    return "GET Sentence DORVY/2.0\r\nSender: Nobody\r\nEvent: OnOstraObjectInstalled\r\nReference0: " + title +
           "\r\nReference1: " + ghost + "\r\nReference2: " + category + "\r\nCharset: Shift_JIS\r\n\r\n";
}

// The host's notification as the SSTP NOTIFY request gives it: an empty
// reference has no line.
std::string HostNotify(const std::vector<std::string>& references, const std::string& script)
{
    std::string text = "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: OnOstraObjectInstalled\r\n";
    for (std::size_t i = 0; i < references.size(); ++i) {
        if (!references[i].empty()) text += "Reference" + std::to_string(i) + ": " + references[i] + "\r\n";
    }
    return text + "Script: " + script + "\r\nOptions: nodescript\r\nCharset: Shift_JIS\r\n\r\n";
}

std::string Success(const std::string& title)
{
    return "\\h\\s0おすとら用スキン\\n\\n「" + title + "」\\n\\nインストール完了。\\e";
}

const char kFailure[] = "\\h\\s4インストール失敗‥‥。\\e";

// Dispatches every message waiting in this thread's queue.
void DispatchWaiting()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The window that stands for the program's main window: records commands.
class MainWindow {
  public:
    MainWindow()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "InstallTestMain";
        RegisterClassA(&wc);
        m_window =
            CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MainWindow() { DestroyWindow(m_window); }
    HWND Window() const { return m_window; }
    std::vector<UINT> commands;

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_COMMAND) {
            self->commands.push_back(LOWORD(wParam));
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND m_window = nullptr;
};

// A window that accepts dropped files and installs them as a skin window
// does, with a script module and a sentence player of its own.
class DropWindow : public SentenceTarget {
  public:
    DropWindow()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "InstallTestSkin";
        RegisterClassA(&wc);
        m_window = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 10, 10, 40, 40, nullptr, nullptr,
                                   wc.hInstance, nullptr);
        SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        DragAcceptFiles(m_window, TRUE);
    }
    ~DropWindow() { DestroyWindow(m_window); }

    HWND SentenceWindow() const override { return m_window; }
    void ShowSurface(std::int32_t number) override { shown.push_back(number); }

    // Posts a real WM_DROPFILES carrying 'paths' and dispatches every
    // message until the queue is empty; false when the drop was not handled.
    bool Drop(const std::vector<std::string>& paths)
    {
        std::string list;
        for (const std::string& path : paths)
            list += path + '\0';
        list += '\0';
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
        auto* files = static_cast<DROPFILES*>(GlobalLock(block));
        files->pFiles = sizeof(DROPFILES);
        files->pt = POINT{5, 5};
        files->fNC = FALSE;
        files->fWide = FALSE;
        CopyMemory(reinterpret_cast<char*>(files) + sizeof(DROPFILES), list.data(), list.size());
        GlobalUnlock(block);
        const int before = drops;
        if (!PostMessageA(m_window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0)) return false;
        DispatchWaiting();
        return drops == before + 1;
    }

    SkinDropTarget target;
    ScriptModule module;
    SentencePlayer player{*this};
    std::vector<int> shown;
    int drops = 0;
    bool installed = false;

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<DropWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_DROPFILES) {
            self->installed = InstallDroppedSkin(reinterpret_cast<HDROP>(wParam), self->target);
            ++self->drops;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND m_window = nullptr;
};

class SkinInstall : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        s_host = new StandinClient;
        ASSERT_TRUE(s_host->Start()) << "the stand-in host did not start";
    }
    static void TearDownTestSuite()
    {
        s_host->Quit();
        delete s_host;
        s_host = nullptr;
    }

    void SetUp() override
    {
        ASSERT_FALSE(ArchiveDir().empty()) << "OSTRA_INSTALL_ARCHIVES is not set: run through ctest";
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = testenv::FreshDir(info->name());
        m_skins = m_root + "\\skin";
        m_window = std::make_unique<DropWindow>();
        m_window->target = {m_window->SentenceWindow(), s_host->Window(),  m_main.Window(),
                            &m_window->module,          &m_window->player, m_skins};
    }

    // A recording module in the drop window, answering every event with a
    // sentence that shows surface 3.
    void LoadRecordingModule()
    {
        m_moduleDir =
            testenv::FreshDir(std::string("module-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string dll = self;
        dll = dll.substr(0, dll.find_last_of('\\')) + "\\talk_module_plain.dll";
        ASSERT_TRUE(CopyFileA(dll.c_str(), (m_moduleDir + "\\module.dll").c_str(), FALSE)) << dll;
        testenv::WriteFile(m_moduleDir + "\\version.txt", "SHIORI/2.0 200 OK\r\nVersion: DORVY/2.0\r\n\r\n");
        testenv::WriteFile(m_moduleDir + "\\sentence.txt", "DORVY/2.0 200 OK\r\nSentence: \\s3\\e\r\n\r\n");
        ASSERT_TRUE(m_window->module.LoadModule(m_moduleDir, "module.dll"));
    }

    std::string ModuleCalls() const { return testenv::ReadFile(m_moduleDir + "\\calls.log"); }

    // Drops the archives (by name in the fixture folder) and returns the
    // host's notification that followed.
    std::string DropAndNotify(const std::vector<std::string>& names)
    {
        const std::size_t before = s_host->WaitFor("DSSTP", 0, 0).size();
        std::vector<std::string> paths;
        for (const std::string& name : names)
            paths.push_back(Archive(name));
        EXPECT_TRUE(m_window->Drop(paths));
        const std::vector<standin::LogRecord> records = s_host->WaitFor("DSSTP", before + 1, 10000);
        EXPECT_EQ(records.size(), before + 1) << "one notification per drop";
        if (records.size() != before + 1) return std::string();
        EXPECT_EQ(standin::FieldValue(records.back().fields, "from"),
                  std::to_string(static_cast<int>(reinterpret_cast<INT_PTR>(m_window->SentenceWindow()))));
        return records.back().payload;
    }

    void ExpectSameBytes(const std::string& installed, const std::string& source)
    {
        ASSERT_TRUE(Exists(source)) << source;
        EXPECT_EQ(testenv::ReadFile(installed), testenv::ReadFile(source)) << installed;
    }

    static StandinClient* s_host;
    MainWindow m_main;
    std::unique_ptr<DropWindow> m_window;
    std::string m_root;
    std::string m_skins;
    std::string m_moduleDir;
};

StandinClient* SkinInstall::s_host = nullptr;

const std::vector<UINT> kReloaded = {kReloadSkinsCommand};
const std::vector<UINT> kNotReloaded = {};

TEST_F(SkinInstall, WithoutTitleOrTargetTheSkinTakesTheArchiveNameAndTheModuleHearsOfIt)
{
    LoadRecordingModule();
    const Tree temporaries = TemporaryFiles();
    EXPECT_EQ(DropAndNotify({"plain.zip"}), HostNotify({"plain", "G", "a,b"}, Success("plain")));
    EXPECT_EQ(TemporaryFiles(), temporaries) << "the definition file and the base image were extracted to "
                                                "temporary files that are deleted after use";
    EXPECT_TRUE(m_window->installed);
    EXPECT_EQ(m_main.commands, kReloaded);
    // Folders come from forward-slash member names, created level by level.
    EXPECT_EQ(ListTree(m_root), (Tree{"skin\\", "skin\\plain\\", "skin\\plain\\ostra.ini", "skin\\plain\\surface0.png",
                                      "skin\\plain\\surface0a.txt", "skin\\plain\\sub\\", "skin\\plain\\sub\\top.txt",
                                      "skin\\plain\\sub\\dir\\", "skin\\plain\\sub\\dir\\deep.txt"}));
    for (const char* file : {"ostra.ini", "surface0.png", "surface0a.txt", "sub\\top.txt", "sub\\dir\\deep.txt"})
        ExpectSameBytes(m_skins + "\\plain\\" + file, Source("plain", file));
    const std::string calls = ModuleCalls();
    const std::string event = RequestCall(ModuleRequest("plain", "G", "a,b"));
    ASSERT_GE(calls.size(), event.size());
    EXPECT_EQ(calls.substr(calls.size() - event.size()), event);
    EXPECT_EQ(m_window->shown, std::vector<int>{3});
    // What the reload then finds: the new skin, as its definition says.
    SkinCatalogue catalogue;
    ASSERT_TRUE(catalogue.ScanFolder(m_skins));
    ASSERT_EQ(catalogue.Entries().size(), 1u);
    EXPECT_EQ(catalogue.Entries()[0].name, "plain");
    EXPECT_EQ(catalogue.Entries()[0].ghost, "G");
    EXPECT_EQ(catalogue.Entries()[0].category, "a,b");
}

TEST_F(SkinInstall, ACabinetMadeByGcabInstallsLikeAZip)
{
    EXPECT_EQ(DropAndNotify({"cabinet.cab"}), HostNotify({"cabinet", "G", "a,b"}, Success("cabinet")));
    EXPECT_EQ(m_main.commands, kReloaded);
    EXPECT_EQ(ListTree(m_skins + "\\cabinet"), (Tree{"ostra.ini", "surface0.png", "surface0a.txt", "sub\\",
                                                     "sub\\top.txt", "sub\\dir\\", "sub\\dir\\deep.txt"}));
    for (const char* file : {"ostra.ini", "surface0.png", "surface0a.txt", "sub\\top.txt", "sub\\dir\\deep.txt"})
        ExpectSameBytes(m_skins + "\\cabinet\\" + file, Source("cabinet", file));
}

TEST_F(SkinInstall, ATargetTwoLevelsDeepCreatesBoth)
{
    EXPECT_EQ(DropAndNotify({"deep.zip"}), HostNotify({"Deep"}, Success("Deep")));
    EXPECT_EQ(ListTree(m_root), (Tree{"skin\\", "skin\\outer\\", "skin\\outer\\inner\\",
                                      "skin\\outer\\inner\\ostra.ini", "skin\\outer\\inner\\surface0.png"}));
}

TEST_F(SkinInstall, OfThreeDroppedArchivesOnlyTheFirstIsInstalled)
{
    EXPECT_EQ(DropAndNotify({"first.zip", "second.zip", "third.zip"}),
              HostNotify({"first", "first"}, Success("first")));
    EXPECT_EQ(ListTree(m_root),
              (Tree{"skin\\", "skin\\first\\", "skin\\first\\ostra.ini", "skin\\first\\surface0.png"}));
    EXPECT_EQ(m_main.commands, kReloaded);
}

TEST_F(SkinInstall, ShiftJisNamesWithABackslashTrailByteStayWhole)
{
    // タイトル "ソフト表" and the member "ソ/x.txt": both hold 0x5C as a trail byte.
    EXPECT_EQ(DropAndNotify({"sjis.zip"}), HostNotify({"ソフト表", "さくら"}, Success("ソフト表")));
    EXPECT_EQ(testenv::ReadFile(m_skins + "\\ソフト表\\ソ\\x.txt"), "so\n");
    EXPECT_EQ(ListTree(m_skins), (Tree{"ソフト表\\", "ソフト表\\ostra.ini", "ソフト表\\surface0.png", "ソフト表\\ソ\\",
                                       "ソフト表\\ソ\\x.txt"}));
}

TEST_F(SkinInstall, WithoutItsBaseImageNothingIsExtracted)
{
    LoadRecordingModule();
    EXPECT_EQ(DropAndNotify({"nobase.zip"}), HostNotify({"NoBase", "G2", "c"}, kFailure));
    EXPECT_FALSE(m_window->installed);
    EXPECT_EQ(m_main.commands, kReloaded);
    EXPECT_EQ(ListTree(m_root), Tree{});
    const std::string calls = ModuleCalls();
    const std::string event = RequestCall(ModuleRequest("NoBase", "G2", "c"));
    ASSERT_GE(calls.size(), event.size());
    EXPECT_EQ(calls.substr(calls.size() - event.size()), event);
}

TEST_F(SkinInstall, WithoutOstraIniTheReferencesAreEmptyAndTheCatalogueIsReloaded)
{
    LoadRecordingModule();
    EXPECT_EQ(DropAndNotify({"noini.zip"}), HostNotify({}, kFailure));
    EXPECT_EQ(m_main.commands, kReloaded);
    EXPECT_EQ(ListTree(m_root), Tree{});
    const std::string calls = ModuleCalls();
    const std::string event = RequestCall(ModuleRequest("", "", ""));
    ASSERT_GE(calls.size(), event.size());
    EXPECT_EQ(calls.substr(calls.size() - event.size()), event);
}

TEST_F(SkinInstall, AFileThatIsNoArchiveFailsWithoutAReload)
{
    EXPECT_EQ(DropAndNotify({"notarchive.zip"}), HostNotify({}, kFailure));
    EXPECT_EQ(m_main.commands, kNotReloaded);
    EXPECT_EQ(ListTree(m_root), Tree{});
}

// Places outside the test's folder that an escaping archive would reach.
std::vector<std::string> OutsideProbes(const std::string& root)
{
    return {"C:\\escape-drive.txt",
            "C:\\escape-drive2.txt",
            "C:\\escape-relative.txt",
            "C:\\outside-drive",
            "Z:\\escape-root.txt",
            "Z:\\outside-root",
            "\\escape-root.txt",
            "\\outside-root",
            root + "\\..\\escape-up.txt",
            root + "\\..\\escape-back.txt",
            root + "\\..\\outside",
            root + "\\escape-sub.txt",
            root + "\\skin2"};
}

TEST_F(SkinInstall, MembersThatWouldLeaveTheSkinsFolderAreSkipped)
{
    EXPECT_EQ(DropAndNotify({"members.zip"}), HostNotify({"Members"}, Success("Members")));
    EXPECT_EQ(ListTree(m_root),
              (Tree{"skin\\", "skin\\members\\", "skin\\members\\ostra.ini", "skin\\members\\surface0.png",
                    "skin\\members\\good.txt", "skin\\members\\fine.txt", "skin\\members\\dots"}));
    EXPECT_EQ(testenv::ReadFile(m_skins + "\\members\\fine.txt"), "fine\n");
    for (const std::string& probe : OutsideProbes(m_root))
        EXPECT_FALSE(Exists(probe)) << probe;
}

TEST_F(SkinInstall, ATargetOutsideTheSkinFolderFailsBeforeAnythingIsWritten)
{
    for (const char* name : {"up", "sibling", "drive", "unc", "root", "stream", "con", "nul", "dotdot", "self"}) {
        SCOPED_TRACE(name);
        m_main.commands.clear();
        EXPECT_EQ(DropAndNotify({std::string("target-") + name + ".zip"}),
                  HostNotify({std::string("T-") + name}, kFailure));
        EXPECT_EQ(m_main.commands, kReloaded);
        EXPECT_EQ(ListTree(m_root), Tree{});
        for (const std::string& probe : OutsideProbes(m_root))
            EXPECT_FALSE(Exists(probe)) << probe;
    }
}

TEST_F(SkinInstall, ArchivesBeyondTheBoundsAreRefusedBeforeAnythingIsWritten)
{
    SkinDefinition definition;
    // 10,001 members; three members declaring 352 MiB each.
    EXPECT_FALSE(InstallSkinArchive(Archive("many.zip"), definition, nullptr, m_skins));
    EXPECT_EQ(definition.title, "many");
    EXPECT_FALSE(InstallSkinArchive(Archive("huge.zip"), definition, nullptr, m_skins));
    EXPECT_EQ(definition.title, "huge");
    // A cabinet lists no sizes; its file table declares 1.25 GiB for one member.
    EXPECT_FALSE(InstallSkinArchive(Archive("hugecab.cab"), definition, m_main.Window(), m_skins));
    EXPECT_EQ(definition.title, "hugecab") << "the cabinet opened and its definition was read";
    DispatchWaiting();
    EXPECT_EQ(ListTree(m_root), Tree{});
    EXPECT_EQ(m_main.commands, kReloaded);
    // 10,000 members: installed (9,998 empty files in "m").
    EXPECT_TRUE(InstallSkinArchive(Archive("limit.zip"), definition, nullptr, m_skins));
    const Tree installed = ListTree(m_skins + "\\limit\\m");
    EXPECT_EQ(installed.size(), 9998u);
    EXPECT_EQ(*installed.begin(), "00000");
    EXPECT_EQ(*installed.rbegin(), "09997");
}

TEST_F(SkinInstall, TheRecordIsClearedAndFilledFromTheArchiveOnly)
{
    SkinDefinition definition;
    definition.title = "stale";
    definition.ghost = "stale";
    definition.category = "stale";
    EXPECT_FALSE(InstallSkinArchive(Archive("noini.zip"), definition, m_main.Window(), m_skins));
    EXPECT_EQ(definition.title + definition.ghost + definition.category, "");
    EXPECT_TRUE(InstallSkinArchive(Archive("plain.zip"), definition, m_main.Window(), m_skins));
    EXPECT_EQ(definition.title, "plain");
    EXPECT_EQ(definition.ghost, "G");
    EXPECT_EQ(definition.category, "a,b");
    // Installing over an installed skin replaces its files.
    EXPECT_TRUE(InstallSkinArchive(Archive("plain.zip"), definition, m_main.Window(), m_skins));
    ExpectSameBytes(m_skins + "\\plain\\surface0.png", Source("plain", "surface0.png"));
}

} // namespace
