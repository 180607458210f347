#include "game/screens/TitleScreen.hpp"

#include <memory>

#include "game/course/Course.hpp"
#include "game/race/FigureText.hpp"
#include "game/screens/CourseScreen.hpp"
#include "game/screens/GhostsScreen.hpp"
#include "game/screens/ScreenStack.hpp"
#include "game/screens/SettingsScreen.hpp"
#include "game/screens/TheatreScreen.hpp"
#include "platform/Language.hpp"

namespace kes {

void TitleScreen::build(Menu& menu) {
    ScreenHost& game = host();
    menu.title = "DRIFTLINE PRIME";  // not translated: the name
    menu.entries.push_back({tr("Race"), {}, [&game] { game.startRace(); }, {}});
    menu.entries.push_back(
        {tr("Course"),
         [&game] {
             const auto record = game.recordTime();
             return game.course().title +
                    (record ? fill(tr("  (record {1})"), {threeDecimals(*record)}) : std::string());
         },
         [&game] { game.screens().push(std::make_unique<CourseScreen>(game)); },
         {}});
    menu.entries.push_back(
        {tr("Ghosts"),
         [&game] {
             const Settings& settings = game.settings();
             const bool two = settings.secondGhost != GhostSetting::off &&
                              settings.secondGhost != settings.ghost;
             return std::string(tr(toString(settings.ghost))) +
                    (two ? std::string(" + ") + tr(toString(settings.secondGhost)) : "");
         },
         [&game] { game.screens().push(std::make_unique<GhostsScreen>(game)); },
         {}});
    menu.entries.push_back(
        {tr("Settings"),
         {},
         [&game] { game.screens().push(std::make_unique<SettingsScreen>(game)); },
         {}});
    menu.entries.push_back({tr("Replays"),
                            {},
                            [&game] { game.screens().push(std::make_unique<ReplaysScreen>(game)); },
                            {}});
    menu.entries.push_back({tr("Quit"), {}, [&game] { game.quitGame(); }, {}});
}

}  // namespace kes
