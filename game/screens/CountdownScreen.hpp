// 3, 2, 1, GO before a race: a second of fixed steps each (60), a tone at each; the race stands
// still until GO, when the ship is let go and the race screen takes over. The ship stands at
// the start all the while, and the player's controls are already heard: the footer says them,
// the keys or the gamepad's buttons as bound.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "game/screens/Prompts.hpp"
#include "game/screens/Screen.hpp"

namespace kes {

class CountdownScreen final : public Screen {
public:
    static constexpr std::uint32_t kStepsEach = 60;  // fixed steps a number is shown
    static constexpr std::uint32_t kGoStep = 3 * kStepsEach;

    explicit CountdownScreen(ScreenHost& host) : m_host(host) {}
    const char* name() const override { return "countdown"; }

    void enter() override;
    void fixedStep() override;
    void queue(TextRenderer& text, float time) override;
    void queueLines(ScreenLines& lines) override { m_prompts.queueLines(lines); }
    bool dimsLevel() const override { return false; }
    bool flies() const override { return true; }

    std::uint32_t steps() const { return m_steps; }
    // "3", "2" or "1".
    const char* shown() const;

private:
    static constexpr std::size_t kControls = 5;  // accelerate, brake, pitch, yaw, roll

    void sayControls(InputDevice device);

    ScreenHost& m_host;
    std::uint32_t m_steps = 0;
    std::optional<InputDevice> m_controlsOf;  // the device the prompts below are for
    std::array<std::string, kControls> m_keys;
    std::array<Prompt, kControls> m_controls{};
    PromptBar m_prompts;
};

}  // namespace kes
