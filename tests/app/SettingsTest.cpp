#include "app/Settings.hpp"

#include <filesystem>
#include <random>
#include <sstream>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "support/TempFolder.hpp"

namespace kes {
namespace {

using test::readFile;
using test::TempFolder;

// Loads `text` as the settings file of a fresh folder; the console lines land in `console`.
struct LoadedSettings {
    explicit LoadedSettings(const std::string& text) {
        folder.write("settings.ini", text);
        settings = std::make_unique<Settings>(folder.path(), console);
    }
    // Destroys the record, which writes the file, and returns what it wrote.
    std::string writeBack() {
        settings.reset();
        return readFile(folder.path() / "settings.ini");
    }

    TempFolder folder;
    std::ostringstream console;
    std::unique_ptr<Settings> settings;
};

// The specified eleven lines, then the sections the game added after them.
constexpr const char* kDefaultFile =
    "[Window]\nWidth = 640\nHeight = 480\nRefreshRate = 0\nBrightness = 1\n"
    "Presentation = windowed\nVSync = false\n\n[Game]\nDifficulty = medium\n\n";
constexpr const char* kDefaultSections =
    "[Graphics]\nQuality = auto\nRenderScale = 1\n\n"
    "[Race]\nCourse = prime-loop\nGhost = record\nGhostOpacity = 0.5\nSecondGhost = off\n"
    "Splits = record\nPlayerName = Player\n\n"
    "[Sound]\nMasterVolume = 1\nEngineVolume = 1\nEffectsVolume = 1\n\n"
    "[Controls]\nAccelerate = Space, A\nBrake = Left Ctrl, B\nPitch down = W, none\nPitch up = S, "
    "none\nYaw right = D, none\nYaw left = A, none\nRoll right = Right, Right Shoulder\nRoll left "
    "= Left, Left Shoulder\nRestart = R, Back\nPause = P, Start\nScreenshot = F12, none\n\n"
    "[Accessibility]\nColours = standard\nReducedMotion = false\nAccelerateToggles = false\n"
    "Captions = false\n\n"
    "[Interface]\nLanguage = auto\nUIScale = auto\n\n";

TEST(Settings, MissingFileReportsItsPathUsesDefaultsAndIsWrittenFresh) {
    TempFolder folder;
    std::ostringstream console;
    {
        Settings settings(folder.path(), console);
        EXPECT_EQ(settings.path, folder.path() / "settings.ini");
        EXPECT_EQ(settings.width, 640);
        EXPECT_EQ(settings.height, 480);
        EXPECT_EQ(settings.refreshRate, 0);
        EXPECT_EQ(settings.brightness, 1.0f);
        EXPECT_EQ(settings.presentation, Presentation::windowed);
        EXPECT_FALSE(settings.vsync);
        EXPECT_EQ(settings.difficulty, Difficulty::medium);
        settings.difficulty = Difficulty::hard;
    }
    EXPECT_EQ(console.str(), "ERROR: Failed to load '" + (folder.path() / "settings.ini").string() +
                                 "'. Using default values instead.\n");
    std::string expected = std::string(kDefaultFile) + kDefaultSections;
    expected.replace(expected.find("medium"), 6, "hard");
    EXPECT_EQ(readFile(folder.path() / "settings.ini"), expected);
}

TEST(Settings, AFolderInPlaceOfTheFileCountsAsMissingAndIsLeftAlone) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "settings.ini");
    std::ostringstream console;
    { Settings settings(folder.path(), console); }
    EXPECT_NE(console.str().find("ERROR: Failed to load '"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "settings.ini"));
}

TEST(Settings, SectionsKeysAndWordsMatchWithoutRegardToCase) {
    LoadedSettings loaded(
        "[game]\ndifficulty = HARD\n[WINDOW]\npresentation = FullScreen\n"
        "vsync = True\n");
    EXPECT_EQ(loaded.settings->difficulty, Difficulty::hard);
    EXPECT_EQ(loaded.settings->presentation, Presentation::fullscreen);
    EXPECT_TRUE(loaded.settings->vsync);
    EXPECT_EQ(loaded.console.str(), "");
}

