// The front door in the real game under Xvfb, driven with synthetic key presses: the title
// screen before any race line, the countdown and the clock starting at GO, settings changed with
// keys alone and saved, and a rebound key flying the ship. It also saves a picture of every
// screen (test-output/front-door-*.jpg).
#include "game/screens/FrontDoor.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <functional>
#include <sstream>
#include <string>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "game/screens/Menu.hpp"
#include "game/screens/MenuScreen.hpp"
#include "gpu/FrameCapture.hpp"
#include "platform/Gamepad.hpp"
#include "support/GameLayerSeam.hpp"
#include "support/ScriptLayer.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

using test::ScriptLayer;

void press(FrontDoor& door, int key) {
    door.input().onKey(key, 0, GLFW_PRESS, 0);
    door.input().onKey(key, 0, GLFW_RELEASE, 0);
}

// Puts the settings file beside the test program back as it was, so the window sizes of these
// tests do not reach the tests after them.
class SettingsKept {
public:
    SettingsKept() : m_path(App::makeAppPath() / "settings.ini") {
        std::ifstream in(m_path);
        if (in) {
            std::ostringstream text;
            text << in.rdbuf();
            m_text = text.str();
        }
    }
    ~SettingsKept() {
        if (m_text) {
            std::ofstream(m_path) << *m_text;
        } else {
            std::filesystem::remove(m_path);
        }
    }
    SettingsKept(const SettingsKept&) = delete;
    SettingsKept& operator=(const SettingsKept&) = delete;

private:
    std::filesystem::path m_path;
    std::optional<std::string> m_text;
};

// A fresh settings file beside the test program, as the game finds it from a build folder.
std::filesystem::path freshSettings(int width, int height) {
    const std::filesystem::path path = App::makeAppPath() / "settings.ini";
    std::ofstream(path) << "[Window]\nWidth = " << width << "\nHeight = " << height
                        << "\nRefreshRate = 0\nBrightness = 1\nPresentation = windowed\n"
                           "VSync = false\n\n[Game]\nDifficulty = hard\n\n";
    std::filesystem::remove(App::makeAppPath() / "records.ini");
    return path;
}

// The window's own settings; the race keeps no records (see RaceSetup).
LaunchOptions noRecords() {
    return LaunchOptions{};
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The title screen holds while the autopilot flies behind it, silently; Enter starts the
// countdown, whose numbers come one a second, and the race's clock starts at GO.
TEST(FrontDoorTest, TheTitleComesFirstAndTheClockStartsAtGo) {
    const SettingsKept kept;
    freshSettings(400, 300);
    testing::internal::CaptureStdout();
    App app(noRecords());
    FrontDoor& door = app.layers.emplace<FrontDoor>(app, RaceSetup{.keepRecords = false});
    std::string beforeEnter;
    std::vector<std::string> counted;
    std::string consoleAtGo;
    int goPass = -1;
    app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport&) {
        if (pass == 60) {
            beforeEnter = testing::internal::GetCapturedStdout();
            testing::internal::CaptureStdout();
            EXPECT_EQ(door.screenName(), "title");
            press(door, GLFW_KEY_ENTER);
        } else if (pass > 60) {
            const std::string shown = door.countdownText();
            if (!shown.empty() && (counted.empty() || counted.back() != shown)) {
                counted.push_back(shown);
                if (shown == "GO") {
                    consoleAtGo = testing::internal::GetCapturedStdout();
                    testing::internal::CaptureStdout();
                    goPass = pass;
                }
            }
            // Some passes after GO, however fast the passes come.
            if (door.screenName() == "racing" && goPass >= 0 && pass > goPass + 60) {
                app.gl.requestClose();
            }
        }
    }));
    app.run();
    const std::string afterGo = testing::internal::GetCapturedStdout();
    EXPECT_EQ(beforeEnter.find("New start time"), std::string::npos) << beforeEnter;
    EXPECT_EQ(beforeEnter.find("Checked targetzone"), std::string::npos);
    EXPECT_EQ(counted, (std::vector<std::string>{"3", "2", "1", "GO"}));
    EXPECT_EQ(consoleAtGo.find("New start time"), std::string::npos) << consoleAtGo;
    EXPECT_NE(afterGo.find("New start time"), std::string::npos) << afterGo;
}

