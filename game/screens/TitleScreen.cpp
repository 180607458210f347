#include "game/screens/TitleScreen.hpp"

#include <memory>

#include "game/course/Course.hpp"
#include "game/race/FigureText.hpp"
#include "game/screens/CourseScreen.hpp"
#include "game/screens/ScreenStack.hpp"
#include "game/screens/SettingsScreen.hpp"

namespace kes {
namespace {

GhostSetting nextGhost(GhostSetting ghost, int step) {
    return static_cast<GhostSetting>((static_cast<int>(ghost) + step + 3) % 3);
}

}  // namespace

void TitleScreen::build(Menu& menu) {
    ScreenHost& game = host();
    menu.title = "DRIFTLINE PRIME";
    menu.entries.push_back({"Race", {}, [&game] { game.startRace(); }, {}});
    menu.entries.push_back({"Course",
                            [&game] {
                                const auto record = game.recordTime();
                                return game.course().title +
                                       (record ? "  (record " + threeDecimals(*record) + ")"
                                               : std::string());
                            },
                            [&game] { game.screens().push(std::make_unique<CourseScreen>(game)); },
                            {}});
    const auto stepGhost = [&game](int step) {
        Settings& settings = game.settings();
        settings.ghost = nextGhost(settings.ghost, step);
        game.showGhost(settings.ghost);
        game.saveSettings();
    };
    menu.entries.push_back({"Ghost",
                            [&game] { return std::string(toString(game.settings().ghost)); },
                            [stepGhost] { stepGhost(1); }, stepGhost});
    menu.entries.push_back(
        {"Settings",
         {},
         [&game] { game.screens().push(std::make_unique<SettingsScreen>(game)); },
         {}});
    menu.entries.push_back({"Quit", {}, [&game] { game.quitGame(); }, {}});
}

}  // namespace kes