TEST(Settings, IntegersAcceptHexAndLeadingDigitsAndFallBackWithoutDigits) {
    EXPECT_EQ(LoadedSettings("[Window]\nWidth = 0x400\n").settings->width, 1024);
    EXPECT_EQ(LoadedSettings("[Window]\nWidth = 1200px\n").settings->width, 1200);
    EXPECT_EQ(LoadedSettings("[Window]\nWidth = px\n").settings->width, 640);
    EXPECT_EQ(LoadedSettings("[Window]\nRefreshRate = 010\n").settings->refreshRate, 8);
}

TEST(Settings, BrightnessIsWrittenBackInItsShortestForm) {
    LoadedSettings given("[Window]\nBrightness = 0.75\n");
    EXPECT_NE(given.writeBack().find("Brightness = 0.75\n"), std::string::npos);
    LoadedSettings missing("[Window]\nWidth = 800\n");
    EXPECT_NE(missing.writeBack().find("Brightness = 1\n"), std::string::npos);
    LoadedSettings tiny("[Window]\nBrightness = 0.1234567\n");
    EXPECT_NE(tiny.writeBack().find("Brightness = 0.123457\n"), std::string::npos);
}

TEST(Settings, AnUnknownPresentationIsReportedAsWrittenAndSavedAsTheDefault) {
    LoadedSettings loaded("[Window]\nPresentation = window\n");
    EXPECT_EQ(loaded.console.str(),
              "invalid presentation setting: window\nDefaulting to \"windowed\"\n");
    EXPECT_NE(loaded.writeBack().find("Presentation = windowed\n"), std::string::npos);
}

TEST(Settings, UnknownWordsQuoteTheValueAsTheFileSpellsIt) {
    EXPECT_EQ(LoadedSettings("[Window]\nVSync = Yes\n").console.str(),
              "invalid vsync setting: Yes\nDefaulting to \"false\"\n");
    EXPECT_EQ(LoadedSettings("[Game]\nDifficulty =\n").console.str(),
              "invalid difficulty setting: \nDefaulting to \"medium\"\n");
}

TEST(Settings, RepeatedKeysKeepTheFirstNumberAndRejectJoinedWords) {
    LoadedSettings widths("[Window]\nWidth = 800\nWidth = 1024\n");
    EXPECT_EQ(widths.settings->width, 800);
    LoadedSettings vsyncs("[Window]\nVSync = true\nVSync = false\n");
    EXPECT_FALSE(vsyncs.settings->vsync);
    EXPECT_EQ(vsyncs.console.str(),
              "invalid vsync setting: true\nfalse\nDefaulting to \"false\"\n");
}

TEST(Settings, InlineCommentsNeedWhiteSpaceBeforeTheSemicolon) {
    EXPECT_TRUE(LoadedSettings("[Window]\nVSync = true ; chosen for the laptop\n").settings->vsync);
    LoadedSettings glued("[Window]\nVSync = true;note\n");
    EXPECT_FALSE(glued.settings->vsync);
    EXPECT_EQ(glued.console.str(), "invalid vsync setting: true;note\nDefaulting to \"false\"\n");
}

TEST(Settings, AFullFileRoundTripsUnchanged) {
    const std::string file =
        "[Window]\nWidth = 1280\nHeight = 720\nRefreshRate = 144\nBrightness = 0.8\n"
        "Presentation = fullscreen\nVSync = true\n\n[Game]\nDifficulty = easy\n\n"
        "[Graphics]\nQuality = medium\nRenderScale = 0.75\n\n"
        "[Race]\nCourse = seed:42\nGhost = best\nGhostOpacity = 0.4\nSecondGhost = prime\n"
        "Splits = target\nPlayerName = Ada Lovelace\n\n"
        "[Sound]\nMasterVolume = 0.8\nEngineVolume = 0.5\nEffectsVolume = 0\n\n"
        "[Controls]\nAccelerate = J, X\nBrake = Left Ctrl, B\nPitch down = W, none\nPitch up = S, "
        "none\nYaw right = D, none\nYaw left = A, none\nRoll right = Right, Right Shoulder\nRoll "
        "left = Left, Left Shoulder\nRestart = R, Back\nPause = P, Start\nScreenshot = F12, "
        "none\n\n"
        "[Accessibility]\nColours = blue-yellow\nReducedMotion = true\nAccelerateToggles = true\n"
        "Captions = true\n\n"
        "[Interface]\nLanguage = fr\nUIScale = 150\n\n";
    LoadedSettings loaded(file);
    EXPECT_EQ(loaded.console.str(), "");
    EXPECT_EQ(loaded.settings->quality, QualitySetting::medium);
    EXPECT_EQ(loaded.settings->language, "fr");
    EXPECT_EQ(loaded.settings->uiScale, 150);
    EXPECT_EQ(loaded.settings->renderScale, 0.75f);
    EXPECT_EQ(loaded.settings->course, "seed:42");
    EXPECT_EQ(loaded.settings->ghost, GhostSetting::best);
    EXPECT_EQ(loaded.settings->ghostOpacity, 0.4f);
    EXPECT_EQ(loaded.settings->secondGhost, GhostSetting::prime);
    EXPECT_EQ(loaded.settings->splits, SplitsAgainst::target);
    EXPECT_EQ(loaded.settings->playerName, "Ada Lovelace");
    EXPECT_EQ(loaded.settings->engineVolume, 0.5f);
    EXPECT_EQ(loaded.settings->controls.of(Action::accelerate).key, GLFW_KEY_J);
    EXPECT_EQ(loaded.settings->access, (Accessibility{ColourVision::blueYellow, true, true, true}));
    EXPECT_EQ(loaded.settings->toIniText(), file);
    EXPECT_EQ(loaded.writeBack(), file);
}