// A player who takes Race at the very first frame (the pointer resting over the window) and
// holds accelerate: the ship stands at the start from the countdown's first frame, zone 0 counts at
// GO and the clock runs. R within the first second of the round, while the ship is still inside
// zone 0, does the same again.
TEST(FrontDoorTest, ARaceTakenAtOnceAndARestartAtOnceBothStartTheClock) {
    const SettingsKept kept;
    freshSettings(320, 240);
    testing::internal::CaptureStdout();
    App app(noRecords());
    FrontDoor& door = app.layers.emplace<FrontDoor>(app, RaceSetup{.keepRecords = false});
    RaceSimulation& race = GameLayerSeam::simulation(door.game());
    const glm::vec3 start = race.shipBody->getTransform().position;
    int goes = 0;
    int racingPasses = 0;
    float farthestInCountdown = 0.0f;
    std::vector<float> clockAfterGo;
    std::vector<std::uint32_t> checkedAfterGo;
    app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport&) {
        if (pass == 0) {
            // The window opened under a pointer resting in its middle (over Ghost): that
            // report alone chooses nothing, and Enter takes Race.
            door.input().onCursorPos(160.0, 120.0);
            press(door, GLFW_KEY_ENTER);
            return;
        }
        if (door.screenName() == "countdown") {
            const glm::vec3 drawn = GameLayerSeam::scene(door.game()).shipNode->render.position;
            farthestInCountdown = std::max(farthestInCountdown, glm::distance(drawn, start));
            racingPasses = 0;
            return;
        }
        if (door.screenName() != "racing") {
            return;
        }
        if (racingPasses++ == 0) {
            ++goes;
            door.input().onKey(GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
        }
        if (racingPasses == 20) {
            clockAfterGo.push_back(race.race.roundTime());
            checkedAfterGo.push_back(race.race.lastChecked);
            if (goes == 1) {
                press(door, GLFW_KEY_R);  // a third of a second in: still inside zone 0
            } else {
                app.gl.requestClose();
            }
        }
    }));
    app.run();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(goes, 2);
    EXPECT_LT(farthestInCountdown, 1.0f);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(checkedAfterGo[i], 0u) << "round " << i;
        EXPECT_GT(clockAfterGo[i], 0.1f) << "round " << i;
        // The clock started at GO: 20 passes of the race, a step each, are a third of a second.
        EXPECT_LT(clockAfterGo[i], 21.0f / 60.0f) << "round " << i;
    }
}

