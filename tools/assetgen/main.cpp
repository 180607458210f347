// The asset generator: writes the game's meshes, material textures, skybox faces and sounds
// into an assets folder, or the desktop icons into a folder of their own. The build runs it;
// the same sources always give the same files.
// Usage: driftline_assetgen <assets folder>
//        driftline_assetgen --icons <folder>      (driftline-prime-<size>.png for each size)
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "Icon.hpp"
#include "Image.hpp"
#include "MeshBuilder.hpp"
#include "Meshes.hpp"
#include "Skybox.hpp"
#include "Sounds.hpp"
#include "Textures.hpp"

namespace fs = std::filesystem;

namespace {

constexpr int kSkyboxFaceSize = 1024;  // texels on each side
constexpr int kMaterialTextureSize = 512;

bool writeMeshes(const fs::path& meshes) {
    return assetgen::writeMeshFile(assetgen::makeShip(), meshes / "plane2.ksx") &&
           assetgen::writeMeshFile(assetgen::makeAsteroid(), meshes / "Asteroid1.ksx") &&
           assetgen::writeMeshFile(assetgen::makeTargetZone(), meshes / "Targetzone.ksx") &&
           assetgen::writeMeshFile(assetgen::makeAsteroid(assetgen::Detail::coarse),
                                   meshes / "Asteroid1_coarse.ksx") &&
           assetgen::writeMeshFile(assetgen::makeTargetZone(assetgen::Detail::coarse),
                                   meshes / "Targetzone_coarse.ksx") &&
           // The renderer asks for this one name in capitals.
           assetgen::writeMeshFile(assetgen::makeArrow(), meshes / "Arrow.KSX");
}

bool writeTextureSet(const assetgen::TextureSet& set, const fs::path& folder,
                     const std::string& meshName) {
    for (const auto& [suffix, image] : set) {
        if (!assetgen::writePng(image, folder / (meshName + "_" + suffix + ".png"))) {
            return false;
        }
    }
    return true;
}

// Each 2 x 2 block of `image` averaged into one pixel: the same sky at half the side.
assetgen::Image halved(const assetgen::Image& image) {
    assetgen::Image half(image.width() / 2, image.height() / 2, image.channels());
    for (int y = 0; y < half.height(); ++y) {
        for (int x = 0; x < half.width(); ++x) {
            half.set(x, y,
                     0.25f * (image.get(2 * x, 2 * y) + image.get(2 * x + 1, 2 * y) +
                              image.get(2 * x, 2 * y + 1) + image.get(2 * x + 1, 2 * y + 1)));
        }
    }
    return half;
}

// The full faces ("try<face>.png") and the small ones the basic level draws ("small<face>.png").
bool writeSkybox(const fs::path& cubemap) {
    for (int face = 0; face < 6; ++face) {
        const assetgen::Image image = assetgen::paintSkyboxFace(face, kSkyboxFaceSize);
        if (!assetgen::writePng(image, cubemap / ("try" + std::to_string(face) + ".png")) ||
            !assetgen::writePng(halved(image),
                                cubemap / ("small" + std::to_string(face) + ".png"))) {
            return false;
        }
    }
    return true;
}

bool writeSounds(const fs::path& sounds) {
    for (const assetgen::Sound& sound : assetgen::makeAllSounds()) {
        if (!assetgen::writeWav(sound, sounds / (sound.name + ".wav"))) {
            return false;
        }
    }
    return true;
}

int writeIcons(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    for (const int size : assetgen::kIconSizes) {
        const fs::path path = folder / ("driftline-prime-" + std::to_string(size) + ".png");
        if (error || !assetgen::writePng(assetgen::paintIcon(size), path)) {
            std::cerr << "driftline_assetgen: cannot write " << path << std::endl;
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        return writeIcons(argv[2]);
    }
    if (argc != 2) {
        std::cerr << "usage: driftline_assetgen <assets folder>\n"
                     "       driftline_assetgen --icons <folder>"
                  << std::endl;
        return 2;
    }
    const fs::path assets = argv[1];
    std::error_code error;
    fs::create_directories(assets / "meshes", error);
    fs::create_directories(assets / "textures" / "cubemap", error);
    if (!error) {
        fs::create_directories(assets / "sounds", error);
    }
    if (error) {
        std::cerr << "driftline_assetgen: cannot create folders in " << assets << ": "
                  << error.message() << std::endl;
        return 1;
    }
    const fs::path textures = assets / "textures";
    const bool written =
        writeMeshes(assets / "meshes") &&
        writeTextureSet(assetgen::paintShipTextures(kMaterialTextureSize), textures, "plane2") &&
        writeTextureSet(assetgen::paintAsteroidTextures(kMaterialTextureSize), textures,
                        "Asteroid1") &&
        writeSkybox(textures / "cubemap") && writeSounds(assets / "sounds");
    if (!written) {
        std::cerr << "driftline_assetgen: cannot write into " << assets << std::endl;
        return 1;
    }
    return 0;
}
