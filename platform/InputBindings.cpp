#include "platform/InputBindings.hpp"

#include <algorithm>
#include <cctype>
#include <span>

#include <GLFW/glfw3.h>

#include "platform/Gamepad.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr std::array<const char*, kActionCount> kActionNames{
    trLater("Accelerate"), trLater("Brake"),    trLater("Pitch down"), trLater("Pitch up"),
    trLater("Yaw right"),  trLater("Yaw left"), trLater("Roll right"), trLater("Roll left"),
    trLater("Restart"),    trLater("Pause"),    trLater("Screenshot")};

struct NamedKey {
    int key;
    const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {GLFW_KEY_SPACE, "Space"},
    {GLFW_KEY_LEFT_CONTROL, "Left Ctrl"},
    {GLFW_KEY_RIGHT_CONTROL, "Right Ctrl"},
    {GLFW_KEY_LEFT_SHIFT, "Left Shift"},
    {GLFW_KEY_RIGHT_SHIFT, "Right Shift"},
    {GLFW_KEY_LEFT_ALT, "Left Alt"},
    {GLFW_KEY_RIGHT_ALT, "Right Alt"},
    {GLFW_KEY_TAB, "Tab"},
    {GLFW_KEY_ENTER, "Enter"},
    {GLFW_KEY_BACKSPACE, "Backspace"},
    {GLFW_KEY_UP, "Up"},
    {GLFW_KEY_DOWN, "Down"},
    {GLFW_KEY_LEFT, "Left"},
    {GLFW_KEY_RIGHT, "Right"},
    {GLFW_KEY_INSERT, "Insert"},
    {GLFW_KEY_DELETE, "Delete"},
    {GLFW_KEY_HOME, "Home"},
    {GLFW_KEY_END, "End"},
    {GLFW_KEY_PAGE_UP, "Page Up"},
    {GLFW_KEY_PAGE_DOWN, "Page Down"},
    // Signs by their names: "," splits a binding's key from its button and ";" starts a
    // comment in the settings file, so a sign itself would not survive the file.
    {GLFW_KEY_COMMA, "Comma"},
    {GLFW_KEY_PERIOD, "Period"},
    {GLFW_KEY_MINUS, "Minus"},
    {GLFW_KEY_EQUAL, "Equal"},
    {GLFW_KEY_SLASH, "Slash"},
    {GLFW_KEY_BACKSLASH, "Backslash"},
    {GLFW_KEY_SEMICOLON, "Semicolon"},
    {GLFW_KEY_APOSTROPHE, "Apostrophe"},
    {GLFW_KEY_GRAVE_ACCENT, "Grave"},
    {GLFW_KEY_LEFT_BRACKET, "Left Bracket"},
    {GLFW_KEY_RIGHT_BRACKET, "Right Bracket"},
    {GLFW_KEY_KP_0, "Keypad 0"},
    {GLFW_KEY_KP_1, "Keypad 1"},
    {GLFW_KEY_KP_2, "Keypad 2"},
    {GLFW_KEY_KP_3, "Keypad 3"},
    {GLFW_KEY_KP_4, "Keypad 4"},
    {GLFW_KEY_KP_5, "Keypad 5"},
    {GLFW_KEY_KP_6, "Keypad 6"},
    {GLFW_KEY_KP_7, "Keypad 7"},
    {GLFW_KEY_KP_8, "Keypad 8"},
    {GLFW_KEY_KP_9, "Keypad 9"},
    {GLFW_KEY_KP_DECIMAL, "Keypad Period"},
    {GLFW_KEY_KP_DIVIDE, "Keypad Slash"},
    {GLFW_KEY_KP_MULTIPLY, "Keypad Star"},
    {GLFW_KEY_KP_SUBTRACT, "Keypad Minus"},
    {GLFW_KEY_KP_ADD, "Keypad Plus"},
};

// The signs as earlier versions wrote them: still read. (A comma or a semicolon written so
// never came back, but "Accelerate = ,, A" still stands in some files.)
constexpr NamedKey kFormerKeyNames[] = {
    {GLFW_KEY_COMMA, ","},        {GLFW_KEY_PERIOD, "."},        {GLFW_KEY_MINUS, "-"},
    {GLFW_KEY_SLASH, "/"},        {GLFW_KEY_SEMICOLON, ";"},     {GLFW_KEY_APOSTROPHE, "'"},
    {GLFW_KEY_LEFT_BRACKET, "["}, {GLFW_KEY_RIGHT_BRACKET, "]"},
};

struct NamedButton {
    std::uint16_t button;
    const char* name;
};

constexpr NamedButton kNamedButtons[] = {
    {GamepadButton::kA, "A"},
    {GamepadButton::kB, "B"},
    {GamepadButton::kX, "X"},
    {GamepadButton::kY, "Y"},
    {GamepadButton::kLeftShoulder, "Left Shoulder"},
    {GamepadButton::kRightShoulder, "Right Shoulder"},
    {GamepadButton::kStart, "Start"},
    {GamepadButton::kBack, "Back"},
    {GamepadButton::kLeftThumb, "Left Stick"},
    {GamepadButton::kRightThumb, "Right Stick"},
};

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

const char* actionName(Action action) {
    return kActionNames[static_cast<std::size_t>(action)];
}

std::optional<Action> actionFromName(std::string_view name) {
    for (std::size_t i = 0; i < kActionCount; ++i) {
        if (sameWord(name, kActionNames[i])) {
            return static_cast<Action>(i);
        }
    }
    return std::nullopt;
}