// Quality and volume changed with the arrow keys and Enter, then the window closed: the file
// keeps its specified eleven lines and has the new values. Accelerate bound to J (after F1,
// the debug view's key, was refused): J flies the ship, Space no longer does.
TEST(FrontDoorTest, SettingsAndABindingMadeWithKeysAloneAreKeptAndUsed) {
    const SettingsKept kept;
    const std::filesystem::path settings = freshSettings(320, 240);
    const std::string elevenLines = readText(settings);
    testing::internal::CaptureStdout();
    {
        App app(noRecords());
        FrontDoor& door = app.layers.emplace<FrontDoor>(app, RaceSetup{.keepRecords = false});
        bool acceleratedByJ = false;
        bool acceleratedBySpace = true;
        bool f1Refused = false;
        app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport&) {
            HidListener_SceneNodeController& ship =
                GameLayerSeam::simulation(door.game()).shipController;
            if (pass == 2) {
                for (int i = 0; i < 3; ++i) {
                    press(door, GLFW_KEY_DOWN);  // Race, Course, Ghosts, Settings
                }
                press(door, GLFW_KEY_ENTER);
                for (int i = 0; i < 3; ++i) {
                    press(door, GLFW_KEY_DOWN);  // Window, Presentation, Brightness, Quality
                }
                press(door, GLFW_KEY_RIGHT);  // auto -> low
                press(door, GLFW_KEY_DOWN);
                press(door, GLFW_KEY_DOWN);  // Render scale, Master volume
                press(door, GLFW_KEY_LEFT);  // 100 % -> 90 %
                for (int i = 0; i < 4; ++i) {
                    press(door, GLFW_KEY_DOWN);  // Engine, Effects, Splits against, Controls
                }
                press(door, GLFW_KEY_ENTER);  // Controls: Accelerate first
                press(door, GLFW_KEY_ENTER);  // press a key for it: F1 is the debug view's
                press(door, GLFW_KEY_F1);
                f1Refused = app.settings.controls.of(Action::accelerate).key == GLFW_KEY_SPACE &&
                            !app.settings.controls.actionOfKey(GLFW_KEY_F1);
                press(door, GLFW_KEY_ENTER);  // another key for it
                press(door, GLFW_KEY_J);
                press(door, GLFW_KEY_ESCAPE);  // to the settings
                press(door, GLFW_KEY_ESCAPE);  // to the title, Race selected
                press(door, GLFW_KEY_ENTER);
            } else if (door.screenName() == "racing" && pass < 10000) {
                door.input().onKey(GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
                acceleratedBySpace = ship.isHeld(HidListener_SceneNodeController::accelerate);
                door.input().onKey(GLFW_KEY_SPACE, 0, GLFW_RELEASE, 0);
                door.input().onKey(GLFW_KEY_J, 0, GLFW_PRESS, 0);
                acceleratedByJ = ship.isHeld(HidListener_SceneNodeController::accelerate);
                app.gl.requestClose();
            }
        }));
        app.run();
        EXPECT_TRUE(acceleratedByJ);
        EXPECT_FALSE(acceleratedBySpace);
        EXPECT_TRUE(f1Refused);
        EXPECT_EQ(app.quality, QualitySetting::basic);
    }
    testing::internal::GetCapturedStdout();
    const std::string written = readText(settings);
    EXPECT_EQ(written.substr(0, elevenLines.size()), elevenLines);
    EXPECT_NE(written.find("\nQuality = basic\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\nMasterVolume = 0.9\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\nAccelerate = J, A\n"), std::string::npos) << written;
}

// A window takes a new size from the settings at once, the picture fills it from the next
// passes, and the size is kept in the file's own lines.
TEST(FrontDoorTest, TheWindowTakesANewSizeAtOnce) {
    const SettingsKept kept;
    const std::filesystem::path settings = freshSettings(640, 480);
    testing::internal::CaptureStdout();
    glm::ivec2 seen{0};
    {
        App app(noRecords());
        FrontDoor& door = app.layers.emplace<FrontDoor>(app, RaceSetup{.keepRecords = false});
        app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport& window) {
            if (pass == 2) {
                for (const int key : {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER,
                                      GLFW_KEY_RIGHT}) {  // Settings, then Window: the next size
                    press(door, key);
                }
            } else if (pass > 2 && (window.width != 640 || pass > 300)) {
                seen = {window.width, window.height};
                app.gl.requestClose();
            }
        }));
        app.run();
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(seen, glm::ivec2(800, 600));
    const std::string written = readText(settings);
    const std::string expected = "[Window]\nWidth = 800\nHeight = 600\n";
    EXPECT_EQ(written.substr(0, expected.size()), expected) << written;
}

