// A scripted player in the real loop: a layer pushed after the game's, whose render runs a
// script with each pass's number and the window, after the game has drawn that pass.
#pragma once

#include <functional>
#include <utility>

#include "app/Layer.hpp"

namespace kes::test {

class ScriptLayer final : public Layer {
public:
    using Script = std::function<void(int pass, const Viewport& window)>;
    explicit ScriptLayer(Script script) : m_script(std::move(script)) {}

    void update(float, float, float) override {}
    void fixedUpdate(float) override {}
    void render(float, float, unsigned int, const Viewport* viewport) override {
        m_script(m_pass++, *viewport);
    }

private:
    Script m_script;
    int m_pass = 0;
};

}  // namespace kes::test