std::string keyName(int key) {
    if (key >= GLFW_KEY_A && key <= GLFW_KEY_Z) {
        return std::string(1, static_cast<char>('A' + (key - GLFW_KEY_A)));
    }
    if (key >= GLFW_KEY_0 && key <= GLFW_KEY_9) {
        return std::string(1, static_cast<char>('0' + (key - GLFW_KEY_0)));
    }
    if (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F12) {
        return "F" + std::to_string(key - GLFW_KEY_F1 + 1);
    }
    for (const NamedKey& named : kNamedKeys) {
        if (named.key == key) {
            return named.name;
        }
    }
    return {};
}

std::optional<int> keyFromName(std::string_view name) {
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        return c >= 'A' ? GLFW_KEY_A + (c - 'A') : GLFW_KEY_0 + (c - '0');
    }
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        int number = 0;
        for (const char c : name.substr(1)) {
            if (!std::isdigit(static_cast<unsigned char>(c))) {
                number = 0;
                break;
            }
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= 12) {
            return GLFW_KEY_F1 + number - 1;
        }
    }
    for (const std::span<const NamedKey> table :
         {std::span<const NamedKey>(kNamedKeys), std::span<const NamedKey>(kFormerKeyNames)}) {
        for (const NamedKey& named : table) {
            if (sameWord(name, named.name)) {
                return named.key;
            }
        }
    }
    return std::nullopt;
}

const char* reservedKeyUse(int key) {
    switch (key) {
        case GLFW_KEY_F1: return trLater("shows the collision shapes in a race");
        case GLFW_KEY_F2: return trLater("shows the shadow maps in a race");
        case GLFW_KEY_ESCAPE: return trLater("goes back in the menus and pauses a race");
        default: return nullptr;
    }
}

std::string buttonName(std::uint16_t button) {
    for (const NamedButton& named : kNamedButtons) {
        if (named.button == button) {
            return named.name;
        }
    }
    return {};
}

std::optional<std::uint16_t> buttonFromName(std::string_view name) {
    for (const NamedButton& named : kNamedButtons) {
        if (sameWord(name, named.name)) {
            return named.button;
        }
    }
    return std::nullopt;
}

std::string formatBinding(const Binding& binding) {
    const std::string key = binding.key == kNoKey ? "none" : keyName(binding.key);
    const std::string button = binding.button == 0 ? "none" : buttonName(binding.button);
    return key + ", " + button;
}

std::optional<Binding> parseBinding(std::string_view text) {
    // The last comma: no button's name has one, and an older file's comma key does.
    const auto comma = text.rfind(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view keyText = trimmed(text.substr(0, comma));
    const std::string_view buttonText = trimmed(text.substr(comma + 1));
    Binding binding;
    if (!sameWord(keyText, "none")) {
        const auto key = keyFromName(keyText);
        if (!key || reservedKeyUse(*key) != nullptr) {
            return std::nullopt;
        }
        binding.key = *key;
    }
    if (!sameWord(buttonText, "none")) {
        const auto button = buttonFromName(buttonText);
        if (!button) {
            return std::nullopt;
        }
        binding.button = *button;
    }
    return binding;
}

std::optional<int> keyNamedIn(std::string_view text) {
    const auto comma = text.rfind(',');
    return comma == std::string_view::npos ? std::nullopt
                                           : keyFromName(trimmed(text.substr(0, comma)));
}

int defaultKey(Action action) {
    return Bindings::defaults().of(action).key;
}

Bindings Bindings::defaults() {
    Bindings bindings;
    bindings.m_bindings = {{
        {GLFW_KEY_SPACE, GamepadButton::kA},
        {GLFW_KEY_LEFT_CONTROL, GamepadButton::kB},
        {GLFW_KEY_W, 0},
        {GLFW_KEY_S, 0},
        {GLFW_KEY_D, 0},
        {GLFW_KEY_A, 0},
        {GLFW_KEY_RIGHT, GamepadButton::kRightShoulder},
        {GLFW_KEY_LEFT, GamepadButton::kLeftShoulder},
        {GLFW_KEY_R, GamepadButton::kBack},
        {GLFW_KEY_P, GamepadButton::kStart},
        {GLFW_KEY_F12, 0},
    }};
    return bindings;
}

std::optional<Action> Bindings::actionOfKey(int key) const {
    for (std::size_t i = 0; key != kNoKey && i < kActionCount; ++i) {
        if (m_bindings[i].key == key) {
            return static_cast<Action>(i);
        }
    }
    return std::nullopt;
}

std::optional<Action> Bindings::actionOfButton(std::uint16_t button) const {
    for (std::size_t i = 0; button != 0 && i < kActionCount; ++i) {
        if (m_bindings[i].button == button) {
            return static_cast<Action>(i);
        }
    }
    return std::nullopt;
}

std::optional<Action> Bindings::bindKey(Action action, int key) {
    const auto previous = actionOfKey(key);
    if (previous && *previous != action) {
        m_bindings[static_cast<std::size_t>(*previous)].key = kNoKey;
    }
    m_bindings[static_cast<std::size_t>(action)].key = key;
    return previous && *previous != action ? previous : std::nullopt;
}

std::optional<Action> Bindings::bindButton(Action action, std::uint16_t button) {
    const auto previous = actionOfButton(button);
    if (previous && *previous != action) {
        m_bindings[static_cast<std::size_t>(*previous)].button = 0;
    }
    m_bindings[static_cast<std::size_t>(action)].button = button;
    return previous && *previous != action ? previous : std::nullopt;
}

std::optional<Action> Bindings::set(Action action, const Binding& binding) {
    const auto keyOwner = actionOfKey(binding.key);
    if (keyOwner && *keyOwner != action) {
        return keyOwner;
    }
    const auto buttonOwner = actionOfButton(binding.button);
    if (buttonOwner && *buttonOwner != action) {
        return buttonOwner;
    }
    m_bindings[static_cast<std::size_t>(action)] = binding;
    return std::nullopt;
}

}  // namespace kes