// The Settings screen's Presentation switches to full screen and back at once: the window
// covers the virtual display's screen (1920 x 1080 here) in its largest size, then is again the
// window of 640 x 480 it was, and the file says so each time; the text's atlas is drawn again
// for each size.
TEST(FrontDoorTest, FullScreenAndBackTakeEffectAtOnce) {
    const SettingsKept kept;
    const std::filesystem::path settings = freshSettings(640, 480);
    testing::internal::CaptureStdout();
    std::vector<glm::ivec2> seen;
    std::vector<bool> fullscreen;
    std::vector<std::int32_t> atlasHeights;  // the text's glyphs, drawn for the window
    std::string writtenFull;
    {
        App app(noRecords());
        FrontDoor& door = app.layers.emplace<FrontDoor>(app, RaceSetup{.keepRecords = false});
        int since = 0;
        app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport& window) {
            const glm::ivec2 size{window.width, window.height};
            const auto atlasHeight = [&] { return door.game().renderer().text().glyphs.height; };
            if (pass == 2) {
                atlasHeights.push_back(atlasHeight());
                for (const int key : {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER,
                                      GLFW_KEY_DOWN, GLFW_KEY_RIGHT}) {  // Settings, Presentation
                    press(door, key);
                }
                since = pass;
            } else if (pass > 2 && seen.empty() && (size.x != 640 || pass > since + 300)) {
                seen.push_back(size);
                fullscreen.push_back(app.gl.fullscreen());
                atlasHeights.push_back(atlasHeight());
                writtenFull = readText(settings);
                press(door, GLFW_KEY_RIGHT);  // back to a window
                since = pass;
            } else if (seen.size() == 1 && (size.x != 1920 || pass > since + 300)) {
                seen.push_back(size);
                fullscreen.push_back(app.gl.fullscreen());
                atlasHeights.push_back(atlasHeight());
                app.gl.requestClose();
            }
        }));
        app.run();
    }
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], glm::ivec2(1920, 1080));
    EXPECT_EQ(fullscreen, (std::vector<bool>{true, false}));
    EXPECT_EQ(seen[1], glm::ivec2(640, 480));
    // The text's atlas is drawn again for the full screen, sharp at its size, and back.
    ASSERT_EQ(atlasHeights.size(), 3u);
    EXPECT_GT(atlasHeights[1], atlasHeights[0] * 2);
    EXPECT_EQ(atlasHeights[2], atlasHeights[0]);
    EXPECT_NE(writtenFull.find("Presentation = fullscreen"), std::string::npos) << writtenFull;
    EXPECT_NE(readText(settings).find("Presentation = windowed"), std::string::npos);
}

// F12 saves the frame as shown, in a race as on a menu: a PNG of the window's size in the
// "screenshots" folder beside the records, a new name each time, said on the console.
TEST(FrontDoorTest, F12SavesTheFrameAsAPictureOfTheWindowsSize) {
    const SettingsKept kept;
    freshSettings(320, 240);
    const std::filesystem::path folder = App::makeAppPath() / "screenshots";
    std::filesystem::remove_all(folder);
    testing::internal::CaptureStdout();
    std::filesystem::path raced;
    {
        App app(noRecords());
        FrontDoor& door = app.layers.emplace<FrontDoor>(app, RaceSetup{.keepRecords = false});
        app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport&) {
            if (pass == 3) {
                press(door, GLFW_KEY_F12);  // on the title
                press(door, GLFW_KEY_ENTER);
            } else if (pass > 3 && door.screenName() == "racing" && raced.empty()) {
                press(door, GLFW_KEY_F12);
                raced = "asked";
            } else if (raced == "asked") {
                raced = door.game().lastScreenshot();
                app.gl.requestClose();
            } else if (pass > 2000) {
                app.gl.requestClose();
            }
        }));
        app.run();
    }
    const std::string console = testing::internal::GetCapturedStdout();
    std::vector<std::filesystem::path> saved;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        saved.push_back(entry.path());
    }
    ASSERT_EQ(saved.size(), 2u) << console;
    for (const std::filesystem::path& path : saved) {
        const std::optional<CapturedImage> image = loadPng(path);
        ASSERT_TRUE(image) << path;
        EXPECT_EQ(glm::ivec2(image->width, image->height), glm::ivec2(320, 240));
        EXPECT_NE(console.find("Screenshot saved: " + path.string() + "\n"), std::string::npos);
    }
    EXPECT_EQ(raced.parent_path(), folder);
    std::filesystem::remove_all(folder);
}