// A file from before the game had a [Graphics] section loads as it did and is written back
// with its eleven lines first and unchanged, the new section after them.
TEST(Settings, AnOlderFileLoadsUnchangedAndGainsTheNewSectionsAfterItsLines) {
    const std::string older =
        "[Window]\nWidth = 800\nHeight = 600\nRefreshRate = 60\nBrightness = 1.5\n"
        "Presentation = windowed\nVSync = false\n\n[Game]\nDifficulty = hard\n\n";
    LoadedSettings loaded(older);
    EXPECT_EQ(loaded.console.str(), "");
    EXPECT_EQ(loaded.settings->quality, QualitySetting::automatic);
    EXPECT_EQ(loaded.writeBack(), older + kDefaultSections);
}

// A word the accessibility keys do not know is said in one line and the default kept.
TEST(Settings, BadAccessibilityWordsFallBackToTheDefaultsOneLineEach) {
    LoadedSettings loaded(std::string(kDefaultFile) +
                          "[Accessibility]\nColours = purple\nReducedMotion = yes\nCaptions = on\n"
                          "[Interface]\nLanguage = Klingon\nUIScale = 250\n");
    EXPECT_EQ(loaded.settings->access, Accessibility{});
    EXPECT_EQ(loaded.settings->language, "auto");
    EXPECT_EQ(loaded.console.str(),
              "Colours = purple is not one of standard, red-green, blue-yellow; using standard\n"
              "ReducedMotion = yes is not one of true, false; using false\n"
              "Captions = on is not one of true, false; using false\n"
              "Language = Klingon is not a language the game has; using auto\n"
              "UIScale = 250 is not auto or a percentage from 75 to 200; using auto\n");
    EXPECT_EQ(loaded.settings->uiScale, std::nullopt);
}

TEST(Settings, BadGraphicsValuesSayWhichKeyInOneLineEach) {
    LoadedSettings loaded("[Graphics]\nQuality = ultra\nRenderScale = 2\n");
    EXPECT_EQ(loaded.console.str(),
              "Quality = ultra is not one of auto, basic, low, medium, high; using auto\n"
              "RenderScale = 2 is out of range (0.25 to 1), using 1\n");
    EXPECT_EQ(LoadedSettings("[graphics]\nquality = LOW\nrenderscale = 0.25\n").settings->quality,
              QualitySetting::low);
    EXPECT_NE(LoadedSettings("[Graphics]\nRenderScale = 0.2\n").console.str().find("0.2 is out"),
              std::string::npos);
    LoadedSettings ghostly(
        "[Race]\nGhost = always\nGhostOpacity = 0\nSecondGhost = twin\n"
        "Splits = medal\nPlayerName = \x1b[31mred\n");
    EXPECT_EQ(ghostly.console.str(),
              "Ghost = always is not one of record, best, last, prime, off; using record\n"
              "SecondGhost = twin is not one of record, best, last, prime, off; using off\n"
              "Splits = medal is not one of record, target; using record\n"
              "PlayerName holds a control character; using Player\n"
              "GhostOpacity = 0 is out of range (0.05 to 1), using 0.5\n");
    EXPECT_EQ(LoadedSettings("[Race]\nPlayerName = " + std::string(33, 'x') + "\n").console.str(),
              "PlayerName is not 1 to 32 bytes long; using Player\n");
    // Controls: a word that is no key, and a key another action has: each one line, the
    // action's default kept.
    LoadedSettings bound("[Controls]\nBrake = Banana, B\nPitch up = W, none\n");
    EXPECT_EQ(bound.console.str(),
              "Brake = Banana, B is not a key and a gamepad button; using Left Ctrl, B\n"
              "Pitch up = W, none is taken by Pitch down; using S, none\n");
    EXPECT_EQ(bound.settings->controls, Bindings::defaults());
    LoadedSettings spaced("[Race]\nCourse = two words\n");
    EXPECT_EQ(spaced.settings->course, "prime-loop");
    EXPECT_EQ(spaced.console.str(), "Course = two words is not a course name; using prime-loop\n");
}

