#include "game/screens/CountdownScreen.hpp"

#include <memory>

#include "game/screens/Menu.hpp"
#include "game/screens/RacingScreen.hpp"
#include "game/screens/ScreenStack.hpp"
#include "platform/Language.hpp"

namespace kes {

void CountdownScreen::enter() {
    if (m_steps == 0) {
        m_host.holdRace(true);
        m_host.play(SoundEffect::countdown);
    }
}

void CountdownScreen::fixedStep() {
    ++m_steps;
    if (m_steps % kStepsEach != 0) {
        return;
    }
    if (m_steps < kGoStep) {
        m_host.play(SoundEffect::countdown);
        return;
    }
    m_host.play(SoundEffect::go);
    m_host.holdRace(false);
    m_host.screens().replace(std::make_unique<RacingScreen>(m_host));
}

const char* CountdownScreen::shown() const {
    static const char* const kNumbers[] = {"3", "2", "1"};
    return kNumbers[std::min<std::uint32_t>(m_steps / kStepsEach, 2)];
}

void CountdownScreen::queue(TextRenderer& text, float /*time*/) {
    queueShadowedText(text, shown(), {0.0f, 0.25f}, 0.3f, kMenuWhite);
    const InputDevice device =
        m_host.lastDevice() == InputDevice::gamepad ? InputDevice::gamepad : InputDevice::keyboard;
    if (m_controlsOf != device) {
        sayControls(device);
    }
    // Under the ship, clear of the race display along the bottom.
    constexpr float kControlsY = -0.42f;
    const float scale = m_host.uiScale();
    m_prompts.queue(text, m_controls, kControlsY, MenuLayout::footerSize(scale) * 1.2f);
}

// The bound keys or buttons of the flight's controls, a pair of opposites as one ("W/S").
void CountdownScreen::sayControls(InputDevice device) {
    const Bindings& bound = m_host.settings().controls;
    const auto name = [&](Action action) {
        const Binding& binding = bound.of(action);
        const std::string named =
            device == InputDevice::gamepad ? buttonName(binding.button) : keyName(binding.key);
        return named.empty() ? std::string("-") : named;
    };
    const std::array<std::pair<Action, Action>, kControls> pairs{
        {{Action::accelerate, Action::accelerate},
         {Action::brake, Action::brake},
         {Action::pitchDown, Action::pitchUp},
         {Action::yawLeft, Action::yawRight},
         {Action::rollLeft, Action::rollRight}}};
    const std::array<const char*, kControls> does{
        trLater("Accelerate"), trLater("Brake"), trLater("Pitch"), trLater("Yaw"), trLater("Roll")};
    for (std::size_t i = 0; i < kControls; ++i) {
        const auto [first, second] = pairs[i];
        m_keys[i] = first == second ? name(first) : name(first) + "/" + name(second);
        m_controls[i] = {m_keys[i].c_str(), does[i], nullptr, device == InputDevice::gamepad};
    }
    m_controlsOf = device;
}

}  // namespace kes