// Another course chosen on the course screen: the level is built anew on it and the choice is
// kept in the settings.
TEST(FrontDoorTest, ACourseChosenIsFlownAndKept) {
    const SettingsKept kept;
    const std::filesystem::path settings = freshSettings(320, 240);
    testing::internal::CaptureStdout();
    std::string chosen;
    std::size_t coursesRead = 0;
    {
        App app(noRecords());
        FrontDoor& door = app.layers.emplace<FrontDoor>(app, RaceSetup{.keepRecords = false});
        coursesRead = door.game().courses().courses().size();
        app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport&) {
            if (pass == 2) {
                for (const int key :
                     {GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_DOWN, GLFW_KEY_ENTER}) {
                    press(door, key);  // Course, then the course after the first
                }
            } else if (pass == 6) {
                EXPECT_EQ(door.screenName(), "title");
                EXPECT_EQ(door.game().courses().courses().size(), coursesRead);
                chosen = GameLayerSeam::simulation(door.game()).course.name;
                app.gl.requestClose();
            }
        }));
        app.run();
    }
    testing::internal::GetCapturedStdout();
    EXPECT_NE(chosen, kFirstCourseName);
    EXPECT_FALSE(chosen.empty());
    EXPECT_NE(readText(settings).find("\nCourse = " + chosen + "\n"), std::string::npos)
        << readText(settings);
}

// Pixels near the menus' amber (the selected entry, a new record) in the rows between `lowY`
// and `highY` (text units, -1 at the bottom of the window, 1 at the top).
int amberPixels(const CapturedImage& image, float lowY, float highY) {
    const auto row = [&](float y) {
        return static_cast<int>((y * 0.5f + 0.5f) * static_cast<float>(image.height));
    };
    int count = 0;
    for (int y = std::max(row(lowY), 0); y < std::min(row(highY), image.height); ++y) {
        for (int x = 0; x < image.width; ++x) {
            const glm::u8vec4 p = image.at(x, y);
            count += p.r > 150 && p.g > p.r / 2 && p.g < p.r * 9 / 10 && p.b < p.r / 2;
        }
    }
    return count;
}

// The mean brightness (0 to 255) of the pixels between `low` and `high` (text units: -1 to 1
// across and up the window). The image's rows run from the bottom up.
double meanBrightness(const CapturedImage& image, const glm::vec2& low, const glm::vec2& high) {
    const auto at = [](float unit, int pixels) {
        return std::clamp(static_cast<int>((unit * 0.5f + 0.5f) * static_cast<float>(pixels)), 0,
                          pixels);
    };
    double sum = 0.0;
    int count = 0;
    for (int y = at(low.y, image.height); y < at(high.y, image.height); ++y) {
        for (int x = at(low.x, image.width); x < at(high.x, image.width); ++x) {
            const glm::u8vec4 p = image.at(x, y);
            sum += (p.r + p.g + p.b) / 3.0;
            ++count;
        }
    }
    return count > 0 ? sum / count : 0.0;
}

// Pixels of white text (grey, not the tube's blue) in the middle third of the window between `lowY`
// and `highY`.
int whitePixels(const CapturedImage& image, float lowY, float highY) {
    const auto row = [&](float y) {
        return static_cast<int>((y * 0.5f + 0.5f) * static_cast<float>(image.height));
    };
    int count = 0;
    for (int y = std::max(row(lowY), 0); y < std::min(row(highY), image.height); ++y) {
        for (int x = image.width / 3; x < 2 * image.width / 3; ++x) {
            const glm::u8vec4 p = image.at(x, y);
            count += p.r > 180 && p.g > 180 && p.b > 180 && std::abs(p.r - p.b) < 25;
        }
    }
    return count;
}

