// A menu of the front door: a title and a column of entries, one selected. An entry has a label,
// optionally a value shown after it ("Quality:  auto"), what Enter does and what left and right
// do. Moving wraps round; the model knows nothing of keys or drawing. Each entry's line is made
// when the menu is shown and again after every action on it (refresh), never while it is
// drawn, so a menu on the screen allocates nothing a frame.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <span>
#include <string_view>
#include <vector>

#include <glm/glm.hpp>

#include "game/screens/MenuAction.hpp"
#include "game/screens/Prompts.hpp"
#include "text/TextRenderer.hpp"

namespace kes {

class ScreenLines;

// The menus' colours: the selected entry (and a new record) amber, the rest white.
inline constexpr glm::vec3 kMenuWhite{1.0f, 1.0f, 1.0f};
inline constexpr glm::vec3 kMenuAmber{1.0f, 0.45f, 0.0f};

struct MenuEntry {
    std::string label;
    std::function<std::string()> value;    // none: a plain entry
    std::function<void()> activate;        // Enter, A, a click
    std::function<void(int step)> adjust;  // left (-1) and right (+1); none: Enter only
    std::string line{};                    // as drawn: "Quality:  auto"
    std::string chosenLine{};              // as drawn when chosen: "> Quality:  auto <"
};

struct Menu {
    std::string title;
    std::vector<MenuEntry> entries;
    std::size_t selected = 0;
    float scale = 1.0f;  // the UI scale it is drawn at (see uiScaleFor)

    void move(int step);
    // Enter on the chosen entry. What it does may replace the whole menu (or the screen that
    // shows it): nothing of the menu is touched after it.
    void activate();
    void adjust(int step);
    // Makes every entry's line from its label and value.
    void refresh();
};

// Where a menu's text stands on the screen, in the text's units (-1 to 1 each way, y up): the
// title at the top, the entries below it one under the other. A long menu (the controls) packs
// its entries closer and smaller, so the last one and a note under it stay on the screen. The UI
// scale `scale` makes the words larger, and the entries' steps with them, as far as the screen
// has room for them.
struct MenuLayout {
    static constexpr float kFooterY = -0.955f;
    static constexpr float kFooterSize = 0.042f;
    static constexpr float kTitleY = 0.62f;
    static constexpr float kTitleSize = 0.16f;
    static constexpr float kFirstEntryY = 0.28f;
    static constexpr float kEntryStep = 0.135f;
    static constexpr float kEntrySize = 0.09f;
    static constexpr float kLowestNoteY = -0.9f;

    static float entryStep(std::size_t entries, float scale = 1.0f) {
        const float room = (kFirstEntryY - kLowestNoteY) / static_cast<float>(entries + 1);
        return entries == 0 ? kEntryStep * scale : std::min(kEntryStep * scale, room);
    }
    static float entrySize(std::size_t entries, float scale = 1.0f) {
        return kEntrySize * entryStep(entries, scale) / kEntryStep;
    }
    static float entryY(std::size_t index, std::size_t entries, float scale = 1.0f) {
        return kFirstEntryY - entryStep(entries, scale) * static_cast<float>(index);
    }
    static float titleSize(float scale) { return kTitleSize * scale; }
    static float footerSize(float scale) { return kFooterSize * scale; }
    // The footer's middle, as high above the window's bottom as it is large.
    static float footerY(float scale) { return grownFromEdges({0.0f, kFooterY}, scale).y; }
    // The entry of `menu` under a point of the screen, or the entry count when none is.
    static std::size_t entryAt(const glm::vec2& point, const Menu& menu);
};

// Queues the menu's text: the selected entry amber between markers, the others white, each
// with a dark rim and shadow so it reads over the bright tube. `note` (if any) goes below the
// entries.
void queueMenu(TextRenderer& text, const Menu& menu, std::string_view note = {});

// The dark panel the menu stands on, from above its title to below its last entry (and its
// note), and a bar with an amber edge behind the chosen entry: the choice is marked by more
// than its colour.
void queueMenuPanel(ScreenLines& lines, const Menu& menu, bool withNote);
// The same panel and bar where a screen lays out its own words.
void queuePanel(ScreenLines& lines, const glm::vec2& low, const glm::vec2& high);
void queueChosenBar(ScreenLines& lines, float y, float halfHeight);

// The footer at the bottom of the screen: what the keys do on a menu, or the gamepad's buttons,
// or the mouse, as the player used last, each key on a cap. `adjustable` when the menu has
// values to change.
void queueMenuFooter(PromptBar& prompts, TextRenderer& text, InputDevice device, bool adjustable,
                     float scale = 1.0f);
std::span<const Prompt> menuFooter(InputDevice device, bool adjustable);

// Text with a dark rim round it and a shadow under it.
void queueShadowedText(TextRenderer& text, std::string_view line, const glm::vec2& at, float size,
                       const glm::vec3& colour,
                       HorizontalAnchor anchor = HorizontalAnchor::centred);

}  // namespace kes