// Every key the controls screen can bind survives the file: written as the game writes it and
// read back, in the next run, as the same key (a comma, a semicolon and the keypad among
// them). F1 and F2, the debug views' keys, and Escape are never bound, from the file either.
TEST(Settings, EveryBindableKeyComesBackFromTheFileAndTheDebugKeysAreRefused) {
    int bindable = 0;
    for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key) {
        if (keyName(key).empty() || reservedKeyUse(key) != nullptr) {
            continue;
        }
        ++bindable;
        LoadedSettings written("");
        written.settings->controls = Bindings::defaults();
        written.settings->controls.bindKey(Action::brake, key);
        written.writeBack();
        const Settings again(written.folder.path(), written.console);
        EXPECT_EQ(again.controls.of(Action::brake).key, key)
            << keyName(key) << ": " << written.console.str();
    }
    EXPECT_GE(bindable, 80);
    EXPECT_EQ(LoadedSettings("[Controls]\nPitch up = ,, none\n")
                  .settings->controls.of(Action::pitchUp)
                  .key,
              GLFW_KEY_COMMA);  // as an earlier version wrote it
    for (const char* key : {"F1", "F2", "Escape"}) {
        LoadedSettings debug("[Controls]\nAccelerate = " + std::string(key) + ", A\n");
        EXPECT_EQ(debug.settings->controls, Bindings::defaults()) << key;
        EXPECT_NE(debug.console.str().find("; using Space, A"), std::string::npos)
            << debug.console.str();
    }
    EXPECT_EQ(LoadedSettings("[Controls]\nAccelerate = F1, A\n").console.str(),
              "Accelerate = F1, A: F1 shows the collision shapes in a race and cannot be bound; "
              "using Space, A\n");
}

// Whatever the file holds, loading ends with a usable record and the file is rewritten whole.
TEST(Settings, GarbageBinaryAndOverlongLinesLoadWithoutHarm) {
    std::mt19937 random(7);
    std::string binary(4096, '\0');
    for (char& byte : binary) {
        byte = static_cast<char>(random());
    }
    const std::string longLine =
        "[Window]\nWidth = 1" + std::string(5000, '0') + "\nHeight = 300\n";
    const std::string noEnd = "[Window]\nWidth = 900\nPresentation = " + std::string(300, 'x');
    for (const std::string& text : {binary, longLine, noEnd, std::string("\xEF\xBB\xBF")}) {
        LoadedSettings loaded(text);
        const std::string written = loaded.writeBack();
        EXPECT_EQ(written.rfind("[Window]\nWidth = ", 0), 0u);
        EXPECT_NE(written.find("\n[Game]\nDifficulty = "), std::string::npos);
    }
    LoadedSettings withByteOrderMark("\xEF\xBB\xBF[Window]\nWidth = 900\n");
    EXPECT_EQ(withByteOrderMark.settings->width, 900);
}