// Every screen, reached as a player would (the gamepad to the courses, the mouse to the
// settings, keys to the rest), at the smallest window and larger ones, in English and German:
// the selected entry stands out in amber wherever the layout puts it (also in the long list of
// controls), the countdown's number and the round's results are drawn. The pictures are kept
// as test-output/front-door-<screen>-<width>x<height>[-<language>].jpg
// (scripts/front-door-pictures.sh copies them into docs/). The pictures at 3840 x 2160, and in
// German at 1920 x 1080, take minutes on a software renderer: they are drawn when
// DRIFTLINE_ALL_PICTURES is set (the script sets it).
struct PictureLook {
    glm::ivec2 size;
    const char* language;  // "en": the pictures' names have no language
};

// Speaks English again when the test ends, whatever the settings of its game said.
struct EnglishAfter {
    ~EnglishAfter() {
        std::ostringstream console;
        useLanguage("en", std::filesystem::path(DRIFTLINE_ASSETS_DIR) / "locale", console);
    }
};

class FrontDoorPictures : public testing::TestWithParam<PictureLook> {};

TEST_P(FrontDoorPictures, EveryScreenIsDrawnWithItsSelectionPlainToSee) {
    const SettingsKept kept;
    const EnglishAfter english;
    const glm::ivec2 size = GetParam().size;
    const std::string language = GetParam().language;
    if ((size.y > 1080 || (language != "en" && size.y > 480)) &&
        std::getenv("DRIFTLINE_ALL_PICTURES") == nullptr) {
        GTEST_SKIP() << "drawn by scripts/front-door-pictures.sh";
    }
    std::ofstream(freshSettings(size.x, size.y), std::ios::app)
        << "[Interface]\nLanguage = " << language << "\n";
    testing::internal::CaptureStdout();
    App app(noRecords());
    FrontDoor& door = app.layers.emplace<FrontDoor>(app, RaceSetup{.keepRecords = false});
    struct Step {
        const char* screen;
        const char* expected;
        std::function<void()> act;
    };
    const auto keys = [&](std::initializer_list<int> list) {
        for (const int key : list) {
            press(door, key);
        }
    };
    const auto finishRound = [&] {
        // Two rounds' touches a few seconds apart; the clock then goes on from where it was.
        RaceState& race = GameLayerSeam::simulation(door.game()).race;
        const float now = race.currentTime;
        if (race.lastChecked == RaceState::kNone) {
            race.onTargetZoneReached(0);
        }
        for (const float apart : {3.5f, 3.2f}) {  // the second round against the first
            for (std::int32_t zone = 1; zone <= race.targetZoneCount; ++zone) {
                race.currentTime += apart;
                race.onTargetZoneReached(static_cast<std::uint32_t>(zone % race.targetZoneCount));
            }
        }
        race.currentTime = race.roundStartTime = now;
    };
    const auto buttons = [&](std::initializer_list<std::uint16_t> list) {
        for (const std::uint16_t button : list) {
            door.input().onGamepadButtons(button, true);
            door.input().onGamepadButtons(button, false);
        }
    };
    // The pointer on an entry of the menu shown, in the window's pixels, y down.
    const auto pointAt = [&](std::size_t entry) {
        const Menu& menu = *door.top()->menu();
        const float y = MenuLayout::entryY(entry, menu.entries.size(), menu.scale);
        door.input().onCursorPos(size.x / 2.0, (1.0 - y) * size.y / 2.0);
    };
    const auto clickOn = [&](std::size_t entry) {
        pointAt(entry);
        door.input().onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
        door.input().onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    };
    const std::vector<Step> steps{
        // The virtual screen's own pointer may stand over the window and choose an entry;
        // the script points at Race first, so the steps after it start from there.
        {"title", "title", [&] { pointAt(0); }},
        {"course", "course",
         [&] {
             buttons({GamepadButton::kDpadDown, GamepadButton::kA});
         }},
        {"settings", "settings",
         [&] {
             buttons({GamepadButton::kB});
             clickOn(3);  // Race, Course, Ghosts, Settings
         }},
        {"controls", "controls",
         [&] {
             // From Window up past Back, Language and Accessibility to Controls.
             keys({GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER});
             keys({GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER});  // Pause's key
         }},
        {"countdown", "countdown",
         [&] {
             keys({GLFW_KEY_ESCAPE, GLFW_KEY_ESCAPE, GLFW_KEY_ESCAPE, GLFW_KEY_ENTER});
         }},
        {"pause", "paused", [&] { keys({GLFW_KEY_P}); }},
        {"results", "racing",
         [&] {
             keys({GLFW_KEY_ESCAPE});
             finishRound();
         }},
    };
    std::size_t step = 0;
    int since = 0;
    std::vector<CapturedImage> pictures;
    std::vector<std::size_t> selected;
    std::vector<std::size_t> entries;
    std::vector<bool> shipShown;
    std::vector<std::string> titles;
    std::vector<float> scales;
    app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport& window) {
        // The pause waits for the race to run and the countdown's GO to go.
        const std::string screen = steps[step].screen;
        const bool waiting = since == 0 && screen == "pause" &&
                             (door.screenName() != "racing" || !door.countdownText().empty());
        if (pass < 3 || waiting) {
            return;
        }
        if (since == 0) {
            steps[step].act();
        } else if (since == 2 || (step == 4 && since == 1)) {
            pictures.push_back(captureFramebuffer(0, GL_BACK, window.width, window.height));
            EXPECT_EQ(door.screenName(), steps[step].expected) << steps[step].screen;
            const auto* menuScreen = dynamic_cast<const MenuScreen*>(door.top());
            const Menu* shown = menuScreen != nullptr ? &menuScreen->shownMenu() : nullptr;
            selected.push_back(shown != nullptr ? shown->selected : 0);
            titles.push_back(shown != nullptr ? shown->title : "");
            scales.push_back(shown != nullptr ? shown->scale : 1.0f);
            shipShown.push_back(GameLayerSeam::scene(door.game()).shipNode->visible);
            entries.push_back(shown != nullptr ? shown->entries.size() : 0);
            std::filesystem::create_directories("test-output");
            saveJpeg(pictures.back(), "test-output/front-door-" + std::string(steps[step].screen) +
                                          "-" + std::to_string(size.x) + "x" +
                                          std::to_string(size.y) +
                                          (language == "en" ? "" : "-" + language) + ".jpg");
            since = -1;
            if (++step == steps.size()) {
                app.gl.requestClose();
            }
        }
        ++since;
    }));
    app.run();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(pictures.size(), steps.size());
    // The words are the settings' language's (the game's name is the same in every one).
    const std::vector<std::string> expectedTitles =
        language == "de"
            ? std::vector<std::string>{"DRIFTLINE PRIME",
                                       "STRECKE",
                                       "EINSTELLUNGEN",
                                       "STEUERUNG",
                                       "",
                                       "PAUSE",
                                       ""}
            : std::vector<std::string>{"DRIFTLINE PRIME", "COURSE", "SETTINGS", "CONTROLS", "",
                                       "PAUSED",          ""};
    EXPECT_EQ(titles, expectedTitles);
    // The menus are drawn at the UI scale auto chooses for the window.
    EXPECT_FLOAT_EQ(scales[0], uiScaleFor(std::nullopt, size.y, systemDpi() / 96.0f));
    for (const std::size_t menu : {0u, 1u, 2u, 3u, 5u}) {
        const float y = MenuLayout::entryY(selected[menu], entries[menu], scales[menu]);
        const float half = MenuLayout::entryStep(entries[menu], scales[menu]) / 2.0f;
        EXPECT_GT(amberPixels(pictures[menu], y - half, y + half), size.y / 16)
            << steps[menu].screen;
        // The entries stand on a dark panel: beside them (clear of the chosen bar) the level is
        // much darker than just outside the panel's edge.
        const float lowest = MenuLayout::entryY(entries[menu] - 1, entries[menu], scales[menu]);
        const double inside =
            meanBrightness(pictures[menu], {0.875f, lowest}, {0.91f, MenuLayout::kFirstEntryY});
        const double outside =
            meanBrightness(pictures[menu], {0.95f, lowest}, {0.99f, MenuLayout::kFirstEntryY});
        EXPECT_LT(inside, 55.0) << steps[menu].screen;
        EXPECT_LT(inside * 1.6, outside) << steps[menu].screen;
    }
    // The race display's smallest words, the "Next Zone" label at the top left, stand at least
    // 14 pixels high at 640 x 480 and in proportion above: rows of white glyph pixels under the
    // distance figure, whose baseline stands lower the larger the UI scale.
    const CapturedImage& racing = pictures[6];
    const float uiScale = scales[0];
    const float baseline = 1.0f - 0.22f * uiScale;
    const auto rowOf = [&](float unit) {
        return static_cast<int>((unit * 0.5f + 0.5f) * static_cast<float>(racing.height));
    };
    int highest = -1;
    int lowest = -1;
    for (int y = rowOf(baseline - 0.23f * uiScale); y < rowOf(baseline - 0.005f); ++y) {
        int white = 0;
        for (int x = racing.width / 50; x < racing.width / 4; ++x) {
            const glm::u8vec4 p = racing.at(x, y);
            white += p.r > 200 && p.g > 200 && p.b > 200 && p.b < p.r + 30;
        }
        if (white >= 3) {
            lowest = lowest < 0 ? y : lowest;
            highest = y;
        }
    }
    const int labelHeight = highest - lowest + 1;
    EXPECT_GE(labelHeight, 14 * size.y / 480) << "the Next Zone label's height in pixels";
    EXPECT_LE(labelHeight, 30 * uiScale * float(size.y) / 480.0f)
        << "the Next Zone label's height in pixels";
    // The course screen pictures the chosen course at the top right: its start a green dot.
    int green = 0;
    const CapturedImage& course = pictures[1];
    for (int y = course.height * 3 / 4; y < course.height; ++y) {  // rows run from the bottom
        for (int x = course.width * 3 / 4; x < course.width; ++x) {
            const glm::u8vec4 p = course.at(x, y);
            green += p.g > 150 && p.g > p.r + 40 && p.g > p.b + 30;
        }
    }
    EXPECT_GT(green, 20) << "the course map's start";
    // Under a menu the level shows the course alone: no ship behind the words.
    EXPECT_EQ(shipShown, (std::vector<bool>{false, false, false, false, true, false, true}));
    EXPECT_GT(whitePixels(pictures[4], 0.1f, 0.4f), size.y / 4) << "the countdown's number";
    EXPECT_GT(amberPixels(pictures[6], 0.37f, 0.47f), size.y / 8) << "New record";
    EXPECT_GT(whitePixels(pictures[6], -0.4f, 0.4f), size.y / 4) << "the splits";
}

INSTANTIATE_TEST_SUITE_P(
    SizesAndLanguages, FrontDoorPictures,
    testing::Values(PictureLook{{640, 480}, "en"}, PictureLook{{1920, 1080}, "en"},
                    PictureLook{{640, 480}, "de"}, PictureLook{{1920, 1080}, "de"},
                    PictureLook{{3840, 2160}, "en"}, PictureLook{{3840, 2160}, "de"}),
    [](const auto& test) {
        return std::to_string(test.param.size.x) + "x" + std::to_string(test.param.size.y) + "_" +
               test.param.language;
    });

}  // namespace
}  // namespace kes
