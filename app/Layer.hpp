// The layer the main loop drives, and the chain that holds the layers in the order they were
// added. (The camera's controller, the loop's other interface, stands beside the camera.)
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "gpu/Viewport.hpp"

namespace kes {

class Layer {
public:
    // Per-pass work after the frame was drawn; alpha is the fraction of a fixed step left over.
    virtual void update(float frameDt, float time, float alpha) = 0;
    // Draws the layer into `framebuffer` within `viewport`.
    virtual void render(float frameDt, float time, unsigned int framebuffer,
                        const Viewport* viewport) = 0;
    // One simulation step of exactly 1/60 s; `time` is the elapsed time.
    virtual void fixedUpdate(float time) = 0;
    virtual ~Layer() = default;

    Layer* prev = nullptr;
    Layer* next = nullptr;
};

// Owns a doubly linked chain of layers through its first layer.
class LayerChain {
public:
    LayerChain() = default;
    ~LayerChain() { clear(); }
    LayerChain(const LayerChain&) = delete;
    LayerChain& operator=(const LayerChain&) = delete;

    Layer* first() const { return m_first; }
    // Takes ownership and links the layer behind the last one.
    void append(std::unique_ptr<Layer> layer);
    // Makes a layer of type T from `arguments`, links it behind the last one and returns it:
    // its owner keeps a typed reference rather than looking it up.
    template <typename T, typename... Arguments>
    T& emplace(Arguments&&... arguments) {
        auto layer = std::make_unique<T>(std::forward<Arguments>(arguments)...);
        T& made = *layer;
        append(std::move(layer));
        return made;
    }
    // Destroys the layers from the last to the first, so no layer outlives one it depends on.
    void clear();

    template <typename Operation>
    void forEach(Operation&& operation) const {
        for (Layer* layer = m_first; layer != nullptr; layer = layer->next) {
            operation(*layer);
        }
    }

private:
    Layer* m_first = nullptr;
};

}  // namespace kes
