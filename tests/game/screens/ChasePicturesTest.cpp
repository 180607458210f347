// What the player chases, pictured in the real game under the virtual display, as a player
// reaches it: the course's table of proven ghosts (one raced from it), two ghosts in flight
// with their name tags and the line saying whom the player races, the results with their
// medal, the course list with the record's medal and the next target, and the statistics with
// their plot. The data folder holds a history of earlier rounds and an imported ghost. The
// pictures are kept as test-output/chase-<screen>-<width>x<height>.jpg
// (scripts/front-door-pictures.sh copies them into docs/).
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "app/App.hpp"
#include "game/ghost/FlightRecorder.hpp"
#include "game/ghost/GhostLibrary.hpp"
#include "game/ghost/PrimeRound.hpp"
#include "game/race/HeadlessRace.hpp"
#include "game/screens/FrontDoor.hpp"
#include "game/screens/TheatreScreen.hpp"
#include "gpu/FrameCapture.hpp"
#include "support/Flights.hpp"
#include "support/GameLayerSeam.hpp"
#include "support/ScriptLayer.hpp"

namespace kes {
namespace {

using test::ScriptLayer;

const std::filesystem::path kAssets = DRIFTLINE_ASSETS_DIR;

// The player's folder beside the test program: the settings, a history of six rounds on the
// course and Ada's ghost imported; whatever the game writes there is taken away afterwards.
class ChaseFolder {
public:
    ChaseFolder(int width, int height) : m_folder(App::makeAppPath()) {
        clear();
        std::ofstream(m_folder / "settings.ini")
            << "[Window]\nWidth = " << width << "\nHeight = " << height
            << "\nRefreshRate = 0\nBrightness = 1\nPresentation = windowed\nVSync = false\n\n"
               "[Game]\nDifficulty = hard\n\n[Race]\nCourse = tight-knot\nGhost = record\n"
               "SecondGhost = prime\nPlayerName = Grace\n";
        const CourseLibrary courses(kAssets / "courses", {}, m_console);
        const Course knot = *courses.find("tight-knot");
        const Ghost prime = *flyPrimeRound(knot);
        std::ofstream history(m_folder / "history.csv");
        history << RoundHistory::kHeader;
        for (const float time : {33.9f, 31.2f, 29.8f, 30.4f, 27.6f, 28.3f, 26.5f}) {
            std::vector<float> splits = prime.splits;
            for (float& split : splits) {
                split *= time / prime.roundTime;
            }
            history << historyLine({"2026-12-09T20:00:00Z", knot.name, courseHash(knot), time,
                                    splits, Medal::none, 0, 0, gameVersion()});
        }
        history.close();
        const std::filesystem::path file = m_folder / "ada.ghost";
        std::ofstream(file, std::ios::binary)
            << encodeGhost(test::roundAfterRestart(knot, "Ada", 200));
        GhostLibrary library(m_folder / "ghosts", m_console);
        EXPECT_TRUE(library.importFile(file, courses).kept);
        std::filesystem::remove(file);
    }
    ~ChaseFolder() { clear(); }
    ChaseFolder(const ChaseFolder&) = delete;
    ChaseFolder& operator=(const ChaseFolder&) = delete;

private:
    void clear() {
        for (const char* name : {"settings.ini", "records.ini", "records.ini.lock", "history.csv",
                                 "tight-knot.ghost", "ghosts", "targets"}) {
            std::filesystem::remove_all(m_folder / name);
        }
    }
    std::filesystem::path m_folder;
    std::ostringstream m_console;
};

// The plot's hues, as drawn (the menus' dimming and the display's mapping soften them).
bool isGold(const glm::ivec3& p) {
    return p.r > 150 && p.g > 120 && p.b + 60 < p.g;
}
// The theatre's marks and lines over the undimmed level: the display's mapping leaves the
// rings' amber a yellow and the difference line's green and red pale.
bool isAmber(const glm::ivec3& p) {
    return p.r > 170 && p.g > 150 && p.b < p.r - 60;
}
bool isGreenOrRed(const glm::ivec3& p) {
    return (p.g > p.r + 25 && p.g > p.b + 10) || (p.r > p.g + 25 && p.r > p.b + 25);
}
bool isCyan(const glm::ivec3& p) {
    return p.b > 150 && p.g > 150 && p.r + 50 < p.g;
}

// Pixels of a hue in the rows between `lowY` and `highY` (text units).
int countPixels(const CapturedImage& image, float lowY, float highY,
                bool (*hue)(const glm::ivec3&)) {
    const auto row = [&](float y) {
        return static_cast<int>((y * 0.5f + 0.5f) * static_cast<float>(image.height));
    };
    int count = 0;
    for (int y = std::max(row(lowY), 0); y < std::min(row(highY), image.height); ++y) {
        for (int x = 0; x < image.width; ++x) {
            count += hue(glm::ivec3(glm::u8vec3(image.at(x, y))));
        }
    }
    return count;
}

// The mean difference of two pictures' channels, 0 to 255.
double meanDifference(const CapturedImage& a, const CapturedImage& b) {
    double sum = 0.0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const glm::ivec4 d = glm::ivec4(a.at(x, y)) - glm::ivec4(b.at(x, y));
            sum += std::abs(d.r) + std::abs(d.g) + std::abs(d.b);
        }
    }
    return sum / (3.0 * double(a.width) * double(a.height));
}

