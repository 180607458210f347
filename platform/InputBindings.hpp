// What each of the player's actions is bound to: one key and one gamepad button. The ship's
// controller knows the default keys; whoever takes the player's input translates a bound key or
// button into the action's default key. Kept in settings.ini's [Controls] section:
//
//   [Controls]
//   Accelerate = Space, A
//   Brake = Left Ctrl, B
//   Pitch down = W, none
//
// Key names are the keys' own ("Space", "Left Ctrl", "W", "7", "F3", "Up", "Comma", "Keypad
// 4"); buttons are the gamepad's ("A", "B", "X", "Y", "Left Shoulder", "Right Shoulder",
// "Start", "Back"); "none" leaves the action without one. F1, F2 and Escape have uses of their
// own and are never bound.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kes {

enum class Action : std::uint8_t {
    accelerate,
    brake,
    pitchDown,
    pitchUp,
    yawRight,
    yawLeft,
    rollRight,
    rollLeft,
    restart,
    pause,
    screenshot,  // the frame as shown, saved as a picture
};
inline constexpr std::size_t kActionCount = 11;

// "Accelerate", "Pitch down", ...
const char* actionName(Action action);
std::optional<Action> actionFromName(std::string_view name);

inline constexpr int kNoKey = -1;

struct Binding {
    int key = kNoKey;          // a GLFW key code, or kNoKey
    std::uint16_t button = 0;  // one gamepad button bit, or 0
    bool operator==(const Binding&) const = default;
};

// The key's name ("Space", "W", "Left Ctrl"); empty for a key without one the game knows.
std::string keyName(int key);
std::optional<int> keyFromName(std::string_view name);
// What a key that cannot be bound does instead ("shows the collision shapes in a race"), or
// nothing for a key that can.
const char* reservedKeyUse(int key);
std::string buttonName(std::uint16_t button);
std::optional<std::uint16_t> buttonFromName(std::string_view name);

// "Space, A"; and back, nothing when either half is no key or button name, or the key cannot
// be bound.
std::string formatBinding(const Binding& binding);
std::optional<Binding> parseBinding(std::string_view text);
// The key a binding's text names before its comma, whether it can be bound or not.
std::optional<int> keyNamedIn(std::string_view text);

class Bindings {
public:
    static Bindings defaults();

    const Binding& of(Action action) const { return m_bindings[static_cast<std::size_t>(action)]; }
    // The action `key` or `button` is bound to.
    std::optional<Action> actionOfKey(int key) const;
    std::optional<Action> actionOfButton(std::uint16_t button) const;

    // Binds `key` to `action`; the action that had it loses it, and is returned.
    std::optional<Action> bindKey(Action action, int key);
    std::optional<Action> bindButton(Action action, std::uint16_t button);
    // Sets a whole binding as read from a file: nothing when its key or button is taken by
    // another action already (the binding is then left as it was).
    std::optional<Action> set(Action action, const Binding& binding);

    bool operator==(const Bindings&) const = default;

private:
    std::array<Binding, kActionCount> m_bindings{};
};

// The key the ship's controller itself knows for a ship action (Space for accelerate, ...).
int defaultKey(Action action);

}  // namespace kes
