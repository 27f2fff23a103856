// What the file dialog remembers and the program makes of a choice: the game
// folder, one folder shared by both kinds, a name for each, lower-cased. (Not
// a name without extension: Wine's dialog refuses it as missing before it
// adds the default extension, where Windows adds it first.)

#include "tests/gui/gui_driver.h"

#include <commdlg.h>

namespace {

// Asks the file dialog a CDM_ question. It writes the answer through a
// pointer of its own process, so the answer is read from there; the fresh
// pages read as empty where a refused question writes nothing.
std::string AskFileDialog(const TelvornProcess& program, HWND dialog, UINT message) {
    std::string text(2048, '\0');
    void* const reply = VirtualAllocEx(program.Process(), nullptr, text.size(), MEM_COMMIT, PAGE_READWRITE);
    SIZE_T read = 0;
    if (!SendMessageTimeoutA(dialog, message, text.size(), reinterpret_cast<LPARAM>(reply), SMTO_ABORTIFHUNG, 5000,
                             nullptr) ||
        !ReadProcessMemory(program.Process(), reply, text.data(), text.size(), &read))
        read = 0;
    VirtualFreeEx(program.Process(), reply, 0, MEM_RELEASE);
    text.resize(strnlen(text.c_str(), read));
    return text;
}

void ExpectDialogStartsIn(TelvornProcess& program, HWND dialog, const std::string& folder, const std::string& name) {
    // Folders compared as the file system does: either case, a trailing backslash or none.
    const auto plain = [](const std::string& path) { return LowerCased(path.ends_with('\\') ? path : path + "\\"); };
    EXPECT_EQ(plain(AskFileDialog(program, dialog, CDM_GETFOLDERPATH)), plain(folder)) << "the dialog's folder";
    EXPECT_EQ(AskFileDialog(program, dialog, CDM_GETSPEC), name) << "the file name box";
}

// The registry value and INI file (empty: none), the INI's text, and the
// folder where the first file dialog opens ("*": the dialog's own default).
struct GameFolderSetting {
    const char* name;
    std::string registryValue, iniFile, iniText, firstFolder;
};

// Empty deletes the value. In the 32-bit view, which the program reads also when built for 64 bits.
void SetGameRegistryValue(const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecap\\Corvanta", 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        Fail("the game's registry key can be written");
    value.empty() ? RegDeleteValueA(key, "INI_FILE_NAME")
                  : RegSetValueExA(key, "INI_FILE_NAME", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

}  // namespace

TEST(FileChoice, FirstDialogOpensInTheGameFoldersMapFolder) {
    const std::string work = Folders().work, ini = work + "\\games\\Game.ini", cv = work + "\\run\\CV.ini",
                      fallback = "C:\\corvanta\\map\\";
    const GameFolderSetting settings[] = {
        {"no registry value, no .\\CV.ini", "", "", "", work + "\\run\\map\\"},
        {"no registry value, .\\CV.ini with MAIN", "", cv, "[FILE]\nMAIN=" + work + "\\Games\\Local Corvanta\n",
         work + "\\games\\local corvanta\\map\\"},
        {"no registry value, .\\CV.ini without MAIN", "", cv, "[FILE]\nOTHER=C:\\Elsewhere\n[PATHS]\nMAIN=C:\\Elsewhere\n",
         fallback},
        {"registry value naming an INI with MAIN", work + "\\Games\\Game.INI", ini,
         "[FILE]\nMAIN=" + work + "\\Games\\Corvanta Deluxe\n", work + "\\games\\corvanta deluxe\\map\\"},
        // The registry names the INI, so .\CV.ini is not read even when it exists.
        {"registry value naming a missing INI", work + "\\Games\\Missing.ini", cv,
         "[FILE]\nMAIN=" + work + "\\Games\\Local Corvanta\n", fallback},
        {"registry value naming an INI without MAIN", ini, ini, "[FILE]\nOTHER=1\n", fallback},
        {"INI with an empty MAIN", ini, ini, "[FILE]\nMAIN=\n", "C:\\map\\"},
        {"INI with a MAIN ending in a backslash", ini, ini, "[FILE]\nMAIN=" + work + "\\Games\\Trailing\\\n",
         work + "\\games\\trailing\\map\\"},
        // Far too long for the dialog, which starts in its own default folder
        // (Wine's: the folder last used), and nothing overflows.
        {"INI with a MAIN of 993 characters", ini, ini, "[FILE]\nMAIN=C:\\" + std::string(990, 'L') + "\n", "*"},
        // Longer than the 1000-byte buffer, it names no file.
        {"registry value of 1000 characters", "C:\\" + std::string(997, 'x'), "", "", fallback},
    };
    std::filesystem::create_directories(Folders().work + "\\games");
    for (const GameFolderSetting& setting : settings) {
        SCOPED_TRACE(setting.name);
        SetGameRegistryValue(setting.registryValue);
        if (!setting.iniFile.empty()) std::ofstream(setting.iniFile) << setting.iniText;  // text mode: Windows line ends
        try {
            std::string folder = setting.firstFolder;
            if (folder != "*") std::filesystem::create_directories(folder);
            TelvornProcess program;
            const HWND dialog = OpenFileDialog(program, MapKind);
            if (folder == "*") {
                folder = AskFileDialog(program, dialog, CDM_GETFOLDERPATH);
                if (folder.empty()) Fail("the dialog shows a folder");
                folder += folder.back() == '\\' ? "" : "\\";
            }
            ExpectDialogStartsIn(program, dialog, folder, "");
            // Version 0, so that the error text shows the full path examined.
            const std::string probe = folder + "folder-probe.map";
            RequireWritten(probe, SmallMap(0));
            ExpectFileError(program, ChooseFile(program, dialog, "folder-probe.map"), MapKind, probe, UnsupportedVersion);
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
        }
        SetGameRegistryValue("");
        DeleteFileA(setting.iniFile.c_str());
    }
}

TEST(FileChoice, KindsShareTheFolderKeepANameEachAndRememberThemLowerCased) {
    const std::string first = FixturePath("Mixed Case\\Maps\\"), world = first + "World.MAP";
    const std::string second = FixturePath("shared-second\\"), scenario = second + "second.scn";
    RequireWritten(world, SmallMap(0));
    RequireWritten(scenario, SmallFile(true, 0));
    TelvornProcess program;
    ExpectFileError(program, ChooseFile(program, OpenFileDialog(program, MapKind), world), MapKind, world,
                    UnsupportedVersion);
    // Examine Scenario after a map: a missing name is refused by the file dialog itself, which stays open.
    const HWND scenarioDialog = OpenFileDialog(program, ScenarioKind);
    ExpectDialogStartsIn(program, scenarioDialog, first, "");
    const HWND warning = ChooseFile(program, scenarioDialog, FixturePath("nowhere.scn"));
    EXPECT_EQ(GetWindow(warning, GW_OWNER), scenarioDialog) << "the warning is the file dialog's own";
    EXPECT_NE(WindowText(warning), "File Error!");
    ClickButton(warning, IDOK);
    EXPECT_TRUE(WaitUntilClosed(warning)) << "OK closes the warning";
    EXPECT_TRUE(IsWindowVisible(scenarioDialog)) << "the file dialog stays open for another choice";
    ExpectFileError(program, ChooseFile(program, scenarioDialog, scenario), ScenarioKind, scenario, UnsupportedVersion);
    // Examine Map after a scenario, cancelled.
    const HWND mapDialog = OpenFileDialog(program, MapKind);
    ExpectDialogStartsIn(program, mapDialog, second, "world.map");
    ClickButton(mapDialog, IDCANCEL);
    EXPECT_TRUE(WaitUntilClosed(mapDialog)) << "Cancel closes the map dialog";
    EXPECT_TRUE(program.ShowsNothingMore()) << "after Cancel nothing opens and the main window takes input";
    // Examine Scenario after a cancelled map: a bare name is looked for in the folder the dialog shows.
    const HWND dialog = OpenFileDialog(program, ScenarioKind);
    ExpectDialogStartsIn(program, dialog, second, "second.scn");
    ExpectFileError(program, ChooseFile(program, dialog, "second.scn"), ScenarioKind, scenario, UnsupportedVersion);
}

TEST(FileChoice, FilesHandedToTheProgramAreExaminedAtOnceAsTheMenuWouldAndLeadTheNextDialog) {
    const std::string folder = FixturePath("Города\\"), map = folder + "Москва.MAP", scenario = folder + "日本.scn",
                      tagged = folder + "Ærø.dat", neither = folder + "Île de Mer.txt";
    RequireWritten(map, SmallMap());
    RequireWritten(scenario, SmallFile(true));
    RequireWritten(tagged, SmallFile(true));  // a scenario by its type tag alone
    Required(filemaker::WriteBytes(neither, std::vector<uint8_t>(40, 'x')), "a text file can be written");
    const auto expectResults = [](TelvornProcess& program, const std::string& title) {
        const HWND dialog = Required(program.WaitForDialog(title), "the results dialog opens: " + title);
        ClickButton(dialog, IDOK);
        EXPECT_TRUE(WaitUntilClosed(dialog)) << "OK closes " << title;
    };
    // Open with, or files dropped on the program's icon: one after the other, in their order.
    TelvornProcess program({map, scenario});
    expectResults(program, "Results for Map File: Москва.map");
    expectResults(program, "Results for Scenario File: 日本.scn");
    const HWND dialog = OpenFileDialog(program, ScenarioKind);
    ExpectDialogStartsIn(program, dialog, folder, "日本.scn");
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntilClosed(dialog)) << "Cancel closes the file dialog";
    // Dropped on the window: a file of either kind by its type tag, and one of neither kind.
    program.Drop({tagged, neither});
    expectResults(program, "Results for Scenario File: Ærø.dat");
    ExpectFileError(program, Required(program.WaitForDialog("File Error!"), "the error box opens"),
                    {0, "", "Map or Scenario"}, neither, "File is neither a Corvanta map nor a scenario.");
}
