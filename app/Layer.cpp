#include "app/Layer.hpp"

namespace kes {

void LayerChain::append(std::unique_ptr<Layer> owned) {
    Layer* layer = owned.release();
    if (m_first == nullptr) {
        m_first = layer;
        return;
    }
    Layer* last = m_first;
    while (last->next != nullptr) {
        last = last->next;
    }
    last->next = layer;
    layer->prev = last;
}

void LayerChain::clear() {
    if (m_first == nullptr) {
        return;
    }
    Layer* last = m_first;
    while (last->next != nullptr) {
        last = last->next;
    }
    while (last != nullptr) {
        Layer* before = last->prev;
        if (before != nullptr) {
            before->next = nullptr;
        }
        delete last;
        last = before;
    }
    m_first = nullptr;
}

}  // namespace kes
