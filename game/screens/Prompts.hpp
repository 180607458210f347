// The prompts along the bottom of a screen: each key on a key cap, each gamepad button drawn as
// the pad shows it (A, B, X and Y round in their colours, the rest a dark pill), then what it
// does (Enter Choose), in the player's words. The words are laid out when the screen's text is
// queued; the caps, which stand under them, when its lines are.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "render/ScreenLines.hpp"

namespace kes {

class TextRenderer;

struct Prompt {
    const char* keys;  // English, marked for the catalogues and looked up when drawn
    const char* does;
    const char* keysContext = nullptr;  // for a button named like a word ("Back")
    bool onPad = false;                 // the gamepad's, not the keyboard's or the mouse's
};

// The prompts as one line of English words ("Enter Choose   Esc Back").
std::string promptLine(std::span<const Prompt> prompts);

class PromptBar {
public:
    // Queues the prompts' words centred on the line at `y`, `size` high, smaller where the line
    // would not fit across the screen; remembers where their caps go (a bar of two lines is
    // queued twice).
    void queue(TextRenderer& text, std::span<const Prompt> prompts, float y, float size);
    // Queues the caps of the words queued since the last call.
    void queueLines(ScreenLines& lines);

private:
    std::vector<ScreenPanel> m_caps;  // kept for their room: a frame allocates nothing
    float m_pixelAspect = 0.75f;
};

}  // namespace kes
