#include "game/screens/Menu.hpp"

#include <algorithm>
#include <cmath>

#include "render/ScreenLines.hpp"
#include "text/TextRenderer.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr glm::vec3 kShadow{0.0f, 0.0f, 0.0f};
// The menus' panel: near black with a touch of the tube's blue, a light edge; the chosen entry's
// bar lighter, edged in amber.
constexpr ScreenPanel kPanel{{}, {}, {0.02f, 0.03f, 0.07f}, 0.72f, {0.55f, 0.7f, 0.95f}, 2.0f};
constexpr ScreenPanel kChosenBar{{}, {}, {0.25f, 0.16f, 0.05f}, 0.55f, kMenuAmber, 2.0f};
constexpr float kPanelHalfWidth = 0.92f;
constexpr float kBarHalfWidth = 0.86f;
constexpr glm::vec2 kShadowOffset{0.006f, -0.009f};
constexpr float kRimWidth = 0.07f;  // of the text's size
constexpr glm::vec2 kRimDirections[] = {{1.0f, 0.0f}, {-1.0f, 0.0f}, {0.0f, 1.0f},  {0.0f, -1.0f},
                                        {0.7f, 0.7f}, {-0.7f, 0.7f}, {0.7f, -0.7f}, {-0.7f, -0.7f}};

// Under the last entry, or as low as a note may stand.
float noteY(const Menu& menu) {
    const std::size_t count = menu.entries.size();
    return std::max(MenuLayout::entryY(count, count, menu.scale), MenuLayout::kLowestNoteY);
}

}  // namespace

void Menu::move(int step) {
    if (entries.empty()) {
        return;
    }
    const auto count = static_cast<int>(entries.size());
    selected =
        static_cast<std::size_t>(((static_cast<int>(selected) + step) % count + count) % count);
}

void Menu::activate() {
    if (selected < entries.size() && entries[selected].activate) {
        entries[selected].activate();
    }
}

void Menu::adjust(int step) {
    if (selected < entries.size() && entries[selected].adjust) {
        entries[selected].adjust(step);
        refresh();
    }
}

void Menu::refresh() {
    for (MenuEntry& entry : entries) {
        entry.line = entry.label;
        if (entry.value) {
            entry.line += ":  " + entry.value();
        }
        entry.chosenLine = "> " + entry.line + " <";
    }
}

std::size_t MenuLayout::entryAt(const glm::vec2& point, const Menu& menu) {
    const std::size_t entries = menu.entries.size();
    for (std::size_t i = 0; i < entries; ++i) {
        if (std::fabs(point.y - entryY(i, entries, menu.scale)) <=
                entryStep(entries, menu.scale) / 2.0f &&
            std::fabs(point.x) < 0.9f) {
            return i;
        }
    }
    return entries;
}

void queueShadowedText(TextRenderer& text, std::string_view line, const glm::vec2& at, float size,
                       const glm::vec3& colour, HorizontalAnchor anchor) {
    // A dark rim all round the strokes and a shadow below: the line reads over the bright
    // tube as well as over the dark sky.
    const float rim = kRimWidth * size;
    for (const glm::vec2 direction : kRimDirections) {
        text.addText(line, at + direction * rim, size, kShadow, VerticalAnchor::centred, anchor);
    }
    text.addText(line, at + kShadowOffset * (size / MenuLayout::kEntrySize), size, kShadow,
                 VerticalAnchor::centred, anchor);
    text.addText(line, at, size, colour, VerticalAnchor::centred, anchor);
}

void queueMenuPanel(ScreenLines& lines, const Menu& menu, bool withNote) {
    const std::size_t count = menu.entries.size();
    const float scale = menu.scale;
    const float step = MenuLayout::entryStep(count, scale);
    const float top = MenuLayout::kTitleY + MenuLayout::titleSize(scale) * 0.75f;
    float bottom = MenuLayout::entryY(count == 0 ? 0 : count - 1, count, scale) - step * 0.6f;
    if (withNote) {
        bottom = std::min(bottom, noteY(menu) - MenuLayout::kEntrySize * scale * 0.5f);
    }
    queuePanel(lines, {-kPanelHalfWidth, bottom}, {kPanelHalfWidth, top});
    if (menu.selected < count) {
        queueChosenBar(lines, MenuLayout::entryY(menu.selected, count, scale), step * 0.45f);
    }
}

