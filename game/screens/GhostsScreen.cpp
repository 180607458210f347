#include "game/screens/GhostsScreen.hpp"

#include <memory>

#include "game/course/Course.hpp"
#include "game/race/FigureText.hpp"
#include "game/screens/ScreenStack.hpp"
#include "platform/Language.hpp"

namespace kes {

void GhostsScreen::build(Menu& menu) {
    ScreenHost& game = host();
    menu.title = tr("GHOSTS");
    addChoice(menu, tr("First ghost"), &Settings::ghost);
    addChoice(menu, tr("Second ghost"), &Settings::secondGhost);
    menu.entries.push_back(
        {tr("Table of ghosts"),
         {},
         [&game] { game.screens().push(std::make_unique<GhostTableScreen>(game)); },
         {}});
    menu.entries.push_back({tr("Back"), {}, [this] { back(); }, {}});
}

void GhostsScreen::addChoice(Menu& menu, const char* label, GhostSetting Settings::*which) {
    ScreenHost& game = host();
    const auto step = [&game, which](int by) {
        Settings& settings = game.settings();
        settings.*which = steppedGhost(settings.*which, by);
        game.showGhosts();
        game.saveSettings();
    };
    menu.entries.push_back(
        {label, [&game, which] { return std::string(tr(toString(game.settings().*which))); },
         [step] { step(1); }, step});
}

void GhostTableScreen::build(Menu& menu) {
    ScreenHost& game = host();
    menu.title = fill(tr("GHOSTS OF {1}"), {game.course().title});
    const std::vector<GhostRow> rows = game.ghostTable();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const GhostRow& row = rows[i];
        const std::string value =
            threeDecimals(row.time) + " s" +
            (row.medal == Medal::none ? "" : "  " + std::string(tr(medalName(row.medal))));
        menu.entries.push_back({row.name,
                                [value] { return value; },
                                [this, &game, i, name = row.name] {
                                    game.raceTableGhost(i);
                                    say(fill(tr("Racing {1}'s ghost as the first"), {name}));
                                },
                                {}});
    }
    if (rows.empty()) {
        m_standingNote = tr("No ghosts of this course yet: driftline --import FILE adds one");
    }
    menu.entries.push_back({tr("Back"), {}, [this] { back(); }, {}});
}

}  // namespace kes
