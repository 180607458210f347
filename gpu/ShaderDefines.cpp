#include "gpu/ShaderDefines.hpp"

#include <sstream>

#include "gpu/Bindings.hpp"
#include "gpu/Framebuffers.hpp"
#include "gpu/UniformBlocks.hpp"

namespace kes {
namespace {

std::string define(const char* name, unsigned value) {
    return std::string("#define ") + name + " " + std::to_string(value);
}

}  // namespace

std::vector<std::string> shaderInterfaceDefines() {
    return {
        define("BINDING_PER_FRAME", binding::kPerFrame),
        define("BINDING_LIGHTS", binding::kLights),
        define("BINDING_SHADOWS", binding::kShadows),
        define("BINDING_FRAGMENT_NODES", binding::kFragmentNodes),
        define("BINDING_LIST_HEADS", binding::kListHeads),
        define("BINDING_NODE_COUNTER", binding::kNodeCounter),
        define("UNIT_ALBEDO", unit::kAlbedo),
        define("UNIT_NORMAL", unit::kNormal),
        define("UNIT_METAL", unit::kMetal),
        define("UNIT_ROUGHNESS", unit::kRoughness),
        define("UNIT_EMISSIVE", unit::kEmissive),
        define("UNIT_TRANSPARENT_SHADOW_MAPS", unit::kTransparentShadowMaps),
        define("UNIT_ALBEDO_METAL", unit::kAlbedoMetal),
        define("UNIT_EMISSIVE_DISTANCE", unit::kEmissiveDistance),
        define("UNIT_NORMAL_ROUGHNESS", unit::kNormalRoughness),
        define("UNIT_LIGHTING_SHADOW_MAPS", unit::kLightingShadowMaps),
        define("UNIT_LIGHTING_SKY", unit::kLightingSky),
        define("UNIT_REFLECTION_IMAGE", unit::kReflectionImage),
        define("UNIT_REFLECTION_SKY", unit::kReflectionSky),
        define("UNIT_IMAGE", unit::kImage),
        define("UNIT_GLOW", unit::kGlow),
        define("MAX_LIGHTS", static_cast<unsigned>(kMaxLights)),
        // A float, as the shadow look-up computes with it.
        define("SHADOW_MAP_SIZE", shadowMaps::kSize) + ".0",
    };
}

std::string withDefinesAfterVersion(const std::string& source,
                                    const std::vector<std::string>& defines) {
    std::istringstream lines(source);
    std::string out;
    std::string line;
    int number = 0;
    bool inserted = false;
    while (std::getline(lines, line)) {
        ++number;
        out += line + "\n";
        const std::size_t start = line.find_first_not_of(" \t");
        if (!inserted && start != std::string::npos && line.compare(start, 8, "#version") == 0) {
            for (const std::string& definition : defines) {
                out += definition + "\n";
            }
            out += "#line " + std::to_string(number + 1) + " 0\n";
            inserted = true;
        }
    }
    return inserted ? out : source;
}

}  // namespace kes