// A number out of its range names its key as the file spells it, and the default is used and
// written back: a negative width used to fail every later start in the window's creation.
TEST(Settings, NumbersOutOfRangeNameTheirKeyAndFallBackToTheDefault) {
    LoadedSettings loaded(
        "[Window]\nWidth = -640\nHeight = 100000\nRefreshRate = -5\nBrightness = nan\n");
    EXPECT_EQ(loaded.console.str(),
              "Width = -640 is out of range (16 to 16384), using 640\n"
              "Height = 100000 is out of range (16 to 16384), using 480\n"
              "RefreshRate = -5 is out of range (0 to 1000), using 0\n"
              "Brightness = nan is out of range (0.1 to 10), using 1\n");
    const std::string written = loaded.writeBack();
    EXPECT_EQ(
        written.rfind("[Window]\nWidth = 640\nHeight = 480\nRefreshRate = 0\nBrightness = 1\n", 0),
        0u)
        << written;
    for (const char* text : {"Brightness = -1", "Brightness = inf", "Brightness = 0",
                             "Width = 0x7fffffff", "Width = 1" /* too narrow to draw in */}) {
        LoadedSettings bad(std::string("[Window]\n") + text + "\n");
        EXPECT_NE(bad.console.str().find(" is out of range ("), std::string::npos) << text;
    }
    // The edges of a range are in it.
    LoadedSettings edges("[Window]\nWidth = 16\nHeight = 16384\nBrightness = 0.1\n");
    EXPECT_EQ(edges.console.str(), "");
}

// Auto makes the words larger in a small window, as the desktop measures it; a percentage is
// the player's, whatever the window.
TEST(Settings, TheUiScaleGrowsInSmallWindowsUnderAuto) {
    EXPECT_FLOAT_EQ(uiScaleFor(std::nullopt, 1080, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(uiScaleFor(std::nullopt, 720, 1.0f), 1.0f);
    EXPECT_NEAR(uiScaleFor(std::nullopt, 480, 1.0f), 1.2247f, 1e-3f);
    EXPECT_FLOAT_EQ(uiScaleFor(std::nullopt, 2160, 2.0f), 1.0f);  // a 4K desktop at 200 %
    EXPECT_FLOAT_EQ(uiScaleFor(std::nullopt, 600, 2.0f), 1.25f);  // small in its own units
    EXPECT_FLOAT_EQ(uiScaleFor(std::nullopt, 0, 0.0f), 1.25f);    // a minimised window
    EXPECT_FLOAT_EQ(uiScaleFor(75, 480, 1.0f), 0.75f);
    EXPECT_FLOAT_EQ(uiScaleFor(200, 2160, 2.0f), 2.0f);
}

TEST(Settings, AMalformedLineIsReportedWithItsNumber) {
    LoadedSettings loaded("[Window]\nWidth = 800\nthis is no setting\nHeight = 600\n");
    EXPECT_EQ(loaded.console.str(),
              "The settings file '" + loaded.settings->path.string() +
                  "' has a line that is no setting (line 3); it is skipped\n");
    EXPECT_EQ(loaded.settings->width, 800);
    EXPECT_EQ(loaded.settings->height, 600);
}

// The write-back at exit: a folder, a device or a file that could not be read at start keep
// their place, and the player is told in one line.
TEST(Settings, ASaveThatCannotHappenLeavesTheOldFileAndSaysSo) {
    TempFolder folder;
    std::filesystem::create_symlink("/dev/full", folder.path() / "settings.ini");
    std::ostringstream console;
    { Settings settings(folder.path(), console); }
    EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "settings.ini"));
    const std::string path = (folder.path() / "settings.ini").string();
    EXPECT_EQ(console.str(), "ERROR: Failed to load '" + path +
                                 "'. Using default values instead.\n"
                                 "Couldn't save the settings to '" +
                                 path +
                                 "' (it could not be read at start); the file is left as it was\n");

    TempFolder missing;
    std::ostringstream missingConsole;
    { Settings settings(missing.path() / "not-there", missingConsole); }
    EXPECT_FALSE(std::filesystem::exists(missing.path() / "not-there"));
    EXPECT_NE(
        missingConsole.str().find("(No such file or directory); the file is left as it was\n"),
        std::string::npos)
        << missingConsole.str();
}

// A file far larger than settings can be is moved aside, as a broken records file is.
TEST(Settings, AHugeFileIsMovedAsideAndTheDefaultsWrittenFresh) {
    const std::string huge = "[Window]\nWidth = 800\n" + std::string(2 * 1024 * 1024, ';');
    LoadedSettings loaded(huge);
    const std::string path = loaded.settings->path.string();
    EXPECT_EQ(loaded.console.str(), "The settings file '" + path +
                                        "' is larger than 1 MiB; moved aside as '" + path +
                                        ".bad', using default values instead\n");
    EXPECT_EQ(loaded.settings->width, 640);
    EXPECT_EQ(readFile(path + ".bad"), huge);
    EXPECT_EQ(loaded.writeBack().rfind("[Window]\nWidth = 640\n", 0), 0u);
}

}  // namespace
}  // namespace kes
