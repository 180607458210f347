#include "platform/Gamepad.hpp"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/GlfwGamepadSource.hpp"
#include "platform/HidListener.hpp"

namespace kes {
namespace {

// A pad whose packets the test writes; slots other than `slot` are empty.
class ScriptedPad final : public GamepadSource {
public:
    bool isConnected(int index) override {
        ++capabilityQueries;
        return plugged && index == slot;
    }
    bool readPacket(int index, GamepadPacket& out) override {
        if (!plugged || index != slot) {
            return false;
        }
        out = packet;
        return true;
    }
    // Gives the pad a new state under a new packet number.
    void send(const GamepadState& state) {
        packet.gamepad = state;
        ++packet.packetNumber;
    }

    int slot = 2;
    bool plugged = true;
    int capabilityQueries = 0;
    GamepadPacket packet;
};

class RecordingListener final : public HidListener {
public:
    void onGamepadState(const GamepadState*) override { log.push_back("state"); }
    void onGamepadButtons(std::uint16_t changed, bool pressed) override {
        log.push_back("buttons " + std::to_string(changed) + (pressed ? " down" : " up"));
    }
    void onLeftStick(float x, float y, float magnitude) override {
        log.push_back("left");
        left = {x, y, magnitude};
    }
    void onRightStick(float, float, float) override { log.push_back("right"); }
    void onLeftTrigger(float value) override { log.push_back("lt " + std::to_string(value)); }
    void onRightTrigger(float value) override { log.push_back("rt " + std::to_string(value)); }

    std::vector<std::string> log;
    std::vector<float> left;
};

using Log = std::vector<std::string>;

TEST(GamepadPoller, ButtonsReportWhatChangedAndWhetherAnyIsNowDown) {
    ScriptedPad pad;
    RecordingListener listener;
    GamepadPoller poller(pad);
    EXPECT_EQ(poller.padIndex(), 2);

    pad.send({.buttons = GamepadButton::kB});
    poller.poll(&listener);
    pad.send({.buttons = GamepadButton::kA});  // A down and B up in one packet
    poller.poll(&listener);
    pad.send({});
    poller.poll(&listener);
    EXPECT_EQ(listener.log, (Log{"state", "buttons 8192 down", "state", "buttons 12288 down",
                                 "state", "buttons 4096 up"}));
}

TEST(GamepadPoller, SticksSpanTheFullRangeAndTriggersReportAlone) {
    ScriptedPad pad;
    RecordingListener listener;
    GamepadPoller poller(pad);

    pad.send({.thumbLX = -32768, .thumbLY = 32767});
    poller.poll(&listener);
    ASSERT_EQ(listener.left.size(), 3u);
    EXPECT_EQ(listener.left[0], -1.0f);
    EXPECT_EQ(listener.left[1], 1.0f);
    EXPECT_FLOAT_EQ(listener.left[2], std::sqrt(2.0f));

    listener.log.clear();
    pad.send({.rightTrigger = 255, .thumbLX = -32768, .thumbLY = 32767});
    poller.poll(&listener);
    EXPECT_EQ(listener.log, (Log{"state", "rt 1.000000"}));
}

TEST(GamepadPoller, AnUnchangedPacketNumberIsIgnoredEvenForANewListener) {
    ScriptedPad pad;
    RecordingListener first, second;
    GamepadPoller poller(pad);
    pad.send({.leftTrigger = 51});
    poller.poll(&first);
    poller.poll(&second);
    EXPECT_EQ(first.log, (Log{"state", "lt 0.200000"}));
    EXPECT_TRUE(second.log.empty());
}

TEST(GamepadPoller, PacketsWithoutAListenerAreConsumedSilently) {
    ScriptedPad pad;
    RecordingListener late;
    GamepadPoller poller(pad);
    pad.send({.buttons = GamepadButton::kA, .leftTrigger = 10});
    poller.poll(nullptr);
    pad.send({.buttons = GamepadButton::kA | GamepadButton::kY, .leftTrigger = 10});
    poller.poll(&late);
    // Only the change against the packet seen without a listener arrives.
    EXPECT_EQ(late.log, (Log{"state", "buttons 32768 down"}));
}

TEST(GamepadPoller, AnUnpluggedPadKeepsItsSlotAndAMissingPadIsSearchedEachPoll) {
    ScriptedPad pad;
    pad.plugged = false;
    RecordingListener listener;
    GamepadPoller poller(pad);
    EXPECT_EQ(poller.padIndex(), -1);
    EXPECT_EQ(pad.capabilityQueries, 4);
    poller.poll(&listener);
    EXPECT_EQ(pad.capabilityQueries, 8);

    pad.plugged = true;
    pad.send({.buttons = GamepadButton::kStart});
    poller.poll(&listener);
    EXPECT_EQ(poller.padIndex(), 2);
    pad.plugged = false;
    poller.poll(&listener);
    poller.poll(&listener);
    EXPECT_EQ(poller.padIndex(), 2);
    EXPECT_EQ(listener.log.size(), 2u);  // the one packet read while plugged
}

TEST(GlfwGamepadConversion, MapsButtonsTriggersAndFlipsTheStickYAxes) {
    GLFWgamepadstate state{};
    for (float& axis : state.axes) {
        axis = 0.0f;
    }
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
    state.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 1.0f;
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = -1.0f;
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = -1.0f;  // pushed up
    state.axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = 1.0f;
    state.buttons[GLFW_GAMEPAD_BUTTON_A] = GLFW_PRESS;
    state.buttons[GLFW_GAMEPAD_BUTTON_DPAD_LEFT] = GLFW_PRESS;
    state.buttons[GLFW_GAMEPAD_BUTTON_GUIDE] = GLFW_PRESS;

    const GamepadState pad = toGamepadState(state);
    EXPECT_EQ(pad.buttons, GamepadButton::kA | GamepadButton::kDpadLeft);
    EXPECT_EQ(pad.leftTrigger, 0);
    EXPECT_EQ(pad.rightTrigger, 255);
    EXPECT_EQ(pad.thumbLX, -32768);
    EXPECT_EQ(pad.thumbLY, 32767);
    EXPECT_EQ(pad.thumbRX, 32767);
    EXPECT_EQ(pad.thumbRY, 0);  // a stick at rest reads zero
}

TEST(GlfwGamepadConversion, PacketNumbersGrowOnlyWhenTheStateChanges) {
    GamepadPacketCounter counter;
    const GamepadState rest{};
    const GamepadState pressed{.buttons = GamepadButton::kB};
    EXPECT_EQ(counter.next(0, rest).packetNumber, 0u);
    EXPECT_EQ(counter.next(0, pressed).packetNumber, 1u);
    EXPECT_EQ(counter.next(0, pressed).packetNumber, 1u);
    EXPECT_EQ(counter.next(1, pressed).packetNumber, 1u);  // each slot counts on its own
    EXPECT_EQ(counter.next(0, rest).packetNumber, 2u);
}

}  // namespace
}  // namespace kes
