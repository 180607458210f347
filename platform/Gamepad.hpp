// The gamepad as the game sees it: one controller's packet with buttons, triggers and sticks,
// and the polling that turns new packets into listener calls. Where the packets come from is
// a GamepadSource, so the polling runs the same against a real pad and a test's script.
#pragma once

#include <cstdint>

namespace kes {

struct HidListener;

namespace GamepadButton {
inline constexpr std::uint16_t kDpadUp = 0x0001;
inline constexpr std::uint16_t kDpadDown = 0x0002;
inline constexpr std::uint16_t kDpadLeft = 0x0004;
inline constexpr std::uint16_t kDpadRight = 0x0008;
inline constexpr std::uint16_t kStart = 0x0010;
inline constexpr std::uint16_t kBack = 0x0020;
inline constexpr std::uint16_t kLeftThumb = 0x0040;
inline constexpr std::uint16_t kRightThumb = 0x0080;
inline constexpr std::uint16_t kLeftShoulder = 0x0100;
inline constexpr std::uint16_t kRightShoulder = 0x0200;
inline constexpr std::uint16_t kA = 0x1000;
inline constexpr std::uint16_t kB = 0x2000;
inline constexpr std::uint16_t kX = 0x4000;
inline constexpr std::uint16_t kY = 0x8000;
}  // namespace GamepadButton

// Stick axes are signed 16-bit with positive y meaning "up"; triggers are 0 ... 255.
struct GamepadState {
    std::uint16_t buttons = 0;
    std::uint8_t leftTrigger = 0;
    std::uint8_t rightTrigger = 0;
    std::int16_t thumbLX = 0;
    std::int16_t thumbLY = 0;
    std::int16_t thumbRX = 0;
    std::int16_t thumbRY = 0;

    bool operator==(const GamepadState&) const = default;
};

// The packet number changes whenever the state does.
struct GamepadPacket {
    std::uint32_t packetNumber = 0;
    GamepadState gamepad;
};

inline constexpr int kGamepadSlots = 4;

class GamepadSource {
public:
    virtual bool isConnected(int slot) = 0;
    // False when the controller in `slot` cannot be read (for example, unplugged).
    virtual bool readPacket(int slot, GamepadPacket& packet) = 0;

protected:
    ~GamepadSource() = default;
};

// -32768 maps to -1 and 32767 to 1, so both ends of the axis reach full deflection.
float stickAxisToFloat(std::int16_t raw);

class GamepadPoller {
public:
    // Looks for the first connected controller right away.
    explicit GamepadPoller(GamepadSource& source);

    // Reads the controller and tells `listener` (may be null) what changed since the last packet.
    void poll(HidListener* listener);

    int padIndex() const { return m_padIndex; }

private:
    bool findPad();
    static void dispatchChanges(const GamepadState& before, const GamepadState& now,
                                HidListener& listener);

    GamepadSource& m_source;
    int m_padIndex = -1;
    GamepadPacket m_previous;
};

}  // namespace kes