void queuePanel(ScreenLines& lines, const glm::vec2& low, const glm::vec2& high) {
    ScreenPanel panel = kPanel;
    panel.low = low;
    panel.high = high;
    lines.addPanel(panel);
}

void queueChosenBar(ScreenLines& lines, float y, float halfHeight) {
    ScreenPanel bar = kChosenBar;
    bar.low = {-kBarHalfWidth, y - halfHeight};
    bar.high = {kBarHalfWidth, y + halfHeight};
    lines.addPanel(bar);
}

std::span<const Prompt> menuFooter(InputDevice device, bool adjustable) {
    // Each with Change (left and right) and without: the plain ones leave the third out.
    static constexpr Prompt kKeys[] = {{trLater("Up/Down"), trLater("Move")},
                                       {trLater("Enter"), trLater("Choose")},
                                       {trLater("Esc"), trLater("Back")},
                                       {trLater("Left/Right"), trLater("Change")}};
    static constexpr Prompt kGamepad[] = {
        {trLater("D-pad"), trLater("Move"), nullptr, true},
        {"A", trLater("Choose"), nullptr, true},
        {"B", trLater("Back"), nullptr, true},
        {trLater("D-pad Left/Right"), trLater("Change"), nullptr, true}};
    static constexpr Prompt kMouse[] = {{trLater("Point"), trLater("Move")},
                                        {trLater("Click"), trLater("Choose")},
                                        {trLater("Esc"), trLater("Back")},
                                        {trLater("Left/Right"), trLater("Change")}};
    static constexpr Prompt kKeysAdjusting[] = {kKeys[0], kKeys[1], kKeys[3], kKeys[2]};
    static constexpr Prompt kGamepadAdjusting[] = {kGamepad[0], kGamepad[1], kGamepad[3],
                                                   kGamepad[2]};
    static constexpr Prompt kMouseAdjusting[] = {kMouse[0], kMouse[1], kMouse[3], kMouse[2]};
    switch (device) {
        case InputDevice::gamepad:
            return adjustable ? std::span<const Prompt>(kGamepadAdjusting)
                              : std::span<const Prompt>(kGamepad, 3);
        case InputDevice::mouse:
            return adjustable ? std::span<const Prompt>(kMouseAdjusting)
                              : std::span<const Prompt>(kMouse, 3);
        case InputDevice::keyboard: break;
    }
    return adjustable ? std::span<const Prompt>(kKeysAdjusting) : std::span<const Prompt>(kKeys, 3);
}

void queueMenuFooter(PromptBar& prompts, TextRenderer& text, InputDevice device, bool adjustable,
                     float scale) {
    prompts.queue(text, menuFooter(device, adjustable), MenuLayout::footerY(scale),
                  MenuLayout::footerSize(scale));
}

void queueMenu(TextRenderer& text, const Menu& menu, std::string_view note) {
    const float scale = menu.scale;
    queueShadowedText(text, menu.title, {0.0f, MenuLayout::kTitleY}, MenuLayout::titleSize(scale),
                      kMenuWhite);
    const std::size_t count = menu.entries.size();
    for (std::size_t i = 0; i < count; ++i) {
        const MenuEntry& entry = menu.entries[i];
        const bool chosen = i == menu.selected;
        queueShadowedText(text, chosen ? entry.chosenLine : entry.line,
                          {0.0f, MenuLayout::entryY(i, count, scale)},
                          MenuLayout::entrySize(count, scale), chosen ? kMenuAmber : kMenuWhite);
    }
    if (!note.empty()) {
        queueShadowedText(text, note, {0.0f, noteY(menu)}, MenuLayout::kEntrySize * 0.7f * scale,
                          kMenuWhite);
    }
}

}  // namespace kes
