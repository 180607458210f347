#include "app/Layer.hpp"

#include <string>

#include <gtest/gtest.h>

namespace kes {
namespace {

class NamedLayer final : public Layer {
public:
    NamedLayer(char name, std::string& log) : m_name(name), m_log(log) {}
    ~NamedLayer() override { m_log += std::string("~") + m_name; }
    void update(float, float, float) override { m_log += m_name; }
    void render(float, float, unsigned int, const Viewport*) override {}
    void fixedUpdate(float) override {}

private:
    char m_name;
    std::string& m_log;
};

TEST(LayerChain, RunsLayersInOrderOfAddingAndDestroysThemLastFirst) {
    std::string log;
    {
        LayerChain chain;
        chain.append(std::make_unique<NamedLayer>('a', log));
        chain.append(std::make_unique<NamedLayer>('b', log));
        chain.append(std::make_unique<NamedLayer>('c', log));
        ASSERT_NE(chain.first(), nullptr);
        EXPECT_EQ(chain.first()->prev, nullptr);
        EXPECT_EQ(chain.first()->next->next->prev, chain.first()->next);
        chain.forEach([](Layer& layer) { layer.update(0, 0, 0); });
        EXPECT_EQ(log, "abc");
    }
    EXPECT_EQ(log, "abc~c~b~a");
}

TEST(LayerChain, ClearingEmptiesTheChainForReuse) {
    std::string log;
    LayerChain chain;
    chain.clear();
    chain.append(std::make_unique<NamedLayer>('a', log));
    chain.clear();
    EXPECT_EQ(chain.first(), nullptr);
    EXPECT_EQ(log, "~a");
    int visited = 0;
    chain.forEach([&visited](Layer&) { ++visited; });
    EXPECT_EQ(visited, 0);
}

}  // namespace
}  // namespace kes