void press(FrontDoor& door, int key) {
    door.input().onKey(key, 0, GLFW_PRESS, 0);
    door.input().onKey(key, 0, GLFW_RELEASE, 0);
}

class ChasePictures : public testing::TestWithParam<glm::ivec2> {};

TEST_P(ChasePictures, TheChaseIsDrawnWhereThePlayerLooks) {
    const glm::ivec2 size = GetParam();
    testing::internal::CaptureStdout();
    const ChaseFolder folder(size.x, size.y);
    App app;
    FrontDoor& door = app.layers.emplace<FrontDoor>(app);
    const auto keys = [&](std::initializer_list<int> list) {
        for (const int key : list) {
            press(door, key);
        }
    };
    // A round of 26 s (silver), touched zone by zone from where the clock stands.
    const auto finishRound = [&] {
        RaceState& race = GameLayerSeam::simulation(door.game()).race;
        const float now = race.currentTime;
        race.lastChecked = RaceState::kNone;
        race.roundStartTime = -1.0f;
        race.onTargetZoneReached(0);
        const float apart = 26.0f / static_cast<float>(race.targetZoneCount);
        for (std::int32_t zone = 1; zone <= race.targetZoneCount; ++zone) {
            race.currentTime += apart;
            race.onTargetZoneReached(static_cast<std::uint32_t>(zone % race.targetZoneCount));
        }
        race.currentTime = race.roundStartTime = now;
    };
    const auto roundTime = [&] { return GameLayerSeam::simulation(door.game()).race.roundTime(); };
    std::optional<Autopilot> pilot;
    const auto bothInView = [&] {
        const GhostField& field = door.game().ghosts();
        const glm::mat4& viewProj = door.game().renderer().frameView().viewProj;
        for (std::size_t i = 0; i < 2; ++i) {
            const SceneNode& node = *field.ship(i).node;
            const glm::vec4 clip =
                viewProj * glm::vec4(field.ship(i).getTransform().position, 1.0f);
            const bool onScreen = clip.w > 0.0f && std::abs(clip.x) < 0.8f * clip.w &&
                                  std::abs(clip.y) < 0.8f * clip.w;
            if (!node.visible || node.opacity < 0.3f || !onScreen || clip.w > 60.0f) {
                return false;
            }
        }
        return glm::distance(field.ship(0).getTransform().position,
                             field.ship(1).getTransform().position) > 8.0f;
    };
    bool ghostsInView = false;
    int currentPass = 0;
    int flownFrom = 0;  // the pass the free camera set off
    struct Step {
        const char* picture;  // none: no picture, the next step at once
        std::function<void()> act;
        std::function<bool()> ready = [] { return true; };
    };
    const std::vector<Step> steps{
        // Title, Ghosts, the table, Ada's ghost raced as the first.
        {"ghost-table",
         [&] {
             keys({GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_DOWN, GLFW_KEY_DOWN,
                   GLFW_KEY_ENTER, GLFW_KEY_ENTER});
         }},
        {nullptr,
         [&] {
             keys({GLFW_KEY_ESCAPE, GLFW_KEY_ESCAPE, GLFW_KEY_ENTER});
         }},
        // The player sets off a little after GO and follows the ghosts (the autopilot at the
        // controls, a decision a pass).
        {nullptr, [&] { pilot.emplace(door.game().autopilot()); },
         [&] { return door.screenName() == "racing" && roundTime() > 0.25f; }},
        // Once both ghosts fly clearly in view (or, failing that, ten seconds in).
        {"ghosts", [&] { ghostsInView = bothInView(); },
         [&] { return roundTime() > 20.0f || (roundTime() > 1.0f && bothInView()); }},
        {"results",
         [&] {
             pilot->releaseAll();
             pilot.reset();
             finishRound();
         }},
        {"course",
         [&] {
             keys({GLFW_KEY_ESCAPE, GLFW_KEY_UP, GLFW_KEY_ENTER, GLFW_KEY_DOWN, GLFW_KEY_ENTER});
         }},
        {"statistics",
         [&] {
             keys({GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER});
         }},
        // Title, Replays, Ada's round (the last of the list), compared with the fastest other.
        {nullptr, [&] { keys({GLFW_KEY_ESCAPE}); }},
        {nullptr, [&] { keys({GLFW_KEY_ESCAPE}); }},
        {nullptr,
         [&] {
             keys({GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER});
         }},
        {nullptr,
         [&] {
             keys({GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER});
         }},
        {"theatre", [] {},
         [&] {
             const auto* theatre = dynamic_cast<const TheatreScreen*>(door.top());
             return theatre != nullptr && theatre->cursor().seconds() > 6.0f;
         }},
        // Paused there, through each camera: the orbit, the trackside camera, and the free
        // camera flown back from where the trackside one stood.
        {"theatre-orbit",
         [&] {
             keys({GLFW_KEY_SPACE, GLFW_KEY_C});
         }},
        {"theatre-trackside", [&] { keys({GLFW_KEY_C}); }},
        {nullptr,
         [&] {
             keys({GLFW_KEY_C});
             door.input().onKey(GLFW_KEY_S, 0, GLFW_PRESS, 0);
             flownFrom = currentPass;
         }},
        {"theatre-free", [&] { door.input().onKey(GLFW_KEY_S, 0, GLFW_RELEASE, 0); },
         [&] { return currentPass > flownFrom + 20; }},
    };
    std::size_t step = 0;
    int since = 0;
    std::string lastScreen;
    std::vector<CapturedImage> pictures;
    std::vector<std::string> names;
    app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport& window) {
        currentPass = pass;
        lastScreen = door.screenName() + " at step " + std::to_string(step);
        if (pass > 6000) {  // a step that never became ready: the pictures say which
            app.gl.requestClose();
        }
        if (pass < 3) {
            return;
        }
        if (pilot) {
            pilot->step(door.game().nextZone());
        }
        if (since == 0) {
            if (!steps[step].ready()) {
                return;
            }
            steps[step].act();
        } else if (since == 3 || steps[step].picture == nullptr) {
            if (steps[step].picture != nullptr) {
                pictures.push_back(captureFramebuffer(0, GL_BACK, window.width, window.height));
                names.push_back(door.screenName());
                std::filesystem::create_directories("test-output");
                saveJpeg(pictures.back(), "test-output/chase-" + std::string(steps[step].picture) +
                                              "-" + std::to_string(size.x) + "x" +
                                              std::to_string(size.y) + ".jpg");
            }
            since = -1;
            if (++step == steps.size()) {
                app.gl.requestClose();
            }
        }
        ++since;
    }));
    app.run();
    const std::string console = testing::internal::GetCapturedStdout();
    ASSERT_EQ(pictures.size(), 9u) << lastScreen << " " << testing::PrintToString(names);
    EXPECT_EQ(names,
              (std::vector<std::string>{"ghost table", "racing", "racing", "course", "statistics",
                                        "theatre", "theatre", "theatre", "theatre"}));
    // Each camera shows the paused moment from elsewhere: the pictures differ well beyond the
    // timeline and the status line.
    for (std::size_t i = 6; i < 9; ++i) {
        EXPECT_GT(meanDifference(pictures[i - 1], pictures[i]), 8.0) << names[i] << " " << i;
    }
    EXPECT_EQ(door.game().camera().view(), CameraView::free);
    // The timeline's ring marks and the difference line's colours.
    EXPECT_GT(countPixels(pictures[5], -0.8f, -0.64f, isAmber), size.x / 100) << "ring marks";
    EXPECT_GT(countPixels(pictures[5], -0.68f, -0.42f, isGreenOrRed), size.x / 20) << "difference";
    const GhostField& ghosts = door.game().ghosts();
    EXPECT_EQ(ghosts.racingLine().rfind("vs imported ", 0), 0u) << ghosts.racingLine();
    EXPECT_NE(ghosts.racingLine().find("(Ada)  /  prime "), std::string::npos);
    // Both ghosts in flight, apart, in view and clearly drawn when the picture was taken.
    EXPECT_TRUE(ghostsInView);
    // The results' medal line above the headline; the plot's gold and prime lines.
    EXPECT_NE(console.find("Finished round"), std::string::npos);
    EXPECT_GT(countPixels(pictures[4], -0.75f, 0.15f, isGold), size.x / 3) << "gold";
    EXPECT_GT(countPixels(pictures[4], -0.75f, 0.15f, isCyan), size.x / 3) << "prime";
}

INSTANTIATE_TEST_SUITE_P(SmallestAndLarge, ChasePictures,
                         testing::Values(glm::ivec2(640, 480), glm::ivec2(1920, 1080)),
                         [](const auto& test) {
                             return std::to_string(test.param.x) + "x" +
                                    std::to_string(test.param.y);
                         });

}  // namespace
}  // namespace kes
